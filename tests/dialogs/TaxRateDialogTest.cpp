#include "RegisterSession.h"

#include "dialogs/fiscal/CTaxRateDlg.h"

#include <array>
#include <vector>

namespace {

using Sent = std::vector<std::string>;

constexpr auto kRates = CTaxRateDlg::kRateIds;

class TaxRateDialogTest : public RegisterSession {};

TEST_F(TaxRateDialogTest, FreshDialogShowsZeroRates)
{
    CTaxRateDlg fresh;
    RunModal(fresh, [&](CDialog& open) {
        for (const int id : kRates) {
            EXPECT_EQ(Text(open, id), "0.00") << id;
        }
    });
    EXPECT_TRUE(Requests().empty());
}

TEST_F(TaxRateDialogTest, ReadShowsPercentagesAndUnchangedWriteSendsTheSameRates)
{
    SetRegisterClock(2026, 3, 15, 9, 41);
    WithSimulator([](ECRSimulator& sim) { sim.State().taxRates = {5, 2000, 800, 0, 1000, 50, 12, 9999, 1}; });
    RunMenu(CThermalDlg::ID_TAX_RATES, [&](CDialog& open) {
        Click(open, CTaxRateDlg::IDC_READ);
        const char* shown[] = {"0.05", "20.00", "8.00", "0.00", "10.00", "0.50", "0.12", "99.99", "0.01"};
        for (std::size_t i = 0; i < kRates.size(); ++i) {
            EXPECT_EQ(Text(open, kRates[i]), shown[i]) << "rate " << i;
        }
        Click(open, CTaxRateDlg::IDC_WRITE);
    });
    EXPECT_EQ(Requests(), (Sent{"$v", "$c",
                                    "#v26\x1F" "3\x1F" "15\x1F" "9\x1F" "41\x1F"
                                    "5\t2000\t800\t0\t1000\t50\t12\t9999\t1\t"}));
}

// A rate no register keeps is a reply that failed its check: reported as any
// failed exchange, and the fields keep what they showed.
TEST_F(TaxRateDialogTest, ARateOutOfRangeIsACommunicationErrorNotAValue)
{
    WithSimulator([](ECRSimulator& sim) { sim.State().taxRates = {2000, -5, 0, 0, 0, 0, 0, 0, 0}; });
    RunMenu(CThermalDlg::ID_TAX_RATES, [&](CDialog& open) {
        open.SetItemText(kRates[0], QStringLiteral("7.00"));
        Click(open, CTaxRateDlg::IDC_READ);
        EXPECT_EQ(Text(open, kRates[0]), "7.00");
        EXPECT_EQ(Text(open, kRates[1]), "0.00");
    });
    ASSERT_EQ(Prompts().messages.size(), 1u);
    EXPECT_EQ(Prompts().messages[0].text, "Greska u komunikaciji\nSync Error!");
}

TEST_F(TaxRateDialogTest, TypedTextsAreReadAsAmountsWithTwoDecimals)
{
    SetRegisterClock(2026, 1, 2, 23, 5);
    RunMenu(CThermalDlg::ID_TAX_RATES, [&](CDialog& open) {
        const char* typed[] = {"abc", "8,5", "20", "20.00", "-5", "12,345", "1.2.3", "", " 7 "};
        for (std::size_t i = 0; i < kRates.size(); ++i) {
            open.SetItemText(kRates[i], QString::fromLatin1(typed[i]));
        }
        Click(open, CTaxRateDlg::IDC_WRITE);
    });
    EXPECT_EQ(Requests(), (Sent{"$c", "#v26\x1F" "1\x1F" "2\x1F" "23\x1F" "5\x1F"
                                          "0\t850\t2000\t2000\t500\t1234\t123\t0\t700\t"}));
}

TEST_F(TaxRateDialogTest, TextsSurviveReopeningAndOkSendsNothing)
{
    RunMenu(CThermalDlg::ID_TAX_RATES, [&](CDialog& open) {
        Type(open, CTaxRateDlg::IDC_RATE_A, "18");
        Type(open, CTaxRateDlg::IDC_RATE_K, "abc");
        Click(open, IDOK);
    });
    RunMenu(CThermalDlg::ID_TAX_RATES, [&](CDialog& open) {
        EXPECT_EQ(Text(open, CTaxRateDlg::IDC_RATE_A), "18");
        EXPECT_EQ(Text(open, CTaxRateDlg::IDC_RATE_G), "0.00");
        EXPECT_EQ(Text(open, CTaxRateDlg::IDC_RATE_K), "abc");
    });
    EXPECT_TRUE(Requests().empty());
}

}  // namespace
