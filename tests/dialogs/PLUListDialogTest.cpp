#include "RegisterSession.h"
#include "articles/TempFolder.h"
#include "dialogs/articles/CPLUListDialog.h"
#include "dialogs/articles/CTransactDlg.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QHeaderView>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

#include <string>
#include <vector>

namespace {

using Sent = std::vector<std::string>;

const std::string kReadFirst = "$o\n4\x1F";
const std::string kReadLast = "$o\n2\x1F";

class PLUListDialogTest : public RegisterSession {
protected:
    void Store(const std::string& name, std::int64_t price, std::int32_t taxRate, std::int32_t unit)
    {
        WithSimulator([&](ECRSimulator& sim) { sim.State().articles.Write(name, price, taxRate, unit); });
    }

    std::size_t StoredArticles()
    {
        std::size_t count = 0;
        WithSimulator([&](ECRSimulator& sim) { count = sim.State().articles.Size(); });
        return count;
    }

    static QTreeWidget& List(CDialog& open) { return *open.Item<QTreeWidget>(CPLUListDialog::IDC_LIST); }

    // Every row as "name|price|rate|unit".
    static std::vector<std::string> Rows(CDialog& open)
    {
        std::vector<std::string> rows;
        QTreeWidget& list = List(open);
        for (int i = 0; i < list.topLevelItemCount(); ++i) {
            const QTreeWidgetItem* row = list.topLevelItem(i);
            rows.push_back(QStringList{row->text(0), row->text(1), row->text(2), row->text(3)}.join('|').toStdString());
        }
        return rows;
    }

    // A click on a row, as the user makes it (a right click also asks for the context menu).
    static void ClickRow(CDialog& open, int row, Qt::MouseButton button = Qt::LeftButton)
    {
        QTreeWidget& list = List(open);
        const QPoint at = list.visualItemRect(list.topLevelItem(row)).center();
        ClickAt(list, at, button);
    }

    static void ClickAt(QTreeWidget& list, QPoint at, Qt::MouseButton button)
    {
        QTest::mouseClick(list.viewport(), button, {}, at);
        if (button == Qt::RightButton) {
            QContextMenuEvent menu(QContextMenuEvent::Mouse, at, list.viewport()->mapToGlobal(at));
            QApplication::sendEvent(list.viewport(), &menu);
        }
    }

    static void DoubleClickRow(CDialog& open, int row)
    {
        QTreeWidget& list = List(open);
        const QPoint at = list.visualItemRect(list.topLevelItem(row)).center();
        QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(list.viewport(), Qt::LeftButton, {}, at);
    }

    // The newest line of the monitor's debug box.
    std::string LastDebugLine() const
    {
        const std::string text = m_debugSource->DebugText();
        return text.substr(0, text.find("\r\n"));
    }

    void SetUp() override
    {
        RegisterSession::SetUp();
        m_debugSource = &Main().m_monitorDlg;
    }

    CProgressUnivDlg& Progress() { return Main().m_progressDlg; }

private:
    const CConnectionMonitorDlg* m_debugSource = nullptr;
};

TEST_F(PLUListDialogTest, ReadingFillsTheListAndOnlyThatOpeningMaySaveIt)
{
    Store("Sok", 1250, 2, 1);
    Store("Mleko", 8990, 2, 3);
    TempFolder folder;
    const std::string saved = folder.File("lista.txt");
    Prompts().saveFiles.push_back(QString::fromStdString(saved));

    RunMenu(CThermalDlg::ID_PLU_LIST, [&](CDialog& open) {
        EXPECT_TRUE(Rows(open).empty());
        EXPECT_FALSE(open.GetDlgItem(CPLUListDialog::IDC_SAVE)->isEnabled());
        Click(open, CPLUListDialog::IDC_READ);
        const QTreeWidgetItem* header = List(open).headerItem();
        EXPECT_EQ(QStringList({header->text(0), header->text(1), header->text(2), header->text(3)}),
                  QStringList({"Naziv", "Cena", "Stopa", "Mera"}));
        EXPECT_EQ(List(open).columnWidth(0), (List(open).width() - 2 * List(open).frameWidth()) / 4);
        EXPECT_EQ(Rows(open), (std::vector<std::string>{"Sok|1250|2|1", "Mleko|8990|2|3"}));
        EXPECT_TRUE(open.GetDlgItem(CPLUListDialog::IDC_SAVE)->isEnabled());
        EXPECT_FALSE(Progress().isVisible());
        Click(open, CPLUListDialog::IDC_SAVE);
    });
    EXPECT_EQ(Requests(), (Sent{kReadFirst, kReadLast, "$oSok\n4\x1F"}));
    EXPECT_EQ(TempFolder::Read(saved), "Sok,1250,0,2,1\r\nMleko,8990,0,2,3\r\n");

    // The device still holds the reading; the next opening shows nothing of it.
    RunMenu(CThermalDlg::ID_PLU_LIST, [&](CDialog& open) {
        EXPECT_TRUE(Rows(open).empty());
        EXPECT_FALSE(open.GetDlgItem(CPLUListDialog::IDC_SAVE)->isEnabled());
    });
}

TEST_F(PLUListDialogTest, SaveIntoAFileThatCannotBeCreatedSaysSo)
{
    Store("Sok", 1250, 2, 1);
    Prompts().saveFiles.push_back("/nonexistent/folder/lista.txt");
    RunMenu(CThermalDlg::ID_PLU_LIST, [&](CDialog& open) {
        Click(open, CPLUListDialog::IDC_READ);
        Click(open, CPLUListDialog::IDC_SAVE);
        EXPECT_TRUE(open.isVisible());
    });
    ASSERT_EQ(Prompts().messages.size(), 1U);
    // The system's reason follows the path.
    EXPECT_EQ(Prompts().messages[0].text, "Problem pri otvaranju fajla: /nonexistent/folder/lista.txt (ne postoji)");
    EXPECT_EQ(Prompts().messages[0].title, "Greska");
}

TEST_F(PLUListDialogTest, ImportProgramsEveryLineAndLeavesTheListAsItWas)
{
    TempFolder folder;
    Prompts().openFiles.push_back(QString::fromStdString(
        folder.Write("plu.txt", "Sok,12.5,2,1\r\nSok,12,2,1\r\nSok,12.345,2,1\r\n")));
    RunMenu(CThermalDlg::ID_PLU_LIST, [&](CDialog& open) {
        Click(open, CPLUListDialog::IDC_IMPORT);
        EXPECT_TRUE(Rows(open).empty());
    });
    EXPECT_EQ(Requests(), (Sent{"#rSok\n1250\t2\x1F"
                                "1\x1F",
                                "#rSok\n1200\t2\x1F"
                                "1\x1F",
                                "#rSok\n1234\t2\x1F"
                                "1\x1F"}));
    EXPECT_EQ(LastDebugLine(), "Poslato 3 od 3 artikala");
    EXPECT_FALSE(Progress().isVisible());
    EXPECT_TRUE(Prompts().messages.empty());
}

TEST_F(PLUListDialogTest, ArticlesTheRegisterRefusesAreCountedAndTheRunGoesOn)
{
    // An open receipt makes the register refuse programming.
    Device().SellItem(ECRString("Kafa"), 100, 1000, 2, 0);
    ClearRequests();
    TempFolder folder;
    Prompts().openFiles.push_back(QString::fromStdString(folder.Write("plu.txt", "Sok,1,2,1\nMleko,2,2,1\n")));
    RunMenu(CThermalDlg::ID_PLU_LIST, [&](CDialog& open) { Click(open, CPLUListDialog::IDC_IMPORT); });
    EXPECT_EQ(Requests().size(), 2U);
    EXPECT_NE(Main().m_monitorDlg.DebugText().find("Poslato 2 od 2 artikala"), std::string::npos);
    EXPECT_NE(Main().m_monitorDlg.DebugText().find("Kasa je odbila 2 artikala"), std::string::npos);
    EXPECT_TRUE(Prompts().messages.empty());
}

TEST_F(PLUListDialogTest, AnArticleWhoseAnswerFailsItsCheckIsNotCountedAsTaken)
{
    // The second answer carries a letter no command was sent with.
    WithSimulator([](ECRSimulator& sim) {
        SimFaults faults;
        faults.wrongLetterEvery = 2;
        sim.SetFaults(faults);
    });
    TempFolder folder;
    Prompts().openFiles.push_back(QString::fromStdString(folder.Write("plu.txt", "Sok,1,2,1\nKafa,1,2,1\nMleko,2,2,1\n")));
    RunMenu(CThermalDlg::ID_PLU_LIST, [&](CDialog& open) { Click(open, CPLUListDialog::IDC_IMPORT); });
    EXPECT_EQ(Requests().size(), 3U);
    const std::string debug = Main().m_monitorDlg.DebugText();
    EXPECT_NE(debug.find("Kasa nije potvrdila 1 artikala (neispravan odgovor)"), std::string::npos) << debug;
    EXPECT_EQ(debug.find("Kasa je odbila"), std::string::npos) << debug;
    EXPECT_EQ(LastDebugLine(), "Poslato 3 od 3 artikala");
}

TEST_F(PLUListDialogTest, ImportThatCannotBeReadSendsNothing)
{
    TempFolder folder;
    const std::string missing = folder.File("nema.txt");
    const std::string foreign = folder.Write("strani.txt",
                                             "\xC4\x8C"
                                             "aj,1,2,0\nSok,1,2,0\n\xE6\x97\xA5,1,2,0\n");
    // A line without a comma has no fields: the layout is named, not the missing price.
    const std::string noPrice = folder.Write("bez_cene.txt", "Sok,1,2,0\nBez zareza\n");
    Prompts().openFiles = {QString(), QString::fromStdString(missing), QString::fromStdString(foreign),
                           QString::fromStdString(noPrice)};
    RunMenu(CThermalDlg::ID_PLU_LIST, [&](CDialog& open) {
        for (int i = 0; i < 4; ++i) {
            Click(open, CPLUListDialog::IDC_IMPORT);
        }
    });
    EXPECT_TRUE(Requests().empty());
    EXPECT_EQ(Prompts().openPrompts, 4);
    const QStringList texts = Prompts().Texts();
    ASSERT_EQ(texts.size(), 3);
    EXPECT_EQ(texts[0], QString::fromStdString("Problem pri otvaranju fajla: " + missing));
    // The dialogs speak Serbian.
    EXPECT_EQ(texts[1], QString::fromUtf8("Fajl " + foreign +
                                          ", red 3: znak '\xE6\x97\xA5' (U+65E5) na mestu 1 ne postoji u kodnoj strani "
                                          "Windows-1250"));
    EXPECT_EQ(texts[2],
              QString::fromStdString("Fajl " + noPrice + ", red 2: nema zareza: ocekuje se naziv,cena,stopa,jedinica"));
    for (const RecordingPrompts::Message& message : Prompts().messages) {
        EXPECT_EQ(message.title, "Greska");
    }
}

TEST_F(PLUListDialogTest, UTF8ImportIsSentAsTheRegistersBytes)
{
    TempFolder folder;
    Prompts().openFiles.push_back(QString::fromStdString(folder.Write("plu.txt",
                                                                      "\xC4\x8C"
                                                                      "aj,120.50,2,0\n")));
    RunMenu(CThermalDlg::ID_PLU_LIST, [&](CDialog& open) { Click(open, CPLUListDialog::IDC_IMPORT); });
    EXPECT_EQ(Requests(), Sent{"#r\xC8"
                               "aj\n12050\t2\x1F"
                               "0\x1F"});
}

TEST_F(PLUListDialogTest, TestArticlesRunFromArtikal2ToArtikal15000)
{
    CPLUListDialog& dialog = Main().m_PLUListDlg;
    EXPECT_EQ(dialog.m_nTestLast - dialog.m_nTestFirst + 1, 14999);
    struct Range {
        std::int32_t first;
        std::int32_t last;
        Sent sent;
    };
    const Range ranges[] = {
        {2,
         3,
         {"#rArtikal2\n200\t3\x1F"
          "2\x1F",
          "#rArtikal3\n300\t3\x1F"
          "2\x1F"}},
        {14999,
         15000,
         {"#rArtikal14999\n1499900\t3\x1F"
          "2\x1F",
          "#rArtikal15000\n1500000\t3\x1F"
          "2\x1F"}},
    };
    for (const Range& range : ranges) {
        ClearRequests();
        dialog.m_nTestFirst = range.first;
        dialog.m_nTestLast = range.last;
        RunMenu(CThermalDlg::ID_PLU_LIST, [&](CDialog& open) { Click(open, CPLUListDialog::IDC_SEND_TEST); });
        EXPECT_EQ(Requests(), range.sent);
        EXPECT_EQ(LastDebugLine(), "Poslato 2 od 2 artikala");
    }
}

TEST_F(PLUListDialogTest, StopEndsTheGenerationAfterTheArticleOnTheLine)
{
    CProgressUnivDlg& progress = Progress();
    QPushButton* stop = progress.Item<QPushButton>(CProgressUnivDlg::IDC_STOP);
    ASSERT_NE(stop, nullptr);
    EXPECT_FALSE(stop->isVisibleTo(&progress));
    bool stopShown = false;
    RunMenu(CThermalDlg::ID_PLU_LIST, [&](CDialog& open) {
        // Clicks arrive while the run goes on, as the window system delivers
        // them: first on the dialog's own button, which must not start a
        // reading in the middle of the run, then on "Prekini".
        QTimer clicker;
        int stage = 0;
        QObject::connect(&clicker, &QTimer::timeout, [&] {
            if (stage == 0 && Requests().size() >= 2) {
                QWidget* read = open.GetDlgItem(CPLUListDialog::IDC_READ);
                QTest::mouseClick(open.windowHandle(), Qt::LeftButton, {}, read->mapTo(&open, read->rect().center()));
                stage = 1;
            } else if (stage == 1 && Requests().size() >= 4) {
                stopShown = stop->isVisible() && progress.isVisible();
                QTest::mouseClick(progress.windowHandle(), Qt::LeftButton, {},
                                  stop->mapTo(&progress, stop->rect().center()));
                stage = 2;
                clicker.stop();
            }
        });
        clicker.start(0);
        Click(open, CPLUListDialog::IDC_SEND_TEST);
        EXPECT_TRUE(open.isVisible());
    });
    EXPECT_TRUE(stopShown) << "\"Prekini\" is offered while the run goes on";
    const Sent requests = Requests();
    ASSERT_GE(requests.size(), 4U);
    ASSERT_LT(requests.size(), 14999U) << "the stop was not taken";
    for (std::size_t i = 0; i < requests.size(); ++i) {
        const std::string number = std::to_string(i + 2);
        ASSERT_EQ(requests[i], "#rArtikal" + number + "\n" + number +
                                   "00\t3\x1F"
                                   "2\x1F")
            << i;
    }
    EXPECT_EQ(StoredArticles(), requests.size()) << "what was sent stays programmed";
    EXPECT_EQ(LastDebugLine(), "Poslato " + std::to_string(requests.size()) + " od 14999 artikala");
    EXPECT_FALSE(progress.isVisible());
    EXPECT_FALSE(stop->isVisibleTo(&progress));
    EXPECT_EQ(progress.windowModality(), Qt::NonModal);
}

TEST_F(PLUListDialogTest, LinkFailureEndsTheRunAndSaysHowFarItGot)
{
    CPLUListDialog& dialog = Main().m_PLUListDlg;
    dialog.m_nTestFirst = 2;
    dialog.m_nTestLast = 6;
    RunMenu(CThermalDlg::ID_PLU_LIST, [&](CDialog& open) {
        SilenceRegister();
        SimFaults faults;
        faults.dropReplyEvery = 3;
        faults.silentToEnq = true;
        WithSimulator([&](ECRSimulator& sim) { sim.SetFaults(faults); });
        Click(open, CPLUListDialog::IDC_SEND_TEST);
        EXPECT_TRUE(open.isVisible());
    });
    EXPECT_EQ(Requests().size(), 3U);
    ASSERT_EQ(Prompts().messages.size(), 1U);
    EXPECT_EQ(Prompts().messages[0].text, "Greska u komunikaciji\nTimeout error");
    const std::string debug = Main().m_monitorDlg.DebugText();
    EXPECT_NE(debug.find("Poslato 2 od 5 artikala"), std::string::npos) << debug;
    EXPECT_FALSE(Progress().isVisible());
    EXPECT_FALSE(Progress().GetDlgItem(CProgressUnivDlg::IDC_STOP)->isVisibleTo(&Progress()));
}

TEST_F(PLUListDialogTest, DeletionsAskFirst)
{
    Store("Sok", 1250, 2, 1);
    Store("Mleko", 8990, 2, 3);
    Prompts().answers = {IDCANCEL, IDOK, IDCANCEL, IDOK};
    RunMenu(CThermalDlg::ID_PLU_LIST, [&](CDialog& open) {
        Click(open, CPLUListDialog::IDC_DELETE);  // no row: nothing asked
        Click(open, CPLUListDialog::IDC_READ);
        ClearRequests();
        ClickRow(open, 1);
        Click(open, CPLUListDialog::IDC_DELETE);
        Click(open, CPLUListDialog::IDC_DELETE);
        EXPECT_EQ(Rows(open).size(), 2U) << "the deleted row stays until the next reading";
        Click(open, CPLUListDialog::IDC_DELETE_ALL);
        Click(open, CPLUListDialog::IDC_DELETE_ALL);
    });
    EXPECT_EQ(Prompts().Texts(), (QStringList{"Obrisati artikal: Mleko ?", "Obrisati artikal: Mleko ?",
                                              "Obrisati sve artikle ?", "Obrisati sve artikle ?"}));
    for (const RecordingPrompts::Message& message : Prompts().messages) {
        EXPECT_EQ(message.buttons, MessageButtons::OkCancel);
    }
    EXPECT_EQ(Requests(), (Sent{"#dMleko\n", "%a"}));
}

TEST_F(PLUListDialogTest, DoubleClickShowsTheNameAndRightClickOpensAFilledSale)
{
    Store(
        "\x8A"
        "ljiva",
        1234, 1, 2);
    Store("Vaga", 500, 0, 9);
    std::vector<CTransactDlg*> sales;
    RunMenu(CThermalDlg::ID_PLU_LIST, [&](CDialog& open) {
        if (auto* sale = dynamic_cast<CTransactDlg*>(&open)) {
            sales.push_back(sale);
            EXPECT_NE(sale, &Main().m_transactDlg) << "a fresh dialog, not the menu's";
            if (sales.size() == 1) {
                EXPECT_EQ(Text(open, CTransactDlg::IDC_NAME), QString::fromUtf8("\xC5\xA0ljiva"));
                EXPECT_EQ(Text(open, CTransactDlg::IDC_PRICE), "1234");
                EXPECT_EQ(Text(open, CTransactDlg::IDC_TAX_RATE), "1");
                EXPECT_EQ(Text(open, CTransactDlg::IDC_UNIT), "kg");
                EXPECT_EQ(Text(open, CTransactDlg::IDC_QUANTITY), "");
                Type(open, CTransactDlg::IDC_QUANTITY, "1");
            }
            Click(open, CTransactDlg::IDC_SELL);
            return;
        }
        ClickAt(List(open), {10, 10}, Qt::RightButton);  // no row: nothing
        Click(open, CPLUListDialog::IDC_READ);
        ClearRequests();
        DoubleClickRow(open, 0);
        ClickRow(open, 0, Qt::RightButton);
        // A unit the list does not hold leaves no selection: -1 is sent.
        ClickRow(open, 1, Qt::RightButton);
    });
    EXPECT_EQ(sales.size(), 2U);
    EXPECT_EQ(Prompts().Texts(), QStringList{QString::fromUtf8("\xC5\xA0ljiva")});
    EXPECT_EQ(Requests(), (Sent{"*t\n\n",
                                "*l\x8A"
                                "ljiva\n123400\t1000\t1\x1F"
                                "2\x1F",
                                "*lVaga\n50000\t0\t0\x1F-1\x1F"}));
}

}  // namespace

TEST_F(PLUListDialogTest, ColumnsKeepTheUsersWidthsAcrossReadingsAndACutNameShowsWhole)
{
    const std::string longName = "Sok od jabuke i sargarepe 1l";
    Store(longName, 1250, 2, 1);
    Store("Hleb", 4500, 1, 0);
    RunMenu(CThermalDlg::ID_PLU_LIST, [&](CDialog& open) {
        QTreeWidget& list = List(open);
        const int quarter = (list.width() - 2 * list.frameWidth()) / 4;
        EXPECT_EQ(list.columnWidth(0), quarter) << "the design's width at opening";
        list.header()->resizeSection(0, 300);
        Click(open, CPLUListDialog::IDC_READ);
        EXPECT_EQ(list.columnWidth(0), 300) << "a reading undid the user's widening";
        Click(open, CPLUListDialog::IDC_READ);
        EXPECT_EQ(list.columnWidth(0), 300);

        const QModelIndex hleb = list.indexFromItem(list.topLevelItem(1), 0);
        EXPECT_EQ(ToolTipAt(list, hleb), "") << "Hleb fits";
        list.header()->resizeSection(0, quarter);
        EXPECT_EQ(ToolTipAt(list, list.indexFromItem(list.topLevelItem(0), 0)), QString::fromStdString(longName));
    });
    // Opened again: the design's widths.
    RunMenu(CThermalDlg::ID_PLU_LIST, [&](CDialog& open) {
        EXPECT_EQ(List(open).columnWidth(0), (List(open).width() - 2 * List(open).frameWidth()) / 4);
    });
}
