#include "app/AppHarness.h"
#include "app/CAboutDlg.h"
#include "dialogs/fiscal/CFiscalHeaderDlg.h"
#include "dialogs/fiscal/CFiskalizacijaDlg.h"
#include "framework/ScopedModalDriver.h"
#include "framework/TestApplication.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QTest>

#include <gtest/gtest.h>

#include <set>

namespace {

// Menu 130 as the design lists it; "-" is a separator.
struct PopupSpec {
    CThermalDlg::Popup position;
    const char* title;
    std::vector<std::pair<const char*, int>> items;
};

const PopupSpec kMenu[] = {
    {CThermalDlg::Konekcija, "Konekcija", {{"Povezi", 32772}, {"Podesavanja", 32776}, {"-", 0}, {"Test Konekcije", 32797}}},
    {CThermalDlg::Kasa,
     "Kasa",
     {{"Fiskalizacija", 32775},
      {"Poreske stope", 32781},
      {"Izvestaji", 32782},
      {"-", 0},
      {"Vreme", 32780},
      {"Fisk. Header", 32779},
      {"-", 0},
      {"Citanje Totalajzera", 32800},
      {"Citanje Memorije", 32786}}},
    {CThermalDlg::PLU,
     "PLU",
     {{"Prodaja", 32783},
      {"Prodaja Iz Baze", 32796},
      {"Pocetak Transakcije", 32799},
      {"Lista", 32771},
      {"-", 0},
      {"Brisi Artikal", 32785},
      {"Brisi sve artikle", 32788},
      {"-", 0},
      {"PLU Izvestaji", 32795}}},
    {CThermalDlg::Razno,
     "Razno",
     {{"Reklamni tekst", 32787}, {"Grafika", 32793}, {"Test Reklama", 32794}, {"Displej Test", 32798}, {"Info Print", 32801}}},
    {CThermalDlg::Pomoc, "Pomoc", {{"O Programu", 32774}, {"-", 0}, {"Pokazi Monitor", 32777}}},
};

TEST(MainWindow, MenuHasTheDesignsPopupsItemsAndIds)
{
    AppHarness app;
    for (const PopupSpec& spec : kMenu) {
        SCOPED_TRACE(spec.title);
        QMenu* popup = app.Main().MenuPopup(spec.position);
        ASSERT_NE(popup, nullptr);
        EXPECT_EQ(popup->title(), spec.title);
        const QList<QAction*> actions = popup->actions();
        ASSERT_EQ(actions.size(), static_cast<qsizetype>(spec.items.size()));
        for (std::size_t i = 0; i < spec.items.size(); ++i) {
            const auto& [caption, id] = spec.items[i];
            if (std::string(caption) == "-") {
                EXPECT_TRUE(actions[i]->isSeparator()) << "item " << i;
                continue;
            }
            EXPECT_EQ(actions[i]->text(), caption);
            EXPECT_EQ(app.Main().MenuCommand(id), actions[i]) << caption;
        }
    }
}

TEST(MainWindow, StartsUnconnectedOnCom1At19200WithTheMonitorShown)
{
    AppHarness app;
    CThermalDlg& main = app.Main();
    // Whatever an earlier window of this process chose.
    main.m_nPort = 5;
    main.m_nBaud = 0;
    AppHarness second;
    EXPECT_EQ(second.Main().m_nPort, 0);
    EXPECT_EQ(second.Main().m_nBaud, 1);
    EXPECT_TRUE(second.Main().m_monitorDlg.isVisible());
    EXPECT_FALSE(second.Main().m_progressDlg.isVisible());
    EXPECT_TRUE(second.MenuEnabled(CThermalDlg::Konekcija));
    EXPECT_FALSE(second.MenuEnabled(CThermalDlg::Kasa));
    EXPECT_FALSE(second.MenuEnabled(CThermalDlg::PLU));
    EXPECT_FALSE(second.MenuEnabled(CThermalDlg::Razno));
    EXPECT_TRUE(second.MenuEnabled(CThermalDlg::Pomoc));
    EXPECT_FALSE(second.Main().m_bConnected);
    EXPECT_EQ(second.Main().m_pDevice, nullptr);
    EXPECT_EQ(second.Main().m_pPort, nullptr);
    EXPECT_EQ(second.Main().windowTitle(), "Kadmar Thermal");
    EXPECT_EQ(g_pMainDlg, &second.Main());
}

TEST(MainWindow, MonitorOpensBelowTheMainWindowWithoutCoveringIt)
{
    EnsureTestApplication();
    CThermalDlg main;
    QRect mainFrame;
    QRect monitorFrame;
    QRect screen;
    ScopedModalDriver driver([&](CDialog& dlg) {
        mainFrame = dlg.frameGeometry();
        monitorFrame = main.m_monitorDlg.frameGeometry();
        screen = dlg.screen()->availableGeometry();
    });
    main.DoModal();
    EXPECT_FALSE(mainFrame.intersects(monitorFrame)) << "main " << mainFrame.y() << " monitor " << monitorFrame.y();
    EXPECT_GT(monitorFrame.top(), mainFrame.bottom());
    EXPECT_TRUE(screen.contains(monitorFrame));
    EXPECT_TRUE(screen.contains(mainFrame));
}

TEST(MainWindow, HiddenMonitorComesBackWithItsTexts)
{
    AppHarness app;
    CConnectionMonitorDlg& monitor = app.Main().m_monitorDlg;
    monitor.AddDebugLine("prva");
    QTest::keyClick(&monitor, Qt::Key_Escape);
    EXPECT_FALSE(monitor.isVisible());
    app.Choose(CThermalDlg::ID_SHOW_MONITOR);
    EXPECT_TRUE(monitor.isVisible());
    EXPECT_EQ(monitor.DebugText(), "prva");
}

TEST(MainWindow, AboutBoxAndIdleItemsSendNothing)
{
    AppHarness app;
    ASSERT_TRUE(app.Connect());
    app.Sim().ClearRequests();
    int aboutBoxes = 0;
    ScopedModalDriver driver([&](CDialog& dlg) {
        if (dynamic_cast<CAboutDlg*>(&dlg) != nullptr) {
            ++aboutBoxes;
            QTest::mouseClick(dlg.Item<QPushButton>(IDOK), Qt::LeftButton);
        }
    });
    app.Choose(CThermalDlg::ID_ABOUT);
    app.Choose(CThermalDlg::ID_ADVERT_TEST);
    EXPECT_EQ(aboutBoxes, 1);
    EXPECT_TRUE(app.Sim().Requests().empty());
    EXPECT_TRUE(app.Prompts().messages.empty());
}

// The top-level windows on screen, the main window's included.
std::set<QWidget*> VisibleWindows()
{
    std::set<QWidget*> visible;
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (window->isVisible()) {
            visible.insert(window);
        }
    }
    return visible;
}

TEST(MainWindow, AfterLogOnNoEnabledMenuItemIsSilent)
{
    AppHarness app;
    ASSERT_TRUE(app.Connect());
    // Every dialog a menu item opens is closed again at once, unanswered.
    int openedDialogs = 0;
    ScopedModalDriver driver([&](CDialog& dlg) {
        ++openedDialogs;
        dlg.EndDialog(IDCANCEL);
    });
    auto* menuBar = app.Main().findChild<QMenuBar*>();
    ASSERT_NE(menuBar, nullptr);
    int walked = 0;
    for (QAction* popupAction : menuBar->actions()) {
        QMenu* popup = popupAction->menu();
        ASSERT_NE(popup, nullptr);
        if (!popupAction->isEnabled()) {
            EXPECT_EQ(popup->title(), "Konekcija") << "only the connection menu is greyed after log-on";
            continue;
        }
        for (QAction* item : popup->actions()) {
            const int id = item->data().toInt();
            if (item->isSeparator() || !item->isEnabled()) {
                continue;
            }
            SCOPED_TRACE(item->text().toStdString());
            app.Main().m_monitorDlg.ShowWindow(false);
            app.Sim().ClearRequests();
            app.Prompts().messages.clear();
            openedDialogs = 0;
            const std::set<QWidget*> before = VisibleWindows();
            app.Choose(id);
            const bool newWindow = VisibleWindows() != before;
            const bool heard = openedDialogs > 0 || newWindow || !app.Sim().Requests().empty() ||
                               !app.Prompts().messages.empty();
            if (id == CThermalDlg::ID_ADVERT_TEST) {
                EXPECT_FALSE(heard) << "\"Test Reklama\" has no action";
            } else {
                EXPECT_TRUE(heard) << "silent menu item " << id;
                ++walked;
            }
        }
    }
    // Kasa 7, PLU 7, Razno 4, Pomoc 2.
    EXPECT_EQ(walked, 20);
}

// A click through a window, as the window system delivers it.
void ClickThroughWindow(QWidget* control)
{
    QWidget* window = control->window();
    QTest::mouseClick(window->windowHandle(), Qt::LeftButton, {}, control->mapTo(window, control->rect().center()));
}

TEST(MainWindow, ModalDialogsBlockTheMainWindowAndTheDialogsBelowThem)
{
    AppHarness app;
    ASSERT_TRUE(app.Connect());
    int fiscalizations = 0;
    int headers = 0;
    CDialog* fiscalization = nullptr;
    ScopedModalDriver driver([&](CDialog& dlg) {
        if (dynamic_cast<CFiskalizacijaDlg*>(&dlg) != nullptr) {
            ++fiscalizations;
            fiscalization = &dlg;
            // Its button opens the header dialog over it.
            ClickThroughWindow(dlg.GetDlgItem(CFiskalizacijaDlg::IDC_HEADER));
        } else if (dynamic_cast<CFiscalHeaderDlg*>(&dlg) != nullptr && ++headers == 1) {
            // Neither the dialog below nor the main window takes a click now.
            ClickThroughWindow(fiscalization->GetDlgItem(CFiskalizacijaDlg::IDC_HEADER));
            QMenuBar* menuBar = app.Main().findChild<QMenuBar*>();
            QAction* fiscalize = app.Main().MenuPopup(CThermalDlg::Kasa)->menuAction();
            QTest::mouseClick(app.Main().windowHandle(), Qt::LeftButton, {},
                              menuBar->mapTo(&app.Main(), menuBar->actionGeometry(fiscalize).center()));
            EXPECT_FALSE(app.Main().MenuPopup(CThermalDlg::Kasa)->isVisible());
        }
        dlg.EndDialog(IDCANCEL);
    });
    app.Choose(CThermalDlg::ID_FISCALIZE);
    EXPECT_EQ(fiscalizations, 1);
    EXPECT_EQ(headers, 1) << "the dialog below the open one took a click";
}

}  // namespace
