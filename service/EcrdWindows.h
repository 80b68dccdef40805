#pragma once

#include <string>

// ecrd on Windows: the service "ecrd" registered with the Service Control
// Manager (started with Windows, restarted after a failure) or removed, and
// ecrd run, under the service manager when it started the process (a stop
// from it lets every running exchange finish), else from a console until
// Ctrl+C. Each returns the program's exit code, the problem printed.
class EcrdWindows {
public:
    // Where the journal and the session logs go when the configuration names
    // no stateDirectory: %ProgramData%\ecrd, made with an access list of its
    // own (SYSTEM and the administrators) when ecrd starts or is installed.
    // Empty, the problem printed, when the system does not say where that is.
    static std::string DefaultStateDirectory();

    // --install-service --config FILE: the folder above made, and the service
    // registered to run this program with the configuration's absolute path.
    static int InstallService(const std::string& configPath);
    // --uninstall-service: stopped (its running exchanges finish) and removed.
    static int UninstallService();
    // Serves with the configuration at configPath until a stop. Under the
    // service manager, what ecrd prints goes to ecrd.log in the folder above.
    static int Run(const std::string& configPath);
};
