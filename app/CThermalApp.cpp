#include "app/CThermalApp.h"

#include "app/CThermalDlg.h"
#include "app/SessionLogFiles.h"
#include "app/ThermalArt.h"
#include "framework/SerbianQtTexts.h"
#include "link/ComPortMap.h"
#ifdef THERMAL_SIM_HOST
#endif

#include <QFont>
#include <QSettings>

#include <cstdio>
#include <ctime>
#include <string>
#include <utility>

CThermalApp::CThermalApp(int& argc, char** argv, CommandLine options)
    : QApplication(argc, argv), m_options(std::move(options))
{
    setApplicationName(QStringLiteral("thermal"));
    setOrganizationName(QStringLiteral("Kadmar"));
    // The installed menu entry (packaging/), so that a desktop shows the
    // running program's windows under the entry's name and icon.
    setDesktopFileName(QStringLiteral("rs.kadmar.thermal"));
    setWindowIcon(ThermalArt::Icon());
    QFont dialogFont = font();
    dialogFont.setPointSize(9);
    setFont(dialogFont);
    // Owned by the application, it serves every window of the run.
    installTranslator(new SerbianQtTexts(this));
}

CThermalApp::~CThermalApp() = default;

int CThermalApp::InitInstance()
{
    // Where COM1..COM8 lead: the command line's mappings, then the simulated
    // register on COM1, ahead of ECR_COMn.
    ComPortMap portMap;
    for (const std::string& mapping : m_options.PortMappings()) {
        portMap.Apply(mapping);
    }
    if (m_options.Simulator()) {
        LinkTarget::SimulatorOptions simulator;
        simulator.baudRate = m_options.SimulatorBaud();
        std::string error;
        switch (m_simulator.Resolve(LinkTarget::kSimulator, simulator, error)) {
        case LinkTarget::Problem::None: break;
        case LinkTarget::Problem::NoSimulator:
        case LinkTarget::Problem::BadName:
            std::fprintf(stderr, "thermal: the simulated register is not available in this build\n");
            return 1;
        case LinkTarget::Problem::SimulatorFailed:
            std::fprintf(stderr, "thermal: the simulated register did not start: %s\n", error.c_str());
            return 1;
        }
        portMap.MapSimulator(1, m_simulator.Address()->DeviceName());
    }

    CThermalDlg dlg;
    dlg.m_portMap = portMap;
    if (!StartSessionLog(dlg)) {
        return 1;
    }
    // The monitor's size and place are all the program keeps between runs
    // (under "Kadmar", as the organisation above names it).
    QSettings settings;
    dlg.m_monitorDlg.LoadPlacement(settings);
    dlg.DoModal();
    dlg.m_monitorDlg.SavePlacement(settings);
    return 0;
}

bool CThermalApp::StartSessionLog(CThermalDlg& dlg) const
{
    if (m_options.NoLog()) {
        dlg.m_monitorDlg.SetLogState("iskljucen (--no-log)");
        return true;
    }
    std::string error;
    if (!m_options.LogPath().empty()) {
        // A log asked for by name that cannot be written is a mistake to mend before the session.
        if (!dlg.StartSessionLog(m_options.LogPath(), error)) {
            std::fprintf(stderr, "thermal: no session log: %s\n", error.c_str());
            return false;
        }
        return true;
    }
    std::string path;
    if (!SessionLogFiles::Prepare(SessionLogFiles::DefaultFolder(), std::time(nullptr), path, error) ||
        !dlg.StartSessionLog(path, error)) {
        // The program is still of use without its log; the monitor says why there is none.
        dlg.m_monitorDlg.SetLogState("nije otvoren: " + error);
        std::fprintf(stderr, "thermal: no session log: %s\n", error.c_str());
    }
    return true;
}
