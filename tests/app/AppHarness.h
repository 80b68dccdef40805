#pragma once

#include "app/CThermalDlg.h"
#include "framework/RecordingPrompts.h"
#include "sim/SimulatorHost.h"

#include <memory>
#include <string>
#include <vector>

// The whole program for a GUI test: a simulated register on COM1 (its pty
// through ECR_COM1), the main window initialised and shown, and every
// message box answered and recorded.
//
//   AppHarness app;
//   ASSERT_TRUE(app.Connect());
//   app.Choose(CThermalDlg::ID_TAX_RATES);   // with a ScopedModalDriver for the dialog
//   EXPECT_EQ(app.Sim().Requests(), (std::vector<std::string>{"$v"}));
class AppHarness {
public:
    AppHarness();
    ~AppHarness();
    AppHarness(const AppHarness&) = delete;
    AppHarness& operator=(const AppHarness&) = delete;

    CThermalDlg& Main() { return *m_main; }
    SimulatorHost& Sim() { return m_sim; }
    RecordingPrompts& Prompts() { return m_prompts; }

    // "Povezi"; true when the main window is then connected.
    bool Connect();
    // Chooses a menu item as the user would (greyed items do nothing).
    void Choose(int menuId);
    bool MenuEnabled(CThermalDlg::Popup popup) const;

private:
    RecordingPrompts m_prompts;
    SimulatorHost m_sim;
    std::unique_ptr<CThermalDlg> m_main;
};
