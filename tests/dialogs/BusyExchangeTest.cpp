#include "RegisterSession.h"
#include "dialogs/fiscal/CTaxRateDlg.h"
#include "framework/BusyState.h"
#include "framework/PostedInput.h"

#include <QApplication>
#include <QPushButton>
#include <QTimer>

#include <chrono>
#include <optional>
#include <thread>

namespace {

using Sent = std::vector<std::string>;

// A register that answers every request after a pause long enough for a
// user to click again meanwhile.
class BusyExchangeTest : public RegisterSession {
protected:
    void SetUp() override
    {
        RegisterSession::SetUp();
        SimFaults slow;
        slow.replyDelayMs = 300;
        WithSimulator([&](ECRSimulator& sim) { sim.SetFaults(slow); });
    }

    // Runs on its own thread, as the user does: once the register has the
    // request, queues the input while the program waits for the answer.
    std::thread WhileTheRegisterAnswers(std::function<void()> input)
    {
        return std::thread([this, input = std::move(input)] {
            const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(10);
            while (Requests().empty() && std::chrono::steady_clock::now() < giveUp) {
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            }
            input();
        });
    }

    static std::optional<Qt::CursorShape> OverrideShape()
    {
        const QCursor* cursor = QApplication::overrideCursor();
        return cursor == nullptr ? std::nullopt : std::optional(cursor->shape());
    }
};

TEST_F(BusyExchangeTest, SecondClickAndCloseBoxDuringAnExchangeAreDiscarded)
{
    RunMenu(CThermalDlg::ID_TAX_RATES, [&](CDialog& open) {
        QPushButton* read = open.Item<QPushButton>(CTaxRateDlg::IDC_READ);
        std::thread user = WhileTheRegisterAnswers([&] {
            PostedInput::Click(read);
            PostedInput::Click(read);
            PostedInput::CloseBox(&open);
        });
        Click(open, CTaxRateDlg::IDC_READ);
        user.join();
        // The event loop would now deliver whatever was kept.
        QCoreApplication::processEvents();
        EXPECT_TRUE(open.isVisible()) << "the close box took effect after the exchange";
        EXPECT_EQ(Requests(), Sent{"$v"});
        // Once the answer is in, the button takes clicks again.
        ClearRequests();
        PostedInput::Click(read);
        QCoreApplication::processEvents();
        EXPECT_EQ(Requests(), Sent{"$v"});
    });
    EXPECT_EQ(Requests(), Sent{"$v"});
}

TEST_F(BusyExchangeTest, WaitCursorDuringTheExchangeRestoredAfterItAlsoAfterAFailure)
{
    for (const bool fails : {false, true}) {
        SCOPED_TRACE(fails ? "failing" : "answered");
        Prompts().messages.clear();
        std::optional<Qt::CursorShape> duringExchange;
        std::optional<Qt::CursorShape> inDialog;
        RunMenu(CThermalDlg::ID_TAX_RATES, [&](CDialog& open) {
            inDialog = OverrideShape();
            if (fails) {
                WithSimulator([](ECRSimulator& sim) {
                    SimFaults faults;
                    faults.replyDelayMs = 300;
                    faults.badChecksumEvery = 1;
                    sim.SetFaults(faults);
                });
            }
            // Looks while the windows repaint during the exchange.
            QTimer::singleShot(0, [&] { duringExchange = OverrideShape(); });
            Click(open, CTaxRateDlg::IDC_READ);
            EXPECT_EQ(OverrideShape(), std::nullopt);
            EXPECT_FALSE(BusyState::Active());
        });
        EXPECT_EQ(inDialog, std::nullopt) << "the menu command's wait cursor over the open dialog";
        EXPECT_EQ(duringExchange, Qt::WaitCursor);
        EXPECT_EQ(OverrideShape(), std::nullopt);
        if (fails) {
            ASSERT_EQ(Prompts().messages.size(), 1U);
            EXPECT_EQ(Prompts().messages[0].text, "Greska u komunikaciji\nInvalid Command!");
            EXPECT_FALSE(Prompts().messages[0].busy) << "the message waits with the wait cursor";
        } else {
            EXPECT_TRUE(Prompts().messages.empty());
        }
    }
}

}  // namespace
