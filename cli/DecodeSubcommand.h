#pragma once

#include <CLI/CLI.hpp>

#include <string>

class CliOutput;

// ecrctl decode FILE|-: reads a capture (raw bytes, the monitor's
// hexadecimal text, or a session log) and prints one decoded line per
// entry. Needs no register.
class DecodeSubcommand {
public:
    void Register(CLI::App& app);
    bool Chosen() const { return m_chosen; }
    // Throws CliFailure (bad input) when the file cannot be read.
    void Run(CliOutput& output) const;

private:
    std::string m_path;
    bool m_chosen = false;
};
