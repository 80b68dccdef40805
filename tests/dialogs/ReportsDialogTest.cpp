#include "RegisterSession.h"

#include "dialogs/fiscal/CReportsDlg.h"

#include <QDateTimeEdit>

#include <vector>

namespace {

using Sent = std::vector<std::string>;

const char* const kDailyAt0941 = "#z26\x1F" "3\x1F" "15\x1F" "9\x1F" "41\x1F";

class ReportsDialogTest : public RegisterSession {
protected:
    static void Pick(CDialog& dlg, int id, QDate date) { dlg.Item<QDateTimeEdit>(id)->setDate(date); }
    static QDate Picked(CDialog& dlg, int id) { return dlg.Item<QDateTimeEdit>(id)->date(); }
};

TEST_F(ReportsDialogTest, PeriodicReportsSendTheFlagAndBothDays)
{
    RunMenu(CThermalDlg::ID_REPORTS, [&](CDialog& open) {
        Pick(open, CReportsDlg::IDC_FROM, QDate(2026, 1, 1));
        Pick(open, CReportsDlg::IDC_TO, QDate(2026, 1, 31));
        Click(open, CReportsDlg::IDC_PERIODIC);
        Click(open, CReportsDlg::IDC_PERIODIC_NON_FISCAL);
        // Not validated: a period that ends before it starts goes as picked.
        Pick(open, CReportsDlg::IDC_FROM, QDate(2027, 2, 28));
        Pick(open, CReportsDlg::IDC_TO, QDate(1999, 12, 1));
        Click(open, CReportsDlg::IDC_PERIODIC);
    });
    EXPECT_EQ(Requests(), (Sent{"#o1\x1F" "26\x1F" "1\x1F" "1\x1F" "26\x1F" "1\x1F" "31\x1F",
                                    "#o0\x1F" "26\x1F" "1\x1F" "1\x1F" "26\x1F" "1\x1F" "31\x1F",
                                    "#o1\x1F" "27\x1F" "2\x1F" "28\x1F" "-1\x1F" "12\x1F" "1\x1F"}));
}

TEST_F(ReportsDialogTest, DailyReportIsDatedByTheRegisterClock)
{
    SetRegisterClock(2026, 3, 15, 9, 41);
    RunMenu(CThermalDlg::ID_REPORTS, [&](CDialog& open) {
        Pick(open, CReportsDlg::IDC_FROM, QDate(2020, 5, 5));  // the pickers play no part
        Click(open, CReportsDlg::IDC_DAILY);
    });
    EXPECT_EQ(Requests(), (Sent{"$c", kDailyAt0941}));
    EXPECT_TRUE(Sleeps().empty());
}

TEST_F(ReportsDialogTest, FiftyDailyReportsAlternateWithAPauseAfterEach)
{
    SetRegisterClock(2026, 3, 15, 9, 41);
    RunMenu(CThermalDlg::ID_REPORTS, [&](CDialog& open) { Click(open, CReportsDlg::IDC_DAILY_SERIES); });
    Sent expected;
    for (int i = 0; i < 50; ++i) {
        expected.push_back("$c");
        expected.push_back(kDailyAt0941);
    }
    EXPECT_EQ(Requests(), expected);
    EXPECT_EQ(Sleeps(), std::vector<std::int32_t>(50, 500));
}

TEST_F(ReportsDialogTest, FailureEndsTheSeriesAtTheFailingStep)
{
    SetRegisterClock(2026, 3, 15, 9, 41);
    RunMenu(CThermalDlg::ID_REPORTS, [&](CDialog& open) {
        SilenceRegister();
        // Silent from the third reply on: the first report goes through, the
        // second clock reading fails.
        SimFaults faults;
        faults.dropReplyEvery = 3;
        faults.silentToEnq = true;
        WithSimulator([&](ECRSimulator& sim) { sim.SetFaults(faults); });
        Click(open, CReportsDlg::IDC_DAILY_SERIES);
        EXPECT_TRUE(open.isVisible());
    });
    EXPECT_EQ(Requests(), (Sent{"$c", kDailyAt0941, "$c"}));
    ASSERT_EQ(Prompts().messages.size(), 1u);
    EXPECT_EQ(Prompts().messages[0].text, "Greska u komunikaciji\nTimeout error");
}

TEST_F(ReportsDialogTest, StatusReportIsTheCommandAlone)
{
    RunMenu(CThermalDlg::ID_REPORTS, [&](CDialog& open) { Click(open, CReportsDlg::IDC_SNAPSHOT); });
    EXPECT_EQ(Requests(), Sent{"#w"});
}

TEST_F(ReportsDialogTest, PickersStartAtTodayAndKeepTheirDaysBetweenOpenings)
{
    RunMenu(CThermalDlg::ID_REPORTS, [&](CDialog& open) {
        EXPECT_EQ(Picked(open, CReportsDlg::IDC_FROM), QDate::currentDate());
        EXPECT_EQ(Picked(open, CReportsDlg::IDC_TO), QDate::currentDate());
        Pick(open, CReportsDlg::IDC_FROM, QDate(2026, 1, 1));
        Pick(open, CReportsDlg::IDC_TO, QDate(2026, 1, 31));
        Click(open, IDOK);
    });
    RunMenu(CThermalDlg::ID_REPORTS, [&](CDialog& open) {
        EXPECT_EQ(Picked(open, CReportsDlg::IDC_FROM), QDate(2026, 1, 1));
        EXPECT_EQ(Picked(open, CReportsDlg::IDC_TO), QDate(2026, 1, 31));
    });
    EXPECT_TRUE(Requests().empty());
}

}  // namespace
