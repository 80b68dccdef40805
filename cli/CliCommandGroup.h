#pragma once

#include "cli/CliAction.h"
#include "cli/CliArgs.h"
#include "cli/CliFailure.h"
#include "ecr/files/SafeFileWrite.h"

#include <CLI/CLI.hpp>

// A family of subcommands. Each keeps the values its subcommands parse and
// names the action of the one the user chose.
class CliCommandGroup {
public:
    virtual ~CliCommandGroup() = default;
    virtual void Register(CLI::App& app, CliAction& chosen) = 0;

    // Checks an argument while the command line is parsed, before anything is
    // sent, with a converter that throws CliFailure for a bad value.
    template <class Converter>
    static CLI::Validator Converts(Converter convert, const std::string& what)
    {
        return CLI::Validator(
            [convert](std::string& text) -> std::string {
                try {
                    convert(text);
                } catch (const CliFailure& failure) {
                    return failure.what();
                }
                return {};
            },
            what);
    }

    // A text argument for the register, checked while parsing (CliArgs::ToRegister).
    static CLI::Validator RegisterText() { return Converts(CliArgs::ToRegister, ""); }

protected:
    // A preparation that refuses an output file which cannot be written, so
    // that it is known before a long read; an empty path (no file asked for)
    // passes. The path is read when the preparation runs.
    static CliAction::Preparation ChecksOutputFile(const std::string& path)
    {
        return [&path] {
            FileFault fault;
            if (!path.empty() && !SafeFileWrite::CheckTarget(path, fault))
                throw CliFailure::BadInput(fault);
        };
    }

    // The action of a subcommand given without a further subcommand. The
    // check runs while parsing and throws CLI::ValidationError for argument
    // combinations no single option can judge.
    static void OnChosen(CLI::App* command, CliAction& chosen, CliAction action, std::function<void()> check = {})
    {
        // A nested subcommand's callback runs first and wins.
        command->callback([&chosen, action = std::move(action), check = std::move(check)]() {
            if (chosen)
                return;
            if (check)
                check();
            chosen = action;
        });
    }
};
