#pragma once

#include "app/CommandLine.h"

#include <QApplication>

#include <memory>

class CThermalDlg;
class SimulatorHost;

// The application object: applies the command line's port mappings, starts
// the simulated register when asked, opens the session log, and runs the
// main window modally.
class CThermalApp : public QApplication {
    Q_OBJECT

public:
    CThermalApp(int& argc, char** argv, CommandLine options);
    ~CThermalApp() override;

    // The program's exit code.
    int InitInstance();

private:
    // Opens the session log the command line asks for; false when a log
    // named there cannot be written.
    bool StartSessionLog(CThermalDlg& dlg) const;

    CommandLine m_options;
#ifdef THERMAL_SIM_HOST
    std::unique_ptr<SimulatorHost> m_simulator;
#endif
};
