#include "app/AppHarness.h"
#include "framework/ScopedModalDriver.h"
#include "sim/ECRSimulator.h"
#include "sim/SimulatorHost.h"
#include "support/PseudoTerminal.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

std::string FirstLine(const std::string& text)
{
    return text.substr(0, text.find("\r\n"));
}

TEST(Connection, LogOnSwitchesMenusAndMonitor)
{
    AppHarness app;
    CThermalDlg& main = app.Main();
    ASSERT_TRUE(app.Connect());
    EXPECT_FALSE(app.MenuEnabled(CThermalDlg::Konekcija));
    EXPECT_TRUE(app.MenuEnabled(CThermalDlg::Kasa));
    EXPECT_TRUE(app.MenuEnabled(CThermalDlg::PLU));
    EXPECT_TRUE(app.MenuEnabled(CThermalDlg::Razno));
    EXPECT_TRUE(app.MenuEnabled(CThermalDlg::Pomoc));
    EXPECT_TRUE(main.m_monitorDlg.GetDlgItem(CConnectionMonitorDlg::IDC_SEND)->isEnabled());
    EXPECT_TRUE(main.m_monitorDlg.GetDlgItem(CConnectionMonitorDlg::IDC_CLEAR)->isEnabled());
    ASSERT_NE(main.m_pDevice, nullptr);
    EXPECT_EQ(main.m_settings.PortNumber(), 1);
    EXPECT_EQ(main.m_settings.BaudRate(), 19200);
    EXPECT_EQ(main.m_settings.ByteSize(), 8);
    // Only the log-on line, no message box.
    EXPECT_EQ(main.m_monitorDlg.DebugText(), "*** Prijavljivanje - OK ***");
    EXPECT_TRUE(app.Prompts().messages.empty());
    // The status byte the register answered was read and shown: a one-byte entry on top.
    EXPECT_EQ(FirstLine(main.m_monitorDlg.TrafficText()).size(), 3u);

    // Connected for good: "Povezi" again does nothing.
    ECRDevice* device = main.m_pDevice;
    main.OnConnect();
    EXPECT_EQ(main.m_pDevice, device);
}

TEST(Connection, SilentRegisterLeavesEverythingUnconnectedWithoutAMessageBox)
{
    AppHarness app;
    PseudoTerminal silent(PseudoTerminal::Use::Program);
    setenv("ECR_COM3", silent.SlavePath().c_str(), 1);
    app.Main().m_nPort = 2;

    EXPECT_FALSE(app.Connect());
    EXPECT_EQ(silent.ReadAll(), "\x05");  // the log-on enquiry, unanswered
    EXPECT_FALSE(silent.SlaveOpen()) << "the port is closed again";
    EXPECT_TRUE(app.MenuEnabled(CThermalDlg::Konekcija));
    EXPECT_FALSE(app.MenuEnabled(CThermalDlg::Kasa));
    EXPECT_FALSE(app.Main().m_monitorDlg.GetDlgItem(CConnectionMonitorDlg::IDC_SEND)->isEnabled());
    EXPECT_TRUE(app.Prompts().messages.empty());
    // Only the debug box says why.
    EXPECT_EQ(app.Main().m_monitorDlg.DebugText(), "*** Prijavljivanje - neuspesno: kasa ne odgovara ***");

    // A second attempt opens the port afresh and asks again; then the
    // register on COM1 answers.
    EXPECT_FALSE(app.Connect());
    EXPECT_EQ(silent.ReadAll(), "\x05");
    EXPECT_EQ(FirstLine(app.Main().m_monitorDlg.DebugText()), "*** Prijavljivanje - neuspesno: kasa ne odgovara ***");
    app.Main().m_nPort = 0;
    EXPECT_TRUE(app.Connect());
    EXPECT_EQ(app.Main().m_settings.PortNumber(), 1);
    unsetenv("ECR_COM3");
}

TEST(Connection, ARegisterBehindADeviceServerLogsOnAndARefusedOneSaysWhere)
{
    SimulatorHost::Options listening;
    listening.listen = "127.0.0.1:0";
    SimulatorHost server(listening);
    ASSERT_TRUE(server.Start());
    AppHarness app;
    setenv("ECR_COM5", ("tcp://" + server.ListenAddress()).c_str(), 1);
    setenv("ECR_COM6", "tcp://127.0.0.1:1", 1);  // nothing listens there
    app.Main().m_nPort = 5;
    EXPECT_FALSE(app.Connect());
    EXPECT_EQ(app.Main().m_monitorDlg.DebugText(),
              "*** Prijavljivanje - neuspesno: Error opening port (127.0.0.1:1: Connection refused) ***");
    app.Main().m_nPort = 4;
    EXPECT_TRUE(app.Connect());
    EXPECT_EQ(server.Requests().size(), 0u) << "the log-on is an enquiry, no request";
    app.Main().m_pDevice->PrintStatusReport();
    EXPECT_EQ(server.Requests(), std::vector<std::string>{"#w"});
    unsetenv("ECR_COM5");
    unsetenv("ECR_COM6");
}

TEST(Connection, RegisterSilentToEnquiryOnTheSimulator)
{
    AppHarness app;
    app.Sim().WithSimulator([](ECRSimulator& sim) {
        SimFaults faults;
        faults.silentToEnq = true;
        sim.SetFaults(faults);
    });
    EXPECT_FALSE(app.Connect());
    EXPECT_FALSE(app.Main().m_bConnected);
    EXPECT_TRUE(app.Prompts().messages.empty());
    EXPECT_EQ(app.Main().m_monitorDlg.DebugText(), "*** Prijavljivanje - neuspesno: kasa ne odgovara ***");
}

TEST(Connection, PortThatCannotOpenSaysWhyOnlyInTheDebugBox)
{
    AppHarness app;
    // No item chosen in the port list: index -1 gives port number 0.
    app.Main().m_nPort = -1;
    app.Main().m_nBaud = -1;
    EXPECT_FALSE(app.Connect());
    EXPECT_EQ(app.Main().m_settings.PortNumber(), 0);
    EXPECT_EQ(app.Main().m_settings.BaudRate(), 19200);
    EXPECT_EQ(app.Main().m_pDevice, nullptr);
    EXPECT_TRUE(app.Prompts().messages.empty());
    EXPECT_EQ(app.Main().m_monitorDlg.DebugText(), "*** Prijavljivanje - neuspesno: Error opening port ***");
}

TEST(Connection, SettingsRecordFromPortAndSpeed)
{
    struct Case {
        int port, baud;
        int portNumber, baudRate;
    };
    const Case cases[] = {{0, 1, 1, 19200}, {7, 0, 8, 9600}, {-1, -1, 0, 19200}, {2, 5, 3, 19200}};
    for (const Case& c : cases) {
        const SerialSettings s = CThermalDlg::MakeSettings(c.port, c.baud);
        EXPECT_EQ(s.PortNumber(), c.portNumber);
        EXPECT_EQ(s.BaudRate(), c.baudRate);
        EXPECT_EQ(s.ByteSize(), 8);
        EXPECT_EQ(s.StopBits(), 0);
        EXPECT_EQ(s.Parity(), 0);
        EXPECT_EQ(s.FlowControl(), 0);
        EXPECT_EQ(s.DtrControl(), 0);
    }
}

TEST(Connection, SettingsDialogOkStoresAndCancelKeeps)
{
    AppHarness app;
    {
        ScopedModalDriver driver([](CDialog& dlg) {
            EXPECT_EQ(dlg.windowTitle(), "Podesavanja konekcije");
            auto* port = dlg.Item<QComboBox>(CConSettingDlg::IDC_PORT);
            auto* baud = dlg.Item<QComboBox>(CConSettingDlg::IDC_BAUD);
            EXPECT_EQ(port->currentText(), "1") << "opens on the main window's values";
            EXPECT_EQ(baud->currentText(), "19200");
            port->setCurrentIndex(port->findText("8"));
            baud->setCurrentIndex(baud->findText("9600"));
            QTest::mouseClick(dlg.Item<QPushButton>(IDOK), Qt::LeftButton);
        });
        app.Choose(CThermalDlg::ID_SETTINGS);
    }
    EXPECT_EQ(app.Main().m_nPort, 7);
    EXPECT_EQ(app.Main().m_nBaud, 0);
    {
        ScopedModalDriver driver([](CDialog& dlg) {
            dlg.Item<QComboBox>(CConSettingDlg::IDC_PORT)->setCurrentIndex(2);
            dlg.Item<QComboBox>(CConSettingDlg::IDC_BAUD)->setCurrentIndex(1);
            QTest::mouseClick(dlg.Item<QPushButton>(IDCANCEL), Qt::LeftButton);
        });
        app.Choose(CThermalDlg::ID_SETTINGS);
    }
    EXPECT_EQ(app.Main().m_nPort, 7);
    EXPECT_EQ(app.Main().m_nBaud, 0);
}

TEST(Connection, TypedTextChoosesTheItemItNamesOrNone)
{
    // As the design's combo boxes do: typed text that names no item is no
    // choice at all (-1), so port number 0, which cannot be opened.
    struct Case {
        const char* port;
        const char* baud;
        int index;
        int baudIndex;
    };
    const Case cases[] = {
        {"9", "9600", -1, 0}, {"abc", "19200", -1, 1}, {"3", "4800", 2, -1}, {"", "", -1, -1}, {"8", "9600", 7, 0},
    };
    for (const Case& c : cases) {
        AppHarness app;
        int ports = 0;
        ScopedModalDriver driver([&](CDialog& dlg) {
            QApplication::setActiveWindow(&dlg);
            const auto type = [](QComboBox* combo, const char* text) {
                combo->setFocus();
                combo->lineEdit()->selectAll();
                QTest::keyClick(combo->lineEdit(), Qt::Key_Delete);
                QTest::keyClicks(combo->lineEdit(), text);
            };
            auto* port = dlg.Item<QComboBox>(CConSettingDlg::IDC_PORT);
            type(dlg.Item<QComboBox>(CConSettingDlg::IDC_BAUD), c.baud);
            type(port, c.port);
            // Enter in the edit field ends the dialog with OK.
            QTest::keyClick(port->lineEdit(), Qt::Key_Return);
            ports = port->count();
        });
        app.Choose(CThermalDlg::ID_SETTINGS);
        EXPECT_EQ(ports, 8) << "typed text never becomes an item of its own";
        EXPECT_EQ(app.Main().m_nPort, c.index) << c.port;
        EXPECT_EQ(app.Main().m_nBaud, c.baudIndex) << c.baud;
    }

    // "Povezi" with such a choice: see PortThatCannotOpenSaysWhyOnlyInTheDebugBox.
}

TEST(Connection, TestWritesEveryByteOnceInOrderOnAPrivatePort)
{
    AppHarness app;
    PseudoTerminal line(PseudoTerminal::Use::Program);
    setenv("ECR_COM2", line.SlavePath().c_str(), 1);
    app.Main().m_nPort = 1;
    app.Choose(CThermalDlg::ID_TEST_CONNECTION);

    std::string expected;
    for (int b = 0; b < 256; ++b) {
        expected.push_back(static_cast<char>(b));
    }
    const std::string written = line.ReadAll();
    EXPECT_EQ(written.size(), 256u);
    EXPECT_EQ(written, expected);
    EXPECT_FALSE(line.SlaveOpen()) << "the private port is closed afterwards";
    EXPECT_EQ(app.Prompts().Texts(), QStringList{"Prebacite kasu u pregled transmisije (meni 3.7)."});
    EXPECT_EQ(app.Main().m_pPort, nullptr);
    EXPECT_EQ(app.Main().m_settings.PortNumber(), 0) << "the connection's settings are untouched";
    unsetenv("ECR_COM2");
}

TEST(Connection, TestOnAPortThatCannotOpenSaysSo)
{
    AppHarness app;
    setenv("ECR_COM4", "/nonexistent/tty", 1);
    app.Main().m_nPort = 3;
    app.Choose(CThermalDlg::ID_TEST_CONNECTION);
    ASSERT_EQ(app.Prompts().messages.size(), 2u);
    EXPECT_EQ(app.Prompts().messages[1].text, "Greska u komunikaciji\nError opening port");
    EXPECT_EQ(FirstLine(app.Main().m_monitorDlg.DebugText()), "Greska u komunikaciji: Error opening port");
    EXPECT_TRUE(app.MenuEnabled(CThermalDlg::Konekcija)) << "still usable";
    unsetenv("ECR_COM4");
}

}  // namespace
