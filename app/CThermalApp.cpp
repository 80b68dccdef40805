#include "app/CThermalApp.h"

#include "app/CThermalDlg.h"
#include "app/ThermalArt.h"
#include "serial/platform/ComPortMap.h"
#ifdef THERMAL_SIM_HOST
#include "sim/SimulatorHost.h"
#endif

#include <QFont>

#include <cstdio>
#include <string>
#include <utility>

CThermalApp::CThermalApp(int& argc, char** argv, CommandLine options)
    : QApplication(argc, argv), m_options(std::move(options))
{
    setApplicationName(QStringLiteral("thermal"));
    setOrganizationName(QStringLiteral("Kadmar"));
    setWindowIcon(ThermalArt::Icon());
    QFont dialogFont = font();
    dialogFont.setPointSize(9);
    setFont(dialogFont);
}

CThermalApp::~CThermalApp() = default;

int CThermalApp::InitInstance()
{
    for (const std::string& mapping : m_options.PortMappings()) {
        ComPortMap::Apply(mapping);
    }
    if (m_options.Simulator()) {
#ifndef THERMAL_SIM_HOST
        std::fprintf(stderr, "thermal: the simulated register is not available in this build\n");
        return 1;
#else
        SimulatorHost::Options simulator;
        simulator.baudRate = m_options.SimulatorBaud();
        m_simulator = std::make_unique<SimulatorHost>(simulator);
        std::string error;
        if (!m_simulator->Start(&error)) {
            std::fprintf(stderr, "thermal: the simulated register did not start: %s\n", error.c_str());
            return 1;
        }
        ComPortMap::SetDevicePath(1, m_simulator->DevicePath());
#endif
    }

    CThermalDlg dlg;
    dlg.DoModal();
    return 0;
}
