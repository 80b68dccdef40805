#include "ecr/commands/ECRCodePage.h"

#include "ecr/commands/TextFault.h"
#include "ecr/commands/Utf8.h"
#include "ecr/protocol/ECRString.h"

#include <algorithm>
#include <array>
#include <utility>

namespace {

using Table = std::array<char16_t, 128>;

// Characters of the bytes 0x80..0xFF; 0 marks an undefined byte.
constexpr Table kWindows1250 = {
    0x20AC, 0,      0x201A, 0,      0x201E, 0x2026, 0x2020, 0x2021,  // 80
    0,      0x2030, 0x0160, 0x2039, 0x015A, 0x0164, 0x017D, 0x0179,  // 88
    0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 90
    0,      0x2122, 0x0161, 0x203A, 0x015B, 0x0165, 0x017E, 0x017A,  // 98
    0x00A0, 0x02C7, 0x02D8, 0x0141, 0x00A4, 0x0104, 0x00A6, 0x00A7,  // A0
    0x00A8, 0x00A9, 0x015E, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x017B,  // A8
    0x00B0, 0x00B1, 0x02DB, 0x0142, 0x00B4, 0x00B5, 0x00B6, 0x00B7,  // B0
    0x00B8, 0x0105, 0x015F, 0x00BB, 0x013D, 0x02DD, 0x013E, 0x017C,  // B8
    0x0154, 0x00C1, 0x00C2, 0x0102, 0x00C4, 0x0139, 0x0106, 0x00C7,  // C0
    0x010C, 0x00C9, 0x0118, 0x00CB, 0x011A, 0x00CD, 0x00CE, 0x010E,  // C8
    0x0110, 0x0143, 0x0147, 0x00D3, 0x00D4, 0x0150, 0x00D6, 0x00D7,  // D0
    0x0158, 0x016E, 0x00DA, 0x0170, 0x00DC, 0x00DD, 0x0162, 0x00DF,  // D8
    0x0155, 0x00E1, 0x00E2, 0x0103, 0x00E4, 0x013A, 0x0107, 0x00E7,  // E0
    0x010D, 0x00E9, 0x0119, 0x00EB, 0x011B, 0x00ED, 0x00EE, 0x010F,  // E8
    0x0111, 0x0144, 0x0148, 0x00F3, 0x00F4, 0x0151, 0x00F6, 0x00F7,  // F0
    0x0159, 0x016F, 0x00FA, 0x0171, 0x00FC, 0x00FD, 0x0163, 0x02D9,  // F8
};

constexpr Table kWindows1251 = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021,  // 80
    0x20AC, 0x2030, 0x0409, 0x2039, 0x040A, 0x040C, 0x040B, 0x040F,  // 88
    0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 90
    0,      0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F,  // 98
    0x00A0, 0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6, 0x00A7,  // A0
    0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407,  // A8
    0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6, 0x00B7,  // B0
    0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457,  // B8
    0x0410, 0x0411, 0x0412, 0x0413, 0x0414, 0x0415, 0x0416, 0x0417,  // C0
    0x0418, 0x0419, 0x041A, 0x041B, 0x041C, 0x041D, 0x041E, 0x041F,  // C8
    0x0420, 0x0421, 0x0422, 0x0423, 0x0424, 0x0425, 0x0426, 0x0427,  // D0
    0x0428, 0x0429, 0x042A, 0x042B, 0x042C, 0x042D, 0x042E, 0x042F,  // D8
    0x0430, 0x0431, 0x0432, 0x0433, 0x0434, 0x0435, 0x0436, 0x0437,  // E0
    0x0438, 0x0439, 0x043A, 0x043B, 0x043C, 0x043D, 0x043E, 0x043F,  // E8
    0x0440, 0x0441, 0x0442, 0x0443, 0x0444, 0x0445, 0x0446, 0x0447,  // F0
    0x0448, 0x0449, 0x044A, 0x044B, 0x044C, 0x044D, 0x044E, 0x044F,  // F8
};

const Table& TableOf(ECRCodePage::Id codePage)
{
    return codePage == ECRCodePage::Windows1251 ? kWindows1251 : kWindows1250;
}

// Reverse lookup, sorted by character, built once per code page. The
// undefined bytes sort first under character 0 and are never looked up.
using Reverse = std::array<std::pair<char16_t, unsigned char>, 128>;

Reverse MakeReverse(const Table& table)
{
    Reverse reverse{};
    for (std::size_t i = 0; i < table.size(); ++i) {
        reverse[i] = {table[i], static_cast<unsigned char>(0x80 + i)};
    }
    std::sort(reverse.begin(), reverse.end());
    return reverse;
}

const Reverse& ReverseOf(ECRCodePage::Id codePage)
{
    static const Reverse r1250 = MakeReverse(kWindows1250);
    static const Reverse r1251 = MakeReverse(kWindows1251);
    return codePage == ECRCodePage::Windows1251 ? r1251 : r1250;
}

}  // namespace

std::optional<char32_t> ECRCodePage::ToCodePoint(unsigned char byte, Id codePage)
{
    if (byte < 0x80) {
        return byte;
    }
    const char16_t character = TableOf(codePage)[byte - 0x80];
    if (character == 0) {
        return std::nullopt;
    }
    return character;
}

std::optional<unsigned char> ECRCodePage::FromCodePoint(char32_t character, Id codePage)
{
    if (character < 0x80) {
        return static_cast<unsigned char>(character);
    }
    if (character > 0xFFFF) {
        return std::nullopt;
    }
    const Reverse& reverse = ReverseOf(codePage);
    const auto wanted = static_cast<char16_t>(character);
    const auto it =
        std::lower_bound(reverse.begin(), reverse.end(), std::make_pair(wanted, static_cast<unsigned char>(0)));
    if (it != reverse.end() && it->first == wanted) {
        return it->second;
    }
    return std::nullopt;
}

const char* ECRCodePage::Name(Id codePage)
{
    return codePage == Windows1251 ? "Windows-1251" : "Windows-1250";
}

bool ECRCodePage::FromUnicode(std::u32string_view text, std::string& bytes, TextFault& fault, Id codePage)
{
    bytes.clear();
    bytes.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char32_t character = text[i];
        std::optional<unsigned char> byte = FromCodePoint(character, codePage);
        if (!byte && character >= 0x80 && character <= 0x9F &&
            !ToCodePoint(static_cast<unsigned char>(character), codePage))
            byte = static_cast<unsigned char>(character);
        if (!byte) {
            fault = TextFault{TextFault::Kind::NoByte, i + 1, character, codePage};
            return false;
        }
        bytes.push_back(static_cast<char>(*byte));
    }
    return true;
}

bool ECRCodePage::FromUtf8(std::string_view utf8, std::string& bytes, TextFault& fault, Id codePage)
{
    std::u32string characters;
    std::size_t badOffset = 0;
    if (!Utf8::Decode(utf8, characters, badOffset)) {
        fault = TextFault{TextFault::Kind::NotUtf8, badOffset + 1, 0, codePage};
        return false;
    }
    return FromUnicode(characters, bytes, fault, codePage);
}

std::string ECRCodePage::ToUtf8(const ECRString& text, Id codePage)
{
    return ToUtf8(std::string_view(text.Data(), text.Length()), codePage);
}

std::string ECRCodePage::ToUtf8(std::string_view bytes, Id codePage)
{
    std::string out;
    out.reserve(bytes.size());
    for (const char c : bytes)
        Utf8::Append(out, ToCodePoint(static_cast<unsigned char>(c), codePage).value_or(Utf8::kReplacement));
    return out;
}
