#include "cli/BatchSubcommand.h"

#include "cli/CliCommands.h"
#include "cli/CliGuard.h"
#include "cli/CliInput.h"
#include "cli/CliOutput.h"
#include "cli/CliSession.h"
#include "ecr/commands/ECRReceipt.h"
#include "ecr/commands/Utf8.h"

#include <optional>

namespace {

std::string LinePrefix(const BatchScript::Command& command)
{
    return "line " + std::to_string(command.line) + ": ";
}

// Parses one line with a parser of its own, which must outlive the action:
// the action refers to the values the parse filled in.
void ParseLine(const BatchScript::Command& command, CLI::App& parser, CliCommands& commands)
{
    parser.require_subcommand(1);
    commands.Register(parser);
    std::vector<std::string> reversed(command.words.rbegin(), command.words.rend());
    try {
        parser.parse(reversed);
    } catch (const CLI::ParseError& e) {
        if (e.get_exit_code() == 0)
            throw CliFailure(CliFailure::kUsage, "help is for the command line, not for a batch");
        throw CliFailure(CliFailure::kUsage, e.what());
    }
    if (commands.Chosen().GetLink() == CliAction::Link::Own)
        throw CliFailure(CliFailure::kUsage, command.words.front() + " cannot run inside a batch");
}

// A line's entry in the JSON result: which line, and how it ended.
JsonValue LineResult(const BatchScript::Command& command, const CliGuard::Outcome& outcome)
{
    JsonValue entry = JsonValue::Object();
    entry.Set("line", command.line);
    entry.Set("command", command.text);
    entry.Set("ok", outcome.exitCode == 0);
    entry.Set("exitCode", outcome.exitCode);
    if (outcome.exitCode != 0) {
        entry.Set("error", outcome.error);
        if (outcome.deviceCode != 0)
            CliOutput::SetRefusal(entry, outcome.deviceCode);
    }
    return entry;
}

}  // namespace

void BatchSubcommand::Register(CLI::App& app, CliAction& chosen)
{
    CLI::App* batch = app.add_subcommand(
        "batch", "Run the subcommands of a file, one a line, over one connection (# comments, shell quoting)");
    batch->add_option("FILE", m_path, "the commands, or - for standard input")->required();
    batch->add_flag("--keep-going", m_keepGoing, "go on after a failing line; exit with the first failure's code");
    batch->add_flag("--cancel-on-failure", m_cancelOnFailure,
                    "when the batch fails with a receipt it opened still open, cancel that receipt");
    batch->fallthrough();
    // The batch logs on itself, once, when a line first needs the register.
    OnChosen(batch, chosen,
             CliAction(
                 CliAction::Link::Own, [this] { Read(); }, [this](CliSession& s) { Run(s); }));
}

void BatchSubcommand::Read()
{
    std::string text;
    CliInput::Read(m_path, kMaxBytes, [&text](std::string_view chunk) { text.append(chunk); });
    if (text.compare(0, Utf8::kByteOrderMark.size(), Utf8::kByteOrderMark) == 0)
        text.erase(0, Utf8::kByteOrderMark.size());
    std::string error;
    if (!BatchScript::Split(text, m_commands, error))
        throw CliFailure(CliFailure::kUsage, error);
}

void BatchSubcommand::Check(CliSession& s) const
{
    std::vector<std::pair<const BatchScript::Command*, CliGuard::Outcome>> failures;
    for (const BatchScript::Command& command : m_commands) {
        CLI::App parser("", "ecrctl");
        CliCommands commands;
        const CliGuard::Outcome outcome = CliGuard::Run([&] {
            ParseLine(command, parser, commands);
            commands.Chosen().Prepare();
        });
        if (outcome.exitCode != 0)
            failures.emplace_back(&command, outcome);
    }
    if (failures.empty())
        return;

    JsonValue results = JsonValue::Array();
    for (const auto& [command, outcome] : failures) {
        if (failures.size() > 1)
            s.Output().Note(LinePrefix(*command) + outcome.error);
        results.Push(LineResult(*command, outcome));
    }
    s.Output().Result().Set("lines", std::move(results));
    s.Output().Result().Set("failed", failures.size());
    const auto& [command, outcome] = failures.front();
    if (failures.size() == 1)
        throw CliFailure(outcome.exitCode, LinePrefix(*command) + outcome.error + " (nothing was run)");
    throw CliFailure(outcome.exitCode, std::to_string(failures.size()) + " lines cannot run, the first on line " +
                                           std::to_string(command->line) + " (nothing was run)");
}

void BatchSubcommand::Run(CliSession& s) const
{
    // A mistake on a late line, or a picture it cannot use, must not leave
    // the receipt of the earlier ones open.
    if (!m_keepGoing)
        Check(s);

    JsonValue results = JsonValue::Array();
    std::optional<std::pair<const BatchScript::Command*, CliGuard::Outcome>> first;
    std::size_t failed = 0;
    std::size_t receiptOpenedOn = 0;
    for (const BatchScript::Command& command : m_commands) {
        s.LogNote("batch " + LinePrefix(command) + command.text);
        CLI::App parser("", "ecrctl");
        CliCommands commands;
        bool loggingOn = false;
        const bool receiptBefore = s.Receipt() == ECRFiscalCommands::ReceiptState::Opened;
        const CliGuard::Outcome outcome = CliGuard::Run(
            [&] {
                ParseLine(command, parser, commands);
                const CliAction& action = commands.Chosen();
                action.Prepare();
                if (action.GetLink() == CliAction::Link::Register && !s.IsOpen()) {
                    loggingOn = true;
                    s.Open();
                    loggingOn = false;
                }
                action(s);
            },
            &s);
        // A line that failed half-way must not leave its observer to the next.
        s.SetProgressObserver(nullptr);
        if (!receiptBefore && s.Receipt() == ECRFiscalCommands::ReceiptState::Opened)
            receiptOpenedOn = command.line;

        JsonValue entry = LineResult(command, outcome);
        entry.Set("result", s.Output().TakeResult());
        results.Push(std::move(entry));
        if (outcome.exitCode == 0)
            continue;

        ++failed;
        if (!first)
            first.emplace(&command, outcome);
        if (!m_keepGoing)
            break;
        s.Output().Note(LinePrefix(command) + outcome.error);
        // Without a log-on no later line can reach the register.
        if (loggingOn)
            break;
    }
    s.Output().Result().Set("lines", std::move(results));
    s.Output().Result().Set("failed", failed);
    if (!first)
        return;
    if (s.Receipt() == ECRFiscalCommands::ReceiptState::Opened)
        LeaveReceipt(s, receiptOpenedOn);
    const auto& [command, outcome] = *first;
    if (!m_keepGoing)
        throw CliFailure(outcome.exitCode, LinePrefix(*command) + outcome.error, outcome.deviceCode);
    throw CliFailure(outcome.exitCode,
                     std::to_string(failed) + " of " + std::to_string(m_commands.size()) +
                         " lines failed, the first on line " + std::to_string(command->line),
                     outcome.deviceCode);
}

void BatchSubcommand::LeaveReceipt(CliSession& s, std::size_t openedOn) const
{
    const std::string receipt = "the receipt opened on line " + std::to_string(openedOn);
    JsonValue& json = s.Output().Result().Set("receipt", JsonValue::Object());
    json.Set("openedOnLine", openedOn);
    if (!m_cancelOnFailure) {
        json.Set("open", true);
        s.Output().Note(receipt + " is still open on the register: " + CliSession::kPayOrCancel);
        return;
    }
    const CliGuard::Outcome cancel = CliGuard::Run([&] { s.Checked([&] { ECRReceipt(s.Device()).Cancel(); }); }, &s);
    json.Set("open", cancel.exitCode != 0);
    json.Set("cancelled", cancel.exitCode == 0);
    if (cancel.exitCode == 0)
        s.Output().Note(receipt + " was cancelled (--cancel-on-failure)");
    else
        s.Output().Note("could not cancel " + receipt + ": " + cancel.error);
}
