#include "RegisterSession.h"

#include "dialogs/fiscal/CSetTimeDlg.h"

#include <QDateTimeEdit>

#include <cstdlib>
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

TEST_F(SetTimeDialogTest, UnreadableClockSaysWhyAndStartsThePickersFromTheComputersClock)
{
    // A silent register, and one whose replies all fail their checksum (no clock data).
    struct Fault {
        std::function<void()> set;
        const char* reason;
    };
    const Fault faults[] = {
        {[&] { SilenceRegister(); }, "Timeout error"},
        {[&] {
             SimFaults bad;
             bad.badChecksumEvery = 1;
             WithSimulator([&](ECRSimulator& sim) { sim.SetFaults(bad); });
         },
         "Invalid Command!"},
    };
    for (const Fault& fault : faults) {
        // An earlier opening showed the register's time; it is no guess for now.
        SetRegisterClock(2031, 3, 15, 9, 41);
        WithSimulator([](ECRSimulator& sim) { sim.SetFaults({}); });
        RunMenu(CThermalDlg::ID_TIME, [](CDialog& open) { open.EndDialog(IDOK); });
        Prompts().messages.clear();
        fault.set();
        bool opened = false;
        QDateTime shown;
        RunMenu(CThermalDlg::ID_TIME, [&](CDialog& open) {
            opened = true;
            shown = QDateTime(Picker(open, CSetTimeDlg::IDC_DATE).date(), Picker(open, CSetTimeDlg::IDC_TIME).time());
        });
        EXPECT_TRUE(opened);
        EXPECT_LT(std::abs(shown.secsTo(QDateTime::currentDateTime())), 120) << shown.toString().toStdString();
        EXPECT_EQ(shown.time().second(), 0);
        ASSERT_EQ(Prompts().messages.size(), 1u);
        EXPECT_EQ(Prompts().messages[0].text, QStringLiteral("Greska u komunikaciji\n") + fault.reason);
        const std::string debug = Main().m_monitorDlg.DebugText();
        EXPECT_EQ(debug.substr(0, debug.find("\r\n")), std::string("Greska u komunikaciji: ") + fault.reason);
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
        {QDateTime(QDate(2000, 1, 1), QTime(0, 0, 0)), "#c0\x1F" "1\x1F" "1\x1F" "0\x1F" "0\x1F"},
        {QDateTime(QDate(2099, 12, 31), QTime(23, 59, 0)), "#c99\x1F" "12\x1F" "31\x1F" "23\x1F" "59\x1F"},
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
    EXPECT_TRUE(Prompts().messages.empty());
}

TEST_F(SetTimeDialogTest, AYearTheRegistersClockCannotHoldIsRefusedAndNothingIsSent)
{
    // 1970 is where a clock of zero seconds lands; it would go out as the year -30.
    const QDate refused[] = {QDate(1970, 1, 1), QDate(1999, 12, 31), QDate(2100, 1, 1)};
    RunModal(Main().m_setTimeDlg, [&](CDialog& open) {
        for (const QDate& day : refused) {
            Pick(open, CSetTimeDlg::IDC_DATE, QDateTime(day, QTime(12, 0)));
            Click(open, CSetTimeDlg::IDC_WRITE);
        }
    });
    EXPECT_TRUE(Requests().empty());
    EXPECT_EQ(Prompts().Texts(), (QStringList{"Sat kase prima samo godine od 2000 do 2099, ne 1970. Nista nije poslato.",
                                              "Sat kase prima samo godine od 2000 do 2099, ne 1999. Nista nije poslato.",
                                              "Sat kase prima samo godine od 2000 do 2099, ne 2100. Nista nije poslato."}));
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
