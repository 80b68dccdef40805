#pragma once

#include "WireRunner.h"

#include <cstdint>
#include <memory>
#include <string>

class CDialog;
class CThermalApp;
class CThermalDlg;

// The scenarios as a user carries them out in the program's windows: the
// program starts with its monitor shown and its session log on, "Povezi"
// logs on to COM1 (the register's device), and the operation's dialog is
// opened from the menu and its buttons clicked, the file prompts answered
// with the scenario's files. The stopwatch runs from the click that starts
// the operation until the windows have painted its end. The window system
// is the one QT_QPA_PLATFORM names (offscreen without a display).
class ThermalRunner : public WireRunner {
public:
    // Session logs go to files in logFolder, one per run.
    ThermalRunner(std::int32_t baud, std::string logFolder);
    ~ThermalRunner() override;
    ThermalRunner(const ThermalRunner&) = delete;
    ThermalRunner& operator=(const ThermalRunner&) = delete;

    std::string Name() const override;
    bool Run(const WireScenario& scenario, const std::string& devicePath, WireSpan& span,
             std::string& error) override;

private:
    // Clicks the operation's buttons in its open dialog, timed.
    static void Operate(const WireScenario& scenario, CDialog& dialog, WireSpan& span);
    // What the windows show of a finished operation; empty when it is what the scenario asked for.
    static std::string Outcome(const WireScenario& scenario, CThermalDlg& main);

    int m_argc = 1;
    char m_programName[16] = "thermal";
    char* m_argv[2] = {m_programName, nullptr};
    std::unique_ptr<CThermalApp> m_app;
    std::int32_t m_baud;
    std::string m_logFolder;
    int m_runs = 0;
};
