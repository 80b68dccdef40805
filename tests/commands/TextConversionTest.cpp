// The strict UTF-8 decoder and the code page conversion that every text for
// the register goes through, and the article limits checked before a file's
// articles are sent.
#include "ecr/commands/ECRArticleRules.h"
#include "ecr/commands/ECRCodePage.h"
#include "ecr/commands/TextFault.h"
#include "ecr/commands/Utf8.h"
#include "ecr/files/FaultText.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace {

// What a decoder that replaces every bad part with U+FFFD gives.
std::u32string Replaced(std::string_view text)
{
    std::u32string out;
    std::size_t at = 0;
    while (at < text.size()) {
        char32_t character = 0;
        out.push_back(Utf8::Next(text, at, character) ? character : Utf8::kReplacement);
    }
    return out;
}

}  // namespace

TEST(Utf8Decoding, TheStandardsExampleOfReplacingIllFormedParts)
{
    // The Unicode standard's example for U+FFFD substitution (chapter 3, "U+FFFD
    // Substitution of Maximal Subparts"): 61 F1 80 80 E1 80 C2 62 80 63 80 BF 64.
    const std::string bytes = "\x61\xF1\x80\x80\xE1\x80\xC2\x62\x80\x63\x80\xBF\x64";
    EXPECT_EQ(Replaced(bytes), U"a\uFFFD\uFFFD\uFFFDb\uFFFDc\uFFFD\uFFFDd");
}

TEST(Utf8Decoding, IllFormedSequencesAreRefusedWithTheirOffset)
{
    struct Case {
        const char* what;
        std::string bytes;
        std::size_t badOffset;
    };
    const Case cases[] = {
        {"overlong zero, two bytes", "Sok\xC0\x80XYZ", 3},
        {"overlong zero, three bytes", "\xE0\x80\x80", 0},
        {"overlong zero, four bytes", "\xF0\x80\x80\x80", 0},
        {"overlong slash C1", "a\xC1\xAF", 1},
        {"overlong U+07FF in three bytes", "\xE0\x9F\xBF", 0},
        {"overlong U+FFFF in four bytes", "\xF0\x8F\xBF\xBF", 0},
        {"high surrogate D800", "ab\xED\xA0\x80", 2},
        {"low surrogate DFFF", "\xED\xBF\xBF", 0},
        {"above U+10FFFF", "\xF4\x90\x80\x80", 0},
        {"F5 lead byte", "\xF5\x80\x80\x80", 0},
        {"FE and FF", "\xFE\xFF", 0},
        {"lone continuation byte", "x\x80", 1},
        {"sequence cut short at the end", "\xC4", 0},
        {"three-byte sequence cut short", "ok\xE2\x82", 2},
        {"continuation missing before ASCII", "\xC4" "a", 0},
        {"Windows-1250 text is no UTF-8", "\xC8" "aj", 0},
    };
    for (const Case& c : cases) {
        std::u32string characters;
        std::size_t badOffset = 99;
        EXPECT_FALSE(Utf8::Decode(c.bytes, characters, badOffset)) << c.what;
        EXPECT_EQ(badOffset, c.badOffset) << c.what;
        EXPECT_FALSE(Utf8::IsValid(c.bytes)) << c.what;
    }
}

TEST(Utf8Decoding, WellFormedEdgesDecodeAndEncodeBack)
{
    struct Case {
        std::string bytes;
        char32_t character;
    };
    const Case cases[] = {
        {std::string(1, '\0'), 0x0000}, {"\x7F", 0x007F},          {"\xC2\x80", 0x0080},
        {"\xDF\xBF", 0x07FF},           {"\xE0\xA0\x80", 0x0800},  {"\xED\x9F\xBF", 0xD7FF},
        {"\xEE\x80\x80", 0xE000},       {"\xEF\xBF\xBD", 0xFFFD},  {"\xEF\xBF\xBF", 0xFFFF},
        {"\xF0\x90\x80\x80", 0x10000},  {"\xF4\x8F\xBF\xBF", 0x10FFFF},
    };
    for (const Case& c : cases) {
        std::u32string characters;
        std::size_t badOffset = 0;
        ASSERT_TRUE(Utf8::Decode(c.bytes, characters, badOffset)) << std::hex << static_cast<unsigned>(c.character);
        EXPECT_EQ(characters, std::u32string(1, c.character));
        EXPECT_EQ(Utf8::Encode(characters), c.bytes);
    }
}

TEST(CodePageConversion, SerbianLettersBothWays)
{
    // č ć ž š đ Č Ć Ž Š Đ in UTF-8 and their Windows-1250 bytes.
    const std::string utf8 = "\xC4\x8D\xC4\x87\xC5\xBE\xC5\xA1\xC4\x91\xC4\x8C\xC4\x86\xC5\xBD\xC5\xA0\xC4\x90";
    const std::string cp = "\xE8\xE6\x9E\x9A\xF0\xC8\xC6\x8E\x8A\xD0";
    std::string bytes;
    TextFault fault;
    ASSERT_TRUE(ECRCodePage::FromUtf8(utf8, bytes, fault)) << FaultText::Describe(fault, FaultText::Language::English);
    EXPECT_EQ(bytes, cp);
    EXPECT_EQ(ECRCodePage::ToUtf8(cp), utf8);
    // Cyrillic goes to Windows-1251 under the same rule: "Каса".
    ASSERT_TRUE(ECRCodePage::FromUtf8("\xD0\x9A\xD0\xB0\xD1\x81\xD0\xB0", bytes, fault, ECRCodePage::Windows1251));
    EXPECT_EQ(bytes, "\xCA\xE0\xF1\xE0");
    EXPECT_EQ(ECRCodePage::ToUtf8("\x81"), "\xEF\xBF\xBD") << "an undefined byte shows as U+FFFD";
}

TEST(CodePageConversion, RefusesWhatTheCodePageLacksAndSaysWhere)
{
    struct Case {
        const char* what;
        std::string utf8;
        ECRCodePage::Id codePage;
        std::string message;
    };
    const Case cases[] = {
        {"Japanese", "\xE6\x97\xA5\xE6\x9C\xAC", ECRCodePage::Windows1250,
         "'\xE6\x97\xA5' (U+65E5) at character 1 has no Windows-1250 form"},
        {"Cyrillic in Central European", "Mo\xD1\x81kva", ECRCodePage::Windows1250,
         "'\xD1\x81' (U+0441) at character 3 has no Windows-1250 form"},
        {"Central European in Cyrillic", "\xC5\xBE", ECRCodePage::Windows1251,
         "'\xC5\xBE' (U+017E) at character 1 has no Windows-1251 form"},
        {"beyond the first plane", "a\xF0\x9F\x98\x80", ECRCodePage::Windows1250,
         "'\xF0\x9F\x98\x80' (U+1F600) at character 2 has no Windows-1250 form"},
        {"a C1 control the code page defines", "\xC2\x80", ECRCodePage::Windows1250,
         "U+0080 at character 1 has no Windows-1250 form"},
        {"overlong zero", "Sok\xC0\x80XYZ", ECRCodePage::Windows1250, "not valid UTF-8 at byte 4"},
    };
    for (const Case& c : cases) {
        std::string bytes = "untouched";
        TextFault fault;
        EXPECT_FALSE(ECRCodePage::FromUtf8(c.utf8, bytes, fault, c.codePage)) << c.what;
        EXPECT_EQ(FaultText::Describe(fault, FaultText::Language::English), c.message) << c.what;
    }
}

TEST(CodePageConversion, UndefinedBytesShownAsC1ControlsGoBackUnchanged)
{
    // 0x81 and 0x98 have no character in Windows-1250; the window shows them
    // as U+0081 and U+0098, and they must go back as the same bytes.
    std::string bytes;
    TextFault fault;
    ASSERT_TRUE(ECRCodePage::FromUnicode(U"a\u0081\u0098", bytes, fault));
    EXPECT_EQ(bytes, "a\x81\x98");
    ASSERT_TRUE(ECRCodePage::FromUnicode(U"\u0098", bytes, fault, ECRCodePage::Windows1251));
    EXPECT_EQ(bytes, "\x98");
    EXPECT_FALSE(ECRCodePage::FromUnicode(U"\u0081", bytes, fault, ECRCodePage::Windows1251))
        << "0x81 is a letter in Windows-1251, so U+0081 stands for no byte there";
}

TEST(TextFaultControlBytes, TerminatorsAndOtherControlsAreFound)
{
    TextFault fault;
    EXPECT_FALSE(TextFault::FindControlByte("Sok 0,5l \xE8", fault));
    ASSERT_TRUE(TextFault::FindControlByte("Sok\tX", fault));
    EXPECT_EQ(FaultText::Describe(fault, FaultText::Language::English), "the control byte 0x09 (TAB) at character 4");
    ASSERT_TRUE(TextFault::FindControlByte("ab\x1F", fault));
    EXPECT_EQ(FaultText::Describe(fault, FaultText::Language::English), "the control byte 0x1F (US) at character 3");
    ASSERT_TRUE(TextFault::FindControlByte("\x7F", fault));
    EXPECT_EQ(FaultText::Describe(fault, FaultText::Language::English), "the control byte 0x7F at character 1");
}

TEST(ArticleRules, TheFirstFieldTheRegisterWouldRefuse)
{
    const auto article = [](const char* name, int price, int taxRate, int unit) {
        ECRArticle a;
        a.name = name;
        a.price = price;
        a.taxRate = taxRate;
        a.unit = unit;
        return a;
    };
    using Field = ECRArticleRules::Fault::Field;
    struct Case {
        ECRArticle article;
        std::optional<Field> field;  // none: taken
        const char* english;
        const char* serbian;
    };
    const std::string name32(32, 'x');
    const std::string name33(33, 'x');
    const Case cases[] = {
        {article("Sok", 1250, 2, 1), std::nullopt, "", ""},
        {article(name32.c_str(), 99999999, 8, 9), std::nullopt, "", ""},
        {article("Sok", 1, 0, 0), std::nullopt, "", ""},
        {article("", 100, 1, 1), Field::Name, "empty", "prazan"},
        {article(name33.c_str(), 100, 1, 1), Field::Name, "33 characters, the register takes at most 32",
         "33 znakova, kasa prima najvise 32"},
        {article("So\nk", 100, 1, 1), Field::Name, "holds the control byte 0x0A (LF) at character 3",
         "kontrolni znak 0x0A (LF) na mestu 3"},
        {article("a\\b", 100, 1, 1), Field::Name, "holds a backslash at character 2, which the register refuses",
         "obrnuta kosa crta na mestu 2, koju kasa ne prima"},
        {article("Sok", 0, 1, 1), Field::Price, "outside 0.01..999999.99", "van opsega 0.01..999999.99"},
        {article("Sok", 100000000, 1, 1), Field::Price, "outside 0.01..999999.99", "van opsega 0.01..999999.99"},
        {article("Sok", -5, 1, 1), Field::Price, "outside 0.01..999999.99", "van opsega 0.01..999999.99"},
        {article("Sok", 100, 9, 1), Field::TaxRate, "outside 0..8", "van opsega 0..8"},
        {article("Sok", 100, -1, 1), Field::TaxRate, "outside 0..8", "van opsega 0..8"},
        {article("Sok", 100, 1, 10), Field::Unit, "outside 0..9", "van opsega 0..9"},
    };
    for (const Case& c : cases) {
        const auto fault = ECRArticleRules::Check(c.article);
        if (!c.field) {
            EXPECT_FALSE(fault) << c.article.name.Data();
            continue;
        }
        ASSERT_TRUE(fault) << c.english;
        EXPECT_EQ(fault->field, *c.field) << c.english;
        EXPECT_EQ(FaultText::Describe(*fault, FaultText::Language::English), c.english);
        EXPECT_EQ(FaultText::Describe(*fault, FaultText::Language::Serbian), c.serbian);
    }
}
