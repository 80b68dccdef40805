#include "RegisterSession.h"

#include "dialogs/utilities/CAdvertDlg.h"

#include <QCheckBox>
#include <QTest>

#include <array>
#include <vector>

namespace {

using Sent = std::vector<std::string>;

constexpr auto kAdvertLines = CAdvertDlg::kLineIds;
constexpr auto kAdvertDouble = CAdvertDlg::kDoubleIds;

class AdvertDialogTest : public RegisterSession {
protected:
    void Open(const std::function<void(CDialog&)>& driver) { RunMenu(CThermalDlg::ID_ADVERT_TEXT, driver); }
    static QCheckBox* Box(CDialog& dlg, int id) { return dlg.Item<QCheckBox>(id); }
};

TEST_F(AdvertDialogTest, OpeningSendsOneSwitchReadAndShowsTheSwitch)
{
    WithSimulator([](ECRSimulator& sim) {
        sim.State().advertEnabled = true;
        sim.State().advertLines = {"NE", "SE", "CITA", "", "", "", ""};
    });
    Open([&](CDialog& open) {
        EXPECT_TRUE(Box(open, CAdvertDlg::IDC_PRINT_ON)->isChecked());
        for (const int id : kAdvertLines) {
            EXPECT_EQ(Text(open, id), "") << id;
        }
    });
    EXPECT_EQ(Requests(), Sent{"$y2\x1F"});
}

TEST_F(AdvertDialogTest, SendWithEmptyLinesSendsSevenEmptyLinesAndSevenZeroFlags)
{
    Open([&](CDialog& open) {
        ClearRequests();
        Click(open, CAdvertDlg::IDC_WRITE);
    });
    EXPECT_EQ(Requests(), Sent{"#i\n\n\n\n\n\n\n"
                               "0\x1F" "0\x1F" "0\x1F" "0\x1F" "0\x1F" "0\x1F" "0\x1F"});
}

TEST_F(AdvertDialogTest, SendTakesTheTypedLinesAndTheirDoubleBoxes)
{
    Open([&](CDialog& open) {
        ClearRequests();
        Type(open, CAdvertDlg::IDC_LINE1, "AKCIJA");
        Type(open, CAdvertDlg::IDC_LINE4, "Popust 10%");
        Type(open, CAdvertDlg::IDC_LINE7, "Hvala");
        Click(open, CAdvertDlg::IDC_DOUBLE1);
        Click(open, CAdvertDlg::IDC_DOUBLE7);
        Click(open, CAdvertDlg::IDC_WRITE);
    });
    EXPECT_EQ(Requests(), Sent{"#iAKCIJA\n\n\nPopust 10%\n\n\nHvala\n"
                               "1\x1F" "0\x1F" "0\x1F" "0\x1F" "0\x1F" "0\x1F" "1\x1F"});
    std::array<std::string, 7> stored;
    std::array<bool, 7> doubled{};
    WithSimulator([&](ECRSimulator& sim) {
        stored = sim.State().advertLines;
        doubled = sim.State().advertDouble;
    });
    EXPECT_EQ(stored[3], "Popust 10%");
    EXPECT_TRUE(doubled[6]);
}

TEST_F(AdvertDialogTest, ReadReplacesWhatWasTypedWithTheRegistersLines)
{
    WithSimulator([](ECRSimulator& sim) {
        sim.State().advertLines = {"PRVA", "DRUGA", "TRECA", "CETVRTA", "PETA", "SESTA", "SEDMA"};
        sim.State().advertDouble = {false, false, true, false, false, false, true};
    });
    Open([&](CDialog& open) {
        Type(open, CAdvertDlg::IDC_LINE2, "otkucano");
        Click(open, CAdvertDlg::IDC_DOUBLE2);
        ClearRequests();
        Click(open, CAdvertDlg::IDC_READ);
        const char* lines[] = {"PRVA", "DRUGA", "TRECA", "CETVRTA", "PETA", "SESTA", "SEDMA"};
        const bool doubled[] = {false, false, true, false, false, false, true};
        for (std::size_t i = 0; i < kAdvertLines.size(); ++i) {
            EXPECT_EQ(Text(open, kAdvertLines[i]), lines[i]) << "line " << i + 1;
            EXPECT_EQ(Box(open, kAdvertDouble[i])->isChecked(), doubled[i]) << "flag " << i + 1;
        }
    });
    EXPECT_EQ(Requests(), Sent{"$i"});
}

// The design's reader read every line after an empty one as empty, so
// "Procitaj" then "Posalji >>" erased them on the register.
TEST_F(AdvertDialogTest, ReadThenSendKeepsTheLinesAfterAnEmptyOne)
{
    WithSimulator([](ECRSimulator& sim) {
        sim.State().advertLines = {"PRVA", "", "TRECA", "", "", "SESTA", "SEDMA"};
        sim.State().advertDouble = {false, false, true, false, false, false, true};
    });
    Open([&](CDialog& open) {
        ClearRequests();
        Click(open, CAdvertDlg::IDC_READ);
        EXPECT_EQ(Text(open, CAdvertDlg::IDC_LINE3), "TRECA");
        EXPECT_TRUE(Box(open, CAdvertDlg::IDC_DOUBLE7)->isChecked());
        Click(open, CAdvertDlg::IDC_WRITE);
    });
    EXPECT_EQ(Requests(), (Sent{"$i", "#iPRVA\n\nTRECA\n\n\nSESTA\nSEDMA\n"
                                      "0\x1F" "0\x1F" "1\x1F" "0\x1F" "0\x1F" "0\x1F" "1\x1F"}));
    std::array<std::string, 7> stored;
    WithSimulator([&](ECRSimulator& sim) { stored = sim.State().advertLines; });
    EXPECT_EQ(stored, (std::array<std::string, 7>{"PRVA", "", "TRECA", "", "", "SESTA", "SEDMA"}));
}

TEST_F(AdvertDialogTest, OnClickedTwiceSendsOnThenOff)
{
    Open([&](CDialog& open) {
        ClearRequests();
        Click(open, CAdvertDlg::IDC_PRINT_ON);
        Click(open, CAdvertDlg::IDC_PRINT_ON);
    });
    EXPECT_EQ(Requests(), (Sent{"#y2\x1F" "1\x1F", "#y2\x1F" "0\x1F"}));
}

TEST_F(AdvertDialogTest, OkKeepsTheTypedLinesForTheNextOpeningAndEscDoesNot)
{
    Open([&](CDialog& open) {
        Type(open, CAdvertDlg::IDC_LINE1, "ZADRZANO");
        Click(open, CAdvertDlg::IDC_DOUBLE3);
        Click(open, IDOK);
    });
    Open([&](CDialog& open) {
        EXPECT_EQ(Text(open, CAdvertDlg::IDC_LINE1), "ZADRZANO");
        EXPECT_TRUE(Box(open, CAdvertDlg::IDC_DOUBLE3)->isChecked());
        Type(open, CAdvertDlg::IDC_LINE1, "ODBACENO");
        QTest::keyClick(&open, Qt::Key_Escape);
    });
    ClearRequests();
    Open([&](CDialog& open) { EXPECT_EQ(Text(open, CAdvertDlg::IDC_LINE1), "ZADRZANO"); });
    EXPECT_EQ(Requests(), Sent{"$y2\x1F"}) << "closing sends nothing; opening only reads the switch";
}

TEST_F(AdvertDialogTest, LinkFailureAtOpeningIsReportedAndTheDialogDoesNotOpen)
{
    SilenceRegister();
    bool opened = false;
    Open([&](CDialog&) { opened = true; });
    EXPECT_FALSE(opened);
    ASSERT_EQ(Prompts().messages.size(), 1u);
    EXPECT_TRUE(Prompts().messages[0].text.startsWith("Greska u komunikaciji\n"));
}

TEST_F(AdvertDialogTest, ALineTheRegisterCannotTakeSendsNothingAndOkKeepsTheDialogOpen)
{
    const QString refused = QString::fromUtf8("Znak '\xD0\x90' (U+0410) u polju \"Linija 3\" na mestu 8 ne postoji u "
                                              "kodnoj strani Windows-1250. Nista nije poslato.");
    bool stayedOpen = false;
    bool switchShown = true;
    Open([&](CDialog& open) {
        ClearRequests();
        Type(open, CAdvertDlg::IDC_LINE1, "AKCIJA");
        Type(open, CAdvertDlg::IDC_LINE3, QString::fromUtf8("Popust \xD0\x90"));
        Click(open, CAdvertDlg::IDC_WRITE);
        // "On" reads the lines too: the switch is not sent and the box shows the register's state again.
        Click(open, CAdvertDlg::IDC_PRINT_ON);
        switchShown = Box(open, CAdvertDlg::IDC_PRINT_ON)->isChecked();
        Click(open, IDOK);
        stayedOpen = open.isVisible();
        // A Central European letter goes as its byte.
        Type(open, CAdvertDlg::IDC_LINE3, QString::fromUtf8("Popust \xC4\x8D\xC4\x87"));
        Click(open, CAdvertDlg::IDC_WRITE);
    });
    EXPECT_FALSE(switchShown);
    EXPECT_TRUE(stayedOpen);
    EXPECT_EQ(Prompts().Texts(), (QStringList{refused, refused, refused}));
    EXPECT_EQ(Requests(), Sent{"#iAKCIJA\n\nPopust \xE8\xE6\n\n\n\n\n"
                               "0\x1F" "0\x1F" "0\x1F" "0\x1F" "0\x1F" "0\x1F" "0\x1F"});
}

}  // namespace
