#include "RegisterSession.h"

#include "dialogs/fiscal/CTotalDlg.h"

#include <array>
#include <vector>

namespace {

using Sent = std::vector<std::string>;

// Reply order: rates A..K, fiscal total, fiscal today, non-fiscal total, non-fiscal today.
constexpr auto kTotals = CTotalDlg::kTotalIds;

class TotalizersDialogTest : public RegisterSession {};

TEST_F(TotalizersDialogTest, OpeningReadsOnceAndShowsTheTextsAsSent)
{
    WithSimulator([](ECRSimulator& sim) {
        sim.State().todayPerRate = {123456, 0, 7, 100, 2000000000, 5, 6, 8, 9};
        sim.State().fiscalTotal = 9876543210;
        sim.State().fiscalToday = 1000;
        sim.State().nonFiscalTotal = -15;
        sim.State().nonFiscalToday = 0;
    });
    for (int opening = 0; opening < 2; ++opening) {
        RunMenu(CThermalDlg::ID_TOTALIZERS, [&](CDialog& open) {
            EXPECT_NE(dynamic_cast<CTotalDlg*>(&open), nullptr);
            const char* shown[] = {"123456", "0", "7", "100", "2000000000", "5", "6", "8", "9",
                                   "9876543210", "1000", "-15", "0"};
            for (std::size_t i = 0; i < kTotals.size(); ++i) {
                EXPECT_EQ(Text(open, kTotals[i]), shown[i]) << "field " << i + 1;
            }
            Type(open, CTotalDlg::IDC_TOTAL_A, "ignored");
        });
    }
    EXPECT_EQ(Requests(), (Sent{"$t", "$t"}));
    EXPECT_TRUE(Prompts().messages.empty());
}

TEST_F(TotalizersDialogTest, FailedReadingIsReportedAndTheDialogOpensEmpty)
{
    SilenceRegister();
    bool opened = false;
    RunMenu(CThermalDlg::ID_TOTALIZERS, [&](CDialog& open) {
        opened = true;
        for (const int id : kTotals) {
            EXPECT_EQ(Text(open, id), "") << id;
        }
    });
    EXPECT_TRUE(opened);
    EXPECT_EQ(Requests(), Sent{"$t"});
    ASSERT_EQ(Prompts().messages.size(), 1u);
    EXPECT_EQ(Prompts().messages[0].text, "Greska u komunikaciji\nTimeout error");
}

}  // namespace
