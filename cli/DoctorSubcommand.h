#pragma once

#include "cli/CliCommandGroup.h"
#include "cli/HostPaths.h"

class CliSession;

// ecrctl doctor [--port P]: checks what commonly breaks a serial line
// (LinkDoctor, on Linux), then, if the port opens, sends the status enquiry
// at 19200 and at 9600 baud and names the speed at which the register
// answers. Each finding comes with what to do about it. Exit 0 when the
// register answered, 3 when it did not or the line is not usable.
class DoctorSubcommand : public CliCommandGroup {
public:
    static constexpr int kSpeeds[2] = {19200, 9600};

    void Register(CLI::App& app, CliAction& chosen) override;

private:
    void Run(CliSession& s) const;

    HostPaths m_paths;
};
