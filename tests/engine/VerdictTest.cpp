// The verdict the engine records for each exchange, against replies written
// out by hand.
#include "EngineTest.h"

#include "ecr/protocol/CommError.h"
#include "ecr/protocol/ECRStringError.h"
#include "ecr/protocol/ECRVerdictWatch.h"

#include <functional>
#include <ostream>

namespace {

using Kind = ECRVerdict::Kind;
using Check = ECRVerdict::Check;

struct VerdictCase {
    const char* name;
    const char* command;
    std::string answer;  // what the line carries back; empty for silence
    Kind kind;
    Check check;
    std::int32_t code;
};

void PrintTo(const VerdictCase& c, std::ostream* os)
{
    *os << c.name;
}

class VerdictTest : public EngineTest, public ::testing::WithParamInterface<VerdictCase> {};

TEST_P(VerdictTest, EveryExchangeEndsWithOne)
{
    const VerdictCase& c = GetParam();
    ECREngine::PollLimits limits;
    limits.maxSilentWaits = 1;
    protocol.engine.SetPollLimits(limits);
    AnswerWrites({c.answer});
    // Whatever the exchange throws, the verdict is there.
    try {
        protocol.Transact(c.command, nullptr);
    } catch (const CommError&) {
    } catch (const ECRStringError&) {
    }
    const ECRVerdict& verdict = protocol.LastVerdict();
    EXPECT_EQ(verdict.kind, c.kind);
    EXPECT_EQ(verdict.check, c.check);
    EXPECT_EQ(verdict.code, c.code);
    EXPECT_EQ(Bytes(verdict.command), c.command);
    EXPECT_EQ(protocol.Verdicts().Count(), 1u);
}

INSTANTIATE_TEST_SUITE_P(
    Replies, VerdictTest,
    ::testing::Values(
        VerdictCase{"accepted", "$v", wire::REPLY_V_OK, Kind::Accepted, Check::None, 0},
        VerdictCase{"refused", "#c", wire::REPLY_Z12, Kind::Refused, Check::None, 12},
        VerdictCase{"no_reply", "$v", "", Kind::NoReply, Check::None, CommError::Timeout},
        VerdictCase{"too_short_for_a_frame", "$v", "\x1B\\", Kind::FailedCheck, Check::FrameLength, 0},
        VerdictCase{"checksum", "$v", "\x1B" "P$VOK00" "\x1B\\", Kind::FailedCheck, Check::Checksum, 0},
        VerdictCase{"empty_payload", "$v", wire::REPLY_EMPTY, Kind::FailedCheck, Check::ReplyLength, 0},
        VerdictCase{"reply_class", "$v", "\x1B" "P?VOK92" "\x1B\\", Kind::FailedCheck, Check::ReplyClass, 0},
        VerdictCase{"reply_letter", "$v", wire::REPLY_W, Kind::FailedCheck, Check::ReplyLetter, 0},
        VerdictCase{"error_echo", "#c", "\x1B" "P#Zqx\n12\x1F" "99" "\x1B\\", Kind::FailedCheck, Check::ErrorEcho, 0},
        VerdictCase{"error_code", "#c", "\x1B" "P#Zcx\nAB\x1F" "8B" "\x1B\\", Kind::FailedCheck, Check::ErrorCode,
                    0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(EngineTest, AFailedWriteIsNoReplyWithItsCode)
{
    port.FailWriteNumber(1);
    EXPECT_THROW(protocol.Transact("$v", nullptr), CommError);
    EXPECT_EQ(protocol.LastVerdict().kind, Kind::NoReply);
    EXPECT_EQ(protocol.LastVerdict().code, CommError::WriteFailed);
}

TEST_F(EngineTest, RawExchangesAreUncheckedOrWithoutReply)
{
    AnswerWrites({wire::REPLY_W, ""});
    protocol.SendRaw("$v");
    EXPECT_EQ(protocol.LastVerdict().kind, Kind::Unchecked);
    protocol.SendReceive("$v", 10);
    EXPECT_EQ(protocol.LastVerdict().kind, Kind::NoReply);
}

TEST_F(EngineTest, AFailedCheckNeverCarriesAnEarlierRefusal)
{
    // The design's last code keeps the refusal; the verdict of the next
    // exchange is its own.
    AnswerWrites({wire::REPLY_Z12, wire::REPLY_W});
    ECRVerdictWatch outer(protocol.Verdicts());
    protocol.Transact("#c", nullptr);
    ECRVerdictWatch inner(protocol.Verdicts());
    protocol.Transact("$v", nullptr);
    EXPECT_EQ(ECRProtocol::LastErrorCode(), 12);
    EXPECT_EQ(protocol.LastVerdict().kind, Kind::FailedCheck);

    EXPECT_EQ(outer.Exchanges(), 2u);
    EXPECT_EQ(outer.FirstNotAccepted()->kind, Kind::Refused);
    EXPECT_EQ(outer.CountOf(Kind::FailedCheck), 1u);
    EXPECT_EQ(inner.Exchanges(), 1u);
    EXPECT_EQ(inner.FirstNotAccepted()->kind, Kind::FailedCheck);
    EXPECT_EQ(inner.FirstOf(Kind::Refused), std::nullopt);
}

}  // namespace
