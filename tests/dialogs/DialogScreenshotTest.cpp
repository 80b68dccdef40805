#include "RegisterSession.h"

#include "dialogs/fiscal/CFiscalHeaderDlg.h"
#include "dialogs/fiscal/CFiskalizacijaDlg.h"
#include "dialogs/fiscal/CTaxRateDlg.h"
#include "dialogs/fiscal/CTotalDlg.h"

#include <QDir>
#include <QPixmap>

namespace {

// Saves a picture of every fiscal dialog to the build folder, to look at.
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

}  // namespace
