#include "FullStackFixture.h"

#include "ecr/protocol/CommError.h"
#include "ecr/protocol/ECRClock.h"
#include "support/FastClock.h"

#include <algorithm>
#include <functional>
#include <ostream>

// Each fault of the simulated register against the whole client: the client
// either recovers as the protocol says or raises the documented error, and
// once the fault is gone the next command works.
namespace {
enum class Outcome { Rates, NoData, Throws17, Throws10 };

struct FaultCase {
    const char* name;
    std::function<void(SimFaults&)> set;
    Outcome outcome;
};

// Names the case in test listings instead of dumping its bytes.
void PrintTo(const FaultCase& c, std::ostream* os)
{
    *os << c.name;
}

const std::array<std::int32_t, 9> kRates{2000, 1000, 0, 0, 0, 0, 0, 0, 0};

const FaultCase kFaultCases[] = {
    {"StatusBytesBeforeReply", [](SimFaults& f) { f.statusBytesBeforeReply = 3; }, Outcome::Rates},
    {"StaleBytesAfterReply", [](SimFaults& f) { f.staleAfterReply = "\x06\x15junk\x1B"; }, Outcome::Rates},
    {"ReplyDelay", [](SimFaults& f) { f.replyDelayMs = 500; }, Outcome::Rates},
    {"LinePacing", [](SimFaults& f) { f.baudRate = 9600; }, Outcome::Rates},
    {"BusyBeyondReplyTimeout", [](SimFaults& f) { f.busyMs = 3300; }, Outcome::Rates},
    {"BusyAndSilentToEnq", [](SimFaults& f) { f.busyMs = 3300; f.silentToEnq = true; }, Outcome::Rates},
    {"WrongReplyLetter", [](SimFaults& f) { f.wrongLetterEvery = 1; }, Outcome::NoData},
    {"WrongChecksum", [](SimFaults& f) { f.badChecksumEvery = 1; }, Outcome::Throws17},
    {"GarbageBeforeReply", [](SimFaults& f) { f.garbageBeforeReply = "AB"; }, Outcome::Throws17},
    {"DroppedReply", [](SimFaults& f) { f.dropReplyEvery = 1; }, Outcome::Throws10},
    {"DroppedReplySilentToEnq", [](SimFaults& f) { f.dropReplyEvery = 1; f.silentToEnq = true; }, Outcome::Throws10},
};

class FullStackFault : public FullStack, public ::testing::WithParamInterface<FaultCase> {};
}  // namespace

TEST_P(FullStackFault, ClientRecoversOrRaisesTheDocumentedError)
{
    const FaultCase& c = GetParam();
    SimFaults faults;
    c.set(faults);
    SetFaults(faults);

    std::array<std::int32_t, 9> rates{};
    std::int32_t thrown = 0;
    try {
        Device().ReadTaxRates(rates);
    } catch (const CommError& error) {
        thrown = error.code;
    }
    switch (c.outcome) {
    case Outcome::Rates:
        EXPECT_EQ(thrown, 0);
        EXPECT_EQ(rates, kRates);
        break;
    case Outcome::NoData:
        EXPECT_EQ(thrown, 0);
        EXPECT_EQ(rates, (std::array<std::int32_t, 9>{}));
        EXPECT_NE(std::find(Traffic().begin(), Traffic().end(), std::string("Exception")), Traffic().end());
        break;
    case Outcome::Throws17:
        EXPECT_EQ(thrown, 17);
        break;
    case Outcome::Throws10:
        EXPECT_EQ(thrown, 10);
        break;
    }

    SetFaults(SimFaults{});
    rates = {};
    Device().ReadTaxRates(rates);
    EXPECT_EQ(rates, kRates);
}

INSTANTIATE_TEST_SUITE_P(Faults, FullStackFault, ::testing::ValuesIn(kFaultCases),
                         [](const ::testing::TestParamInfo<FaultCase>& info) { return std::string(info.param.name); });

// A register that has lost the reply answers every ENQ "ready": the second
// such answer ends the exchange with the design's five-minute busy limit
// untouched, and the request is sent once only.
TEST_F(FullStack, LostReplyEndsAfterTwoReadyAnswersWithoutResending)
{
    ECREngine::PollLimits limits;
    limits.replyTimeoutMs = 400;
    limits.statusTimeoutMs = 200;
    Device().Engine().SetPollLimits(limits);
    SimFaults faults;
    faults.dropReplyEvery = 1;
    SetFaults(faults);
    Host().ClearRequests();
    Traffic().clear();

    std::array<std::int32_t, 9> rates{};
    try {
        Device().ReadTaxRates(rates);
        ADD_FAILURE() << "a lost reply was not noticed";
    } catch (const CommError& error) {
        EXPECT_EQ(error.code, CommError::Timeout);
    }
    EXPECT_EQ(Host().Requests(), std::vector<std::string>{"$v"});
    EXPECT_EQ(std::count(Traffic().begin(), Traffic().end(), std::string("\x06")), 2);
}

// A line that drips its reply slower than any real one (25 ms a byte here,
// 3 s a byte on the fast clock) never leaves a gap the per-byte time-out
// notices; the read's own limit cuts it, and the cut frame fails its check.
TEST_F(FullStack, ADrippingReplyIsCutAtTheReadLimit)
{
    const ECRClockFunction previous = SetECRClockFunction(&FastClockMs);
    SimFaults faults;
    faults.baudRate = 400;
    SetFaults(faults);

    std::array<std::int32_t, 9> rates{};
    std::int32_t thrown = 0;
    try {
        Device().ReadTaxRates(rates);
    } catch (const CommError& error) {
        thrown = error.code;
    }
    EXPECT_EQ(thrown, CommError::InvalidCommand);
    EXPECT_EQ(Host().Requests().size(), 1u);

    // The rest of the frame is still dripping: the next exchange drains it first.
    SetFaults(SimFaults{});
    Device().ReadTaxRates(rates);
    EXPECT_EQ(rates, kRates);
    SetECRClockFunction(previous);
}
