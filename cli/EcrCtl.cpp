#include "cli/EcrCtl.h"

#include "cli/ArticleSubcommands.h"
#include "cli/CliOptions.h"
#include "cli/CliOutput.h"
#include "cli/CliSession.h"
#include "cli/DecodeSubcommand.h"
#include "cli/FiscalSubcommands.h"
#include "cli/SaleSubcommands.h"
#include "cli/UtilitySubcommands.h"
#include "ecr/protocol/CommError.h"
#include "ecr/protocol/CommErrorText.h"
#include "ecr/protocol/ECRStringError.h"

#include <CLI/CLI.hpp>

namespace {

const char* const kDescription =
    "ecrctl drives the fiscal cash register over its serial line, one command per run.\n"
    "Every run opens the port (8N1), logs on with a status enquiry and runs one subcommand.\n"
    "Exit codes: 0 done, 1 the register refused, 2 usage error, 3 link failure,\n"
    "4 a file or picture could not be read or written.";

// Results that could not be written (a full disk, a closed pipe) are no success.
int CheckOutput(std::ostream& out, std::ostream& err, int exitCode)
{
    out.flush();
    if (out.good())
        return exitCode;
    err << "ecrctl: cannot write the results to standard output\n";
    return exitCode != 0 ? exitCode : CliFailure::kBadInput;
}

}  // namespace

int EcrCtl::Run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err, bool terminal)
{
    CliOptions options;
    CLI::App app(kDescription, "ecrctl");
    app.require_subcommand(1);
    app.add_option("--port", options.port, "COM1..COM8, a device path (/dev/ttyUSB0) or sim")->capture_default_str();
    CLI::Option* baud = app.add_option("--baud", options.baud, "line speed; with --port sim the simulated line is paced at it")
                            ->check(CLI::IsMember({9600, 19200}))
                            ->capture_default_str();
    std::string traceForm;
    app.add_flag("--trace{hex}", traceForm,
                 "show every byte and register message on standard error; --trace=decoded shows each frame "
                 "decoded, with its time")
        ->check(CLI::IsMember({"hex", "decoded"}));
    app.add_option("--log", options.log, "append every traffic entry and message of the run, decoded, to this file");
    app.add_flag("--json", options.json, "print the result as one JSON document");
    app.add_option("--journal", options.journal, "with --port sim: append what the register prints to this file");

    CliAction chosen;
    FiscalSubcommands fiscal;
    ArticleSubcommands articles;
    SaleSubcommands sale;
    UtilitySubcommands utility;
    for (CliCommandGroup* group : std::initializer_list<CliCommandGroup*>{&utility, &fiscal, &articles, &sale})
        group->Register(app, chosen);
    DecodeSubcommand decode;
    decode.Register(app);

    std::vector<std::string> reversed(args.rbegin(), args.rend());
    try {
        app.parse(reversed);
    } catch (const CLI::ParseError& e) {
        if (e.get_exit_code() == 0) {
            app.exit(e, out, err);  // --help
            return CheckOutput(out, err, 0);
        }
        app.exit(e, err, err);
        if (options.json) {
            CliOutput output(out, err, true, false);
            output.Finish(CliFailure::kUsage, e.what(), 0);
        }
        return CheckOutput(out, err, CliFailure::kUsage);
    }

    // The simulated register answers at once unless a speed is asked for.
    if (baud->count() != 0)
        options.simulatorBaud = options.baud;
    options.trace = !traceForm.empty();
    options.traceDecoded = traceForm == "decoded";

    CliOutput output(out, err, options.json, terminal);
    int exitCode = 0;
    std::string error;
    int deviceCode = 0;
    CliSession session(options, output);
    try {
        if (decode.Chosen()) {
            decode.Run(output);
        } else {
            chosen.Prepare();
            session.Open();
            chosen(session);
        }
    } catch (const CliFailure& failure) {
        exitCode = failure.ExitCode();
        error = failure.what();
        deviceCode = failure.DeviceCode();
    } catch (const CommError& failure) {
        exitCode = CliFailure::kLink;
        error = std::string("communication failure: ") + CommErrorText(failure.code).Data();
    } catch (const ECRStringError& failure) {
        exitCode = CliFailure::kLink;
        error = "communication failure: malformed reply (string error " + std::to_string(failure.code) + ")";
    } catch (const std::exception& failure) {
        // Nothing else is expected here; report it rather than end without a word.
        exitCode = CliFailure::kLink;
        error = std::string("unexpected failure: ") + failure.what();
    }
    if (exitCode != 0)
        output.Note(error);
    session.LogOutcome(exitCode, error);
    output.Finish(exitCode, error, deviceCode);
    return CheckOutput(out, err, exitCode);
}
