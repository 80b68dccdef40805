#include "EngineTest.h"

#include "ecr/protocol/CommError.h"

#include <functional>
#include <numeric>
#include <vector>
#include <ostream>

namespace {

class PollingTest : public EngineTest {
protected:
    void SetBusyLimit(std::int32_t milliseconds)
    {
        ECREngine::PollLimits limits;
        limits.maxBusyMilliseconds = milliseconds;
        protocol.engine.SetPollLimits(limits);
    }
};

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

// The windows repaint while the line carries a request or a status query:
// the wait is reported after each such write and before anything is read
// for it, never between an answer and the next write.
std::vector<std::size_t> g_writesAtWait;
std::vector<std::size_t> g_readsAtWait;
const FakeSerialPort* g_waitPort = nullptr;

void RecordWait()
{
    g_writesAtWait.push_back(g_waitPort->writes.size());
    g_readsAtWait.push_back(g_waitPort->reads.size());
}

TEST_F(PollingTest, EveryWaitForAnAnswerIsReportedRightAfterItsWrite)
{
    g_writesAtWait.clear();
    g_readsAtWait.clear();
    g_waitPort = &port;
    protocol.engine.SetWaitCallback(&RecordWait);
    int enq = 0;
    port.onWrite = [&](const std::string& written) {
        if (written == wire::ENQ) {
            port.Feed(++enq == 1 ? std::string("\xC0") : "\x06" + wire::REPLY_V_OK);
        }
    };

    EXPECT_EQ(Bytes(protocol.Transact("$v", nullptr)), "OK");

    EXPECT_EQ(port.writes, (std::vector<std::string>{wire::REQUEST_V, wire::ENQ, wire::ENQ}));
    // Request, first ENQ, second ENQ; the reads before each are the flush
    // read, then the request's silent 3 s wait, then the busy byte.
    EXPECT_EQ(g_writesAtWait, (std::vector<std::size_t>{1, 2, 3}));
    EXPECT_EQ(g_readsAtWait, (std::vector<std::size_t>{1, 2, 3}));
    // A write that expects no answer is no wait.
    protocol.engine.SendAck();
    EXPECT_EQ(g_writesAtWait.size(), 3u);
    protocol.engine.SetWaitCallback(nullptr);
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
        ECREngine::PollLimits limits;
        limits.maxSilentWaits = GetParam().maxSilentWaits;
        protocol.engine.SetPollLimits(limits);
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
    ECREngine::PollLimits limits;
    limits.maxSilentWaits = 3;
    protocol.engine.SetPollLimits(limits);
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
    SetBusyLimit(10000);
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
    SetBusyLimit(9000);
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

// A register that says "ready" and still sends nothing has lost the reply:
// the second such answer in a row ends the exchange, long before the busy
// limit, and the request is never sent again.
struct LostReplyCase {
    const char* name;
    std::function<void(FakeSerialPort&)> answerEnq;
};

void PrintTo(const LostReplyCase& c, std::ostream* os)
{
    *os << c.name;
}

class LostReplyTest : public EngineTest, public ::testing::WithParamInterface<LostReplyCase> {};

TEST_P(LostReplyTest, SecondReadyWithoutReplyGivesUp)
{
    port.onWrite = [this](const std::string& written) {
        if (written == wire::ENQ) {
            GetParam().answerEnq(port);
        }
    };
    EXPECT_EQ(ThrownCode(protocol), 10);
    EXPECT_EQ(port.writes, (std::vector<std::string>{wire::REQUEST_V, wire::ENQ, wire::ENQ}));
    // On the line's clock: four 3 s reply waits, two polling rounds, any lateness.
    EXPECT_LT(port.nowMs, 20000);
}

INSTANTIATE_TEST_SUITE_P(
    Answers, LostReplyTest,
    ::testing::Values(LostReplyCase{"ReadyAtOnce", [](FakeSerialPort& p) { p.Feed("\x06"); }},
                      LostReplyCase{"ReadyLate", [](FakeSerialPort& p) { p.FeedPaced(950, "\x06"); }},
                      LostReplyCase{"ReadyThenStatusBytesOnly", [](FakeSerialPort& p) { p.Feed("\x06\xC0\xC0"); }},
                      LostReplyCase{"AnyNonBusyStatus", [](FakeSerialPort& p) { p.Feed("A"); }}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(PollingTest, BusyBetweenReadyAnswersStartsTheCountAgain)
{
    // Ready, busy, ready, busy, then ready with the reply: never two readies
    // without a reply in a row, so the reply is taken.
    AnswerWrites({"", "\x06", "\xC0", "\x06", "\xC0", "\x06" + wire::REPLY_V_OK});
    EXPECT_EQ(Bytes(protocol.Transact("$v", nullptr)), "OK");
    EXPECT_EQ(EnqCount(), 5);
}

TEST_F(PollingTest, SlowBusyAnswersCannotStretchTheBusyLimit)
{
    // Each "busy" comes 950 ms after its ENQ. Counted, a round is its two
    // pauses (1 s), but it lasts 1.95 s: the clock ends the loop after four
    // rounds (3 s + 4 x 1.95 s > 10 s), not after eight.
    SetBusyLimit(10000);
    port.onWrite = [this](const std::string& written) {
        if (written == wire::ENQ) {
            port.FeedPaced(950, "\xC0");
        }
    };
    EXPECT_EQ(ThrownCode(protocol), 10);
    EXPECT_EQ(EnqCount(), 4);
    EXPECT_LE(port.nowMs, 1 + 10000 + 1950);  // past the limit by less than one round
}

TEST_F(PollingTest, SilentStatusWaitsAlsoKeepTheBusyLimit)
{
    ECREngine::PollLimits limits;
    limits.maxSilentWaits = 100;
    limits.maxBusyMilliseconds = 5000;
    protocol.engine.SetPollLimits(limits);

    EXPECT_EQ(ThrownCode(protocol), 10);
    // 3 s, then 1.5 s per silent wait: over 5 s after the second.
    EXPECT_EQ(sleeps.size(), 2u);
    EXPECT_EQ(EnqCount(), 1);
}

}  // namespace
