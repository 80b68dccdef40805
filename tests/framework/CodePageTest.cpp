#include "framework/CodePage.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct Mapping {
    CodePage::Id codePage;
    unsigned char byte;
    char16_t character;
};

// Written from the Windows code page charts, letter by letter.
const Mapping kMappings[] = {
    {CodePage::Windows1250, 0xB1, u'\u00B1'},  // plus-minus, the register's message 35
    {CodePage::Windows1250, 0x80, u'\u20AC'},  // euro
    {CodePage::Windows1250, 0x8A, u'\u0160'},  // S caron
    {CodePage::Windows1250, 0x9A, u'\u0161'},  // s caron
    {CodePage::Windows1250, 0x8E, u'\u017D'},  // Z caron
    {CodePage::Windows1250, 0x9E, u'\u017E'},  // z caron
    {CodePage::Windows1250, 0xC8, u'\u010C'},  // C caron
    {CodePage::Windows1250, 0xE8, u'\u010D'},  // c caron
    {CodePage::Windows1250, 0xC6, u'\u0106'},  // C acute
    {CodePage::Windows1250, 0xE6, u'\u0107'},  // c acute
    {CodePage::Windows1250, 0xD0, u'\u0110'},  // D stroke
    {CodePage::Windows1250, 0xF0, u'\u0111'},  // d stroke
    {CodePage::Windows1250, 0xA0, u'\u00A0'},
    {CodePage::Windows1250, 0xFF, u'\u02D9'},
    {CodePage::Windows1251, 0xC0, u'\u0410'},  // A
    {CodePage::Windows1251, 0xDF, u'\u042F'},  // YA
    {CodePage::Windows1251, 0xE0, u'\u0430'},  // a
    {CodePage::Windows1251, 0xFF, u'\u044F'},  // ya
    {CodePage::Windows1251, 0x80, u'\u0402'},  // DJE
    {CodePage::Windows1251, 0x8E, u'\u040B'},  // TSHE
    {CodePage::Windows1251, 0x9A, u'\u0459'},  // lje
    {CodePage::Windows1251, 0xA3, u'\u0408'},  // JE
    {CodePage::Windows1251, 0xA8, u'\u0401'},  // IO
    {CodePage::Windows1251, 0xB1, u'\u00B1'},
    {CodePage::Windows1251, 0xB9, u'\u2116'},  // numero
    {CodePage::Windows1251, 0x88, u'\u20AC'},
};

TEST(CodePage, MapsBytesToCharactersAndBack)
{
    for (const Mapping& m : kMappings) {
        SCOPED_TRACE(testing::Message() << "code page " << m.codePage << " byte " << int(m.byte));
        EXPECT_EQ(CodePage::ToUnicode(m.byte, m.codePage), m.character);
        EXPECT_EQ(static_cast<unsigned char>(CodePage::FromUnicode(m.character, m.codePage).value()), m.byte);
    }
}

TEST(CodePage, EveryByteSurvivesARoundTripInBothCodePages)
{
    std::string all;
    for (int b = 1; b < 256; ++b) {
        all.push_back(static_cast<char>(b));
    }
    for (CodePage::Id codePage : {CodePage::Windows1250, CodePage::Windows1251}) {
        const QString text = CodePage::ToUnicode(all, codePage);
        ASSERT_EQ(text.size(), 255);
        std::string bytes;
        TextFault fault;
        ASSERT_TRUE(CodePage::FromUnicode(text, bytes, fault, codePage)) << fault.CharacterText();
        EXPECT_EQ(bytes, all) << "code page " << codePage;
    }
}

TEST(CodePage, TextsConvertWholeAndUnknownCharactersAreRefusedWithTheirPlace)
{
    EXPECT_EQ(CodePage::ToUnicode(std::string("\x8Aljiva \xE8""a\xB1", 10)), QString::fromUtf8("Šljiva ča±"));
    EXPECT_EQ(CodePage::ToUnicode(std::string("\xCA\xE0\xF1\xE0"), CodePage::Windows1251), QString::fromUtf8("Каса"));
    std::string bytes;
    TextFault fault;
    ASSERT_TRUE(CodePage::FromUnicode(QString::fromUtf8("Каса"), bytes, fault, CodePage::Windows1251));
    EXPECT_EQ(bytes, "\xCA\xE0\xF1\xE0");
    // Cyrillic has no place in the Central European table, nor CJK in either.
    struct Case {
        const char* text;
        CodePage::Id codePage;
        char32_t character;
        std::size_t position;
    };
    const Case cases[] = {
        {"Kasa Ж 中", CodePage::Windows1250, U'Ж', 6},
        {"Kasa 中", CodePage::Windows1251, U'中', 6},
        {"ž", CodePage::Windows1251, U'ž', 1},
        {"a😀b", CodePage::Windows1250, U'😀', 2},  // one character, not two UTF-16 units
    };
    for (const Case& c : cases) {
        EXPECT_FALSE(CodePage::FromUnicode(QString::fromUtf8(c.text), bytes, fault, c.codePage)) << c.text;
        EXPECT_EQ(fault.character, c.character) << c.text;
        EXPECT_EQ(fault.position, c.position) << c.text;
        EXPECT_EQ(fault.codePage, c.codePage) << c.text;
    }
    // Only for display does a missing character become '?'.
    EXPECT_EQ(CodePage::FromUnicodeForDisplay(QString::fromUtf8("Kasa Ж")), "Kasa ?");
    EXPECT_TRUE(CodePage::ToUnicode(std::string()).isEmpty());
}

// The register bytes of a text every byte of which the code page holds.
std::string Bytes(const QString& text, CodePage::Id codePage = CodePage::Windows1250)
{
    std::string bytes;
    TextFault fault;
    EXPECT_TRUE(CodePage::FromUnicode(text, bytes, fault, codePage)) << fault.CharacterText();
    return bytes;
}

TEST(CodePage, LowerCaseFollowsTheCodePagesOwnLetters)
{
    const QString upper = QString::fromUtf8("ŠŽČĆĐŚŹŁĄĘŇŘŤŮŐŰ AZ 09 ×ß");
    const QString lower = QString::fromUtf8("šžčćđśźłąęňřťůőű az 09 ×ß");
    EXPECT_EQ(CodePage::ToUnicode(CodePage::ToLower(Bytes(upper))), lower);
    EXPECT_EQ(CodePage::ToUnicode(CodePage::ToLower(Bytes(QString::fromUtf8("ЖЋЉ"), CodePage::Windows1251),
                                                    CodePage::Windows1251),
                                  CodePage::Windows1251),
              QString::fromUtf8("жћљ"));
    // Bytes with no letter stay as they are, undefined ones included.
    EXPECT_EQ(CodePage::ToLower(std::string("\x81\x98\x00\x7F", 4)), std::string("\x81\x98\x00\x7F", 4));
}

}  // namespace
