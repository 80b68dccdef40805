#include "app/AppHarness.h"
#include "framework/ScopedModalDriver.h"
#include "framework/ScreenFit.h"
#include "framework/TestApplication.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>

#include <gtest/gtest.h>

namespace {

// The whole program on an 800 x 600 screen (its own test program: the
// headless screen's size is set once per program).
const QRect kScreen(0, 0, 800, 600);

class SmallScreen : public testing::Test {
protected:
    static void SetUpTestSuite() { EnsureTestApplication(kScreen.size()); }

    static QRect Global(const QWidget* widget)
    {
        return QRect(widget->mapToGlobal(QPoint(0, 0)), widget->size());
    }
};

TEST_F(SmallScreen, MainCaptionAndMenuAndTheMonitorsBottomRowStayOnScreen)
{
    CThermalDlg main;
    ASSERT_EQ(main.screen()->availableGeometry(), kScreen);
    QRect mainFrame;
    QRect monitorFrame;
    QRect menuBar;
    std::vector<std::pair<int, QRect>> bottomRow;
    CConnectionMonitorDlg& monitor = main.m_monitorDlg;
    ScopedModalDriver driver([&](CDialog&) {
        mainFrame = main.frameGeometry();
        monitorFrame = monitor.frameGeometry();
        menuBar = Global(main.findChild<QMenuBar*>());
        for (const int id : {CConnectionMonitorDlg::IDC_INSERT_1F, CConnectionMonitorDlg::IDC_INSERT_09,
                             CConnectionMonitorDlg::IDC_CLEAR, CConnectionMonitorDlg::IDC_DECODED}) {
            bottomRow.emplace_back(id, Global(monitor.GetDlgItem(id)));
        }
    });
    main.DoModal();
    EXPECT_TRUE(kScreen.contains(mainFrame)) << "the main window's caption is off the screen";
    EXPECT_EQ(mainFrame.top(), kScreen.top());
    EXPECT_TRUE(kScreen.contains(monitorFrame));
    EXPECT_FALSE(monitorFrame.intersects(menuBar)) << "the monitor covers the menu bar";
    for (const auto& [id, place] : bottomRow) {
        EXPECT_TRUE(kScreen.contains(place)) << "control " << id << " off the screen";
        EXPECT_TRUE(monitorFrame.contains(place)) << "control " << id << " outside its window";
    }
    // Shorter than built, but no shorter than its least size.
    EXPECT_GE(monitor.height(), monitor.minimumHeight());
}

TEST_F(SmallScreen, EveryWindowTheMenusOpenLiesOnScreen)
{
    AppHarness app;
    ASSERT_TRUE(app.Connect());
    int opened = 0;
    ScopedModalDriver driver([&](CDialog& dlg) {
        ++opened;
        SCOPED_TRACE(dlg.windowTitle().toStdString());
        const QRect frame = ScreenFit::Frame(dlg);
        EXPECT_TRUE(kScreen.contains(frame)) << frame.x() << "," << frame.y() << " " << frame.width() << "x"
                                             << frame.height();
        dlg.EndDialog(IDCANCEL);
    });
    for (QAction* popupAction : app.Main().findChild<QMenuBar*>()->actions()) {
        for (QAction* item : popupAction->menu()->actions()) {
            if (!item->isSeparator()) {
                app.Choose(item->data().toInt());
            }
        }
    }
    // Kasa 7, PLU 6, Razno 4, Pomoc 1 ("Brisi sve artikle", "Test Reklama" and
    // "Pokazi Monitor" open none; "Konekcija" is greyed).
    EXPECT_EQ(opened, 18);
    CProgressUnivDlg& progress = app.Main().m_progressDlg;
    progress.ShowWindow(true);
    EXPECT_TRUE(kScreen.contains(ScreenFit::Frame(progress)));
}

}  // namespace
