#pragma once

#include "cli/CliCommandGroup.h"
#include "cli/HostPaths.h"

class CliOutput;

// ecrctl ports: the serial devices of this machine, which process holds
// each open, and where COM1..COM8 lead (ECR_COMn). On Windows the COM ports
// the system lists. Needs no register.
class PortsSubcommand : public CliCommandGroup {
public:
    void Register(CLI::App& app, CliAction& chosen) override;

    // The roots of the tree looked at, as options a test can point elsewhere.
    static void AddHostOptions(CLI::App* command, HostPaths& paths);

private:
    void Run(CliOutput& output) const;

    HostPaths m_paths;
};
