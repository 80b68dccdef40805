#include "RegisterSession.h"
#include "dialogs/articles/CTransactDlg.h"

#include <QComboBox>

#include <iterator>
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
    // Nor is a number a 32-bit integer cannot hold: never sent as 2147483647.
    const char* const notIntegers[] = {"x", "99999999999", "2147483648", "-2147483649", "1.5", ""};
    Sent expected{"*t\n\n", "*lSok\n100\t1000\t3\x1F" "0\x1F"};
    RunMenu(CThermalDlg::ID_SALE, [&](CDialog& open) {
        Type(open, CTransactDlg::IDC_NAME, "Sok");
        Type(open, CTransactDlg::IDC_PRICE, "1");
        Type(open, CTransactDlg::IDC_TAX_RATE, "3");
        Type(open, CTransactDlg::IDC_QUANTITY, "1");
        Click(open, CTransactDlg::IDC_SELL);
        for (const char* rate : notIntegers) {
            // Name and price are read; rate and quantity keep what was read before.
            Type(open, CTransactDlg::IDC_NAME, "Voda");
            Type(open, CTransactDlg::IDC_PRICE, "2");
            Type(open, CTransactDlg::IDC_TAX_RATE, rate);
            Type(open, CTransactDlg::IDC_QUANTITY, "5");
            Click(open, CTransactDlg::IDC_SELL);
            expected.push_back("*lVoda\n200\t1000\t3\x1F" "0\x1F");
        }
    });
    EXPECT_EQ(Prompts().Texts(), QStringList(std::size(notIntegers), "Please enter an integer."));
    EXPECT_EQ(Requests(), expected);
}

TEST_F(TransactionDialogTest, ATextTheRegisterCannotTakeSendsNothingAndNamesItsField)
{
    struct Case {
        int field;
        const char* typed;  // UTF-8
        int button;
        const char* message;
    };
    const Case cases[] = {
        {CTransactDlg::IDC_NAME, "\xD0\x96ito", CTransactDlg::IDC_SELL,
         "Znak '\xD0\x96' (U+0416) u polju \"Ime artikla\" na mestu 1"},
        {CTransactDlg::IDC_NAME, "So\xD0\xBA", CTransactDlg::IDC_VOID,
         "Znak '\xD0\xBA' (U+043A) u polju \"Ime artikla\" na mestu 3"},
        {CTransactDlg::IDC_PRICE, "\xEF\xBC\x91", CTransactDlg::IDC_SELL,
         "Znak '\xEF\xBC\x91' (U+FF11) u polju \"Cena\" na mestu 1"},
        {CTransactDlg::IDC_QUANTITY, "1\xE6\x97\xA5", CTransactDlg::IDC_VOID,
         "Znak '\xE6\x97\xA5' (U+65E5) u polju \"Kolicina\" na mestu 2"},
        {CTransactDlg::IDC_CASH, "\xD0\x97", CTransactDlg::IDC_PAY,
         "Znak '\xD0\x97' (U+0417) u polju \"Kesh\" na mestu 1"},
        {CTransactDlg::IDC_CHEQUE, "\xD0\x97", CTransactDlg::IDC_PAY,
         "Znak '\xD0\x97' (U+0417) u polju \"Chek\" na mestu 1"},
        {CTransactDlg::IDC_CARD, "\xD0\x97", CTransactDlg::IDC_PAY,
         "Znak '\xD0\x97' (U+0417) u polju \"Kartica\" na mestu 1"},
    };
    for (const Case& c : cases) {
        Prompts().messages.clear();
        RunMenu(CThermalDlg::ID_SALE, [&](CDialog& open) {
            Type(open, CTransactDlg::IDC_NAME, "Sok");
            Type(open, CTransactDlg::IDC_PRICE, "1");
            Type(open, CTransactDlg::IDC_TAX_RATE, "2");
            Type(open, CTransactDlg::IDC_QUANTITY, "1");
            Type(open, CTransactDlg::IDC_CASH, "1");
            Type(open, CTransactDlg::IDC_CHEQUE, "");
            Type(open, CTransactDlg::IDC_CARD, "");
            Type(open, c.field, QString::fromUtf8(c.typed));
            Click(open, c.button);
        });
        EXPECT_TRUE(Requests().empty()) << c.message;
        EXPECT_EQ(Prompts().Texts(),
                  QStringList{QString::fromUtf8(c.message) +
                              " ne postoji u kodnoj strani Windows-1250. Nista nije poslato."});
    }

    // Before a tax rate that is no integer the name stops the line too: only its message.
    Prompts().messages.clear();
    RunMenu(CThermalDlg::ID_SALE, [&](CDialog& open) {
        Type(open, CTransactDlg::IDC_NAME, QString::fromUtf8("\xD0\x96ito"));
        Type(open, CTransactDlg::IDC_TAX_RATE, "x");
        Click(open, CTransactDlg::IDC_SELL);
    });
    EXPECT_TRUE(Requests().empty());
    ASSERT_EQ(Prompts().messages.size(), 1u);
    EXPECT_TRUE(Prompts().messages[0].text.startsWith("Znak ")) << Prompts().messages[0].text.toStdString();
}

TEST_F(TransactionDialogTest, CentralEuropeanLettersAreSentAsTheirWindows1250Bytes)
{
    RunMenu(CThermalDlg::ID_SALE, [&](CDialog& open) {
        Type(open, CTransactDlg::IDC_NAME, QString::fromUtf8("\xC4\x8C" "aj \xC5\xA1\xC5\xBE\xC4\x91"));
        Type(open, CTransactDlg::IDC_PRICE, "1");
        Type(open, CTransactDlg::IDC_TAX_RATE, "2");
        Type(open, CTransactDlg::IDC_QUANTITY, "1");
        Click(open, CTransactDlg::IDC_SELL);
        Click(open, CTransactDlg::IDC_VOID);
    });
    EXPECT_EQ(Requests(), (Sent{"*t\n\n",
                                "*l\xC8" "aj \x9A\x9E\xF0\n100\t1000\t2\x1F" "0\x1F",
                                "*s\xC8" "aj \x9A\x9E\xF0\n100\t1000\t"}));
    EXPECT_TRUE(Prompts().messages.empty());
}

}  // namespace
