#include "Ser2netRunner.h"

#include "EcrCtlRunner.h"
#include "cli/EcrCtl.h"
#include "support/ChildProcess.h"

#include <fstream>
#include <sstream>

bool Ser2netRunner::Run(const WireScenario& scenario, const std::string& devicePath, WireSpan& span,
                        std::string& error)
{
    const int port = ChildProcess::FreePort();
    const std::string config = m_folder + "/ser2net.yaml";
    std::ofstream(config) << "connection: &kasa\n  accepter: " << (m_rfc2217 ? "telnet(rfc2217),tcp," : "tcp,")
                          << "127.0.0.1," << port << "\n  connector: serialdev," << devicePath << ","
                          << m_baud << "n81,local\n";
    ChildProcess ser2net({"ser2net", "-d", "-n", "-c", config}, m_folder + "/ser2net.log");
    if (!ChildProcess::AwaitListening(port, 5000)) {
        error = "ser2net did not start (see " + m_folder + "/ser2net.log)";
        return false;
    }
    std::vector<std::string> args{"--port", (m_rfc2217 ? "rfc2217://127.0.0.1:" : "tcp://127.0.0.1:") +
                                                 std::to_string(port),
                                  "--baud", std::to_string(m_baud)};
    const std::vector<std::string> subcommand = EcrCtlRunner::Subcommand(scenario);
    args.insert(args.end(), subcommand.begin(), subcommand.end());
    std::ostringstream out;
    std::ostringstream err;
    span.Start();
    const int exitCode = EcrCtl::Run(args, out, err, false);
    span.Stop();
    if (exitCode != 0) {
        error = "ecrctl exit code " + std::to_string(exitCode) + ": " + err.str();
        return false;
    }
    return true;
}
