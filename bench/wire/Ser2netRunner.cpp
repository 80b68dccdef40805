#include "Ser2netRunner.h"

#include "EcrCtlRunner.h"
#include "support/ChildProcess.h"

#include <fstream>

bool Ser2netRunner::Run(const WireScenario& scenario, const std::string& devicePath, WireSpan& span,
                        std::string& error)
{
    const int port = ChildProcess::FreePort();
    const std::string config = m_folder + "/ser2net.yaml";
    std::ofstream(config) << "connection: &kasa\n  accepter: " << (m_rfc2217 ? "telnet(rfc2217),tcp," : "tcp,")
                          << "127.0.0.1," << port << "\n  connector: serialdev," << devicePath << ","
                          << m_baud << "n81,local\n"
                          // As README advises: replies passed on as they come.
                          << "  options:\n    chardelay: false\n";
    ChildProcess ser2net({"ser2net", "-d", "-n", "-c", config}, m_folder + "/ser2net.log");
    if (!ChildProcess::AwaitListening(port, 5000)) {
        error = "ser2net did not start (see " + m_folder + "/ser2net.log)";
        return false;
    }
    return EcrCtlRunner::RunAt((m_rfc2217 ? "rfc2217://127.0.0.1:" : "tcp://127.0.0.1:") + std::to_string(port),
                               m_baud, scenario, span, error);
}
