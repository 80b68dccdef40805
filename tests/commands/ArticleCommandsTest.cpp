#include "CommandHarness.h"

#include "ecr/protocol/CommError.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Walk = ECRArticleCommands::ArticleWalk;

// A "$o" reply for one article: name, price, tax rate, unit, then the two further numbers.
std::string ArticleReply(const std::string& name, int price = 100, int taxRate = 1, int unit = 0)
{
    return "$O" + name + LF + std::to_string(price) + TAB + std::to_string(taxRate) + US + std::to_string(unit) + US +
           "0" + TAB + "0" + TAB;
}

const std::string kReadFirst = "$o\n4" + US;
const std::string kReadLast = "$o\n2" + US;
std::string ReadAfter(const std::string& name)
{
    return "$o" + name + "\n4" + US;
}

std::vector<std::string> Names(const ECRDevice& device)
{
    std::vector<std::string> names;
    for (const ECRArticle& a : device.Articles()) {
        names.emplace_back(a.name.Data(), a.name.Length());
    }
    return names;
}

TEST(ArticleCommandsTest, RequestsCarryTheirFieldsInWireOrder)
{
    CommandHarness h;
    h.device.DeleteAllArticles();
    h.device.DeleteArticle("HLEB");
    ECRArticle milk;
    milk.name = "MLEKO 1L";
    milk.price = 12345;
    milk.taxRate = 2;
    milk.unit = 1;
    milk.value1 = 77;  // read-only numbers are never sent
    h.device.WriteArticle(milk);
    EXPECT_EQ(h.Payloads(), (std::vector<std::string>{"%a", "#dHLEB\n", "#rMLEKO 1L\n12345" + TAB + "2" + US + "1" + US}));
}

TEST(ArticleCommandsTest, ReadArticleParsesEveryField)
{
    CommandHarness h;
    h.Reply("$OHLEB" + LF + "5999" + TAB + "2" + US + "1" + US + "7" + TAB + "-8" + TAB);
    const ECRArticle a = h.device.ReadArticle("KIFLA", 4);
    EXPECT_EQ(std::string(a.name.Data()), "HLEB");
    EXPECT_EQ(a.price, 5999);
    EXPECT_EQ(a.taxRate, 2);
    EXPECT_EQ(a.unit, 1);
    EXPECT_EQ(a.value1, 7);
    EXPECT_EQ(a.value2, -8);
    EXPECT_EQ(h.Payloads(), std::vector<std::string>{"$oKIFLA\n4" + US});

    CommandHarness partial;
    partial.Reply("$OSOK" + LF + "150");
    const ECRArticle b = partial.device.ReadArticle("", 2);
    EXPECT_EQ(std::string(b.name.Data()), "SOK");
    EXPECT_EQ(b.price, 150);
    EXPECT_EQ(b.taxRate, 0);
    EXPECT_EQ(b.value2, 0);
    EXPECT_EQ(partial.Payloads(), std::vector<std::string>{kReadLast});
}

// A field out of what the register keeps, or not a number, failed the reply's
// check: such an article is never listed, saved or compared as the register's.
TEST(ArticleCommandsTest, ReadArticleRefusesFieldsOutOfRange)
{
    const std::string tail = "0" + TAB + "0" + TAB;
    const std::string replies[] = {
        "$OSOK" + LF + "-100" + TAB + "1" + US + "0" + US + tail,        // negative price
        "$OSOK" + LF + "100000000" + TAB + "1" + US + "0" + US + tail,   // price above 999 999.99
        "$OSOK" + LF + "12.50" + TAB + "1" + US + "0" + US + tail,       // price with a point
        "$OSOK" + LF + "100" + TAB + "9" + US + "0" + US + tail,         // tax rate index 9
        "$OSOK" + LF + "100" + TAB + "-1" + US + "0" + US + tail,        // negative tax rate
        "$OSOK" + LF + "100" + TAB + "1" + US + "10" + US + tail,        // unit 10
        "$OSOK" + LF + "100" + TAB + "1" + US + "x" + US + tail,         // unit of a letter
        "$OSOK" + LF + "100" + TAB + "1" + US + "0" + US + "7a" + TAB + "0" + TAB,  // value1 garbled
        "$OSOK" + LF + "100" + TAB + "1" + US + "0" + US + "0" + TAB + "99999999999" + TAB,  // value2 too big
    };
    for (const std::string& reply : replies) {
        SCOPED_TRACE(reply);
        CommandHarness h;
        h.Reply(reply);
        try {
            h.device.ReadArticle("", ECRArticleCommands::kReadNext);
            ADD_FAILURE() << "taken for an article";
        } catch (const CommError& error) {
            EXPECT_EQ(error.code, CommError::Sync);
        }
    }

    // The ends of the ranges are the register's.
    CommandHarness h;
    h.Reply("$OSOK" + LF + "99999999" + TAB + "8" + US + "9" + US + "-2147483648" + TAB + "2147483647" + TAB);
    const ECRArticle a = h.device.ReadArticle("", ECRArticleCommands::kReadNext);
    EXPECT_EQ(a.price, 99999999);
    EXPECT_EQ(a.taxRate, 8);
    EXPECT_EQ(a.unit, 9);
    EXPECT_EQ(a.value1, -2147483647 - 1);
    EXPECT_EQ(a.value2, 2147483647);
}

TEST(ArticleCommandsTest, ARefusedReadIsNoArticleNamedByTheCode)
{
    CommandHarness h;
    h.ReplyError("$o", 20);
    const ECRArticle a = h.device.ReadArticle("SOK", 0);
    EXPECT_EQ(std::string(a.name.Data()), "");
    EXPECT_EQ(a.price, 0);
    EXPECT_EQ(h.device.LastVerdict().code, 20);
}

TEST(ArticleCommandsTest, ReadAllWalksFromFirstToLast)
{
    CommandHarness h;
    h.Reply(ArticleReply("A", 100));
    h.Reply(ArticleReply("C", 300));
    h.Reply(ArticleReply("B", 200));
    h.Reply(ArticleReply("C", 300));
    std::vector<std::size_t> counts;
    EXPECT_EQ(h.device.ReadAllArticles([&counts](std::size_t read) { counts.push_back(read); }), Walk::Complete);
    EXPECT_EQ(Names(h.device), (std::vector<std::string>{"A", "B", "C"}));
    EXPECT_EQ(counts, (std::vector<std::size_t>{1, 2, 3})) << "one report per article in the list";
    EXPECT_EQ(h.device.Articles().back().price, 300);
    EXPECT_EQ(h.Payloads(), (std::vector<std::string>{kReadFirst, kReadLast, ReadAfter("A"), ReadAfter("B")}));
}

TEST(ArticleCommandsTest, ReadAllWithOneArticleReadsTwice)
{
    CommandHarness h;
    h.Reply(ArticleReply("A"));
    h.Reply(ArticleReply("A"));
    EXPECT_EQ(h.device.ReadAllArticles(), Walk::Complete);
    EXPECT_EQ(Names(h.device), std::vector<std::string>{"A"});
    EXPECT_EQ(h.port.writes.size(), 2u);
}

TEST(ArticleCommandsTest, ReadAllOfAnEmptyRegisterEmptiesTheList)
{
    CommandHarness h;
    h.Reply(ArticleReply("A"));
    h.Reply(ArticleReply("A"));
    h.device.ReadAllArticles();
    ASSERT_EQ(h.device.Articles().size(), 1u);

    h.ReplyError("$o", 20);
    EXPECT_EQ(h.device.ReadAllArticles(), Walk::NoArticles);
    EXPECT_TRUE(h.device.Articles().empty());
    EXPECT_EQ(h.port.writes.size(), 3u);
}

TEST(ArticleCommandsTest, ReadAllWithTheFirstReadRefusedIsNoEmptyTable)
{
    // Only "no such article" says the table is empty; any other refusal
    // (checksum, unknown command) says nothing about the articles.
    for (const int code : {2, 255}) {
        SCOPED_TRACE(code);
        CommandHarness h;
        h.ReplyError("$o", code);
        EXPECT_EQ(h.device.ReadAllArticles(), Walk::Refused);
        EXPECT_EQ(ECRProtocol::LastErrorCode(), code);
        EXPECT_TRUE(h.device.Articles().empty());
    }
}

TEST(ArticleCommandsTest, ReadAllStoresNoArticleFromAFirstReplyWithoutOne)
{
    // Answered for another command ("Exception": no data, last code still 0),
    // or with an empty name: there is no first article to store.
    for (const std::string& firstReply : {std::string("#c"), std::string("$O") + LF + "0" + TAB}) {
        SCOPED_TRACE(firstReply);
        CommandHarness h;
        h.Reply(ArticleReply("A"));
        h.Reply(ArticleReply("A"));
        h.device.ReadAllArticles();
        ASSERT_EQ(h.device.Articles().size(), 1u);

        h.Reply(firstReply);
        EXPECT_EQ(h.device.ReadAllArticles(), Walk::EmptyName);
        EXPECT_TRUE(h.device.Articles().empty());
        EXPECT_EQ(ECRProtocol::LastErrorCode(), 0);
        EXPECT_EQ(h.port.writes.size(), 3u);
    }
}

struct WalkEndCase {
    const char* what;
    std::vector<std::string> replies;  // after the first ("A") and last ("Z") reads
    std::vector<std::string> names;
    Walk end;
};

TEST(ArticleCommandsTest, ReadAllStopsWhenTheRegisterNeverReachesTheLast)
{
    const WalkEndCase cases[] = {
        {"refusal", {ArticleReply("B"), "#Zox\n12" + US}, {"A", "B"}, Walk::Refused},
        {"empty name", {ArticleReply("B"), ArticleReply("")}, {"A", "B"}, Walk::EmptyName},
        {"name seen before", {ArticleReply("B"), ArticleReply("C"), ArticleReply("B")}, {"A", "B", "C"}, Walk::RepeatedName},
        {"back to the first", {ArticleReply("B"), ArticleReply("A")}, {"A", "B"}, Walk::RepeatedName},
        {"empty reply", {ArticleReply("B"), "$O"}, {"A", "B"}, Walk::EmptyName},
    };
    for (const WalkEndCase& c : cases) {
        SCOPED_TRACE(c.what);
        CommandHarness h;
        h.Reply(ArticleReply("A"));
        h.Reply(ArticleReply("Z"));
        for (const std::string& r : c.replies) {
            h.Reply(r);
        }
        EXPECT_EQ(h.device.ReadAllArticles(), c.end);
        EXPECT_EQ(Names(h.device), c.names);
        EXPECT_EQ(h.port.writes.size(), 2 + c.replies.size());
    }
}

TEST(ArticleCommandsTest, ReadAllWhenTheLastCannotBeReadKeepsTheFirst)
{
    CommandHarness h;
    h.Reply(ArticleReply("A"));
    h.ReplyError("$o", 12);
    EXPECT_EQ(h.device.ReadAllArticles(), Walk::Refused);
    EXPECT_EQ(Names(h.device), std::vector<std::string>{"A"});
    EXPECT_EQ(h.port.writes.size(), 2u);
}

TEST(ArticleCommandsTest, ReadAllStopsAtTheArticleLimit)
{
    CommandHarness h;
    int served = 0;
    h.ReplyWith([&served](const std::string& request) {
        if (request == kReadLast) {
            return ArticleReply("NEVER");
        }
        return ArticleReply("N" + std::to_string(served++));
    });
    EXPECT_EQ(h.device.ReadAllArticles(), Walk::TooMany);
    EXPECT_EQ(h.device.Articles().size(), ECRArticleCommands::kMaxArticles);
    EXPECT_EQ(h.port.writes.size(), ECRArticleCommands::kMaxArticles + 1);
    EXPECT_EQ(Names(h.device).back(), "N99999");
}

TEST(ArticleCommandsTest, ExceptionsKeepWhatWasReadBefore)
{
    CommandHarness h;
    h.Reply(ArticleReply("A"));
    h.Reply(ArticleReply("A"));
    h.device.ReadAllArticles();

    // A failure before the walk leaves the previous list.
    h.port.FailWriteNumber(2);
    h.Reply(ArticleReply("X"));
    EXPECT_THROW(h.device.ReadAllArticles(), CommError);
    EXPECT_EQ(Names(h.device), std::vector<std::string>{"A"});

    // A failure during the walk keeps the articles read so far.
    CommandHarness w;
    w.Reply(ArticleReply("A"));
    w.Reply(ArticleReply("D"));
    w.Reply(ArticleReply("B"));
    w.port.FailWriteNumber(4);
    EXPECT_THROW(w.device.ReadAllArticles(), CommError);
    EXPECT_EQ(Names(w.device), (std::vector<std::string>{"A", "B"}));
}

}  // namespace
