#include "cli/RawPayload.h"

#include "ecr/commands/ECRCodePage.h"
#include "ecr/commands/TextFault.h"
#include "ecr/files/FaultText.h"
#include "ecr/protocol/ECRTrafficText.h"

bool RawPayload::Decode(const std::string& typed, std::string& bytes, std::string& error)
{
    // Escapes are plain ASCII, so converting first leaves them intact.
    std::string text;
    TextFault fault;
    if (!ECRCodePage::FromUtf8(typed, text, fault)) {
        error = FaultText::Describe(fault, FaultText::Language::English);
        return false;
    }
    // A typed zero byte cannot come from a command line, but the rule holds for any caller.
    if (text.find('\0') != std::string::npos) {
        error = "a zero byte cannot be sent inside a request";
        return false;
    }
    bytes.clear();
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\') {
            bytes += text[i];
            continue;
        }
        if (i + 1 >= text.size()) {
            error = "a lone \\ at the end of the payload";
            return false;
        }
        const char kind = text[++i];
        if (kind == '\\') {
            bytes += '\\';
        } else if (kind == 'n') {
            bytes += '\x0A';
        } else if (kind == 't') {
            bytes += '\x09';
        } else if (kind == 'x') {
            const int high = i + 1 < text.size() ? ECRTrafficText::HexDigit(text[i + 1]) : -1;
            const int low = i + 2 < text.size() ? ECRTrafficText::HexDigit(text[i + 2]) : -1;
            if (high < 0 || low < 0) {
                error = "\\x needs two hexadecimal digits";
                return false;
            }
            const int value = high * 16 + low;
            if (value == 0) {
                error = "a zero byte cannot be sent inside a request";
                return false;
            }
            bytes += static_cast<char>(value);
            i += 2;
        } else {
            error = std::string("unknown escape \\") + kind;
            return false;
        }
    }
    return true;
}
