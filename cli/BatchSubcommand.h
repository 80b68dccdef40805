#pragma once

#include "cli/BatchScript.h"
#include "cli/CliCommandGroup.h"

#include <string>
#include <vector>

class CliSession;

// ecrctl batch FILE|-: the file's commands, one a line, written as after
// "ecrctl", run over one connection and one log-on. Each line is parsed
// afresh with the command line's own definitions, so it means what it would
// mean there; what the device keeps (the open receipt, the receipt
// defaults, the article list) carries from line to line. Without
// --keep-going every line is parsed before the first one runs, and the run
// stops at the first failing line with that line's exit code; with it, the
// run goes on and ends with the first failure's code.
class BatchSubcommand : public CliCommandGroup {
public:
    static constexpr std::size_t kMaxBytes = 16 * 1024 * 1024;

    void Register(CLI::App& app, CliAction& chosen) override;

private:
    // Reads and splits the file; CliFailure (bad input) when it cannot be
    // read, (usage) for a quote never closed.
    void Read();
    void Run(CliSession& s) const;

    std::string m_path;
    bool m_keepGoing = false;
    std::vector<BatchScript::Command> m_commands;
};
