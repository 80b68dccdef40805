#include "ecr/protocol/ECRString.h"
#include "ecr/protocol/ECRStringError.h"
#include "support/EcrStringBytes.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// The invariant every operation must keep: room for the text and a zero after it.
void ExpectInvariant(const ECRString& s)
{
    EXPECT_GE(s.Capacity(), s.Length());
    EXPECT_EQ(s.Data()[s.Length()], '\0');
}

}  // namespace

TEST(ECRString, Construction)
{
    EXPECT_EQ(Bytes(ECRString()), "");
    EXPECT_EQ(ECRString().Capacity(), 0u);
    EXPECT_EQ(Bytes(ECRString(static_cast<const char*>(nullptr))), "");
    EXPECT_EQ(Bytes(ECRString("abc")), "abc");
    EXPECT_EQ(ECRString("abc").Capacity(), 3u);

    const ECRString zero('\0');
    EXPECT_EQ(zero.Length(), 1u);
    EXPECT_EQ(zero.Capacity(), 1u);
    EXPECT_EQ(zero.CharAt(0), 0u);
    ExpectInvariant(zero);
    EXPECT_EQ(ECRString(static_cast<unsigned char>(0xFF)).CharAt(0), 0xFFu);

    EXPECT_EQ(Bytes(ECRString(-7)), "-7");
    EXPECT_EQ(Bytes(ECRString(-12)), "-12");
    EXPECT_EQ(Bytes(ECRString(2007)), "2007");
    EXPECT_EQ(Bytes(ECRString(0)), "0");
    EXPECT_EQ(Bytes(ECRString(INT32_MIN)), "-2147483648");
}

TEST(ECRString, CopyAndAssignment)
{
    ECRString a("hello");
    ECRString b(a);
    EXPECT_EQ(Bytes(b), "hello");
    EXPECT_EQ(b.Capacity(), 5u);
    EXPECT_NE(a.Data(), b.Data());

    ECRString& self = a;
    a = self;
    EXPECT_EQ(Bytes(a), "hello");

    // A shorter text reuses the buffer; a longer one gets a buffer of exactly its length.
    ECRString c("abcdefgh");
    c = ECRString("xy");
    EXPECT_EQ(Bytes(c), "xy");
    EXPECT_EQ(c.Capacity(), 8u);
    ExpectInvariant(c);
    c = ECRString("0123456789");
    EXPECT_EQ(Bytes(c), "0123456789");
    EXPECT_EQ(c.Capacity(), 10u);

    // The one-byte zero text survives copying with its length.
    ECRString z;
    z = ECRString('\0');
    EXPECT_EQ(z.Length(), 1u);
}

TEST(ECRString, AppendAndConcatenate)
{
    ECRString s("ab");
    s += ECRString("cd");
    EXPECT_EQ(Bytes(s), "abcd");
    EXPECT_EQ(s.Capacity(), 4u);
    s += s;  // appending itself must not read a freed buffer
    EXPECT_EQ(Bytes(s), "abcdabcd");
    ExpectInvariant(s);

    ECRString t("abcdef");
    t.Tokenize('c');  // leaves "def" in a buffer of capacity 6
    t += ECRString("gh");
    EXPECT_EQ(Bytes(t), "defgh");
    EXPECT_EQ(t.Capacity(), 6u);
    t += t;
    EXPECT_EQ(Bytes(t), "defghdefgh");

    EXPECT_EQ(Bytes(ECRString("x") + ECRString("yz")), "xyz");
    EXPECT_EQ(Bytes(ECRString() + ECRString()), "");
}

TEST(ECRString, Comparisons)
{
    EXPECT_TRUE(ECRString("ab") != ECRString("abc"));
    EXPECT_TRUE(ECRString("ab") != ECRString("ac"));
    EXPECT_FALSE(ECRString("ab") != ECRString("ab"));
    EXPECT_TRUE(ECRString("ab") == "ab");
    EXPECT_FALSE(ECRString("ab") == "abc");
    EXPECT_TRUE(ECRString("ab") != "a");
    EXPECT_TRUE(ECRString() == "");
}

TEST(ECRString, BoundsCheckedAccess)
{
    const ECRString abcd("ABCD");
    EXPECT_EQ(abcd.CharAt(3), 'D');
    EXPECT_THROW(abcd.CharAt(4), ECRStringError);
    EXPECT_THROW(ECRString().CharAt(0), ECRStringError);
    EXPECT_THROW(abcd.CharAt(static_cast<std::uint32_t>(-1)), ECRStringError);
    try {
        abcd.CharAt(10);
        FAIL() << "no exception";
    } catch (const ECRStringError& e) {
        EXPECT_EQ(e.code, 1);
    }

    ECRString s("xyz");
    *s.CharPtr(1) = 'Q';
    EXPECT_EQ(Bytes(s), "xQz");
    EXPECT_THROW(s.CharPtr(3), ECRStringError);
}

TEST(ECRString, Mid)
{
    const ECRString s("ABCD");
    struct Case {
        std::uint32_t first, second;
        const char* expected;
    };
    const std::vector<Case> cases = {
        {2, 0, "AB"}, {0, 2, "AB"}, {1, 2, "B"},   {2, 100, "CD"}, {4, 9, ""},
        {9, 2, "CD"}, {3, 3, ""},   {0, 4, "ABCD"}, {100, 200, ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Bytes(s.Mid(c.first, c.second)), c.expected) << c.first << "," << c.second;
    }
    EXPECT_EQ(Bytes(s.Mid(1)), "BCD");
    EXPECT_EQ(Bytes(s.Mid(9)), "");
    EXPECT_EQ(Bytes(ECRString().Mid(0)), "");
}

TEST(ECRString, Find)
{
    EXPECT_EQ(ECRString("abcabc").Find('c'), 2);
    EXPECT_EQ(ECRString("abc").Find('x'), -1);
    EXPECT_EQ(ECRString().Find('a'), -1);
}

TEST(ECRString, TokenizeRuns)
{
    ECRString s("12\t34\t");
    EXPECT_EQ(Bytes(s.Tokenize('\t')), "12");
    EXPECT_EQ(Bytes(s.Tokenize('\t')), "34");
    EXPECT_EQ(Bytes(s.Tokenize('\t')), "");
    EXPECT_EQ(s.Length(), 0u);
    EXPECT_EQ(Bytes(s.Tokenize('\t')), "");  // after the last field: empty tokens for ever
    ExpectInvariant(s);

    ECRString t("abc");
    EXPECT_EQ(Bytes(t.Tokenize(0x1F)), "abc");
    EXPECT_EQ(t.Length(), 0u);

    // Separators at the start and in a row give empty tokens; the capacity stays.
    ECRString u(",,x,");
    const std::uint32_t capacity = u.Capacity();
    EXPECT_EQ(Bytes(u.Tokenize(',')), "");
    EXPECT_EQ(Bytes(u.Tokenize(',')), "");
    EXPECT_EQ(Bytes(u), "x,");
    EXPECT_EQ(u.Capacity(), capacity);
    EXPECT_EQ(Bytes(u.Tokenize(',')), "x");
    EXPECT_EQ(u.Length(), 0u);
}
