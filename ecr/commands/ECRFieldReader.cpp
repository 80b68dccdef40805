#include "ecr/commands/ECRFieldReader.h"

#include "ecr/commands/ECRCodePage.h"
#include "ecr/commands/ScaledAmount.h"
#include "ecr/commands/Utf8.h"
#include "ecr/protocol/ECRFrame.h"
#include "ecr/protocol/ECRTrafficText.h"

#include <cinttypes>
#include <cstdio>

namespace {

using Format = ECRCommandTable::Format;

std::string TwoDigits(std::int64_t value)
{
    char text[24];
    std::snprintf(text, sizeof text, "%02" PRId64, value);
    return text;
}

std::string TerminatorName(char terminator)
{
    switch (terminator) {
    case ECRFrame::US:
        return "1F";
    case ECRFrame::LF:
        return "LF";
    case ECRFrame::HT:
        return "TAB";
    default:
        return "the end";
    }
}

}  // namespace

bool ECRFieldReader::Read(const ECRCommandTable::Layout& layout)
{
    bool optional = false;
    for (const ECRCommandTable::Field& field : layout) {
        optional = optional || field.optional;
        if (optional && m_pos == m_data.size()) {
            return true;
        }
        for (int k = 0; k < field.count; ++k) {
            if (!ReadField(field, Name(field, k))) {
                return false;
            }
        }
    }
    if (m_pos != m_data.size()) {
        return Fail("extra bytes after the fields");
    }
    return true;
}

std::string ECRFieldReader::Describe(const std::vector<ECRCommandTable::Layout>& layouts, std::string_view data)
{
    if (layouts.empty()) {
        return data.empty() ? std::string() : ": data=" + ShowText(data);
    }
    for (const ECRCommandTable::Layout& layout : layouts) {
        ECRFieldReader reader(data);
        if (reader.Read(layout)) {
            return reader.Text().empty() ? std::string() : ": " + reader.Text();
        }
    }
    ECRFieldReader first(data);
    first.Read(layouts.front());
    const std::string text = first.Text().empty() ? std::string(":") : ": " + first.Text();
    const std::string bytes = data.empty() ? "no data" : "data " + ECRTrafficText::HexLine(data);
    return text + " [unparsable: " + first.Error() + "; " + bytes + "]";
}

bool ECRFieldReader::ParseInt(std::string_view text, std::int64_t& value)
{
    std::size_t i = 0;
    const bool negative = !text.empty() && text[0] == '-';
    if (negative) {
        ++i;
    }
    // Ten digits reach past the int range; the register's numbers never do.
    if (i == text.size() || text.size() - i > 10) {
        return false;
    }
    value = 0;
    for (; i < text.size(); ++i) {
        if (text[i] < '0' || text[i] > '9') {
            return false;
        }
        value = value * 10 + (text[i] - '0');
    }
    if (negative) {
        value = -value;
    }
    return value >= INT32_MIN && value <= INT32_MAX;
}

std::string ECRFieldReader::ShowText(std::string_view bytes, bool quote)
{
    std::string text;
    bool quoted = bytes.empty();
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        const auto character = ECRCodePage::ToCodePoint(byte);
        if (byte < 0x20 || byte == 0x7F || !character) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\x%02X", byte);
            text += escaped;
        } else if (quote && (c == '"' || c == '\\')) {
            text += '\\';
            text += c;
            quoted = true;
        } else {
            Utf8::Append(text, *character);
            quoted = quoted || c == ' ' || c == '=';
        }
    }
    return quote && quoted ? "\"" + text + "\"" : text;
}

std::string ECRFieldReader::Name(const ECRCommandTable::Field& field, int index)
{
    if (field.name[0] == '\0') {
        return ECRCommandTable::RateName(index);
    }
    return field.count > 1 ? field.name + std::to_string(index + 1) : std::string(field.name);
}

bool ECRFieldReader::Take(char terminator, const std::string& name, std::string_view& token)
{
    if (terminator == 0) {
        token = m_data.substr(m_pos);
        m_pos = m_data.size();
        return true;
    }
    if (m_pos == m_data.size()) {
        return Fail(name + " missing");
    }
    const std::size_t end = m_data.find(terminator, m_pos);
    if (end == std::string_view::npos) {
        return Fail(name + " not ended by " + TerminatorName(terminator));
    }
    token = m_data.substr(m_pos, end - m_pos);
    m_pos = end + 1;
    return true;
}

bool ECRFieldReader::TakeInt(char terminator, const std::string& name, std::int64_t& value)
{
    std::string_view token;
    if (!Take(terminator, name, token)) {
        return false;
    }
    if (!ParseInt(token, value)) {
        return Fail(name + " is not a number: " + ShowText(token));
    }
    return true;
}

bool ECRFieldReader::ReadField(const ECRCommandTable::Field& field, const std::string& name)
{
    std::string value;
    if (field.format == Format::DateTime || field.format == Format::Date) {
        const int parts = field.format == Format::DateTime ? 5 : 3;
        static const char* const partNames[] = {"year", "month", "day", "hour", "minute"};
        std::int64_t numbers[5] = {};
        for (int i = 0; i < parts; ++i) {
            if (!TakeInt(ECRFrame::US, name + "." + partNames[i], numbers[i])) {
                return false;
            }
        }
        // The register counts years from 2000.
        value = std::to_string(2000 + numbers[0]) + "-" + TwoDigits(numbers[1]) + "-" + TwoDigits(numbers[2]);
        if (parts == 5) {
            value += " " + TwoDigits(numbers[3]) + ":" + TwoDigits(numbers[4]);
        }
    } else if (field.format == Format::Text) {
        std::string_view token;
        if (!Take(field.terminator, name, token)) {
            return false;
        }
        value = ShowText(token);
    } else {
        std::int64_t number = 0;
        if (!TakeInt(field.terminator, name, number)) {
            return false;
        }
        const auto amount = static_cast<std::int32_t>(number);
        switch (field.format) {
        case Format::Price:
            value = FormatScaled(amount, 2).Data();
            break;
        case Format::Quantity:
            value = FormatScaled(amount, 3).Data();
            break;
        case Format::Rate:
            value = std::string(FormatScaled(amount, 2).Data()) + "%";
            break;
        default:
            value = std::to_string(number);
            break;
        }
    }
    if (!m_text.empty()) {
        m_text += ' ';
    }
    m_text += name + "=" + value;
    return true;
}

bool ECRFieldReader::Fail(const std::string& reason)
{
    m_error = reason;
    return false;
}
