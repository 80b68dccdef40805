#include "EngineTest.h"

#include "ecr/protocol/CommError.h"
#include "ecr/protocol/ECRStringError.h"

#include <functional>
#include <vector>
#include <ostream>

namespace {

using DirectExchangeTest = EngineTest;

TEST_F(DirectExchangeTest, TransactNoPollChecksButNeitherReportsNorPolls)
{
    port.Feed("z");
    AnswerWrites({wire::REPLY_V_OK});

    EXPECT_EQ(Bytes(protocol.TransactNoPoll("$v")), "OK");
    EXPECT_EQ(port.writes, std::vector<std::string>{wire::REQUEST_V});
    EXPECT_EQ(port.reads.front(), "z");  // flushed first
    EXPECT_TRUE(traffic.empty());
    EXPECT_EQ(messages, std::vector<std::string>{"Operacija je uspesna"});
}

TEST_F(DirectExchangeTest, TransactNoPollFailures)
{
    AnswerWrites({wire::REPLY_W, "", "\xC0" + wire::REPLY_V_OK});

    EXPECT_EQ(protocol.TransactNoPoll("$v").Length(), 0u);
    EXPECT_EQ(traffic, std::vector<std::string>{"Exception"});

    // Silence goes straight to the reply check, without a single ENQ.
    EXPECT_THROW(protocol.TransactNoPoll("$v"), ECRStringError);
    EXPECT_EQ(EnqCount(), 0);

    // Status bytes are not stripped here: the payload comes one byte late.
    try {
        protocol.TransactNoPoll("$v");
        ADD_FAILURE() << "no CommError";
    } catch (const CommError& error) {
        EXPECT_EQ(error.code, 17);
    }
}

TEST_F(DirectExchangeTest, SendRawReportsTheFrameAndSkipsTheCheck)
{
    AnswerWrites({wire::REPLY_W});

    EXPECT_EQ(Bytes(protocol.SendRaw("$v")), "$W");
    EXPECT_EQ(port.writes, std::vector<std::string>{wire::REQUEST_V});
    EXPECT_EQ(traffic, std::vector<std::string>{wire::REQUEST_V});
    EXPECT_EQ(port.timeouts, std::vector<std::int32_t>{1000});  // no flush, one read
    EXPECT_TRUE(messages.empty());
}

TEST_F(DirectExchangeTest, SendReceiveReportsTheRequestAndUsesTheCallersTimeout)
{
    AnswerWrites({wire::REPLY_Z12});

    EXPECT_EQ(Bytes(protocol.SendReceive("$v", 7000)), "#Zcx\n12\x1F");
    EXPECT_EQ(port.writes, std::vector<std::string>{wire::REQUEST_V});
    EXPECT_EQ(traffic, std::vector<std::string>{"$v"});
    EXPECT_EQ(port.timeouts, std::vector<std::int32_t>{7000});
    EXPECT_TRUE(messages.empty());
    EXPECT_EQ(ECRProtocol::LastErrorCode(), 0);
}

TEST_F(DirectExchangeTest, RawExchangesStillVerifyTheChecksum)
{
    AnswerWrites({"\x1B" "P$VOK98" "\x1B\\"});
    for (const auto& exchange : std::vector<std::function<void()>>{[&] { protocol.SendRaw("$v"); },
                                                                   [&] { protocol.SendReceive("$v", 100); }}) {
        try {
            exchange();
            ADD_FAILURE() << "no CommError";
        } catch (const CommError& error) {
            EXPECT_EQ(error.code, 17);
        }
    }
}

TEST_F(DirectExchangeTest, EveryWritingOperationPassesOnAFailedWrite)
{
    const std::vector<std::function<void()>> operations{
        [&] { protocol.Transact("$v", nullptr); }, [&] { protocol.TransactNoPoll("$v"); },
        [&] { protocol.SendRaw("$v"); },           [&] { protocol.SendReceive("$v", 100); },
        [&] { protocol.ReadStatus(); },            [&] { protocol.SendAck(); },
        [&] { protocol.SendNak(); }};
    for (std::size_t i = 0; i < operations.size(); ++i) {
        port.FailWriteNumber(1);
        try {
            operations[i]();
            ADD_FAILURE() << "operation " << i << " did not throw";
        } catch (const CommError& error) {
            EXPECT_EQ(error.code, 8) << "operation " << i;
        }
    }
}

struct StatusCase {
    std::string answer;
    std::int16_t status;
};

// Names the case in test listings instead of dumping its bytes.
void PrintTo(const StatusCase& c, std::ostream* os)
{
    *os << "status " << c.status;
}

class ReadStatusTest : public EngineTest, public ::testing::WithParamInterface<StatusCase> {};

TEST_P(ReadStatusTest, SignedByteOrZeroForSilence)
{
    AnswerWrites({GetParam().answer});
    EXPECT_EQ(protocol.ReadStatus(), GetParam().status);
    EXPECT_EQ(port.writes, std::vector<std::string>{wire::ENQ});
    // The quiet line is drained (one 50 ms wait), then the status gets its second.
    EXPECT_EQ(port.timeouts, (std::vector<std::int32_t>{50, 1000}));
    EXPECT_TRUE(sleeps.empty());
}

INSTANTIATE_TEST_SUITE_P(Answers, ReadStatusTest,
                         ::testing::Values(StatusCase{"", 0}, StatusCase{"\xC0", -64}, StatusCase{"\xFF", -1},
                                           StatusCase{"\x80", -128}, StatusCase{"\x7F", 127},
                                           StatusCase{"\x06\x07", 6}));

// Bytes an earlier run left on the line (its late reply, stale status bytes,
// zero bytes of a glitch) are drained before the log-on's ENQ, so they are
// never taken for the status.
struct LeftoverCase {
    const char* name;
    std::string leftover;
};

void PrintTo(const LeftoverCase& c, std::ostream* os)
{
    *os << c.name;
}

class LogOnDrainTest : public EngineTest, public ::testing::WithParamInterface<LeftoverCase> {};

TEST_P(LogOnDrainTest, LeftoverBytesAreNotTheStatus)
{
    port.Feed(GetParam().leftover);
    AnswerWrites({"\x06"});

    EXPECT_EQ(protocol.ReadStatus(), 6);
    EXPECT_EQ(port.writes, std::vector<std::string>{wire::ENQ});
    EXPECT_EQ(port.timeouts.back(), 1000);
    EXPECT_EQ(port.reads.back(), "\x06");
}

INSTANTIATE_TEST_SUITE_P(
    Leftovers, LogOnDrainTest,
    ::testing::Values(LeftoverCase{"BusyStatus", "\xC0"}, LeftoverCase{"LateReply", wire::REPLY_V_OK + "\xC0"},
                      LeftoverCase{"ZeroByte", std::string(1, '\0')},
                      LeftoverCase{"ZerosAmongBytes", std::string("\0\0\x15\0", 4)}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(DirectExchangeTest, LogOnDrainWaitsForTheLineToFallQuiet)
{
    // A late reply still arriving, 30 ms a byte: the drain takes it all, however
    // long it lasts, because no gap reaches 50 ms.
    port.FeedPaced(30, wire::REPLY_V_OK);
    AnswerWrites({"\x06"});

    EXPECT_EQ(protocol.ReadStatus(), 6);
    EXPECT_EQ(port.reads.front(), wire::REPLY_V_OK);  // one report of what was drained
}

TEST_F(DirectExchangeTest, LogOnDrainGivesUpOnALineThatNeverFallsQuiet)
{
    port.Feed(std::string(100000, 'x'));
    AnswerWrites({"\x06"});

    protocol.ReadStatus();
    // 64 KiB in chunks of 4 KiB, then the ENQ goes out all the same.
    EXPECT_EQ(port.reads.size(), 16u + 1u);
    EXPECT_EQ(port.writes, std::vector<std::string>{wire::ENQ});
}

// With the line's speed known, a quiet line counts as drained after about ten
// bytes' time instead of 50 ms. A late reply that is still arriving when the
// drain starts keeps it reading, the rest coming byte by byte or in bursts up
// to 50 ms apart, so the status is never one of its bytes.
struct SpeedDrainCase {
    const char* name;
    std::int32_t baud;
    std::function<void(FakeSerialPort&)> lineBefore;
    std::vector<std::int32_t> timeouts;  // of every read: the drain's, then the status's
    std::string drained;
};

void PrintTo(const SpeedDrainCase& c, std::ostream* os)
{
    *os << c.name;
}

class SpeedDrainTest : public EngineTest, public ::testing::WithParamInterface<SpeedDrainCase> {};

TEST_P(SpeedDrainTest, LogOnWaitsTenBytesTimeOnAQuietLine)
{
    ECREngine::PollLimits limits;
    limits.lineBaud = GetParam().baud;
    protocol.engine.SetPollLimits(limits);
    GetParam().lineBefore(port);
    AnswerWrites({"\x06"});

    EXPECT_EQ(protocol.ReadStatus(), 6);
    EXPECT_EQ(port.timeouts, GetParam().timeouts);
    std::string drained;
    for (std::size_t i = 0; i + 1 < port.reads.size(); ++i) {
        drained += port.reads[i];
    }
    EXPECT_EQ(drained, GetParam().drained);
}

INSTANTIATE_TEST_SUITE_P(
    Speeds, SpeedDrainTest,
    ::testing::Values(
        SpeedDrainCase{"QuietAt19200", 19200, [](FakeSerialPort&) {}, {5, 1000}, ""},
        SpeedDrainCase{"QuietAt9600", 9600, [](FakeSerialPort&) {}, {10, 1000}, ""},
        // Its first bytes are there, the rest comes 3 ms a byte.
        SpeedDrainCase{"ReplyStillArriving", 19200,
                       [](FakeSerialPort& p) {
                           p.Feed(wire::REPLY_V_OK.substr(0, 2));
                           p.FeedPaced(3, wire::REPLY_V_OK.substr(2));
                       },
                       {5, 50, 1000}, wire::REPLY_V_OK},
        // Through an adapter that hands bytes on in bursts 20 ms apart.
        SpeedDrainCase{"ReplyInBursts", 19200,
                       [](FakeSerialPort& p) {
                           p.Feed(wire::REPLY_V_OK.substr(0, 3));
                           p.FeedPaced(20, wire::REPLY_V_OK.substr(3, 1));
                           p.Feed(wire::REPLY_V_OK.substr(4, 3));
                           p.FeedPaced(20, wire::REPLY_V_OK.substr(7));
                       },
                       {5, 50, 50, 1000}, wire::REPLY_V_OK}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(DirectExchangeTest, AckAndNakAreSingleBytes)
{
    protocol.SendAck();
    protocol.SendNak();
    EXPECT_EQ(port.writes, (std::vector<std::string>{"\x06", "\x15"}));
    EXPECT_TRUE(port.reads.empty());
}

TEST_F(DirectExchangeTest, ProgressGoesToTheCallbackWhenSet)
{
    protocol.ReportProgress(-1);
    protocol.ReportProgress(40);
    EXPECT_EQ(progress, (std::vector<std::int32_t>{-1, 40}));

    protocol.engine.SetProgressCallback(nullptr);
    protocol.ReportProgress(100);
    EXPECT_EQ(progress.size(), 2u);
}

}  // namespace
