#include "RegisterSession.h"
#include "dialogs/articles/CTranStartDlg.h"

#include <string>
#include <vector>

namespace {

using Sent = std::vector<std::string>;

class TransactionStartDialogTest : public RegisterSession {
protected:
    void Start(const QString& cashier, const QString& registerNumber, int ending)
    {
        RunMenu(CThermalDlg::ID_TRANSACTION_START, [&](CDialog& open) {
            EXPECT_NE(dynamic_cast<CTranStartDlg*>(&open), nullptr);
            EXPECT_EQ(Text(open, CTranStartDlg::IDC_CASHIER), "") << "a fresh dialog at every opening";
            EXPECT_EQ(Text(open, CTranStartDlg::IDC_REGISTER_NUMBER), "");
            Type(open, CTranStartDlg::IDC_CASHIER, cashier);
            Type(open, CTranStartDlg::IDC_REGISTER_NUMBER, registerNumber);
            if (ending == IDOK) {
                Click(open, IDOK);
            } else {
                open.EndDialog(IDCANCEL);
            }
        });
    }
};

TEST_F(TransactionStartDialogTest, OkStoresTheDefaultsAndOpensTheReceipt)
{
    Start("9", "4", IDCANCEL);
    EXPECT_TRUE(Requests().empty());
    Start("7", "1", IDOK);
    EXPECT_EQ(Requests(), Sent{"*t1\n7\n"});
    EXPECT_EQ(Device().DefaultCashier(), "7");
    EXPECT_EQ(Device().DefaultRegisterNumber(), "1");
}

TEST_F(TransactionStartDialogTest, SecondStartWhileTheReceiptIsOpenSendsNothingAndSaysSo)
{
    Start("7", "1", IDOK);
    ClearRequests();
    Start("8", "2", IDOK);
    EXPECT_TRUE(Requests().empty());
    const std::string debug = Main().m_monitorDlg.DebugText();
    EXPECT_EQ(debug.substr(0, debug.find("\r\n")), "Transakcija je vec otvorena");
    // The defaults are the ones typed last: the next receipt opens with them.
    EXPECT_EQ(Device().DefaultCashier(), "8");
}

TEST_F(TransactionStartDialogTest, ATextTheRegisterCannotTakeKeepsTheDialogOpenAndSendsNothing)
{
    struct Case {
        int field;
        const char* message;
    };
    const Case cases[] = {
        {CTranStartDlg::IDC_CASHIER, "Znak '\xE6\x97\xA5' (U+65E5) u polju \"Kasir\" na mestu 1"},
        {CTranStartDlg::IDC_REGISTER_NUMBER, "Znak '\xE6\x97\xA5' (U+65E5) u polju \"Br. kase\" na mestu 1"},
    };
    for (const Case& c : cases) {
        Prompts().messages.clear();
        bool stayedOpen = false;
        RunMenu(CThermalDlg::ID_TRANSACTION_START, [&](CDialog& open) {
            Type(open, CTranStartDlg::IDC_CASHIER, "7");
            Type(open, CTranStartDlg::IDC_REGISTER_NUMBER, "1");
            Type(open, c.field, QString::fromUtf8("\xE6\x97\xA5"));
            Click(open, IDOK);
            stayedOpen = open.isVisible();
        });
        EXPECT_TRUE(stayedOpen) << c.message;
        EXPECT_TRUE(Requests().empty()) << c.message;
        EXPECT_EQ(Prompts().Texts(), QStringList{QString::fromUtf8(c.message) +
                                                 " ne postoji u kodnoj strani Windows-1250. Nista nije poslato."});
    }
    // Nothing was stored either: no later receipt opens with a text the register lacks.
    EXPECT_EQ(Device().DefaultCashier(), "");

    Start(QString::fromUtf8("\xC4\x90or\xC4\x91" "e"), "1", IDOK);
    EXPECT_EQ(Requests(), Sent{"*t1\n\xD0or\xF0" "e\n"});
}

}  // namespace
