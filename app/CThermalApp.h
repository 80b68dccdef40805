#pragma once

#include "app/CommandLine.h"
#include "link/LinkTarget.h"

#include <QApplication>

#include <memory>

class CThermalDlg;

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
    // The simulated register of --simulator, through the same choice of
    // port that ecrctl and ecrd make for "sim".
    LinkTarget m_simulator;
};
