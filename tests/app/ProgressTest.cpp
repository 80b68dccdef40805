#include "app/AppCallbacks.h"
#include "app/AppHarness.h"
#include "ecr/protocol/CommError.h"
#include "framework/ActionGuard.h"

#include <gtest/gtest.h>

namespace {

TEST(Progress, ShownByMinusOneMovedAndHiddenAtHundred)
{
    AppHarness app;
    CProgressUnivDlg& progress = app.Main().m_progressDlg;
    EXPECT_EQ(progress.windowTitle(), "Progres");
    struct Step {
        int value;
        bool visible;
        int position;
    };
    const Step steps[] = {{-1, true, 0}, {0, true, 0}, {50, true, 50}, {100, false, 100}};
    for (const Step& step : steps) {
        OnProgress(step.value);
        EXPECT_EQ(progress.isVisible(), step.visible) << step.value;
        EXPECT_EQ(progress.Progress(), step.position) << step.value;
    }
}

TEST(Progress, ValuesOutsideTheRangeAreClampedAndLeaveTheWindowAsItWas)
{
    AppHarness app;
    CProgressUnivDlg& progress = app.Main().m_progressDlg;
    OnProgress(40);
    EXPECT_FALSE(progress.isVisible()) << "a value while hidden still moves the bar";
    EXPECT_EQ(progress.Progress(), 40);
    OnProgress(-1);
    OnProgress(250);
    EXPECT_TRUE(progress.isVisible());
    EXPECT_EQ(progress.Progress(), 100);
    OnProgress(-7);
    EXPECT_TRUE(progress.isVisible());
    EXPECT_EQ(progress.Progress(), 0);
}

TEST(Progress, FailedOperationDoesNotLeaveTheWindowUp)
{
    AppHarness app;
    CProgressUnivDlg& progress = app.Main().m_progressDlg;
    ActionGuard::Run([] {
        OnProgress(-1);
        OnProgress(30);
        throw CommError(8);
    });
    EXPECT_FALSE(progress.isVisible());
    EXPECT_EQ(app.Prompts().messages.size(), 1u);
}

}  // namespace
