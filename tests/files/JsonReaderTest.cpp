// The strict JSON reader: what it takes, what it refuses, and where it says so.
#include "ecr/files/JsonReader.h"

#include <gtest/gtest.h>

#include <limits>
#include <utility>
#include <vector>

namespace {

struct Refused {
    const char* label;
    std::string document;
    const char* message;  // the whole error: "line L, column C: ..."
};

void PrintTo(const Refused& c, std::ostream* os)
{
    *os << c.label;
}

class JsonReaderRefuses : public testing::TestWithParam<Refused> {};

JsonValue Read(const std::string& document)
{
    JsonValue value;
    std::string error;
    EXPECT_TRUE(JsonReader::Parse(document, value, error)) << error;
    return value;
}

}  // namespace

TEST_P(JsonReaderRefuses, WithWhereAndWhy)
{
    const Refused& c = GetParam();
    JsonValue value = JsonValue::Object();
    value.Set("kept", true);
    std::string error;
    EXPECT_FALSE(JsonReader::Parse(c.document, value, error));
    EXPECT_EQ(error, c.message);
    EXPECT_NE(value.Find("kept"), nullptr) << "a refused document changes nothing";
}

INSTANTIATE_TEST_SUITE_P(
    Documents, JsonReaderRefuses,
    testing::Values(
        Refused{"empty", "", "line 1, column 1: the document ends where a value should be"},
        Refused{"trailing_comma_object", "{\"a\": 1,}", "line 1, column 9: a comma before '}'"},
        Refused{"trailing_comma_array", "[1,\n 2, ]", "line 2, column 5: a comma before ']'"},
        Refused{"comment", "{} // note", "line 1, column 4: text after the end of the document"},
        Refused{"leading_zero", "[01]", "line 1, column 2: a number with a leading zero"},
        Refused{"fraction", "[1.5]", "line 1, column 3: only whole numbers are expected here"},
        Refused{"exponent", "[1e3]", "line 1, column 3: only whole numbers are expected here"},
        Refused{"too_large", "[9223372036854775808]", "line 1, column 2: a number beyond 64 bits"},
        Refused{"plus_sign", "[+1]", "line 1, column 2: not a JSON value"},
        Refused{"single_quotes", "['a']", "line 1, column 2: not a JSON value"},
        Refused{"bare_word", "[nul]", "line 1, column 2: not a JSON value"},
        Refused{"byte_order_mark", "\xEF\xBB\xBF{}", "line 1, column 1: a byte order mark is not JSON"},
        Refused{"raw_tab_in_string", "[\"a\tb\"]",
                "line 1, column 4: a control character in a string (it must be escaped)"},
        Refused{"invalid_utf8", "[\"a\xC0\x80\"]", "line 1, column 4: not valid UTF-8"},
        Refused{"lone_low_surrogate", "[\"\\uDC00\"]", "line 1, column 3: a \\u escape of a lone low surrogate"},
        Refused{"high_surrogate_alone", "[\"\\uD800x\"]",
                "line 1, column 3: a \\u escape of a high surrogate without its low half"},
        Refused{"short_escape", "[\"\\u12\"]", "line 1, column 7: a \\u escape needs four hexadecimal digits"},
        Refused{"unknown_escape", "[\"\\x41\"]", "line 1, column 3: an unknown escape in a string"},
        Refused{"duplicate_key", "{\"a\": 1, \"a\": 2}", "line 1, column 10: the key \"a\" appears twice"},
        Refused{"key_not_a_string", "{a: 1}", "line 1, column 2: expected a key in double quotes"},
        Refused{"missing_colon", "{\"a\" 1}", "line 1, column 6: expected ':' after a key"},
        Refused{"unclosed_array", "[1, 2", "line 1, column 6: the document ends before ']'"},
        Refused{"unclosed_string", "\"abc", "line 1, column 5: the document ends inside a string"},
        Refused{"two_documents", "{} {}", "line 1, column 4: text after the end of the document"},
        Refused{"too_deep", std::string(65, '[') + std::string(65, ']'),
                "line 1, column 65: nested deeper than 64 levels"}),
    [](const testing::TestParamInfo<Refused>& info) { return std::string(info.param.label); });

TEST(JsonReader, TakesEveryKindAndEscape)
{
    const JsonValue value = Read(
        " {\"a\": [true, false, null, -9223372036854775808, 9223372036854775807, 0],\r\n"
        "  \"s\": \"\\\"\\\\\\/\\b\\f\\n\\r\\t\\u0041\\u00e9\\u20AC\\uD83D\\uDE00\xC4\x8D\",\n"
        "  \"e\": {}, \"f\": []}\t\n");
    ASSERT_EQ(value.GetKind(), JsonValue::Kind::Object);
    const auto& items = value.Find("a")->Items();
    ASSERT_EQ(items.size(), 6U);
    EXPECT_TRUE(items[0].AsBool());
    EXPECT_EQ(items[1].GetKind(), JsonValue::Kind::Bool);
    EXPECT_EQ(items[2].GetKind(), JsonValue::Kind::Null);
    EXPECT_EQ(items[3].AsNumber(), std::numeric_limits<std::int64_t>::min());
    EXPECT_EQ(items[4].AsNumber(), std::numeric_limits<std::int64_t>::max());
    EXPECT_EQ(value.Find("s")->AsString(), "\"\\/\b\f\n\r\tA\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80\xC4\x8D");
    EXPECT_EQ(value.Find("e")->GetKind(), JsonValue::Kind::Object);
    EXPECT_EQ(value.Find("f")->GetKind(), JsonValue::Kind::Array);
    EXPECT_EQ(value.Find("missing"), nullptr);
}

TEST(JsonReader, ReadsBackWhatTheWriterWritesInBothLayouts)
{
    JsonValue root = JsonValue::Object();
    root.Set("name",
             "\xC4\x8C"
             "aj \"x\"\n");
    JsonValue& list = root.Set("list", JsonValue::Array());
    JsonValue item = JsonValue::Object();
    item.Set("n", -1);
    item.Set("b", true);
    list.Push(item);
    list.Push(JsonValue::Array());
    root.Set("plain", JsonValue::Array()).Push(3);
    for (const bool pretty : {false, true}) {
        const std::string text = root.Dump(pretty);
        EXPECT_EQ(Read(text).Dump(pretty), text);
    }
    EXPECT_EQ(root.Dump(true),
              "{\n"
              "  \"name\": \"\xC4\x8C"
              "aj \\\"x\\\"\\n\",\n"
              "  \"list\": [\n"
              "    {\"n\": -1, \"b\": true},\n"
              "    []\n"
              "  ],\n"
              "  \"plain\": [3]\n"
              "}");
}

TEST(JsonReader, RefusesADocumentOverItsSizeLimit)
{
    JsonValue value;
    std::string error;
    JsonReader::Limits limits;
    limits.maxBytes = 8;
    EXPECT_TRUE(JsonReader::Parse("[1,2,3]", value, error, limits)) << error;
    EXPECT_FALSE(JsonReader::Parse("[1,2,3,4]", value, error, limits));
    EXPECT_EQ(error, "line 1, column 1: the document is larger than 8 bytes");
}

TEST(JsonReader, TakesDecimalsAsWrittenWhenAskedAndStillNoExponent)
{
    JsonReader::Limits limits;
    limits.decimals = true;
    JsonValue value;
    std::string error;
    ASSERT_TRUE(JsonReader::Parse("[12.50, -0.125, 7]", value, error, limits)) << error;
    EXPECT_EQ(value.Items()[0].GetKind(), JsonValue::Kind::Decimal);
    EXPECT_EQ(value.Items()[0].AsString(), "12.50") << "kept as written, never through a binary fraction";
    EXPECT_EQ(value.Items()[1].AsString(), "-0.125");
    EXPECT_EQ(value.Items()[2].GetKind(), JsonValue::Kind::Number);
    EXPECT_EQ(value.Dump(), "[12.50,-0.125,7]");
    for (const auto& [document, message] : std::vector<std::pair<std::string, std::string>>{
             {"[1.]", "line 1, column 4: a number needs digits after its point"},
             {"[1.5e3]", "line 1, column 5: write the number without an exponent"},
             {"[2E1]", "line 1, column 3: write the number without an exponent"}}) {
        EXPECT_FALSE(JsonReader::Parse(document, value, error, limits)) << document;
        EXPECT_EQ(error, message);
    }
}
