// The settings dialog's line under the port list: the device the chosen
// COMn opens on this machine.
#include "app/AppHarness.h"
#include "app/CConSettingDlg.h"
#include "framework/ScopedModalDriver.h"
#include "support/PseudoTerminal.h"

#include <QComboBox>
#include <gtest/gtest.h>

#include <cstdlib>

TEST(SettingsPortDevice, FollowsTheChosenPort)
{
    AppHarness app;
    PseudoTerminal line(PseudoTerminal::Use::Program);
    setenv("ECR_COM3", line.SlavePath().c_str(), 1);
    setenv("ECR_COM4", "/nonexistent/tty", 1);
    std::vector<QString> shown;
    {
        ScopedModalDriver driver([&](CDialog& dlg) {
            auto* port = dlg.Item<QComboBox>(CConSettingDlg::IDC_PORT);
            shown.push_back(dlg.GetItemText(CConSettingDlg::IDC_PORT_DEVICE));
            for (const int index : {2, 3, -1}) {
                port->setCurrentIndex(index);
                shown.push_back(dlg.GetItemText(CConSettingDlg::IDC_PORT_DEVICE));
            }
            dlg.EndDialog(IDCANCEL);
        });
        app.Choose(CThermalDlg::ID_SETTINGS);
    }
    unsetenv("ECR_COM3");
    unsetenv("ECR_COM4");
    ASSERT_EQ(shown.size(), 4U);
    EXPECT_EQ(shown[0], "COM1 -> " + QString::fromStdString(app.Sim().DevicePath()));
    EXPECT_EQ(shown[1], "COM3 -> " + QString::fromStdString(line.SlavePath()));
    EXPECT_EQ(shown[2], "COM4 -> /nonexistent/tty (ne postoji)");
    EXPECT_EQ(shown[3], "") << "no port chosen";
}

TEST(SettingsPortDevice, ShowsTheMappingInForceAtEachOpening)
{
    AppHarness app;
    std::vector<QString> shown;
    ScopedModalDriver driver([&](CDialog& dlg) {
        shown.push_back(dlg.GetItemText(CConSettingDlg::IDC_PORT_DEVICE));
        dlg.EndDialog(IDCANCEL);
    });
    app.Choose(CThermalDlg::ID_SETTINGS);
    // The same port chosen again, but now leading elsewhere.
    setenv("ECR_COM1", "/dev/null", 1);
    app.Choose(CThermalDlg::ID_SETTINGS);
    ASSERT_EQ(shown.size(), 2U);
    EXPECT_EQ(shown[0], "COM1 -> " + QString::fromStdString(app.Sim().DevicePath()));
    EXPECT_EQ(shown[1], "COM1 -> /dev/null");
}

// thermal --simulator: the line says that the register on COM1 is simulated.
TEST(SettingsPortDevice, SaysWhenTheRegisterIsTheProgramsSimulatedOne)
{
    AppHarness app;
    app.Main().m_portMap.MapSimulator(1, app.Sim().DevicePath());
    QString shown;
    ScopedModalDriver driver([&](CDialog& dlg) {
        shown = dlg.GetItemText(CConSettingDlg::IDC_PORT_DEVICE);
        dlg.EndDialog(IDCANCEL);
    });
    app.Choose(CThermalDlg::ID_SETTINGS);
    EXPECT_EQ(shown, "COM1 -> simulirana kasa (" + QString::fromStdString(app.Sim().DevicePath()) + ")");
}
