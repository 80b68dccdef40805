#pragma once

#include "cli/CliCommandGroup.h"
#include "cli/RegisterSetup.h"
#include "cli/SetupDiff.h"

#include <string>
#include <vector>

class CliSession;

// backup, diff, restore: a register's programming (RegisterSetup) to a file
// (SetupFile), compared with one, and written back from one. The file is
// read and checked whole before the port is opened. Restore writes only
// what differs and nothing fiscal; tax rates only with --tax-rates (a
// fiscal matter on a real register), and it deletes articles only with
// --delete-extra. It ends by reading the register again: anything it was
// to write that still differs fails the run.
class SetupSubcommands : public CliCommandGroup {
public:
    void Register(CLI::App& app, CliAction& chosen) override;

    // Everything RegisterSetup holds, read from the register.
    static RegisterSetup ReadSetup(CliSession& session);

private:
    void ReadFile();
    void Backup(CliSession& s) const;
    void Diff(CliSession& s) const;
    void Restore(CliSession& s) const;
    // What restore was asked to leave as it is.
    bool Left(const SetupDiff::Difference& difference) const;
    // Sends one difference's write.
    void Write(CliSession& s, const SetupDiff::Difference& difference) const;

    std::string m_path;
    RegisterSetup m_file;
    bool m_dryRun = false;
    bool m_deleteExtra = false;
    bool m_taxRates = false;
};
