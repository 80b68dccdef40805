#include "ecr/articles/TextLineReader.h"

#include "ecr/commands/ECRCodePage.h"
#include "ecr/commands/TextFault.h"
#include "ecr/commands/Utf8.h"

bool TextLineReader::Split(std::string_view bytes, const std::string& name, const Limits& limits,
                           std::vector<Line>& lines, FileFault& fault)
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

        const auto problem = [&](FileFault::Kind kind) -> FileFault& {
            fault = FileFault::OfFile(kind, name);
            fault.line = number;
            return fault;
        };
        if (line.size() > limits.maxLineBytes) {
            problem(FileFault::Kind::LineTooLong).limit = limits.maxLineBytes;
            return false;
        }
        if (line.find('\0') != std::string_view::npos) {
            problem(FileFault::Kind::ZeroByte);
            return false;
        }
        if (IsBlank(line))
            continue;
        std::string text(line);
        if (utf8) {
            TextFault textFault;
            if (!ECRCodePage::FromUtf8(line, text, textFault)) {
                problem(FileFault::Kind::Text).text = textFault;
                return false;
            }
        }
        lines.push_back(Line{number, std::move(text)});
    }
    return true;
}

bool TextLineReader::IsBlank(std::string_view line)
{
    return line.find_first_not_of(" \t") == std::string_view::npos;
}
