#include "EngineTest.h"

#include "ecr/protocol/CommError.h"

#include <numeric>
#include <vector>
#include <ostream>

namespace {

using PollingTest = EngineTest;

std::int32_t ThrownCode(TestProtocol& protocol)
{
    try {
        protocol.Transact("$v", nullptr);
    } catch (const CommError& error) {
        return error.code;
    }
    return -1;
}

TEST_F(PollingTest, SilentThenBusyThenReady)
{
    int enq = 0;
    port.onWrite = [&](const std::string& written) {
        if (written != wire::ENQ) {
            return;  // the request: no reply within 3 s
        }
        if (++enq == 1) {
            port.FeedSilence(1);
            port.Feed("\xC0");
        } else {
            port.Feed("\x06" + wire::REPLY_V_OK);
        }
    };

    EXPECT_EQ(Bytes(protocol.Transact("$v", nullptr)), "OK");

    EXPECT_EQ(port.writes, (std::vector<std::string>{wire::REQUEST_V, wire::ENQ, wire::ENQ}));
    EXPECT_EQ(port.reads, (std::vector<std::string>{"", "", "", "\xC0", "\x06", wire::REPLY_V_OK}));
    EXPECT_EQ(port.timeouts, (std::vector<std::int32_t>{1, 3000, 1000, 1000, 1000, 3000}));
    // A pause after every status wait and one more once a status byte has come.
    EXPECT_EQ(sleeps, (std::vector<std::int32_t>{500, 500, 500, 500, 500}));
    EXPECT_EQ(traffic, std::vector<std::string>{"$v"});
}

TEST_F(PollingTest, EscAnsweringEnqOpensTheReply)
{
    AnswerWrites({"", wire::REPLY_V_OK});

    EXPECT_EQ(Bytes(protocol.Transact("$v", nullptr)), "OK");
    EXPECT_EQ(EnqCount(), 1);
    EXPECT_EQ(port.reads.back(), wire::REPLY_V_OK.substr(1));
}

TEST_F(PollingTest, ReadyStatusThenBusyBytesBeforeTheFrame)
{
    AnswerWrites({"", "\x06\xC0\xC0" + wire::REPLY_V_OK});
    EXPECT_EQ(Bytes(protocol.Transact("$v", nullptr)), "OK");
    EXPECT_EQ(EnqCount(), 1);
}

TEST_F(PollingTest, StatusOnlyReplyIsReadAgainWithoutResending)
{
    port.onWrite = [&](const std::string&) {
        port.Feed("\xC0");
        port.FeedSilence(1);
        port.Feed(wire::REPLY_V_OK);
    };
    EXPECT_EQ(Bytes(protocol.Transact("$v", nullptr)), "OK");
    EXPECT_EQ(port.writes, std::vector<std::string>{wire::REQUEST_V});
}

// A register that never answers ENQ: the default gives up after ten
// one-second waits, each followed by its pause (about 15 s in all).
struct SilentCase {
    std::int32_t maxSilentWaits;
};

// Names the case in test listings instead of dumping its bytes.
void PrintTo(const SilentCase& c, std::ostream* os)
{
    *os << c.maxSilentWaits << " silent waits";
}

class SilentRegisterTest : public EngineTest, public ::testing::WithParamInterface<SilentCase> {};

TEST_P(SilentRegisterTest, GivesUpWithTimeout)
{
    if (GetParam().maxSilentWaits != 10) {
        protocol.engine.SetPollLimits({GetParam().maxSilentWaits, 300000});
    }
    EXPECT_EQ(ThrownCode(protocol), 10);
    EXPECT_EQ(EnqCount(), 1);
    EXPECT_EQ(port.emptyByteReads, 2 + GetParam().maxSilentWaits);  // flush, reply wait, status waits
    EXPECT_EQ(sleeps, std::vector<std::int32_t>(GetParam().maxSilentWaits, 500));
}

INSTANTIATE_TEST_SUITE_P(Limits, SilentRegisterTest, ::testing::Values(SilentCase{10}, SilentCase{3}));

TEST_F(PollingTest, SilenceIsCountedInARowOnly)
{
    // Two silent waits, then busy, then two silent waits again: with a limit
    // of three that must not give up, because no three waits were silent in a row.
    protocol.engine.SetPollLimits({3, 300000});
    int enq = 0;
    port.onWrite = [&](const std::string& written) {
        if (written != wire::ENQ) {
            return;
        }
        port.FeedSilence(2);
        port.Feed(++enq == 1 ? "\xC0" : "\x06" + wire::REPLY_V_OK);
    };
    EXPECT_EQ(Bytes(protocol.Transact("$v", nullptr)), "OK");
    EXPECT_EQ(EnqCount(), 2);
}

// Busy for ever. Nominal time: 3 s reply wait, then 1 s per busy round (two
// 500 ms pauses). With a 10 s limit the eighth round ends at 11 s, which is
// over the limit, so no ninth ENQ is sent.
TEST_F(PollingTest, EndlessBusyGivesUpAfterTheBusyLimit)
{
    protocol.engine.SetPollLimits({10, 10000});
    AnswerWrites({"", "\xC0"});

    EXPECT_EQ(ThrownCode(protocol), 10);
    EXPECT_EQ(EnqCount(), 8);
    EXPECT_EQ(std::accumulate(sleeps.begin(), sleeps.end(), 0), 8000);
}

TEST_F(PollingTest, DefaultBusyLimitAllowsFiveMinutes)
{
    AnswerWrites({"", "\xC0"});
    EXPECT_EQ(ThrownCode(protocol), 10);
    // 3 s + 1 s per round: the 298th round takes it over 300 s.
    EXPECT_EQ(EnqCount(), 298);
}

TEST_F(PollingTest, EndlessStatusOnlyRepliesGiveUp)
{
    // Each status-only reply ends in a 3 s gap; over 9 s on the fourth.
    protocol.engine.SetPollLimits({10, 9000});
    port.onWrite = [&](const std::string&) {
        for (int i = 0; i < 20; ++i) {
            port.Feed("\xC0");
            port.FeedSilence(1);
        }
    };
    EXPECT_EQ(ThrownCode(protocol), 10);
    EXPECT_EQ(port.writes, std::vector<std::string>{wire::REQUEST_V});
    EXPECT_EQ(port.reads, (std::vector<std::string>{"", "\xC0", "\xC0", "\xC0", "\xC0"}));
}

TEST_F(PollingTest, ReadyStatusWithoutReplyGivesUp)
{
    protocol.engine.SetPollLimits({10, 20000});
    AnswerWrites({"", "\x06"});
    EXPECT_EQ(ThrownCode(protocol), 10);
    EXPECT_GT(EnqCount(), 1);
}

}  // namespace
