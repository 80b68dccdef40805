#include "RegisterSession.h"

#include "dialogs/utilities/CDispTestDlg.h"

#include <QTest>

#include <vector>

namespace {

using Sent = std::vector<std::string>;

class DisplayTestDialogTest : public RegisterSession {
protected:
    void Open(const std::function<void(CDialog&)>& driver) { RunMenu(CThermalDlg::ID_DISPLAY_TEST, driver); }
};

TEST_F(DisplayTestDialogTest, WhatIsTypedDecidesTheRequests)
{
    struct Case {
        const char* line1;
        const char* line2;
        Sent expected;
    };
    const Case cases[] = {
        {"", "", {"#q2\x1F"}},
        {"", "UKUPNO 12.50", {"#q0\x1F\n", "#q1\x1FUKUPNO 12.50\n"}},
        {"DOBAR DAN", "", {"#q0\x1F" "DOBAR DAN\n", "#q1\x1F\n"}},
        {"KAFA", "120.00", {"#q0\x1FKAFA\n", "#q1\x1F" "120.00\n"}},
    };
    for (const Case& c : cases) {
        ClearRequests();
        Open([&](CDialog& open) {
            Type(open, CDispTestDlg::IDC_LINE1, c.line1);
            Type(open, CDispTestDlg::IDC_LINE2, c.line2);
            Click(open, CDispTestDlg::IDC_SEND);
        });
        EXPECT_EQ(Requests(), c.expected) << '"' << c.line1 << "\" / \"" << c.line2 << '"';
    }
}

TEST_F(DisplayTestDialogTest, ReachesTheDisplayAndEveryOpeningStartsEmpty)
{
    Open([&](CDialog& open) {
        Type(open, CDispTestDlg::IDC_LINE1, "KAFA");
        Type(open, CDispTestDlg::IDC_LINE2, "120.00");
        Click(open, CDispTestDlg::IDC_SEND);
    });
    std::array<std::string, 2> display;
    WithSimulator([&](ECRSimulator& sim) { display = sim.State().display; });
    EXPECT_EQ(display, (std::array<std::string, 2>{"KAFA", "120.00"}));

    ClearRequests();
    Open([&](CDialog& open) {
        EXPECT_EQ(Text(open, CDispTestDlg::IDC_LINE1), "");
        EXPECT_EQ(Text(open, CDispTestDlg::IDC_LINE2), "");
        QTest::keyClick(&open, Qt::Key_Escape);
    });
    EXPECT_TRUE(Requests().empty()) << "opening and closing send nothing";
}

TEST_F(DisplayTestDialogTest, ALineTheRegisterCannotTakeSendsNeitherLine)
{
    Open([&](CDialog& open) {
        Type(open, CDispTestDlg::IDC_LINE1, "KAFA");
        Type(open, CDispTestDlg::IDC_LINE2, QString::fromUtf8("\xD0\x9A\xD0\xB0\xD1\x84\xD0\xB0"));
        Click(open, CDispTestDlg::IDC_SEND);
        EXPECT_TRUE(Requests().empty());
        Type(open, CDispTestDlg::IDC_LINE2, QString::fromUtf8("\xC5\xBEito \xC4\x8D"));
        Click(open, CDispTestDlg::IDC_SEND);
    });
    EXPECT_EQ(Requests(), (Sent{"#q0\x1FKAFA\n", "#q1\x1F\x9Eito \xE8\n"}));
    EXPECT_EQ(Prompts().Texts(), QStringList{QString::fromUtf8("Znak '\xD0\x9A' (U+041A) u polju \"Linija 2\" na mestu 1 "
                                                               "ne postoji u kodnoj strani Windows-1250. Nista nije "
                                                               "poslato.")});
}

}  // namespace
