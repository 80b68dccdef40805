#include "cli/DecodeSubcommand.h"

#include "cli/CliFailure.h"
#include "cli/CliInput.h"
#include "cli/CliOutput.h"
#include "cli/CliSession.h"
#include "ecr/commands/ECRCaptureStream.h"

void DecodeSubcommand::Register(CLI::App& app, CliAction& chosen)
{
    CLI::App* decode = app.add_subcommand(
        "decode",
        "Decode a capture: raw bytes, the monitor's hexadecimal text or a session log (no register needed). "
        "Exit code 3 when a frame in it failed its check");
    decode->add_option("FILE", m_path, "the capture, or - for standard input")->required();
    OnChosen(decode, chosen, CliAction(CliAction::Link::None, [this](CliSession& s) { Run(s.Output()); }));
}

void DecodeSubcommand::Run(CliOutput& output) const
{
    const std::string name = m_path == "-" ? "standard input" : m_path;
    // Lines are printed as they are decoded; only the JSON document holds them all.
    JsonValue* lines = output.Json() ? &output.Result().Set("lines", JsonValue::Array()) : nullptr;
    std::uint64_t heldBytes = 0;
    ECRCaptureStream stream([&](const std::string& line) {
        if (lines == nullptr) {
            output.Line(line);
            return;
        }
        heldBytes += line.size();
        if (heldBytes > kMaxJsonBytes)
            throw CliFailure(CliFailure::kBadInput, name + ": its decoded lines pass " + std::to_string(kMaxJsonBytes) +
                                                        " bytes, too many for one JSON document; without --json "
                                                        "they are printed as they are decoded");
        lines->Push(line);
    });
    CliInput::Read(m_path, kMaxBytes, [&](std::string_view chunk) {
        if (!stream.Feed(chunk))
            throw CliFailure(CliFailure::kBadInput,
                             name + ": the monitor's text is read whole (newest entry first) and may be at most " +
                                 std::to_string(ECRCaptureStream::kMaxMonitorText) + " bytes");
    });
    stream.Finish();
    // As an answer that failed its check would end a run with the register.
    const std::size_t failed = stream.FailedFrames();
    if (failed != 0)
        throw CliFailure(CliFailure::kLink, std::to_string(failed) + (failed == 1 ? " frame in " : " frames in ") +
                                                name + (failed == 1 ? " failed its check" : " failed their check"));
}
