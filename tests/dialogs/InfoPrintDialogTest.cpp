#include "RegisterSession.h"

#include "dialogs/utilities/CInfoDlg.h"

#include <vector>

namespace {

using Sent = std::vector<std::string>;

class InfoPrintDialogTest : public RegisterSession {
protected:
    void Open(const std::function<void(CDialog&)>& driver) { RunMenu(CThermalDlg::ID_INFO_PRINT, driver); }
};

TEST_F(InfoPrintDialogTest, EachPrintSendsNumberThenTextAndEndFinishes)
{
    Open([&](CDialog& open) {
        EXPECT_EQ(Text(open, CInfoDlg::IDC_NUMBER), "0");
        Click(open, CInfoDlg::IDC_PRINT);
        Type(open, CInfoDlg::IDC_TEXT, "Servis 14.03.");
        Type(open, CInfoDlg::IDC_NUMBER, "7");
        Click(open, CInfoDlg::IDC_PRINT);
        Type(open, CInfoDlg::IDC_TEXT, "Kraj");
        Type(open, CInfoDlg::IDC_NUMBER, " -3 ");
        Click(open, CInfoDlg::IDC_PRINT);
        Click(open, CInfoDlg::IDC_END);
        EXPECT_TRUE(open.isVisible()) << "\"Zavrsi\" leaves the dialog open";
    });
    EXPECT_EQ(Requests(), (Sent{"#l0\x1F\n", "#l7\x1FServis 14.03.\n", "#l-3\x1FKraj\n", "#e"}));
    EXPECT_TRUE(Prompts().messages.empty());
}

TEST_F(InfoPrintDialogTest, NumberThatIsNotOneIsSaidAndTheLineGoesWithThePreviousNumber)
{
    Open([&](CDialog& open) {
        Type(open, CInfoDlg::IDC_NUMBER, "12");
        Type(open, CInfoDlg::IDC_TEXT, "prva");
        Click(open, CInfoDlg::IDC_PRINT);
        Type(open, CInfoDlg::IDC_NUMBER, "1a");
        Type(open, CInfoDlg::IDC_TEXT, "druga");
        Click(open, CInfoDlg::IDC_PRINT);
    });
    EXPECT_EQ(Requests(), (Sent{"#l12\x1Fprva\n", "#l12\x1F" "druga\n"}));
    EXPECT_EQ(Prompts().Texts(), QStringList{"Please enter an integer."});

    // A fresh dialog's previous number is 0.
    ClearRequests();
    Open([&](CDialog& open) {
        Type(open, CInfoDlg::IDC_NUMBER, "abc");
        Click(open, CInfoDlg::IDC_PRINT);
    });
    EXPECT_EQ(Requests(), Sent{"#l0\x1F\n"});
}

TEST_F(InfoPrintDialogTest, EndAloneStillSendsEnd)
{
    Open([&](CDialog& open) { Click(open, CInfoDlg::IDC_END); });
    EXPECT_EQ(Requests(), Sent{"#e"});
}

TEST_F(InfoPrintDialogTest, ANumberNoIntegerCanHoldIsSaidLikeLetters)
{
    Open([&](CDialog& open) {
        Type(open, CInfoDlg::IDC_NUMBER, "5");
        Type(open, CInfoDlg::IDC_TEXT, "prva");
        Click(open, CInfoDlg::IDC_PRINT);
        Type(open, CInfoDlg::IDC_NUMBER, "99999999999");
        Type(open, CInfoDlg::IDC_TEXT, "druga");
        Click(open, CInfoDlg::IDC_PRINT);
    });
    EXPECT_EQ(Requests(), (Sent{"#l5\x1Fprva\n", "#l5\x1F" "druga\n"}));
    EXPECT_EQ(Prompts().Texts(), QStringList{"Please enter an integer."});
}

TEST_F(InfoPrintDialogTest, ATextTheRegisterCannotTakeSendsNothingEvenWithABadNumber)
{
    // A number that is no integer lets the line go; a refused text never does.
    const char* const numbers[] = {"3", "x"};
    for (const char* number : numbers) {
        Prompts().messages.clear();
        Open([&](CDialog& open) {
            Type(open, CInfoDlg::IDC_TEXT, QString::fromUtf8("Hvala \xE6\x97\xA5"));
            Type(open, CInfoDlg::IDC_NUMBER, number);
            Click(open, CInfoDlg::IDC_PRINT);
        });
        EXPECT_TRUE(Requests().empty()) << number;
        EXPECT_EQ(Prompts().Texts(), QStringList{QString::fromUtf8("Znak '\xE6\x97\xA5' (U+65E5) u polju \"Tekst\" na "
                                                                   "mestu 7 ne postoji u kodnoj strani Windows-1250. "
                                                                   "Nista nije poslato.")});
    }
    Open([&](CDialog& open) {
        Type(open, CInfoDlg::IDC_TEXT, QString::fromUtf8("\xC5\xA0" "ampita \xC4\x87" "evap"));
        Click(open, CInfoDlg::IDC_PRINT);
    });
    EXPECT_EQ(Requests(), Sent{"#l0\x1F\x8A" "ampita \xE6" "evap\n"});
}

}  // namespace
