#include "framework/InputGate.h"
#include "framework/TestApplication.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QWidget>
#include <gtest/gtest.h>

#include <memory>

namespace {

// Two windows as during a long run: the progress window with its stop button
// (and a second button beside it), and a dialog behind it.
class InputGateTest : public testing::Test {
protected:
    void SetUp() override
    {
        for (QWidget* window : {&progress, &dialog}) {
            window->resize(200, 100);
            window->show();
        }
        stop->setGeometry(10, 10, 80, 30);
        beside->setGeometry(100, 10, 80, 30);
        command->setGeometry(10, 10, 80, 30);
        edit->setGeometry(10, 50, 80, 30);
        for (QPushButton* button : {stop, beside, command}) {
            QObject::connect(button, &QPushButton::clicked, [this, button] { ++clicks[button]; });
        }
    }

    // Through the window, as the window system delivers a click.
    static void ClickThroughWindow(QPushButton* button)
    {
        QWidget* window = button->window();
        QTest::mouseClick(window->windowHandle(), Qt::LeftButton, {}, button->mapTo(window, button->rect().center()));
    }

    // Before any widget.
    struct Application {
        Application() { EnsureTestApplication(); }
    } application;
    QWidget progress;
    QWidget dialog;
    QPushButton* stop = new QPushButton("Prekini", &progress);
    QPushButton* beside = new QPushButton("Drugo", &progress);
    QPushButton* command = new QPushButton("Komanda", &dialog);
    QLineEdit* edit = new QLineEdit(&dialog);
    std::map<QPushButton*, int> clicks;
};

TEST_F(InputGateTest, OnlyTheOneControlTakesInputWhileTheGateIsOpen)
{
    {
        InputGate gate(stop);
        for (QPushButton* button : {stop, beside, command}) {
            QTest::mouseClick(button, Qt::LeftButton);
            ClickThroughWindow(button);
        }
        QTest::keyClicks(edit, "abc");
        EXPECT_EQ(clicks[stop], 2);
        EXPECT_EQ(clicks[beside], 0);
        EXPECT_EQ(clicks[command], 0);
        EXPECT_EQ(edit->text(), "");
    }
    // Closed again: everything takes input.
    for (QPushButton* button : {beside, command}) {
        ClickThroughWindow(button);
        EXPECT_EQ(clicks[button], 1);
    }
    QTest::keyClicks(edit, "abc");
    EXPECT_EQ(edit->text(), "abc");
}

TEST_F(InputGateTest, GateForAControlThatIsGoneTakesNoInput)
{
    auto gone = std::make_unique<QPushButton>("Prekini", &progress);
    InputGate gate(gone.get());
    gone.reset();
    ClickThroughWindow(command);
    ClickThroughWindow(stop);
    EXPECT_EQ(clicks[command], 0);
    EXPECT_EQ(clicks[stop], 0);
}

}  // namespace
