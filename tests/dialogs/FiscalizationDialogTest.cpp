#include "RegisterSession.h"

#include "dialogs/fiscal/CFiscalHeaderDlg.h"
#include "dialogs/fiscal/CFiskalizacijaDlg.h"
#include "dialogs/fiscal/CTaxRateDlg.h"

#include <vector>

namespace {

using Sent = std::vector<std::string>;

class FiscalizationDialogTest : public RegisterSession {};

TEST_F(FiscalizationDialogTest, FiscalizeSendsTheRegisterClockThenThePib)
{
    SetRegisterClock(2026, 3, 15, 9, 41);
    CFiskalizacijaDlg dlg;
    RunModal(dlg, [&](CDialog& open) {
        Type(open, CFiskalizacijaDlg::IDC_PIB, "102030405");
        Click(open, CFiskalizacijaDlg::IDC_FISCALIZE);
    });
    EXPECT_EQ(Requests(), (Sent{"$c", "#k26\x1F" "3\x1F" "15\x1F" "9\x1F" "41\x1F" "102030405\n"}));
    EXPECT_TRUE(Prompts().messages.empty());
}

TEST_F(FiscalizationDialogTest, WriteIbfmSendsTheTextAsTypedAndNothingElse)
{
    CFiskalizacijaDlg dlg;
    RunModal(dlg, [&](CDialog& open) {
        Type(open, CFiskalizacijaDlg::IDC_IBFM, "AB 001234");
        Type(open, CFiskalizacijaDlg::IDC_PIB, "999");  // the PIB is not part of this command
        Click(open, CFiskalizacijaDlg::IDC_WRITE_IBFM);
    });
    EXPECT_EQ(Requests(), Sent{"#uAB 001234\n"});
    EXPECT_TRUE(Prompts().messages.empty());
}

TEST_F(FiscalizationDialogTest, IbfmAndPibTheRegisterCannotHoldAreRefusedWithTheFieldNamed)
{
    CFiskalizacijaDlg dlg;
    RunModal(dlg, [&](CDialog& open) {
        Type(open, 1047, QString::fromUtf8("AB€1日"));
        Click(open, 1014);
        Type(open, 1047, "AB1");
        Type(open, 1048, QString::fromUtf8("１０２０３０４０５"));  // full-width digits
        Click(open, 1049);
    });
    EXPECT_TRUE(Requests().empty()) << "not even the clock is read";
    ASSERT_EQ(Prompts().messages.size(), 2u);
    EXPECT_EQ(Prompts().messages[0].text,
              QString::fromUtf8("Znak '日' (U+65E5) u polju \"IBFM\" na mestu 5 ne postoji u kodnoj strani "
                                "Windows-1250. Nista nije poslato."));
    EXPECT_EQ(Prompts().messages[1].text,
              QString::fromUtf8("Znak '１' (U+FF11) u polju \"PIB\" na mestu 1 ne postoji u kodnoj strani "
                                "Windows-1250. Nista nije poslato."));
}

TEST_F(FiscalizationDialogTest, ClosingSendsNothingAndEveryOpeningStartsEmpty)
{
    for (const int closeWith : {IDOK, IDCANCEL}) {
        CFiskalizacijaDlg dlg;
        const int result = RunModal(dlg, [&](CDialog& open) {
            EXPECT_EQ(Text(open, CFiskalizacijaDlg::IDC_IBFM), "");
            EXPECT_EQ(Text(open, CFiskalizacijaDlg::IDC_PIB), "");
            Type(open, CFiskalizacijaDlg::IDC_IBFM, "X1");
            Type(open, CFiskalizacijaDlg::IDC_PIB, "Y2");
            Click(open, closeWith);
        });
        EXPECT_EQ(result, closeWith);
    }
    EXPECT_TRUE(Requests().empty());
}

TEST_F(FiscalizationDialogTest, HeaderAndTaxButtonsOpenTheMainWindowsOwnDialogs)
{
    std::vector<const CDialog*> members;
    bool fiscalizationOpened = false;
    RunMenu(CThermalDlg::ID_FISCALIZE, [&](CDialog& open) {
        if (dynamic_cast<CFiskalizacijaDlg*>(&open) != nullptr) {
            fiscalizationOpened = true;
            Click(open, CFiskalizacijaDlg::IDC_HEADER);
            Click(open, CFiskalizacijaDlg::IDC_TAX_RATES);
            open.EndDialog(IDOK);
        } else {
            members.push_back(&open);
            open.EndDialog(IDCANCEL);
        }
    });
    EXPECT_TRUE(fiscalizationOpened);
    EXPECT_EQ(members, (std::vector<const CDialog*>{&Main().m_fiscalHeaderDlg, &Main().m_taxRateDlg}));
    EXPECT_TRUE(Requests().empty());
}

TEST_F(FiscalizationDialogTest, FailedClockReadSendsNoFiscalizationAndKeepsTheDialogUsable)
{
    SilenceRegister();
    CFiskalizacijaDlg dlg;
    RunModal(dlg, [&](CDialog& open) {
        Type(open, CFiskalizacijaDlg::IDC_PIB, "102030405");
        Click(open, CFiskalizacijaDlg::IDC_FISCALIZE);
        EXPECT_TRUE(open.isVisible());
        EXPECT_EQ(Text(open, CFiskalizacijaDlg::IDC_PIB), "102030405");
    });
    EXPECT_EQ(Requests(), Sent{"$c"});
    ASSERT_EQ(Prompts().messages.size(), 1u);
    EXPECT_EQ(Prompts().messages[0].text, "Greska u komunikaciji\nTimeout error");
}

}  // namespace
