#include "CommandHarness.h"

#include "ecr/protocol/CommError.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

const std::string kSellJuice = "*lSOK\n1234" + TAB + "2500" + TAB + "1" + US + "0" + US;

class TransactionTest : public ::testing::Test {
protected:
    CommandHarness h;
    ECRDevice& device = h.device;
};

TEST_F(TransactionTest, BeginTwiceSendsOnceAndSecondReturnsFalse)
{
    EXPECT_TRUE(device.BeginTransaction("1", "7"));
    EXPECT_TRUE(device.IsTransactionOpen());
    EXPECT_FALSE(device.BeginTransaction("1", "7"));
    EXPECT_EQ(h.port.writes.size(), 1u);
    EXPECT_EQ(h.Payloads(), std::vector<std::string>{"*t1\n7\n"});
}

TEST_F(TransactionTest, EmptyArgumentsAreReplacedByTheDefaults)
{
    device.SetTransactionDefaults("1", "7");
    EXPECT_TRUE(device.BeginTransaction("", ""));
    ASSERT_TRUE(device.EndTransaction(0, 0, 0));
    EXPECT_TRUE(device.BeginTransaction("3", ""));
    ASSERT_TRUE(device.EndTransaction(0, 0, 0));
    EXPECT_TRUE(device.BeginTransaction("", "Ana"));
    const std::vector<std::string> payloads = h.Payloads();
    ASSERT_EQ(payloads.size(), 5u);
    EXPECT_EQ(payloads[0], "*t1\n7\n");
    EXPECT_EQ(payloads[2], "*t3\n7\n");
    EXPECT_EQ(payloads[4], "*t1\nAna\n");
}

TEST_F(TransactionTest, SellItemOpensTheTransactionFirst)
{
    device.SetTransactionDefaults("1", "7");
    device.SellItem("SOK", 1234, 2500, 1, 0);
    EXPECT_TRUE(device.IsTransactionOpen());
    device.SellItem("SOK", 1234, 2500, 1, 0);
    EXPECT_EQ(h.Payloads(), (std::vector<std::string>{"*t1\n7\n", kSellJuice, kSellJuice}));
}

TEST_F(TransactionTest, LineCommandsOnAnOpenTransaction)
{
    ASSERT_TRUE(device.BeginTransaction("2", "5"));
    device.VoidItem("HLEB", 5999, 1000);
    h.Reply("*U12345");
    EXPECT_EQ(device.ReadSubtotal(), 12345);
    EXPECT_TRUE(device.EndTransaction(10000, 0, 2550));
    EXPECT_FALSE(device.IsTransactionOpen());
    EXPECT_EQ(h.Payloads(), (std::vector<std::string>{"*t2\n5\n", "*sHLEB\n5999" + TAB + "1000" + TAB, "*u",
                                                      "*e10000" + TAB + "0" + TAB + "2550" + TAB}));
}

TEST_F(TransactionTest, VoidItemNeverOpensATransaction)
{
    device.VoidItem("HLEB", 5999, 1000);
    EXPECT_FALSE(device.IsTransactionOpen());
    EXPECT_EQ(h.Payloads().size(), 1u);
}

TEST_F(TransactionTest, RefusedPaymentKeepsTheTransactionOpen)
{
    ASSERT_TRUE(device.BeginTransaction("1", "7"));
    h.ReplyError("*e", 41);
    EXPECT_FALSE(device.EndTransaction(100, 0, 0));
    EXPECT_TRUE(device.IsTransactionOpen());
    EXPECT_FALSE(device.BeginTransaction("1", "7"));
    EXPECT_EQ(h.port.writes.size(), 2u);

    EXPECT_TRUE(device.EndTransaction(5000, 0, 0));
    EXPECT_FALSE(device.IsTransactionOpen());
    EXPECT_TRUE(device.BeginTransaction("1", "7"));
}

TEST_F(TransactionTest, PaymentAnsweredForAnotherCommandKeepsTheTransactionOpen)
{
    ASSERT_TRUE(device.BeginTransaction("1", "7"));  // an accepted reply: the last code is 0
    h.Reply("*x");                                   // the answer to "*e" carries another letter
    EXPECT_FALSE(device.EndTransaction(100, 0, 0));
    EXPECT_EQ(ECRProtocol::LastErrorCode(), 0);
    EXPECT_TRUE(device.IsTransactionOpen());
}

TEST_F(TransactionTest, CancelLeavesTheFlagSet)
{
    device.SetTransactionDefaults("1", "7");
    ASSERT_TRUE(device.BeginTransaction("", ""));
    device.CancelTransaction();
    EXPECT_TRUE(device.IsTransactionOpen());
    device.SellItem("SOK", 1234, 2500, 1, 0);
    EXPECT_EQ(h.Payloads(), (std::vector<std::string>{"*t1\n7\n", "*x", kSellJuice}));
}

// The receipt is open when the register opened it or says one is open; any
// other answer leaves none open, so that the next sale or "Pocetak
// Transakcije" sends "*t" again instead of never again on this connection.
TEST_F(TransactionTest, OnlyAnOpenedOrAlreadyOpenReceiptIsMarkedOpen)
{
    h.ReplyError("*t", 4);  // a cashier the register does not take
    EXPECT_TRUE(device.BeginTransaction("1", "7"));
    EXPECT_FALSE(device.IsTransactionOpen());
    EXPECT_TRUE(device.BeginTransaction("1", "8"));
    EXPECT_TRUE(device.IsTransactionOpen());

    CommandHarness already;
    already.ReplyError("*t", 57);  // a receipt is open on the register already
    EXPECT_TRUE(already.device.BeginTransaction("1", "7"));
    EXPECT_TRUE(already.device.IsTransactionOpen()) << "the sales that follow go into it, as in the design";
    already.device.SellItem("SOK", 1234, 2500, 1, 0);
    EXPECT_EQ(already.Payloads(), (std::vector<std::string>{"*t1\n7\n", kSellJuice}));

    CommandHarness unknown;
    unknown.Reply("*x");  // an answer for another command: whether it opened is unknown
    unknown.device.SetTransactionDefaults("1", "7");
    unknown.device.SellItem("SOK", 1234, 2500, 1, 0);
    EXPECT_FALSE(unknown.device.IsTransactionOpen());
    unknown.device.SellItem("SOK", 1234, 2500, 1, 0);
    EXPECT_EQ(unknown.Payloads(),
              (std::vector<std::string>{"*t1\n7\n", kSellJuice, "*t1\n7\n", kSellJuice}))
        << "the next sale opens one first: had the first opened, the register would answer 57 and mark it open";
    EXPECT_TRUE(unknown.device.IsTransactionOpen());
}

TEST_F(TransactionTest, FailedExchangesLeaveTheFlagAsItWas)
{
    h.port.FailWriteNumber(1);
    EXPECT_THROW(device.BeginTransaction("1", "7"), CommError);
    EXPECT_FALSE(device.IsTransactionOpen());

    ASSERT_TRUE(device.BeginTransaction("1", "7"));
    h.port.FailWriteNumber(1);
    EXPECT_THROW(device.EndTransaction(100, 0, 0), CommError);
    EXPECT_TRUE(device.IsTransactionOpen());
}

}  // namespace
