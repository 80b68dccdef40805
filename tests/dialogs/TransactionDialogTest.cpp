#include "RegisterSession.h"
#include "dialogs/articles/CTransactDlg.h"

#include <QComboBox>

#include <string>
#include <vector>

namespace {

using Sent = std::vector<std::string>;

class TransactionDialogTest : public RegisterSession {
protected:
    static void PickUnit(CDialog& open, const QString& unit)
    {
        auto* units = open.Item<QComboBox>(CTransactDlg::IDC_UNIT);
        units->setCurrentIndex(units->findText(unit));
    }
};

TEST_F(TransactionDialogTest, LineIsSoldAsTypedAndTheFieldsStayForTheNextOpening)
{
    RunMenu(CThermalDlg::ID_SALE, [&](CDialog& open) {
        // First opening: empty texts, tax rate 0 and "bez".
        EXPECT_EQ(Text(open, CTransactDlg::IDC_TAX_RATE), "0");
        EXPECT_EQ(Text(open, CTransactDlg::IDC_UNIT), "bez");
        auto* units = open.Item<QComboBox>(CTransactDlg::IDC_UNIT);
        QStringList names;
        for (int i = 0; i < units->count(); ++i) {
            names << units->itemText(i);
        }
        EXPECT_EQ(names, (QStringList{"bez", "g", "kg", "t", "l", "m", "m2", "m3"}));

        Type(open, CTransactDlg::IDC_NAME, "Sok");
        Type(open, CTransactDlg::IDC_PRICE, "12,5");
        Type(open, CTransactDlg::IDC_TAX_RATE, "2");
        PickUnit(open, "kg");
        Type(open, CTransactDlg::IDC_QUANTITY, "0.75");
        Click(open, CTransactDlg::IDC_SELL);
        Click(open, CTransactDlg::IDC_VOID);
        Click(open, CTransactDlg::IDC_SUBTOTAL);
        Type(open, CTransactDlg::IDC_CASH, "20");
        Click(open, CTransactDlg::IDC_PAY);
        Click(open, IDOK);
    });
    RunMenu(CThermalDlg::ID_SALE, [&](CDialog& open) {
        EXPECT_EQ(Text(open, CTransactDlg::IDC_NAME), "Sok");
        EXPECT_EQ(Text(open, CTransactDlg::IDC_PRICE), "12,5");
        EXPECT_EQ(Text(open, CTransactDlg::IDC_TAX_RATE), "2");
        EXPECT_EQ(Text(open, CTransactDlg::IDC_UNIT), "kg");
        EXPECT_EQ(Text(open, CTransactDlg::IDC_QUANTITY), "0.75");
        EXPECT_EQ(Text(open, CTransactDlg::IDC_CASH), "20");
        Click(open, CTransactDlg::IDC_CANCEL_TRANSACTION);
    });
    EXPECT_EQ(Requests(), (Sent{"*t\n\n",
                                "*lSok\n1250\t750\t2\x1F"
                                "2\x1F",
                                "*sSok\n1250\t750\t", "*u", "*e2000\t0\t0\t", "*x"}));
}

TEST_F(TransactionDialogTest, PaymentSendsCashChequeCardInThatOrder)
{
    RunMenu(CThermalDlg::ID_SALE, [&](CDialog& open) {
        Type(open, CTransactDlg::IDC_CASH, "1");
        Type(open, CTransactDlg::IDC_CHEQUE, "2.5");
        Type(open, CTransactDlg::IDC_CARD, "abc");
        Click(open, CTransactDlg::IDC_PAY);
    });
    EXPECT_EQ(Requests(), Sent{"*e100\t250\t0\t"});
}

TEST_F(TransactionDialogTest, TaxRateThatIsNoIntegerStopsTheReadingThereButTheLineIsSent)
{
    RunMenu(CThermalDlg::ID_SALE, [&](CDialog& open) {
        Type(open, CTransactDlg::IDC_NAME, "Sok");
        Type(open, CTransactDlg::IDC_PRICE, "1");
        Type(open, CTransactDlg::IDC_TAX_RATE, "3");
        Type(open, CTransactDlg::IDC_QUANTITY, "1");
        Click(open, CTransactDlg::IDC_SELL);
        // Name and price are read; rate and quantity keep what was read before.
        Type(open, CTransactDlg::IDC_NAME, "Voda");
        Type(open, CTransactDlg::IDC_PRICE, "2");
        Type(open, CTransactDlg::IDC_TAX_RATE, "x");
        Type(open, CTransactDlg::IDC_QUANTITY, "5");
        Click(open, CTransactDlg::IDC_SELL);
    });
    EXPECT_EQ(Prompts().Texts(), QStringList{"Please enter an integer."});
    EXPECT_EQ(Requests(), (Sent{"*t\n\n",
                                "*lSok\n100\t1000\t3\x1F"
                                "0\x1F",
                                "*lVoda\n200\t1000\t3\x1F"
                                "0\x1F"}));
}

}  // namespace
