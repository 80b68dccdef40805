#include "JsonReader.h"

#include "cli/Cp1250.h"
#include "cli/JsonValue.h"
#include "cli/RawPayload.h"
#include "ecr/protocol/ECRString.h"
#include "ecr/protocol/ECRTrafficText.h"

#include <gtest/gtest.h>

TEST(Cp1250Conversion, SerbianLettersBothWays)
{
    // č ć ž š đ Č Ć Ž Š Đ in UTF-8 and their Windows-1250 bytes.
    const std::string utf8 = "\xC4\x8D\xC4\x87\xC5\xBE\xC5\xA1\xC4\x91\xC4\x8C\xC4\x86\xC5\xBD\xC5\xA0\xC4\x90";
    const std::string cp = "\xE8\xE6\x9E\x9A\xF0\xC8\xC6\x8E\x8A\xD0";
    EXPECT_EQ(Cp1250::FromUtf8(utf8), cp);
    EXPECT_EQ(Cp1250::ToUtf8(cp), utf8);
    EXPECT_EQ(Cp1250::FromUtf8("Sok 0,5l"), "Sok 0,5l");
}

TEST(Cp1250Conversion, WhatTheCodePageLacks)
{
    EXPECT_EQ(Cp1250::FromUtf8("\xE2\x82\xAC"), "\x80");                // euro sign
    EXPECT_EQ(Cp1250::FromUtf8("\xD0\x96" "a"), "?a");                  // Cyrillic Zhe has no byte here
    EXPECT_EQ(Cp1250::FromUtf8("\xFF" "b"), "?b");                      // not UTF-8 at all
    EXPECT_EQ(Cp1250::FromUtf8("\xC4"), "?");                           // cut sequence
    EXPECT_EQ(Cp1250::ToUtf8("\x81"), "\xEF\xBF\xBD");                  // undefined byte
    EXPECT_EQ(Cp1250::ToUtf8("\xFF\xA0"), "\xCB\x99\xC2\xA0");          // dot above, no-break space
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
    for (const char* bad : {"abc\\", "\\x1", "\\xZZ", "\\x00", "\\q"}) {
        std::string bytes, error;
        EXPECT_FALSE(RawPayload::Decode(bad, bytes, error)) << bad;
        EXPECT_FALSE(error.empty());
    }
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
