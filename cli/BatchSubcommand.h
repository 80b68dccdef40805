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
// --keep-going every line is parsed, and its input files read and checked,
// before the first one runs (every line that cannot run is reported), and
// the run stops at the first failing line with that line's exit code; with
// it, the run goes on and ends with the first failure's code. A run that
// fails with a receipt it opened still open says so, and with
// --cancel-on-failure cancels it ("*x").
class BatchSubcommand : public CliCommandGroup {
public:
    static constexpr std::size_t kMaxBytes = 16 * 1024 * 1024;

    void Register(CLI::App& app, CliAction& chosen) override;

private:
    // Reads and splits the file; CliFailure (bad input) when it cannot be
    // read, (usage) for a quote never closed.
    void Read();
    // Parses every line and runs its preparation (input files read and
    // checked, output paths checked); CliFailure for the first line that
    // cannot run, after a note for each of them. Nothing is kept: each line
    // is parsed and prepared again when it runs.
    void Check(CliSession& s) const;
    void Run(CliSession& s) const;
    // After a failure: says that the receipt opened on line openedOn is
    // still open, or cancels it with --cancel-on-failure.
    void LeaveReceipt(CliSession& s, std::size_t openedOn) const;

    std::string m_path;
    bool m_keepGoing = false;
    bool m_cancelOnFailure = false;
    std::vector<BatchScript::Command> m_commands;
};
