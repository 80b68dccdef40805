#include "app/AppCallbacks.h"
#include "app/AppHarness.h"
#include "ecr/protocol/CommError.h"
#include "framework/ActionGuard.h"
#include "framework/UiPump.h"

#include <QEvent>
#include <QProgressBar>

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

// Counts the paints a widget gets.
class PaintCounter : public QObject {
public:
    int paints = 0;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint) {
            ++paints;
        }
        return QObject::eventFilter(watched, event);
    }
};

TEST(Progress, StepsArePaintedByTheNextPumpNotBetweenAnswerAndRequest)
{
    AppHarness app;
    CProgressUnivDlg& progress = app.Main().m_progressDlg;
    auto* bar = progress.Item<QProgressBar>(CProgressUnivDlg::IDC_PROGRESS);
    OnProgress(-1);
    UiPump::PaintNow();
    PaintCounter counter;
    bar->installEventFilter(&counter);
    // A step comes after an answer, before the next request: nothing paints yet.
    OnProgress(37);
    EXPECT_EQ(progress.Progress(), 37);
    EXPECT_EQ(counter.paints, 0);
    // The pump, while the next request is on the line, paints the bar as it now is.
    UiPump::PaintNow();
    EXPECT_GE(counter.paints, 1);
    EXPECT_EQ(bar->text(), "37%");
    bar->removeEventFilter(&counter);
    OnProgress(100);
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
