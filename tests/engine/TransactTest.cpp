#include "EngineTest.h"

#include "ecr/protocol/CommError.h"
#include "ecr/protocol/ECRFrame.h"
#include "ecr/protocol/ECRStringError.h"

#include <functional>
#include <vector>
#include <ostream>

namespace {

using TransactTest = EngineTest;

TEST_F(TransactTest, ReplyAtOnceNeedsNoPolling)
{
    AnswerWrites({wire::REPLY_V_OK});

    const ECRString data = protocol.Transact("$v", nullptr);

    EXPECT_EQ(Bytes(data), "OK");
    EXPECT_EQ(port.writes, std::vector<std::string>{wire::REQUEST_V});
    EXPECT_EQ(traffic, std::vector<std::string>{"$v"});
    EXPECT_EQ(messages, std::vector<std::string>{"Operacija je uspesna"});
    EXPECT_EQ(ECRProtocol::LastErrorCode(), 0);
    EXPECT_TRUE(sleeps.empty());
    // The reply is read with the 3 s per-byte limit, right after the 1 ms flush read.
    EXPECT_EQ(port.timeouts, (std::vector<std::int32_t>{1, 3000}));
}

TEST_F(TransactTest, FieldsFollowTheCommandWithTheirTerminators)
{
    AnswerWrites({"\x1B" "P#cAFE" "\x1B\\"});
    const ECRFieldList fields{{"12", 1}, {"AB", 2}, {"x", 0}};

    const ECRString data = protocol.Transact("#c", &fields);

    EXPECT_EQ(Bytes(data), "A");
    EXPECT_EQ(port.writes, std::vector<std::string>{"\x1B" "P#c12\x1F" "AB\nxD2" "\x1B\\"});
    EXPECT_EQ(traffic, std::vector<std::string>{"#c12\x1F" "AB\nx"});
}

TEST_F(TransactTest, StaleInputIsReadAwayBeforeTheRequest)
{
    port.Feed("old\x06");
    AnswerWrites({wire::REPLY_V_OK + "\xC0"});

    EXPECT_EQ(Bytes(protocol.Transact("$v", nullptr)), "OK");
    ASSERT_GE(port.reads.size(), 5u);
    EXPECT_EQ(std::vector<std::string>(port.reads.begin(), port.reads.begin() + 5),
              (std::vector<std::string>{"o", "l", "d", "\x06", ""}));
    EXPECT_EQ(std::vector<std::int32_t>(port.timeouts.begin(), port.timeouts.begin() + 5),
              (std::vector<std::int32_t>{1, 1, 1, 1, 1}));

    // The byte after the closer stays on the line until the next exchange flushes it.
    port.reads.clear();
    EXPECT_EQ(Bytes(protocol.Transact("$v", nullptr)), "OK");
    EXPECT_EQ(port.reads.front(), "\xC0");
}

TEST_F(TransactTest, EndlessStaleInputDoesNotHoldTheFlushForEver)
{
    port.Feed(std::string(70000, 'x'));

    EXPECT_THROW(protocol.Transact("$v", nullptr), CommError);
    // the flush gave up after 64 KiB and the request still went out
    EXPECT_EQ(port.reads.size(), 65536u + 1u);
    EXPECT_EQ(port.writes, std::vector<std::string>{wire::REQUEST_V});
}

// What arrives in front of the reply frame: busy status bytes are dropped,
// anything else shifts the payload by one and fails the checksum.
struct LeadingBytesCase {
    const char* name;
    std::string prefix;
    bool accepted;
};

// Names the case in test listings instead of dumping its bytes.
void PrintTo(const LeadingBytesCase& c, std::ostream* os)
{
    *os << c.name;
}

class LeadingBytesTest : public EngineTest, public ::testing::WithParamInterface<LeadingBytesCase> {};

TEST_P(LeadingBytesTest, OnlyStatusBytesAreDropped)
{
    AnswerWrites({GetParam().prefix + wire::REPLY_V_OK});
    if (GetParam().accepted) {
        EXPECT_EQ(Bytes(protocol.Transact("$v", nullptr)), "OK");
        EXPECT_EQ(EnqCount(), 0);
    } else {
        try {
            protocol.Transact("$v", nullptr);
            ADD_FAILURE() << "no CommError";
        } catch (const CommError& error) {
            EXPECT_EQ(error.code, 17);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Prefixes, LeadingBytesTest,
                         ::testing::Values(LeadingBytesCase{"C0", "\xC0", true},
                                           LeadingBytesCase{"FF", "\xFF", true},
                                           LeadingBytesCase{"Several", "\xC0\xFF\xE1\xC3", true},
                                           LeadingBytesCase{"Ack", "\x06", false},
                                           LeadingBytesCase{"Bf", "\xBF", false},
                                           LeadingBytesCase{"StatusThenLetter", "\xC0" "A", false}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(TransactTest, DeviceRefusalGivesItsCodeAndMessage)
{
    AnswerWrites({wire::REPLY_Z12});

    const ECRString data = protocol.Transact("#c", nullptr);

    EXPECT_EQ(Bytes(data), "12");
    EXPECT_EQ(messages, std::vector<std::string>{"Nema papira (trake)"});
    EXPECT_EQ(ECRProtocol::LastErrorCode(), 12);
    EXPECT_EQ(traffic, std::vector<std::string>{"#c"});
}

TEST_F(TransactTest, MismatchingReplyIsReportedAndGivesNoData)
{
    AnswerWrites({wire::REPLY_Z12, wire::REPLY_W});
    protocol.Transact("#c", nullptr);
    messages.clear();
    traffic.clear();

    const ECRString data = protocol.Transact("$v", nullptr);

    EXPECT_EQ(data.Length(), 0u);
    EXPECT_EQ(traffic, (std::vector<std::string>{"$v", "Exception"}));
    EXPECT_TRUE(messages.empty());
    EXPECT_EQ(ECRProtocol::LastErrorCode(), 12);  // still the earlier refusal
}

// After an exchange that did not end cleanly, what is still coming on the
// line (the real answer behind a stale one, the rest of a cut frame) belongs
// to it: the next exchange drains the line until it is quiet, not just what
// the 1 ms flush finds.
struct UnsettledCase {
    const char* name;
    std::function<void(TestProtocol&)> firstExchange;
    std::string firstAnswer;
    std::int32_t lateAfterMs;  // when the late answer starts, counted from the first answer
};

void PrintTo(const UnsettledCase& c, std::ostream* os)
{
    *os << c.name;
}

class UnsettledLineTest : public EngineTest, public ::testing::WithParamInterface<UnsettledCase> {};

TEST_P(UnsettledLineTest, NextExchangeStartsFromADrainedLine)
{
    // A late "$VOLD" comes after the first exchange's answer, 20 ms a byte.
    const std::string late = "\x1B" "P$VOLDCA" "\x1B\\";
    const std::string fresh = "\x1B" "P$VNEWD1" "\x1B\\";
    int writes = 0;
    port.onWrite = [&](const std::string&) {
        if (++writes == 1) {
            port.Feed(GetParam().firstAnswer);
            port.FeedPaced(GetParam().lateAfterMs, late.substr(0, 1));
            port.FeedPaced(20, late.substr(1));
        } else {
            port.Feed(fresh);
        }
    };
    try {
        GetParam().firstExchange(protocol);
    } catch (const CommError&) {
    } catch (const ECRStringError&) {
    }

    EXPECT_EQ(Bytes(protocol.Transact("$v", nullptr)), "NEW");
    EXPECT_EQ(port.writes.size(), 2u);
}

INSTANTIATE_TEST_SUITE_P(
    FirstExchanges, UnsettledLineTest,
    ::testing::Values(
        UnsettledCase{"AnswerForAnotherCommand", [](TestProtocol& p) { p.Transact("$v", nullptr); }, wire::REPLY_W, 20},
        UnsettledCase{"WrongChecksum", [](TestProtocol& p) { p.Transact("$v", nullptr); },
                      "\x1B" "P$VOK00" "\x1B\\", 20},
        UnsettledCase{"CutFrame", [](TestProtocol& p) { p.Transact("$v", nullptr); }, "\x1B" "P$", 3020},
        // The late answer starts 30 ms after the read for it gave up.
        UnsettledCase{"RawWithoutAnswer", [](TestProtocol& p) { p.SendRaw("$v"); }, "", 1030},
        UnsettledCase{"NoPollWithoutAnswer", [](TestProtocol& p) { p.TransactNoPoll("$v"); }, "", 3030}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(TransactTest, CleanExchangesNeedNoDrain)
{
    AnswerWrites({wire::REPLY_V_OK});
    protocol.Transact("$v", nullptr);
    protocol.Transact("$v", nullptr);
    // Only the 1 ms flush and the reply read, twice: no 50 ms quiet waits.
    EXPECT_EQ(port.timeouts, (std::vector<std::int32_t>{1, 3000, 1, 3000}));
}

TEST_F(TransactTest, EmptyReplyPayloadIsAStringError)
{
    AnswerWrites({wire::REPLY_EMPTY});
    EXPECT_THROW(protocol.Transact("$v", nullptr), ECRStringError);
    EXPECT_TRUE(messages.empty());
}

TEST_F(TransactTest, FailingWriteEndsTheExchange)
{
    port.FailWriteNumber(1);
    try {
        protocol.Transact("$v", nullptr);
        ADD_FAILURE() << "no CommError";
    } catch (const CommError& error) {
        EXPECT_EQ(error.code, 8);
    }
    EXPECT_EQ(port.reads.size(), 1u);  // only the flush read
}

TEST_F(TransactTest, WorksWithoutAnyCallback)
{
    protocol.engine.SetTrafficCallback(nullptr);
    protocol.engine.SetMessageCallback(nullptr);
    AnswerWrites({wire::REPLY_Z12, wire::REPLY_W});

    EXPECT_EQ(Bytes(protocol.Transact("#c", nullptr)), "12");
    EXPECT_EQ(ECRProtocol::LastErrorCode(), 12);
    EXPECT_EQ(protocol.Transact("$v", nullptr).Length(), 0u);
    EXPECT_TRUE(traffic.empty());
    EXPECT_TRUE(messages.empty());
}

// Frame and Unframe must reach the checksum through the protocol object, so a
// protocol with its own checksum changes both the request and the accepted reply.
class ZeroChecksumProtocol : public TestProtocol {
public:
    ECRString Checksum(ECRString) override { return "00"; }
};

TEST(EngineFrameSlots, ReplacedChecksumChangesEveryExchange)
{
    ZeroChecksumProtocol protocol;
    protocol.port.onWrite = [&](const std::string&) { protocol.port.Feed("\x1B" "P$VOK00" "\x1B\\"); };

    EXPECT_EQ(std::string(protocol.Transact("$v", nullptr).Data()), "OK");
    EXPECT_EQ(protocol.port.writes, std::vector<std::string>{"\x1B" "P$v00" "\x1B\\"});

    EXPECT_EQ(std::string(protocol.TransactNoPoll("$v").Data()), "OK");
    EXPECT_EQ(std::string(protocol.SendReceive("$v", 500).Data()), "$VOK");
    EXPECT_EQ(std::string(protocol.SendRaw("$v").Data()), "$VOK");
    EXPECT_EQ(protocol.port.writes.back(), "\x1B" "P$v00" "\x1B\\");
}

}  // namespace
