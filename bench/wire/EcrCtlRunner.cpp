#include "EcrCtlRunner.h"

#include "cli/EcrCtl.h"

#include <sstream>

std::vector<std::string> EcrCtlRunner::Subcommand(const WireScenario& scenario)
{
    using Operation = WireScenario::Operation;
    switch (scenario.operation) {
    case Operation::GenerateArticles:
        return {"articles", "generate", "--from", "1", "--to", std::to_string(scenario.articles)};
    case Operation::ImportArticles:
        return {"articles", "import", scenario.inputPath};
    case Operation::ListArticles:
        return {"articles", "list", "--out", scenario.outputPath};
    case Operation::DumpMemory:
        return {"memory", "dump", std::to_string(scenario.memoryArea), scenario.outputPath};
    case Operation::UploadLogo:
        return {"logo", "upload", scenario.inputPath};
    }
    return {};
}

bool EcrCtlRunner::Run(const WireScenario& scenario, const std::string& devicePath, WireSpan& span,
                       std::string& error)
{
    return RunAt(devicePath, m_baud, scenario, span, error);
}

bool EcrCtlRunner::RunAt(const std::string& port, std::int32_t baud, const WireScenario& scenario, WireSpan& span,
                         std::string& error)
{
    std::vector<std::string> args{"--port", port, "--baud", std::to_string(baud)};
    const std::vector<std::string> subcommand = Subcommand(scenario);
    args.insert(args.end(), subcommand.begin(), subcommand.end());
    std::ostringstream out;
    std::ostringstream err;
    // Typed and timed whole: opening the port and logging on are part of it.
    span.Start();
    const int exitCode = EcrCtl::Run(args, out, err, false);
    span.Stop();
    if (exitCode != 0) {
        error = "ecrctl exit code " + std::to_string(exitCode) + ": " + err.str();
        return false;
    }
    return true;
}
