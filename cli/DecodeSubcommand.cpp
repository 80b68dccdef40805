#include "cli/DecodeSubcommand.h"

#include "cli/CliFailure.h"
#include "cli/CliOutput.h"
#include "cli/CliSession.h"
#include "ecr/commands/ECRCapture.h"
#include "ecr/commands/Utf8Path.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <iostream>
#include <iterator>

namespace {

std::string ReadAll(std::istream& in)
{
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace

void DecodeSubcommand::Register(CLI::App& app, CliAction& chosen)
{
    CLI::App* decode = app.add_subcommand(
        "decode", "Decode a capture: raw bytes, the monitor's hexadecimal text or a session log (no register needed)");
    decode->add_option("FILE", m_path, "the capture, or - for standard input")->required();
    OnChosen(decode, chosen, CliAction(CliAction::Link::None, [this](CliSession& s) { Run(s.Output()); }));
}

void DecodeSubcommand::Run(CliOutput& output) const
{
    std::string content;
    if (m_path == "-") {
        content = ReadAll(std::cin);
    } else {
        errno = 0;
        std::ifstream file(Utf8Path(m_path), std::ios::binary);
        if (!file) {
            throw CliFailure(CliFailure::kBadInput, "cannot read " + m_path + ": " + std::strerror(errno));
        }
        content = ReadAll(file);
        if (file.bad()) {
            throw CliFailure(CliFailure::kBadInput, "cannot read " + m_path + ": " + std::strerror(errno));
        }
    }
    JsonValue& lines = output.Result().Set("lines", JsonValue::Array());
    for (const std::string& line : ECRCapture::Decode(content)) {
        output.Line(line);
        lines.Push(line);
    }
}
