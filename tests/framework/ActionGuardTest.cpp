#include "ecr/protocol/CommError.h"
#include "ecr/protocol/ECRStringError.h"
#include "framework/ActionGuard.h"
#include "framework/CDialog.h"
#include "framework/RecordingPrompts.h"
#include "framework/TestApplication.h"

#include <QApplication>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <stdexcept>

namespace {

class ActionGuardTest : public testing::Test {
protected:
    void SetUp() override
    {
        EnsureTestApplication();
        ActionGuard::SetDebugHook([this](const QString& line) { debugLines << line; });
    }
    void TearDown() override { ActionGuard::SetDebugHook({}); }

    RecordingPrompts prompts;
    QStringList debugLines;
};

TEST_F(ActionGuardTest, ReportsEachErrorKindOnceWithItsText)
{
    struct Case {
        std::function<void()> action;
        QString secondLine;
    };
    const Case cases[] = {
        {[] { throw CommError(8); }, "Error writing to port"},
        {[] { throw CommError(17); }, "Invalid Command!"},
        {[] { throw CommError(999); }, "???"},
    };
    for (const Case& c : cases) {
        prompts.messages.clear();
        debugLines.clear();
        EXPECT_FALSE(ActionGuard::Run(c.action));
        ASSERT_EQ(prompts.messages.size(), 1u);
        EXPECT_EQ(prompts.messages[0].title, "thermal");
        EXPECT_EQ(prompts.messages[0].text, "Greska u komunikaciji\n" + c.secondLine);
        EXPECT_FALSE(prompts.messages[0].busy) << "the box waits for the user with a normal cursor";
        EXPECT_EQ(debugLines, QStringList{"Greska u komunikaciji: " + c.secondLine});
    }

    prompts.messages.clear();
    EXPECT_FALSE(ActionGuard::Run([] { throw ECRStringError(1); }));
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_TRUE(prompts.messages[0].text.startsWith("Greska u komunikaciji\n"));
    EXPECT_GT(prompts.messages[0].text.size(), QString("Greska u komunikaciji\n").size());
}

TEST_F(ActionGuardTest, NormalEndShowsNothingAndOtherFaultsAreNotHidden)
{
    int runs = 0;
    EXPECT_TRUE(ActionGuard::Run([&] { ++runs; }));
    EXPECT_EQ(runs, 1);
    EXPECT_TRUE(prompts.messages.empty());
    EXPECT_TRUE(debugLines.isEmpty());
    // Only the protocol's errors are the guard's business.
    EXPECT_THROW(ActionGuard::Run([] { throw std::runtime_error("bug"); }), std::runtime_error);
}

// A dialog whose button fails on its first press.
class FlakyDlg : public CDialog {
public:
    FlakyDlg()
    {
        SetDialogSize(100, 40);
        AddEdit(1009, {7, 22, 80, 14});
        AddButton(1014, "Upisi >>", {7, 7, 50, 14});
        OnCommand(1014, [this] {
            ++presses;
            if (presses == 1) {
                throw CommError(8);
            }
        });
    }
    int presses = 0;
};

TEST_F(ActionGuardTest, ButtonFailureLeavesTheDialogOpenAndUsable)
{
    FlakyDlg dlg;
    dlg.ShowWindow(true);
    QTest::mouseClick(dlg.Item<QPushButton>(1014), Qt::LeftButton);
    EXPECT_TRUE(dlg.isVisible());
    EXPECT_EQ(prompts.Texts(), QStringList{"Greska u komunikaciji\nError writing to port"});
    QTest::mouseClick(dlg.Item<QPushButton>(1014), Qt::LeftButton);
    EXPECT_EQ(dlg.presses, 2);
    EXPECT_EQ(prompts.messages.size(), 1u);
    EXPECT_TRUE(dlg.isVisible());
}

TEST_F(ActionGuardTest, ModelessWindowHidesOnEscapeAndEnter)
{
    FlakyDlg dlg;
    dlg.Create();
    EXPECT_FALSE(dlg.isVisible());
    dlg.ShowWindow(true);
    QTest::keyClick(&dlg, Qt::Key_Escape);
    EXPECT_FALSE(dlg.isVisible());
    dlg.ShowWindow(true);
    // No OK button: Enter in an edit still means OK.
    QApplication::setActiveWindow(&dlg);
    dlg.GetDlgItem(1009)->setFocus();
    QTest::keyClick(dlg.GetDlgItem(1009), Qt::Key_Return);
    EXPECT_FALSE(dlg.isVisible());
    EXPECT_EQ(dlg.presses, 0);
}

}  // namespace
