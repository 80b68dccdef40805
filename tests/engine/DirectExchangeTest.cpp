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
