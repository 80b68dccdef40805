#include "RegisterSession.h"

#include "dialogs/fiscal/CSetTimeDlg.h"

#include <QDateTimeEdit>

#include <vector>

namespace {

using Sent = std::vector<std::string>;

class SetTimeDialogTest : public RegisterSession {
protected:
    static QDateTime Picker(CDialog& dlg, int id) { return dlg.Item<QDateTimeEdit>(id)->dateTime(); }
    static void Pick(CDialog& dlg, int id, const QDateTime& moment) { dlg.Item<QDateTimeEdit>(id)->setDateTime(moment); }
};

TEST_F(SetTimeDialogTest, MenuReadsTheRegisterClockIntoBothPickers)
{
    SetRegisterClock(2026, 3, 15, 9, 41);
    const QDateTime expected(QDate(2026, 3, 15), QTime(9, 41, 0));
    RunMenu(CThermalDlg::ID_TIME, [&](CDialog& open) {
        EXPECT_NE(dynamic_cast<CSetTimeDlg*>(&open), nullptr);
        EXPECT_EQ(Picker(open, CSetTimeDlg::IDC_DATE).date(), expected.date());
        EXPECT_EQ(Picker(open, CSetTimeDlg::IDC_TIME).time(), expected.time());
    });
    EXPECT_EQ(Requests(), Sent{"$c"});
    EXPECT_TRUE(Prompts().messages.empty());
}

TEST_F(SetTimeDialogTest, UnreadableClockGivesTheMessageAndTheDialogStillOpens)
{
    // A silent register, and one whose replies all fail their checksum (no clock data).
    const std::function<void()> faults[] = {
        [&] { SilenceRegister(); },
        [&] {
            SimFaults bad;
            bad.badChecksumEvery = 1;
            WithSimulator([&](ECRSimulator& sim) { sim.SetFaults(bad); });
        },
    };
    for (const auto& fault : faults) {
        SetRegisterClock(2026, 3, 15, 9, 41);
        WithSimulator([](ECRSimulator& sim) { sim.SetFaults({}); });
        RunMenu(CThermalDlg::ID_TIME, [](CDialog& open) { open.EndDialog(IDOK); });
        Prompts().messages.clear();
        SetRegisterClock(2027, 1, 1, 0, 0);
        fault();
        bool opened = false;
        RunMenu(CThermalDlg::ID_TIME, [&](CDialog& open) {
            opened = true;
            // The values of the previous opening stay.
            EXPECT_EQ(Picker(open, CSetTimeDlg::IDC_DATE).date(), QDate(2026, 3, 15));
            EXPECT_EQ(Picker(open, CSetTimeDlg::IDC_TIME).time(), QTime(9, 41, 0));
        });
        EXPECT_TRUE(opened);
        ASSERT_EQ(Prompts().messages.size(), 1u);
        EXPECT_EQ(Prompts().messages[0].text, "Greska u komunikaciji");
    }
}

TEST_F(SetTimeDialogTest, WriteSendsThePickedDayHourAndMinuteWithoutSeconds)
{
    struct Case {
        QDateTime picked;
        std::string request;
    };
    const Case cases[] = {
        {QDateTime(QDate(2026, 3, 15), QTime(9, 41, 30)), "#c26\x1F" "3\x1F" "15\x1F" "9\x1F" "41\x1F"},
        {QDateTime(QDate(2030, 12, 31), QTime(23, 59, 59)), "#c30\x1F" "12\x1F" "31\x1F" "23\x1F" "59\x1F"},
        {QDateTime(QDate(1999, 1, 1), QTime(0, 0, 0)), "#c-1\x1F" "1\x1F" "1\x1F" "0\x1F" "0\x1F"},
    };
    for (const Case& c : cases) {
        ClearRequests();
        RunModal(Main().m_setTimeDlg, [&](CDialog& open) {
            Pick(open, CSetTimeDlg::IDC_DATE, c.picked);
            Pick(open, CSetTimeDlg::IDC_TIME, c.picked);
            Click(open, CSetTimeDlg::IDC_WRITE);
        });
        EXPECT_EQ(Requests(), Sent{c.request});
    }
}

TEST_F(SetTimeDialogTest, HourButtonsShiftTheClockAndLeaveThePickersAlone)
{
    SetRegisterClock(2026, 3, 15, 9, 41);
    RunMenu(CThermalDlg::ID_TIME, [&](CDialog& open) {
        Click(open, CSetTimeDlg::IDC_HOUR_FORWARD);
        Click(open, CSetTimeDlg::IDC_HOUR_BACK);
        Click(open, CSetTimeDlg::IDC_HOUR_FORWARD);
        EXPECT_EQ(Picker(open, CSetTimeDlg::IDC_TIME).time(), QTime(9, 41, 0));
        EXPECT_EQ(Picker(open, CSetTimeDlg::IDC_DATE).date(), QDate(2026, 3, 15));
    });
    EXPECT_EQ(Requests(), (Sent{"$c", "#t1\x1F", "#t0\x1F", "#t1\x1F"}));
}

}  // namespace
