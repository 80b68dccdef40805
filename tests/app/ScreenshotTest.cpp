#include "app/AppHarness.h"
#include "app/CAboutDlg.h"

#include <QCoreApplication>
#include <QDir>
#include <QPixmap>

#include <gtest/gtest.h>

namespace {

// Saves pictures of the windows next to the test program, to be looked at.
TEST(Screenshot, MainWindowAndMonitor)
{
    AppHarness app;
    ASSERT_TRUE(app.Connect());
    // The boxes take their new entries when the window system runs.
    QCoreApplication::processEvents();
    const QDir folder(THERMAL_SCREENSHOT_DIR);
    const QPixmap main = app.Main().grab();
    const QPixmap monitor = app.Main().m_monitorDlg.grab();
    EXPECT_TRUE(main.save(folder.filePath("main-window.png")));
    EXPECT_TRUE(monitor.save(folder.filePath("monitor.png")));
    app.Main().m_progressDlg.SetProgress(60);
    EXPECT_TRUE(app.Main().m_progressDlg.grab().save(folder.filePath("progress.png")));
    CAboutDlg about;
    EXPECT_TRUE(about.grab().save(folder.filePath("about.png")));
    EXPECT_TRUE(app.Main().m_conSettingDlg.grab().save(folder.filePath("settings.png")));
    // The banner fits the window with room around it.
    EXPECT_GT(main.width(), 343);
}

}  // namespace
