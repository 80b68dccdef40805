#include "sim/SimLineBlock.h"

#include <vector>

SimOutcome SimLineBlock::Write(const std::string& command, SimFieldReader& fields, std::span<std::string> lines,
                               std::span<bool> doubleSize, std::size_t width, Refusals refusals)
{
    std::vector<std::string> sent(lines.size());
    std::vector<std::int64_t> flags(doubleSize.size());
    for (auto& line : sent) {
        line = fields.Line().value_or("");
    }
    for (auto& flag : flags) {
        flag = fields.Count().value_or(0);
    }
    if (auto bad = SimOutcome::Malformed(command, fields)) {
        return *bad;
    }
    if (refusals.emptyFirstLine != 0 && !sent.empty() && sent[0].empty()) {
        return SimOutcome::Refuse(command, refusals.emptyFirstLine);
    }
    for (std::size_t i = 0; i < sent.size(); ++i) {
        if (!SimFieldReader::Printable(sent[i], width) || !SimFieldReader::IsFlag(flags[i])) {
            return SimOutcome::Refuse(command, refusals.badLine);
        }
    }
    for (std::size_t i = 0; i < sent.size(); ++i) {
        lines[i] = sent[i];
        doubleSize[i] = flags[i] == 1;
    }
    return SimOutcome::Accept(command);
}

SimOutcome SimLineBlock::Read(const std::string& command, std::span<const std::string> lines,
                              std::span<const bool> doubleSize)
{
    std::string data;
    for (const std::string& line : lines) {
        data += line + "\n";
    }
    for (const bool flag : doubleSize) {
        data += flag ? "1\x1F" : "0\x1F";
    }
    return SimOutcome::Accept(command, data);
}
