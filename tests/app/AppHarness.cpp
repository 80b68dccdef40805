#include "app/AppHarness.h"

#include "framework/TestApplication.h"

#include <QAction>
#include <QCoreApplication>
#include <QMenu>

#include <cstdlib>
#include <stdexcept>

AppHarness::AppHarness()
{
    EnsureTestApplication();
    std::string error;
    if (!m_sim.Start(&error)) {
        throw std::runtime_error("simulated register: " + error);
    }
    setenv("ECR_COM1", m_sim.DevicePath().c_str(), 1);
    m_main = std::make_unique<CThermalDlg>();
    m_main->Create();
    m_main->ShowWindow(true);
    // As the window system does before the user's first click: the windows
    // are shown and the main window is activated.
    QCoreApplication::processEvents();
}

AppHarness::~AppHarness()
{
    m_main.reset();
    unsetenv("ECR_COM1");
}

bool AppHarness::Connect()
{
    Choose(CThermalDlg::ID_CONNECT);
    return m_main->m_bConnected;
}

void AppHarness::Choose(int menuId)
{
    QAction* item = m_main->MenuCommand(menuId);
    if (item == nullptr) {
        throw std::logic_error("no menu item " + std::to_string(menuId));
    }
    QMenu* popup = qobject_cast<QMenu*>(item->parent());
    // A greyed popup cannot be opened, so its items cannot be chosen.
    if (popup != nullptr && !popup->menuAction()->isEnabled()) {
        return;
    }
    item->trigger();
}

bool AppHarness::MenuEnabled(CThermalDlg::Popup popup) const
{
    return m_main->MenuPopup(popup)->menuAction()->isEnabled();
}
