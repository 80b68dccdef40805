#include "RegisterSession.h"

#include "dialogs/fiscal/CFiscalHeaderDlg.h"
#include "dialogs/fiscal/CFiskalizacijaDlg.h"
#include "dialogs/fiscal/CTaxRateDlg.h"
#include "dialogs/fiscal/CTotalDlg.h"
#include "dialogs/graphics/CGrafikaDlg.h"
#include "dialogs/utilities/CAdvertDlg.h"
#include "dialogs/utilities/CDispTestDlg.h"
#include "dialogs/utilities/CInfoDlg.h"
#include "dialogs/utilities/CMemeReadDlg.h"

#include <QDir>
#include <QFile>
#include <QLinearGradient>
#include <QPainter>
#include <QPixmap>
#include <QRadioButton>

namespace {

// Saves a picture of every dialog to the build folder, to look at.
class DialogScreenshotTest : public RegisterSession {
protected:
    static void Save(CDialog& open, const QString& name)
    {
        QDir().mkpath(QStringLiteral(THERMAL_SCREENSHOT_DIR));
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

}  // namespace
