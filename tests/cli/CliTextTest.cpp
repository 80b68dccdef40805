#include "JsonReader.h"

#include "cli/CliArgs.h"
#include "cli/CliFailure.h"
#include "ecr/files/JsonValue.h"
#include "cli/RawPayload.h"
#include "cli/TerminalText.h"
#include "ecr/commands/Utf8.h"
#include "ecr/protocol/ECRString.h"
#include "ecr/protocol/ECRTrafficText.h"

#include <gtest/gtest.h>

TEST(CliArgsText, SerbianLettersBothWays)
{
    // č ć ž š đ Č Ć Ž Š Đ in UTF-8 and their Windows-1250 bytes.
    const std::string utf8 = "\xC4\x8D\xC4\x87\xC5\xBE\xC5\xA1\xC4\x91\xC4\x8C\xC4\x86\xC5\xBD\xC5\xA0\xC4\x90";
    const std::string cp = "\xE8\xE6\x9E\x9A\xF0\xC8\xC6\x8E\x8A\xD0";
    EXPECT_EQ(std::string(CliArgs::ToRegister(utf8).Data()), cp);
    EXPECT_EQ(CliArgs::FromRegister(ECRString(cp.c_str())), utf8);
    EXPECT_EQ(std::string(CliArgs::ToRegister("Sok 0,5l \xE2\x82\xAC").Data()), "Sok 0,5l \x80");  // euro sign
    EXPECT_EQ(CliArgs::FromRegister("\x81\xFF\xA0"), "\xEF\xBF\xBD\xCB\x99\xC2\xA0");  // undefined, dot above, no-break space
}

TEST(CliArgsText, WhatCannotReachTheRegisterIsRefusedNeverReplaced)
{
    struct Case {
        std::string typed;
        std::string message;
    };
    const Case cases[] = {
        {"\xE6\x97\xA5\xE6\x9C\xAC", "'\xE6\x97\xA5' (U+65E5) at character 1 has no Windows-1250 form"},
        {"\xD0\x9C\xD0\xBE\xD1\x81\xD0\xBA\xD0\xB2\xD0\xB0", "'\xD0\x9C' (U+041C) at character 1 has no Windows-1250 form"},
        {"Sok\xC0\x80XYZ", "not valid UTF-8 at byte 4"},
        {"\xFF" "b", "not valid UTF-8 at byte 1"},
        {"Sok\xC4", "not valid UTF-8 at byte 4"},
        {"Sok\tX", "the control byte 0x09 (TAB) at character 4"},
        {"Sok\nX", "the control byte 0x0A (LF) at character 4"},
    };
    for (const Case& c : cases) {
        try {
            CliArgs::ToRegister(c.typed);
            ADD_FAILURE() << c.message << ": accepted";
        } catch (const CliFailure& failure) {
            EXPECT_EQ(failure.ExitCode(), CliFailure::kUsage);
            EXPECT_EQ(std::string(failure.what()), c.message);
        }
    }
}

TEST(TrafficTextForm, MonitorLines)
{
    const auto Format = [](const ECRString& text) {
        return ECRTrafficText::Entry(std::string_view(text.Data(), text.Length()));
    };
    EXPECT_EQ(Format("A"), "41-\n A ");
    EXPECT_EQ(Format("$c"), "24-63-\n $  c ");
    EXPECT_EQ(Format(""), "\n");
    EXPECT_EQ(Format("\x1B\x0A\x80\xFF\x7F"), "1B-0A-80-FF-7F-\n .  .  .  .  \x7F ");
    EXPECT_EQ(Format(ECRString('\0')), "\n") << "shown only up to a zero byte";
}

TEST(RawPayloadEscapes, TerminatorsAndText)
{
    struct Case {
        const char* typed;
        std::string bytes;
    };
    const Case cases[] = {
        {"$c", "$c"},
        {"#u12\\x0A", "#u12\x0A"},
        {"#y1\\x1f0\\x1F", "#y1\x1F" "0\x1F"},
        {"a\\tb\\nc\\\\d", "a\tb\nc\\d"},
        {"\xC4\x8C\\xC8", "\xC8\xC8"},  // a typed Č and an escaped one are the same byte
    };
    for (const Case& c : cases) {
        std::string bytes, error;
        ASSERT_TRUE(RawPayload::Decode(c.typed, bytes, error)) << c.typed << ": " << error;
        EXPECT_EQ(bytes, c.bytes) << c.typed;
    }
    for (const char* bad : {"abc\\", "\\x1", "\\xZZ", "\\x00", "\\q", "$c\xC0\x80junk", "$c\xE6\x97\xA5"}) {
        std::string bytes, error;
        EXPECT_FALSE(RawPayload::Decode(bad, bytes, error)) << bad;
        EXPECT_FALSE(error.empty());
    }
    // Found by fuzzing: a zero byte typed as such, not escaped.
    std::string bytes, error;
    EXPECT_FALSE(RawPayload::Decode(std::string("$\x04\0]", 4), bytes, error));
    EXPECT_EQ(error, "a zero byte cannot be sent inside a request");
}

TEST(JsonValueDump, ReadsBackWithEveryKindAndEscape)
{
    JsonValue root = JsonValue::Object();
    root.Set("text", "quote \" back \\ tab \t nl \n cr \r bell \x07 \xC4\x8D");
    root.Set("count", std::int64_t{-42});
    root.Set("flag", false);
    root.Set("nothing", JsonValue());
    JsonValue& list = root.Set("list", JsonValue::Array());
    list.Push(1);
    list.Push(JsonValue::Object());
    root.Set("count", 7);  // replaces, keeps one key

    const Json back = Json::Parse(root.Dump());
    EXPECT_EQ(back["text"].text, "quote \" back \\ tab \t nl \n cr \r bell \x07 \xC4\x8D");
    EXPECT_EQ(back["count"].number, 7);
    EXPECT_FALSE(back["flag"].boolean);
    EXPECT_EQ(back["nothing"].kind, Json::Kind::Null);
    ASSERT_EQ(back["list"].items.size(), 2U);
    EXPECT_EQ(back["list"].items[1].kind, Json::Kind::Object);
}

TEST(JsonValueDump, BytesThatAreNoUtf8StillGiveValidJson)
{
    JsonValue root = JsonValue::Object();
    root.Set("path", "/tmp/dump\xFF.bin");
    root.Set("mixed", "\xC4\x8D\xC0\x80\xED\xA0\x80" "a");
    const std::string text = root.Dump();
    EXPECT_TRUE(Utf8::IsValid(text)) << text;
    const Json back = Json::Parse(text);
    EXPECT_EQ(back["path"].text, "/tmp/dump\xEF\xBF\xBD.bin");
    EXPECT_EQ(back["mixed"].text, "\xC4\x8D\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD" "a");
}

TEST(TerminalTextEscape, NoControlByteReachesTheTerminalAndTheBytesReadBack)
{
    struct Case {
        std::string bytes;
        std::string shown;
    };
    const Case cases[] = {
        {"ttyUSB0 FT232R", "ttyUSB0 FT232R"},
        {"\xC4\x90or\xC4\x91" "e", "\xC4\x90or\xC4\x91" "e"},              // Đorđe: letters stay
        {"ev\x1B[2J", "ev\\x1B[2J"},                                    // clears the screen
        {"\x1B]0;x\x07tab\there\x7F", "\\x1B]0;x\\x07tab\\x09here\\x7F"},  // retitles the window
        {"csi\xC2\x9B" "2J", "csi\\xC2\\x9B2J"},                        // C1 in UTF-8
        {"bad\xFF\xC4", "bad\\xFF\\xC4"},                              // no UTF-8, cut short
        {"a\\x41", "a\\\\x41"},                                      // a backslash is no escape
        {std::string("nul\0x", 5), "nul\\x00x"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(TerminalText::Escape(c.bytes), c.shown) << c.shown;
}
