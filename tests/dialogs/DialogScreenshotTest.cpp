#include "RegisterSession.h"

#include "articles/TempFolder.h"
#include "dialogs/articles/CPLUDeleteDlg.h"
#include "dialogs/articles/CPLUListDialog.h"
#include "dialogs/articles/CPLUREPORTSDlg.h"
#include "dialogs/articles/CProdajaDlg.h"
#include "dialogs/articles/CTranStartDlg.h"
#include "dialogs/articles/CTransactDlg.h"
#include "dialogs/fiscal/CFiscalHeaderDlg.h"
#include "dialogs/fiscal/CFiskalizacijaDlg.h"
#include "dialogs/fiscal/CTaxRateDlg.h"
#include "dialogs/fiscal/CTotalDlg.h"
#include "dialogs/graphics/CGrafikaDlg.h"
#include "dialogs/utilities/CAdvertDlg.h"
#include "dialogs/utilities/CDispTestDlg.h"
#include "dialogs/utilities/CInfoDlg.h"
#include "dialogs/utilities/CMemeReadDlg.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLinearGradient>
#include <QPainter>
#include <QPixmap>
#include <QRadioButton>
#include <QTimer>

#include <filesystem>

namespace {

// Saves a picture of every dialog to the build folder, to look at.
class DialogScreenshotTest : public RegisterSession {
protected:
    static void Save(QWidget& open, const QString& name)
    {
        QDir().mkpath(QStringLiteral(THERMAL_SCREENSHOT_DIR));
        // As the window shows once the action has returned to the event loop.
        QCoreApplication::processEvents();
        const QPixmap picture = open.grab();
        EXPECT_FALSE(picture.isNull()) << name.toStdString();
        EXPECT_TRUE(picture.save(QStringLiteral(THERMAL_SCREENSHOT_DIR "/") + name + QStringLiteral(".png")))
            << name.toStdString();
    }
};

TEST_F(DialogScreenshotTest, EveryFiscalDialog)
{
    SetRegisterClock(2026, 3, 15, 9, 41);
    WithSimulator([](ECRSimulator& sim) {
        sim.State().headerLines = {"PRODAVNICA \xC8" "A\xC8" "AK", "Glavna 1", "11000 Beograd", "PIB 102030405",
                                   "Hvala na poseti"};
        sim.State().todayPerRate = {123456, 2300, 0, 0, 0, 0, 0, 0, 0};
        sim.State().fiscalTotal = 125756;
        sim.State().fiscalToday = 125756;
    });
    CFiskalizacijaDlg fiscalization;
    RunModal(fiscalization, [&](CDialog& open) {
        open.SetItemText(CFiskalizacijaDlg::IDC_IBFM, "AB001234");
        open.SetItemText(CFiskalizacijaDlg::IDC_PIB, "102030405");
        Save(open, "fiscalization");
    });
    RunMenu(CThermalDlg::ID_FISCAL_HEADER, [&](CDialog& open) {
        Click(open, CFiscalHeaderDlg::IDC_READ);
        Save(open, "fiscal_header");
        Click(open, CFiscalHeaderDlg::IDC_SWITCH_FONT);
        Save(open, "fiscal_header_cyrillic");
    });
    RunMenu(CThermalDlg::ID_TAX_RATES, [&](CDialog& open) {
        Click(open, CTaxRateDlg::IDC_READ);
        Save(open, "tax_rates");
    });
    RunMenu(CThermalDlg::ID_TIME, [&](CDialog& open) { Save(open, "set_time"); });
    RunMenu(CThermalDlg::ID_REPORTS, [&](CDialog& open) { Save(open, "reports"); });
    RunMenu(CThermalDlg::ID_TOTALIZERS, [&](CDialog& open) { Save(open, "totalizers"); });
}

TEST_F(DialogScreenshotTest, GraphicsDialogWithALoadedPictureAndItsPreview)
{
    // A grey-shaded picture with black lettering: only the pure black of the
    // letters prints, which the preview shows.
    QImage picture(360, 79, QImage::Format_RGB32);
    QPainter painter(&picture);
    QLinearGradient shade(0, 0, 360, 0);
    shade.setColorAt(0, QColor(250, 250, 250));
    shade.setColorAt(1, QColor(90, 90, 90));
    painter.fillRect(picture.rect(), shade);
    QFont font = painter.font();
    font.setPixelSize(40);
    font.setBold(true);
    painter.setFont(font);
    painter.setPen(Qt::black);
    painter.drawText(picture.rect(), Qt::AlignCenter, QStringLiteral("KAFE BAR"));
    painter.end();
    const QString path = QDir::temp().filePath(QStringLiteral("thermal-screenshot-logo.png"));
    ASSERT_TRUE(picture.save(path));
    Prompts().openFiles.push_back(path);
    RunMenu(CThermalDlg::ID_GRAPHICS, [&](CDialog& open) {
        Save(open, "graphics_builtin");
        Click(open, CGrafikaDlg::IDC_LOAD);
        Save(open, "graphics_loaded");
    });
    QFile::remove(path);
}

TEST_F(DialogScreenshotTest, EveryUtilityDialog)
{
    WithSimulator([](ECRSimulator& sim) {
        sim.State().advertLines = {"AKCIJA!", "Svaka treca kafa", "GRATIS", "*", "Radimo 0-24", "*", "Hvala"};
        sim.State().advertDouble = {true, false, true, false, false, false, true};
        sim.State().advertEnabled = true;
    });
    RunMenu(CThermalDlg::ID_ADVERT_TEXT, [&](CDialog& open) {
        Click(open, CAdvertDlg::IDC_READ);
        Save(open, "advert_text");
    });
    RunMenu(CThermalDlg::ID_DISPLAY_TEST, [&](CDialog& open) {
        Type(open, CDispTestDlg::IDC_LINE1, "KAFA");
        Type(open, CDispTestDlg::IDC_LINE2, "120.00");
        Save(open, "display_test");
    });
    RunMenu(CThermalDlg::ID_INFO_PRINT, [&](CDialog& open) {
        Type(open, CInfoDlg::IDC_TEXT, "Servis obavljen 14.03.");
        Type(open, CInfoDlg::IDC_NUMBER, "3");
        Save(open, "info_print");
    });
    RunMenu(CThermalDlg::ID_MEMORY_READ, [&](CDialog& open) {
        open.Item<QRadioButton>(CMemeReadDlg::IDC_AREA_FISCAL)->setChecked(true);
        Save(open, "memory_read");
    });
}

TEST_F(DialogScreenshotTest, EveryArticleDialog)
{
    WithSimulator([](ECRSimulator& sim) {
        sim.State().articles.Write("Mleko 2.8% 1l", 8990, 2, 4);
        sim.State().articles.Write("Hleb beli", 4500, 1, 0);
        sim.State().articles.Write("\xC8" "aj od nane", 12050, 2, 0);
        sim.State().articles.Write("Jabuke", 9900, 1, 2);
    });
    RunMenu(CThermalDlg::ID_PLU_LIST, [&](CDialog& open) {
        Click(open, CPLUListDialog::IDC_READ);
        Save(open, "plu_list");
    });
    Main().m_PLUListDlg.m_nTestLast = 40;
    bool progressSaved = false;
    RunMenu(CThermalDlg::ID_PLU_LIST, [&](CDialog& open) {
        QTimer grab;
        QObject::connect(&grab, &QTimer::timeout, [&] {
            if (!progressSaved && Main().m_progressDlg.isVisible() && Main().m_progressDlg.Progress() > 30) {
                Save(Main().m_progressDlg, "progress_with_stop");
                progressSaved = true;
            }
        });
        grab.start(0);
        Click(open, CPLUListDialog::IDC_SEND_TEST);
    });
    EXPECT_TRUE(progressSaved);

    RunMenu(CThermalDlg::ID_SALE, [&](CDialog& open) {
        open.SetItemText(CTransactDlg::IDC_NAME, "Sok od jabuke");
        open.SetItemText(CTransactDlg::IDC_PRICE, "12,50");
        open.SetItemText(CTransactDlg::IDC_TAX_RATE, "2");
        open.Item<QComboBox>(CTransactDlg::IDC_UNIT)->setCurrentIndex(4);
        open.SetItemText(CTransactDlg::IDC_QUANTITY, "0.75");
        open.SetItemText(CTransactDlg::IDC_CASH, "20");
        Save(open, "transaction");
    });
    CTranStartDlg start;
    RunModal(start, [&](CDialog& open) {
        open.SetItemText(CTranStartDlg::IDC_CASHIER, "7");
        open.SetItemText(CTranStartDlg::IDC_REGISTER_NUMBER, "1");
        Save(open, "transaction_start");
    });
    CPLUDeleteDlg remove;
    RunModal(remove, [&](CDialog& open) {
        open.SetItemText(CPLUDeleteDlg::IDC_NAME, "Hleb beli");
        Save(open, "article_delete");
    });
    CPLUREPORTSDlg reports;
    RunModal(reports, [&](CDialog& open) { Save(open, "plu_reports"); });

    TempFolder folder;
    const std::filesystem::path previous = std::filesystem::current_path();
    std::filesystem::create_directories(folder.File("Baza"));
    std::string database;
    for (int i = 1; i <= 40; ++i) {
        database += "Artikal " + std::to_string(i) + "\t860" + std::to_string(1000 + i) + "\t" + std::to_string(i) +
                    ".50\t" + std::to_string(i % 3) + "\n";
    }
    folder.Write("Baza/Baza.txt", "Mleko 2.8% 1l\t8600001\t89.90\t2\n\xC8" "aj od nane\t8600002\t120.50\t2\n" +
                                      database);
    std::filesystem::current_path(folder.File(""));
    CProdajaDlg sale;
    RunModal(sale, [&](CDialog& open) {
        open.SetItemText(CProdajaDlg::IDC_BARCODE, "8600001");
        open.SetItemText(CProdajaDlg::IDC_QUANTITY, "1,5");
        open.SetItemText(CProdajaDlg::IDC_CASH, "200");
        Save(open, "sale_from_database");
    });
    std::filesystem::current_path(previous);
}

}  // namespace
