#include "RegisterSession.h"

#include "dialogs/fiscal/CFiscalHeaderDlg.h"

#include <QCheckBox>

#include <array>
#include <vector>

namespace {

using Sent = std::vector<std::string>;
using LineFont = CFiscalHeaderDlg::LineFont;

constexpr auto kLines = CFiscalHeaderDlg::kLineIds;
constexpr auto kDouble = CFiscalHeaderDlg::kDoubleIds;

class FiscalHeaderDialogTest : public RegisterSession {
protected:
    CFiscalHeaderDlg& Dlg() { return Main().m_fiscalHeaderDlg; }

    static bool Checked(CDialog& dlg, int id) { return dlg.Item<QCheckBox>(id)->isChecked(); }
};

TEST_F(FiscalHeaderDialogTest, WriteSendsFiveLinesThenFiveFlags)
{
    RunMenu(CThermalDlg::ID_FISCAL_HEADER, [&](CDialog& open) {
        Type(open, CFiscalHeaderDlg::IDC_LINE1, "PRODAVNICA");
        Type(open, CFiscalHeaderDlg::IDC_LINE2, "");
        Type(open, CFiscalHeaderDlg::IDC_LINE3, "Glavna 1");
        Type(open, CFiscalHeaderDlg::IDC_LINE4, "");
        Type(open, CFiscalHeaderDlg::IDC_LINE5, "Beograd");
        open.Item<QCheckBox>(CFiscalHeaderDlg::IDC_DOUBLE1)->setChecked(true);
        Click(open, CFiscalHeaderDlg::IDC_WRITE);
    });
    EXPECT_EQ(Requests(), Sent{"#hPRODAVNICA\n\nGlavna 1\n\nBeograd\n"
                                   "1\x1F" "0\x1F" "0\x1F" "0\x1F" "0\x1F"});
}

TEST_F(FiscalHeaderDialogTest, ReadShowsTheRegistersLinesAndFlags)
{
    struct Case {
        std::array<std::string, 5> lines;
        std::array<bool, 5> doubles;
    };
    const Case cases[] = {
        {{"RADNJA", "Ulica 5", "Novi Sad", "PIB 123", "Hvala"}, {false, true, false, false, true}},
        // The design's reader showed every line after an empty one empty.
        {{"RADNJA", "", "Novi Sad", "", "Hvala"}, {true, false, false, true, false}},
    };
    for (const Case& c : cases) {
        WithSimulator([&c](ECRSimulator& sim) {
            sim.State().headerLines = c.lines;
            sim.State().headerDouble = c.doubles;
        });
        ClearRequests();
        RunMenu(CThermalDlg::ID_FISCAL_HEADER, [&](CDialog& open) {
            Click(open, CFiscalHeaderDlg::IDC_READ);
            for (std::size_t i = 0; i < kLines.size(); ++i) {
                EXPECT_EQ(Text(open, kLines[i]), QString::fromStdString(c.lines[i])) << "line " << i + 1;
                EXPECT_EQ(Checked(open, kDouble[i]), c.doubles[i]) << "flag " << i + 1;
            }
        });
        EXPECT_EQ(Requests(), Sent{"$h"});
    }
}

TEST_F(FiscalHeaderDialogTest, ReopeningShowsThePreviousValuesWithoutARequest)
{
    RunMenu(CThermalDlg::ID_FISCAL_HEADER, [&](CDialog& open) {
        Type(open, CFiscalHeaderDlg::IDC_LINE1, "PRVA");
        Type(open, CFiscalHeaderDlg::IDC_LINE5, "PETA");
        open.Item<QCheckBox>(CFiscalHeaderDlg::IDC_DOUBLE5)->setChecked(true);
        Click(open, CFiscalHeaderDlg::IDC_WRITE);
    });
    ClearRequests();
    RunMenu(CThermalDlg::ID_FISCAL_HEADER, [&](CDialog& open) {
        EXPECT_EQ(Text(open, CFiscalHeaderDlg::IDC_LINE1), "PRVA");
        EXPECT_EQ(Text(open, CFiscalHeaderDlg::IDC_LINE2), "");
        EXPECT_EQ(Text(open, CFiscalHeaderDlg::IDC_LINE5), "PETA");
        EXPECT_FALSE(Checked(open, CFiscalHeaderDlg::IDC_DOUBLE1));
        EXPECT_TRUE(Checked(open, CFiscalHeaderDlg::IDC_DOUBLE5));
    });
    EXPECT_TRUE(Requests().empty());
}

TEST_F(FiscalHeaderDialogTest, FontSwitchChangesHowTheBytesShowNeverTheBytes)
{
    // 0xC8 0xE8 is "Čč" in Windows-1250 and "Ии" in Windows-1251.
    WithSimulator([](ECRSimulator& sim) {
        sim.State().headerLines = {"\xC8\xE8", "A", "B", "C", "D"};
    });
    RunMenu(CThermalDlg::ID_FISCAL_HEADER, [&](CDialog& open) {
        auto& dlg = dynamic_cast<CFiscalHeaderDlg&>(open);
        EXPECT_EQ(dlg.CurrentLineFont(), LineFont::Dialog);
        Click(open, CFiscalHeaderDlg::IDC_READ);
        EXPECT_EQ(Text(open, CFiscalHeaderDlg::IDC_LINE1), QString::fromUtf8("Čč"));

        struct Step {
            LineFont font;
            const char* shown;
        };
        const Step steps[] = {{LineFont::Cyrillic, "Ии"}, {LineFont::CentralEuropean, "Čč"}, {LineFont::Cyrillic, "Ии"}};
        for (const Step& step : steps) {
            Click(open, CFiscalHeaderDlg::IDC_SWITCH_FONT);
            EXPECT_EQ(dlg.CurrentLineFont(), step.font);
            EXPECT_EQ(Text(open, CFiscalHeaderDlg::IDC_LINE1), QString::fromUtf8(step.shown));
        }
        // Typed in Cyrillic, sent as Windows-1251 bytes; the first line keeps its own bytes.
        Type(open, CFiscalHeaderDlg::IDC_LINE2, QString::fromUtf8("ЖИВО"));
        Click(open, CFiscalHeaderDlg::IDC_WRITE);
    });
    ASSERT_EQ(Requests().size(), 2u);
    EXPECT_EQ(Requests()[1], "#h\xC8\xE8\n\xC6\xC8\xC2\xCE\nB\nC\nD\n"
                             "1\x1F" "0\x1F" "0\x1F" "0\x1F" "0\x1F");

    // The next opening starts in the dialog font, showing the same bytes as Central European.
    RunMenu(CThermalDlg::ID_FISCAL_HEADER, [&](CDialog& open) {
        EXPECT_EQ(dynamic_cast<CFiscalHeaderDlg&>(open).CurrentLineFont(), LineFont::Dialog);
        EXPECT_EQ(Text(open, CFiscalHeaderDlg::IDC_LINE1), QString::fromUtf8("Čč"));
        EXPECT_EQ(Text(open, CFiscalHeaderDlg::IDC_LINE2), QString::fromUtf8("ĆČÂÎ"));
    });
}

TEST_F(FiscalHeaderDialogTest, ALineTheCodePageCannotHoldIsRefusedAndNothingIsSent)
{
    RunMenu(CThermalDlg::ID_FISCAL_HEADER, [&](CDialog& open) {
        Type(open, 1008, "PRODAVNICA");
        // Cyrillic typed while the lines show Central European.
        Type(open, 1015, QString::fromUtf8("Москва"));
        Click(open, 1019);
        EXPECT_TRUE(Requests().empty());

        // Switched to Cyrillic, the typed text still has no Central European
        // bytes to show anew; it stays as typed and is sent as Windows-1251.
        Click(open, 1120);
        EXPECT_EQ(Text(open, 1015), QString::fromUtf8("Москва"));
        Type(open, 1015, QString::fromUtf8("Москва"));
        Type(open, 1018, QString::fromUtf8("中"));
        Click(open, 1019);
    });
    EXPECT_TRUE(Requests().empty());
    ASSERT_EQ(Prompts().messages.size(), 2u);
    EXPECT_EQ(Prompts().messages[0].text,
              QString::fromUtf8("Znak 'М' (U+041C) u polju \"Linija 2\" na mestu 1 ne postoji u kodnoj strani "
                                "Windows-1250. Nista nije poslato."));
    EXPECT_EQ(Prompts().messages[1].text,
              QString::fromUtf8("Znak '中' (U+4E2D) u polju \"Linija 5\" na mestu 1 ne postoji u kodnoj strani "
                                "Windows-1251. Nista nije poslato."));
}

}  // namespace
