// One receipt as the worker runs it, on a simulated register without HTTP:
// the steps it records before what cannot be taken back, how long each
// record must last, and the requests, written by hand.
#include "link/RegisterLink.h"
#include "service/registers/ReceiptRun.h"
#include "sim/SimulatorHost.h"

#include <gtest/gtest.h>

namespace {

struct Recorded {
    ReceiptStep step;
    Durability durability;
    std::int64_t subtotal;
};

class ReceiptRunTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(host.Start());
        ASSERT_TRUE(link.Open(PortAddress::DevicePath(host.DevicePath()), RegisterLink::Settings(19200), {}));
    }

    JobEnd Run(const ReceiptRequest& request, const std::optional<RegisterTotals>& before = std::nullopt)
    {
        ReceiptRun run(
            *link.Device(),
            [this](const JobProgress& progress) {
                const ReceiptProgress& receipt = std::get<ReceiptProgress>(progress);
                records.push_back({receipt.step, DurabilityOf(progress), receipt.subtotal});
            },
            [] {});
        return run.Run(request, before);
    }

    static ReceiptRequest TwoLines()
    {
        ReceiptRequest request;
        request.lines = {{ECRString("Sok"), 1250, 2000, 1, 0}, {ECRString("Hleb"), 4550, 1000, 0, 0}};
        request.registerNumber = ECRString("1");
        request.cashier = ECRString("7");
        return request;
    }

    SimulatorHost host;
    RegisterLink link;
    std::vector<Recorded> records;
};

}  // namespace

TEST_F(ReceiptRunTest, RecordsTheTotalsBeforeOpeningAndThePaymentSyncedBeforeItGoes)
{
    const JobEnd end = Run(TwoLines());
    EXPECT_EQ(end.outcome, Outcome::Printed);
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0].step, ReceiptStep::TotalsRead);
    EXPECT_EQ(records[0].durability, Durability::PastCrash);
    EXPECT_EQ(records[1].step, ReceiptStep::PaymentAboutToGo);
    EXPECT_EQ(records[1].durability, Durability::PastPowerCut);
    EXPECT_EQ(records[1].subtotal, 7050);
    // clang-format off
    EXPECT_EQ(host.Requests(), (std::vector<std::string>{
        "$t",
        "*t" "1\n" "7\n",
        "*l" "Sok\n" "1250\t" "2000\t" "1\x1F" "0\x1F",
        "*l" "Hleb\n" "4550\t" "1000\t" "0\x1F" "0\x1F",
        "*u",
        "*e" "7050\t" "0\t" "0\t"}));
    // clang-format on
}

TEST_F(ReceiptRunTest, StartsFromTotalsReadAheadWithoutReadingThemAgain)
{
    RegisterTotals before;
    before.figures.fill("0");
    EXPECT_EQ(Run(TwoLines(), before).outcome, Outcome::Printed);
    EXPECT_EQ(host.Requests().front().substr(0, 2), "*t");
}

TEST_F(ReceiptRunTest, ARefusedLineCancelsTheReceiptWithNothingPrinted)
{
    ReceiptRequest request = TwoLines();
    request.lines[1].unit = 10;  // no such unit: refused with code 115
    const JobEnd end = Run(request);
    EXPECT_EQ(end.state, JobState::Failed);
    EXPECT_EQ(end.outcome, Outcome::NotPrinted);
    EXPECT_EQ(end.receipt, ReceiptFate::Cancelled);
    ASSERT_TRUE(end.problem.has_value());
    EXPECT_EQ(end.problem->RegisterCode(), 115);
    EXPECT_EQ(host.Requests().back(), "*x");
    EXPECT_EQ(records.size(), 1u) << "no payment recorded";
}
