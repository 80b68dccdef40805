#pragma once

#include "app/AppHarness.h"
#include "ecr/protocol/ECRSleep.h"
#include "framework/CDialog.h"
#include "sim/ECRSimulator.h"

#include <gtest/gtest.h>

#include <QString>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

// The program logged on to a simulated register (AppHarness), with every
// pause of the program recorded instead of waited. Dialog tests derive from
// it, click, and check what the register received.
class QAbstractItemView;
class QModelIndex;

class RegisterSession : public testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    CThermalDlg& Main() { return m_app->Main(); }
    ECRDevice& Device() { return *Main().m_pDevice; }
    RecordingPrompts& Prompts() { return m_app->Prompts(); }

    // Payloads of the requests the register received since the last clear.
    std::vector<std::string> Requests() const { return m_app->Sim().Requests(); }
    void ClearRequests() { m_app->Sim().ClearRequests(); }

    // Sets the register's clock to the start of this minute.
    void SetRegisterClock(int year, int month, int day, int hour, int minute);
    void WithSimulator(const std::function<void(ECRSimulator&)>& action) { m_app->Sim().WithSimulator(action); }
    // The register stops answering, ENQ included; the engine gives up after
    // one unanswered status wait instead of ten.
    void SilenceRegister();

    // Runs the dialog modally; the driver gets it open and shown.
    static int RunModal(CDialog& dialog, const std::function<void(CDialog&)>& driver);
    // Chooses a menu command of the main window with the driver for every
    // modal dialog it opens.
    void RunMenu(int commandId, const std::function<void(CDialog&)>& driver);

    static void Click(CDialog& dialog, int id);
    static QString Text(const CDialog& dialog, int id) { return dialog.GetItemText(id); }
    static void Type(CDialog& dialog, int id, const QString& text);
    // The tooltip a list shows with the pointer resting on the cell; empty for none.
    static QString ToolTipAt(QAbstractItemView& list, const QModelIndex& cell);

    // Every ECRSleep of the program since SetUp, in milliseconds.
    static std::vector<std::int32_t>& Sleeps();

private:
    std::unique_ptr<AppHarness> m_app;
    ECRSleepFunction m_previousSleep = nullptr;
};
