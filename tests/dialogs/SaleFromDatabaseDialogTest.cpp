#include "RegisterSession.h"
#include "articles/TempFolder.h"
#include "dialogs/articles/CProdajaDlg.h"
#include "dialogs/articles/DatabaseArticleModel.h"
#include "framework/PostedInput.h"

#include <QApplication>
#include <QFocusEvent>
#include <QHeaderView>
#include <QLineEdit>
#include <QTest>
#include <QTreeView>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

namespace {

using Sent = std::vector<std::string>;

const std::string kMilkAndBread = "Mleko\t123\t89.90\t2\nHleb\t456\t45\t1\n";

// The database "./Baza/Baza.txt" in a folder of its own, made the current
// folder for the test and left again afterwards.
class SaleFromDatabaseDialogTest : public RegisterSession {
protected:
    void SetUp() override
    {
        RegisterSession::SetUp();
        m_previous = std::filesystem::current_path();
        std::filesystem::current_path(m_folder.File(""));
    }
    void TearDown() override
    {
        std::filesystem::current_path(m_previous);
        RegisterSession::TearDown();
    }

    void WriteDatabase(const std::string& bytes)
    {
        std::filesystem::create_directories("Baza");
        m_folder.Write("Baza/Baza.txt", bytes);
    }

    // Opens the dialog from the menu.
    void Open(const std::function<void(CProdajaDlg&)>& driver)
    {
        RunMenu(CThermalDlg::ID_SALE_FROM_DATABASE, [&](CDialog& open) { driver(dynamic_cast<CProdajaDlg&>(open)); });
    }

    static QTreeView& List(CProdajaDlg& open) { return *open.Item<QTreeView>(CProdajaDlg::IDC_LIST); }

    // Every row as "name|barcode|price|rate|unit".
    static std::vector<std::string> Rows(CProdajaDlg& open)
    {
        std::vector<std::string> rows;
        const QAbstractItemModel& model = *List(open).model();
        for (int row = 0; row < model.rowCount(); ++row) {
            QStringList cells;
            for (int column = 0; column < model.columnCount(); ++column) {
                cells << model.index(row, column).data().toString();
            }
            rows.push_back(cells.join('|').toStdString());
        }
        return rows;
    }

    static QPoint RowCenter(CProdajaDlg& open, int row)
    {
        QTreeView& list = List(open);
        return list.visualRect(list.model()->index(row, 0)).center();
    }

    static void ClickRow(CProdajaDlg& open, int row)
    {
        QTest::mouseClick(List(open).viewport(), Qt::LeftButton, {}, RowCenter(open, row));
    }

    // Both clicks at the same spot, whatever the first one did to the list.
    static void DoubleClickRow(CProdajaDlg& open, int row)
    {
        const QPoint at = RowCenter(open, row);
        QTest::mouseClick(List(open).viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(List(open).viewport(), Qt::LeftButton, {}, at);
    }

    // The focus leaves "Barkod:" as when the user tabs away.
    static void LeaveBarcode(CProdajaDlg& open)
    {
        QFocusEvent leave(QEvent::FocusOut, Qt::TabFocusReason);
        QApplication::sendEvent(open.GetDlgItem(CProdajaDlg::IDC_BARCODE), &leave);
    }

    static bool BarcodeFocusedAndSelected(CProdajaDlg& open)
    {
        auto* barcode = open.Item<QLineEdit>(CProdajaDlg::IDC_BARCODE);
        return open.focusWidget() == barcode && barcode->selectedText() == barcode->text();
    }

private:
    TempFolder m_folder;
    std::filesystem::path m_previous;
};

TEST_F(SaleFromDatabaseDialogTest, MissingDatabaseIsReportedAndTheDialogOpensEmpty)
{
    bool opened = false;
    Open([&](CProdajaDlg& open) {
        opened = true;
        EXPECT_TRUE(Rows(open).empty());
    });
    EXPECT_TRUE(opened);
    ASSERT_EQ(Prompts().messages.size(), 1U);
    EXPECT_EQ(Prompts().messages[0].text, "Problem pri otvaranju fajla: ./Baza/Baza.txt");
    EXPECT_EQ(Prompts().messages[0].title, "Greska");
}

TEST_F(SaleFromDatabaseDialogTest, NameFilterMatchesTheBeginningFromTheThirdCharacter)
{
    WriteDatabase(kMilkAndBread +
                  "\xC8"
                  "aj\t789\t120\t2\n");
    Open([&](CProdajaDlg& open) {
        const QTreeView& list = List(open);
        const QStringList headers = {"Naziv", "Barkod", "Cena", "Stopa", "Mera"};
        for (int column = 0; column < headers.size(); ++column) {
            EXPECT_EQ(list.model()->headerData(column, Qt::Horizontal), headers[column]);
        }
        const int inside = list.width() - 2 * list.frameWidth();
        EXPECT_EQ(list.columnWidth(0), inside / 2);
        EXPECT_EQ(list.columnWidth(3), inside / 8);
        EXPECT_EQ(Rows(open), (std::vector<std::string>{"Mleko|123|89.90|2|", "Hleb|456|45.00|1|",
                                                        "\xC4\x8C"
                                                        "aj|789|120.00|2|"}));
        struct Step {
            const char* typed;  // UTF-8
            std::vector<std::string> names;
        };
        const Step steps[] = {
            {"mle", {"Mleko"}},
            {"le", {"Mleko"}},  // two characters: the list stays as it was
            {"leb", {}},        // the name must begin with the text
            {"HLE", {"Hleb"}},
            {"\xC4\x8D"
             "aj",
             {"\xC4\x8C"
              "aj"}},  // č finds Č
        };
        for (const Step& step : steps) {
            Type(open, CProdajaDlg::IDC_NAME, QString::fromUtf8(step.typed));
            std::vector<std::string> names;
            for (const std::string& row : Rows(open)) {
                names.push_back(row.substr(0, row.find('|')));
            }
            EXPECT_EQ(names, step.names) << step.typed;
        }
    });
    EXPECT_TRUE(Requests().empty());
}

TEST_F(SaleFromDatabaseDialogTest, BarcodeSellsAndStornoVoidsTheNextLineOnly)
{
    WriteDatabase(kMilkAndBread + "Drugo mleko\t123\t1\t1\n");
    Open([&](CProdajaDlg& open) {
        Type(open, CProdajaDlg::IDC_BARCODE, "123");
        Type(open, CProdajaDlg::IDC_QUANTITY, "1.5");
        Click(open, CProdajaDlg::IDC_SELL);
        EXPECT_EQ(Text(open, CProdajaDlg::IDC_NAME), "Mleko");
        EXPECT_EQ(Text(open, CProdajaDlg::IDC_QUANTITY), "1.5");
        EXPECT_TRUE(BarcodeFocusedAndSelected(open));

        Click(open, CProdajaDlg::IDC_STORNO);
        EXPECT_EQ(Text(open, CProdajaDlg::IDC_SELL), "Storniraj !!");
        Click(open, CProdajaDlg::IDC_SELL);
        EXPECT_EQ(Text(open, CProdajaDlg::IDC_SELL), "Prodaj >>");
        EXPECT_EQ(open.m_bStorno, 0);
        Click(open, CProdajaDlg::IDC_SELL);
    });
    // The first line in the file with the barcode is the one sold.
    EXPECT_EQ(Requests(), (Sent{"*t\n\n",
                                "*lMleko\n8990\t1500\t2\x1F"
                                "0\x1F",
                                "*sMleko\n8990\t1500\t",
                                "*lMleko\n8990\t1500\t2\x1F"
                                "0\x1F"}));
}

TEST_F(SaleFromDatabaseDialogTest, UnknownBarcodeSendsNothing)
{
    WriteDatabase(kMilkAndBread);
    Open([&](CProdajaDlg& open) {
        Type(open, CProdajaDlg::IDC_BARCODE, "999");
        Type(open, CProdajaDlg::IDC_QUANTITY, "1");
        LeaveBarcode(open);
        EXPECT_EQ(Text(open, CProdajaDlg::IDC_NAME), "");
        Click(open, CProdajaDlg::IDC_SELL);
        EXPECT_EQ(Text(open, CProdajaDlg::IDC_BARCODE), "999");
        EXPECT_EQ(Text(open, CProdajaDlg::IDC_QUANTITY), "1");
    });
    EXPECT_EQ(Prompts().Texts(), QStringList{"Nepoznat barkod ?"});
    EXPECT_EQ(Prompts().messages[0].title, "thermal");
    EXPECT_TRUE(Requests().empty());
}

TEST_F(SaleFromDatabaseDialogTest, LeavingTheBarcodeShowsItsArticleAndEnterSells)
{
    WriteDatabase(kMilkAndBread);
    Open([&](CProdajaDlg& open) {
        Type(open, CProdajaDlg::IDC_BARCODE, "456");
        LeaveBarcode(open);
        EXPECT_EQ(Text(open, CProdajaDlg::IDC_NAME), "Hleb");
        EXPECT_EQ(Rows(open), std::vector<std::string>{"Hleb|456|45.00|1|"});
        Type(open, CProdajaDlg::IDC_QUANTITY, "2");
        // A scanner ends the barcode with Enter.
        QTest::keyClick(open.GetDlgItem(CProdajaDlg::IDC_BARCODE), Qt::Key_Return);
    });
    EXPECT_EQ(Requests(), (Sent{"*t\n\n",
                                "*lHleb\n4500\t2000\t1\x1F"
                                "0\x1F"}));
}

TEST_F(SaleFromDatabaseDialogTest, ClickPicksTheRowAndDoubleClickSellsIt)
{
    WriteDatabase(kMilkAndBread);
    Sent sold;
    Open([&](CProdajaDlg& open) {
        // The first click of the double click filters the list by the name
        // picked, so the second lands where no row is left: the article
        // picked is still the one sold.
        Type(open, CProdajaDlg::IDC_QUANTITY, "3");
        DoubleClickRow(open, 1);
        EXPECT_EQ(Rows(open), std::vector<std::string>{"Hleb|456|45.00|1|"});
        EXPECT_EQ(Text(open, CProdajaDlg::IDC_QUANTITY), "");
        Click(open, CProdajaDlg::IDC_STORNO);
        Type(open, CProdajaDlg::IDC_QUANTITY, "1");
        DoubleClickRow(open, 0);
        EXPECT_EQ(Text(open, CProdajaDlg::IDC_SELL), "Prodaj >>");
        sold = Requests();
        ClearRequests();

        Type(open, CProdajaDlg::IDC_NAME, "Mle");
        ClickRow(open, 0);
        EXPECT_EQ(Text(open, CProdajaDlg::IDC_NAME), "Mleko");
        EXPECT_EQ(Text(open, CProdajaDlg::IDC_BARCODE), "123");
        EXPECT_EQ(open.focusWidget(), open.GetDlgItem(CProdajaDlg::IDC_QUANTITY));
    });
    EXPECT_EQ(sold, (Sent{"*t\n\n",
                          "*lHleb\n4500\t3000\t1\x1F"
                          "0\x1F",
                          "*sHleb\n4500\t1000\t"}));
    EXPECT_TRUE(Requests().empty()) << "a click sends nothing";
}

TEST_F(SaleFromDatabaseDialogTest, SubtotalAndPaymentInCashChequeCardOrder)
{
    WriteDatabase(kMilkAndBread);
    Open([&](CProdajaDlg& open) {
        Type(open, CProdajaDlg::IDC_BARCODE, "123");
        Type(open, CProdajaDlg::IDC_QUANTITY, "1");
        Click(open, CProdajaDlg::IDC_SELL);
        Click(open, CProdajaDlg::IDC_SUBTOTAL);
        EXPECT_TRUE(BarcodeFocusedAndSelected(open));
        Type(open, CProdajaDlg::IDC_CASH, "100");
        Click(open, CProdajaDlg::IDC_PAY);
        for (const int emptied : {CProdajaDlg::IDC_NAME, CProdajaDlg::IDC_QUANTITY, CProdajaDlg::IDC_BARCODE}) {
            EXPECT_EQ(Text(open, emptied), "") << emptied;
        }
        EXPECT_EQ(Text(open, CProdajaDlg::IDC_CASH), "100");
        Type(open, CProdajaDlg::IDC_CASH, "");
        Type(open, CProdajaDlg::IDC_CHEQUE, "1,5");
        Type(open, CProdajaDlg::IDC_CARD, "2");
        Click(open, CProdajaDlg::IDC_PAY);
    });
    EXPECT_EQ(Requests(), (Sent{"*t\n\n",
                                "*lMleko\n8990\t1000\t2\x1F"
                                "0\x1F",
                                "*u", "*e10000\t0\t0\t", "*e0\t150\t200\t"}));
}

TEST_F(SaleFromDatabaseDialogTest, Utf8DatabaseSellsTheRegistersBytes)
{
    WriteDatabase(
        "\xEF\xBB\xBF\xC4\x8C"
        "aj\t860\t120.50\t2\r\n");
    Open([&](CProdajaDlg& open) {
        EXPECT_EQ(Rows(open), std::vector<std::string>{"\xC4\x8C"
                                                       "aj|860|120.50|2|"});
        Type(open, CProdajaDlg::IDC_BARCODE, "860");
        Type(open, CProdajaDlg::IDC_QUANTITY, "1");
        Click(open, CProdajaDlg::IDC_SELL);
    });
    EXPECT_EQ(Requests(), (Sent{"*t\n\n",
                                "*l\xC8"
                                "aj\n12050\t1000\t2\x1F"
                                "0\x1F"}));
}

TEST_F(SaleFromDatabaseDialogTest, DatabaseWithACharacterTheRegisterLacksOpensEmpty)
{
    WriteDatabase("Mleko\t123\t89.90\t2\n\xE6\x97\xA5\t1\t1\t1\n");
    Open([&](CProdajaDlg& open) { EXPECT_TRUE(Rows(open).empty()); });
    const QStringList texts = Prompts().Texts();
    ASSERT_EQ(texts.size(), 1);
    EXPECT_EQ(texts[0], QString::fromUtf8("Fajl ./Baza/Baza.txt, red 2: znak '\xE6\x97\xA5' (U+65E5) na mestu 1 ne "
                                          "postoji u kodnoj strani Windows-1250"));
}

TEST_F(SaleFromDatabaseDialogTest, AnAmountTheRegisterCannotTakeSendsNothing)
{
    WriteDatabase(kMilkAndBread);
    Open([&](CProdajaDlg& open) {
        Type(open, CProdajaDlg::IDC_BARCODE, "123");
        Type(open, CProdajaDlg::IDC_QUANTITY, QString::fromUtf8("\xEF\xBC\x91"));
        Click(open, CProdajaDlg::IDC_SELL);
        Type(open, CProdajaDlg::IDC_QUANTITY, "1");
        Type(open, CProdajaDlg::IDC_CASH, QString::fromUtf8("\xD0\x97"));
        Click(open, CProdajaDlg::IDC_PAY);
    });
    EXPECT_TRUE(Requests().empty());
    EXPECT_EQ(Prompts().Texts(),
              (QStringList{QString::fromUtf8("Znak '\xEF\xBC\x91' (U+FF11) u polju \"Kolicina\" na mestu 1 ne postoji u "
                                             "kodnoj strani Windows-1250. Nista nije poslato."),
                           QString::fromUtf8("Znak '\xD0\x97' (U+0417) u polju \"Gotovina\" na mestu 1 ne postoji u "
                                             "kodnoj strani Windows-1250. Nista nije poslato.")}));
}

}  // namespace

TEST_F(SaleFromDatabaseDialogTest, NameTypedAtScannerSpeedKeepsEveryKey)
{
    // Enough articles that each filtering keystroke takes a few milliseconds.
    std::string database = kMilkAndBread;
    for (int i = 0; i < 40000; ++i) {
        database += "Artikal" + std::to_string(i) + "\t" + std::to_string(100000 + i) + "\t1.00\t1\n";
    }
    WriteDatabase(database);
    Open([&](CProdajaDlg& open) {
        QLineEdit* name = open.Item<QLineEdit>(CProdajaDlg::IDC_NAME);
        std::atomic<bool> typed{false};
        // The keys as a scanner or a fast typist sends them, 5 ms apart,
        // while the program filters the list after each one.
        std::thread user([&] {
            for (const char letter : std::string("mleko")) {
                PostedInput::Key(name, static_cast<Qt::Key>(Qt::Key_A + (letter - 'a')), QString(QChar(letter)));
                std::this_thread::sleep_for(std::chrono::milliseconds(5));
            }
            typed = true;
        });
        while (!typed) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        }
        user.join();
        QCoreApplication::processEvents();
        EXPECT_EQ(name->text(), "mleko");
        EXPECT_EQ(Rows(open), (std::vector<std::string>{"Mleko|123|89.90|2|"}));
    });
    EXPECT_TRUE(Requests().empty()) << "typing a name sends nothing";
}

TEST_F(SaleFromDatabaseDialogTest, ColumnsKeepTheUsersWidthsAndACutNameShowsWhole)
{
    const std::string longName = "Mleko sa dodatkom vitamina D i kalcijuma 2.8% mm";
    WriteDatabase(longName + "\t123\t89.90\t2\nHleb\t456\t45\t1\n");
    Open([&](CProdajaDlg& open) {
        QTreeView& list = List(open);
        QHeaderView& header = *list.header();
        EXPECT_EQ(header.sectionResizeMode(0), QHeaderView::Interactive);
        // Widened by the user, then the list refilled by typing a name.
        header.resizeSection(0, 400);
        Type(open, CProdajaDlg::IDC_NAME, "mle");
        EXPECT_EQ(Rows(open).size(), 1U);
        EXPECT_EQ(list.columnWidth(0), 400);
        Type(open, CProdajaDlg::IDC_NAME, "");
        EXPECT_EQ(list.columnWidth(0), 400);

        const QAbstractItemModel& model = *list.model();
        EXPECT_EQ(ToolTipAt(list, model.index(1, 0)), "") << "Hleb fits";
        header.resizeSection(0, 60);
        EXPECT_EQ(ToolTipAt(list, model.index(0, 0)), QString::fromStdString(longName));
    });
}
