#pragma once

#include "app/CommandLine.h"

#include <QApplication>

#include <memory>

class SimulatorHost;

// The application object: applies the command line's port mappings, starts
// the simulated register when asked, and runs the main window modally.
class CThermalApp : public QApplication {
    Q_OBJECT

public:
    CThermalApp(int& argc, char** argv, CommandLine options);
    ~CThermalApp() override;

    // The program's exit code.
    int InitInstance();

private:
    CommandLine m_options;
#ifdef THERMAL_SIM_HOST
    std::unique_ptr<SimulatorHost> m_simulator;
#endif
};
