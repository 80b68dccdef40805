#include "ecr/articles/TextLineReader.h"

#include "ecr/commands/ECRCodePage.h"
#include "ecr/commands/TextFault.h"
#include "ecr/commands/Utf8.h"

bool TextLineReader::Split(std::string_view bytes, const std::string& name, const Limits& limits,
                           std::vector<Line>& lines, std::string& error)
{
    lines.clear();
    bool utf8 = false;
    if (bytes.starts_with(Utf8::kByteOrderMark)) {
        bytes.remove_prefix(Utf8::kByteOrderMark.size());
        utf8 = true;
    } else {
        utf8 = Utf8::HasNonAscii(bytes) && Utf8::IsValid(bytes);
    }

    std::size_t number = 0;
    while (!bytes.empty()) {
        ++number;
        const std::size_t end = bytes.find('\n');
        std::string_view line = bytes.substr(0, end);
        bytes.remove_prefix(end == std::string_view::npos ? bytes.size() : end + 1);
        if (line.ends_with('\r'))
            line.remove_suffix(1);

        const auto problem = [&](const std::string& what) {
            error = name + ", line " + std::to_string(number) + ": " + what;
            return false;
        };
        if (line.size() > limits.maxLineBytes)
            return problem("longer than " + std::to_string(limits.maxLineBytes) + " bytes");
        if (line.find('\0') != std::string_view::npos)
            return problem("holds a zero byte, which no text has");
        if (IsBlank(line))
            continue;
        std::string text(line);
        if (utf8) {
            TextFault fault;
            if (!ECRCodePage::FromUtf8(line, text, fault))
                return problem(fault.Describe());
        }
        lines.push_back(Line{number, std::move(text)});
    }
    return true;
}

bool TextLineReader::IsBlank(std::string_view line)
{
    return line.find_first_not_of(" \t") == std::string_view::npos;
}
