#include "framework/BusyState.h"
#include "framework/PostedInput.h"
#include "framework/TestApplication.h"
#include "framework/UiPump.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <optional>

namespace {

std::optional<Qt::CursorShape> OverrideShape()
{
    const QCursor* cursor = QApplication::overrideCursor();
    return cursor == nullptr ? std::nullopt : std::optional(cursor->shape());
}

// A window with two buttons and a line, as a dialog during an exchange.
class BusyStateTest : public testing::Test {
protected:
    void SetUp() override
    {
        window.resize(300, 100);
        command->setGeometry(10, 10, 80, 30);
        stop->setGeometry(100, 10, 80, 30);
        edit->setGeometry(10, 50, 80, 30);
        window.show();
        QObject::connect(command, &QPushButton::clicked, [this] { ++commandClicks; });
        QObject::connect(stop, &QPushButton::clicked, [this] { ++stopClicks; });
    }

    void TearDown() override { EXPECT_EQ(QApplication::overrideCursor(), nullptr) << "a wait cursor left behind"; }

    struct Application {
        Application() { EnsureTestApplication(); }
    } application;
    QWidget window;
    QPushButton* command = new QPushButton("Citaj <<", &window);
    QPushButton* stop = new QPushButton("Prekini", &window);
    QLineEdit* edit = new QLineEdit(&window);
    int commandClicks = 0;
    int stopClicks = 0;
};

TEST_F(BusyStateTest, WaitCursorWhileAnActionRunsAndNormalOnTheUsersTurn)
{
    EXPECT_FALSE(BusyState::Active());
    EXPECT_EQ(OverrideShape(), std::nullopt);
    {
        BusyState::Action action;
        EXPECT_TRUE(BusyState::Active());
        EXPECT_EQ(OverrideShape(), Qt::WaitCursor);
        {
            BusyState::Action nested;
            EXPECT_EQ(OverrideShape(), Qt::WaitCursor);
        }
        EXPECT_TRUE(BusyState::Active()) << "an action inside another ends nothing";
        {
            // A dialog or message box the action opened.
            BusyState::UserTurn turn;
            EXPECT_FALSE(BusyState::Active());
            EXPECT_EQ(OverrideShape(), std::nullopt);
            {
                BusyState::Action inDialog;
                EXPECT_EQ(OverrideShape(), Qt::WaitCursor);
            }
            EXPECT_EQ(OverrideShape(), std::nullopt);
        }
        EXPECT_TRUE(BusyState::Active());
        EXPECT_EQ(OverrideShape(), Qt::WaitCursor);
        // A stop button on offer: busy, but something still takes a click.
        BusyState::AcceptInputFor(stop);
        EXPECT_EQ(OverrideShape(), Qt::BusyCursor);
        BusyState::AcceptInputFor(nullptr);
        EXPECT_EQ(OverrideShape(), Qt::WaitCursor);
    }
    EXPECT_FALSE(BusyState::Active());
    EXPECT_EQ(OverrideShape(), std::nullopt);
}

TEST_F(BusyStateTest, InputDuringAnActionWithARequestOnTheLineIsDiscardedAndOtherWorkStillRuns)
{
    bool workRan = false;
    {
        BusyState::Action action;
        // The engine's wait callback, while the register answers.
        UiPump::KeepPainted();
        // Delivered at once by the window system, as a click during a pump.
        QTest::mouseClick(window.windowHandle(), Qt::LeftButton, {}, command->geometry().center());
        EXPECT_EQ(commandClicks, 0);
        // Queued: it would go when the action is over.
        PostedInput::Click(command);
        PostedInput::Key(edit, Qt::Key_X, "x");
        PostedInput::CloseBox(&window);
        QMetaObject::invokeMethod(&window, [&] { workRan = true; }, Qt::QueuedConnection);
    }
    EXPECT_TRUE(workRan) << "the end of the action runs what waits, but the input";
    QCoreApplication::processEvents();
    EXPECT_EQ(commandClicks, 0) << "a click kept and replayed after the action";
    EXPECT_EQ(edit->text(), "");
    EXPECT_TRUE(window.isVisible()) << "the close box took effect";

    // Idle again: everything takes input.
    PostedInput::Click(command);
    PostedInput::Key(edit, Qt::Key_X, "x");
    QCoreApplication::processEvents();
    EXPECT_EQ(commandClicks, 1);
    EXPECT_EQ(edit->text(), "x");
}

TEST_F(BusyStateTest, InputDuringAnActionThatSendsNothingIsKeptInOrder)
{
    {
        // A field's handler, e.g. one that filters a list as the user types.
        BusyState::Action action;
        PostedInput::Key(edit, Qt::Key_A, "a");
        PostedInput::Click(command);
        PostedInput::Key(edit, Qt::Key_B, "b");
    }
    EXPECT_EQ(edit->text(), "") << "nothing delivered inside the action";
    QCoreApplication::processEvents();
    EXPECT_EQ(edit->text(), "ab");
    EXPECT_EQ(commandClicks, 1);

    // A dialog the action opened ends the busy while: what came before it is
    // kept too, and a request after it counts only from there.
    {
        BusyState::Action action;
        UiPump::KeepPainted();
        {
            BusyState::UserTurn turn;
        }
        PostedInput::Key(edit, Qt::Key_C, "c");
    }
    QCoreApplication::processEvents();
    EXPECT_EQ(edit->text(), "abc");
}

TEST_F(BusyStateTest, OfferedControlTakesItsClicksWhileBusy)
{
    {
        // A long run of exchanges that offers a stop button.
        BusyState::Action action;
        UiPump::KeepPainted();
        BusyState::AcceptInputFor(stop);
        PostedInput::Click(stop);
        PostedInput::Click(command);
        BusyState::ProcessEventsWithoutInput();
        EXPECT_EQ(stopClicks, 1);
        EXPECT_EQ(commandClicks, 0);
        BusyState::AcceptInputFor(nullptr);
        PostedInput::Click(stop);
    }
    QCoreApplication::processEvents();
    EXPECT_EQ(stopClicks, 1) << "no longer offered, so no longer taken";
    EXPECT_EQ(commandClicks, 0);
}

}  // namespace
