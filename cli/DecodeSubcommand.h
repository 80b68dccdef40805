#pragma once

#include "cli/CliCommandGroup.h"

#include <string>

class CliOutput;

// ecrctl decode FILE|-: reads a capture (raw bytes, the monitor's
// hexadecimal text, or a session log) and prints one decoded line per
// entry. Needs no register.
class DecodeSubcommand : public CliCommandGroup {
public:
    void Register(CLI::App& app, CliAction& chosen) override;

private:
    // Throws CliFailure (bad input) when the file cannot be read.
    void Run(CliOutput& output) const;

    std::string m_path;
};
