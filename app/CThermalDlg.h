#pragma once

#include "app/CConSettingDlg.h"
#include "app/CConnectionMonitorDlg.h"
#include "app/CProgressUnivDlg.h"
#include "app/TraceBacklog.h"
#include "dialogs/articles/CPLUListDialog.h"
#include "dialogs/articles/CTransactDlg.h"
#include "dialogs/fiscal/CFiscalHeaderDlg.h"
#include "dialogs/fiscal/CReportsDlg.h"
#include "dialogs/fiscal/CSetTimeDlg.h"
#include "dialogs/fiscal/CTaxRateDlg.h"
#include "dialogs/graphics/CGrafikaDlg.h"
#include "dialogs/utilities/CAdvertDlg.h"
#include "ecr/commands/ECRDevice.h"
#include "ecr/commands/ECRSessionTrace.h"
#include "framework/CDialog.h"
#include "framework/MainMenu.h"
#include "framework/RegisterServices.h"
#include "link/ComPortMap.h"
#include "link/RegisterLink.h"
#include "serial/SerialSettings.h"

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string_view>

class QAction;
class QMenu;
class QMenuBar;

// The main window: menu 130, the connection (port, device, log-on) and the
// member dialogs that keep their values for the whole run. It is the
// RegisterServices the dialogs reach the register through, and the MainMenu
// each dialog area wires its items into (FiscalMenu::Wire and the like).
class CThermalDlg : public CDialog, public RegisterServices, public MainMenu {
    Q_OBJECT

public:
    static constexpr int IDC_PICTURE = 161;

    // Popup positions on the menu bar.
    enum Popup { Konekcija = 0, Kasa = 1, PLU = 2, Razno = 3, Pomoc = 4 };

    explicit CThermalDlg(QWidget* parent = nullptr);
    ~CThermalDlg() override;

    void OnConnect();
    void OnSettings();
    void OnTestConnection();
    void EnableAfterLogOn();
    // A line (Windows-1250 bytes) on top of the monitor's debug box; logged.
    // What is held (TraceTraffic, TraceMessage) goes first, so that the log
    // keeps the order.
    void ShowDebugMessage(std::string_view text) override;

    // The session log: every traffic entry and debug message from now on
    // goes to the file (appended to), and the monitor names it. False with
    // the reason in error.
    bool StartSessionLog(const std::string& path, std::string& error);
    // A traffic entry, held with its time until ShowTraced: then it goes on
    // top of the monitor's traffic box, is decoded and logged, and a frame's
    // line goes on top of the decoded view (empty reads only to the log).
    void TraceTraffic(ECRTrafficDirection direction, std::string_view bytes);
    // The register's message for a reply, held with the traffic; then
    // shown as ShowDebugMessage shows it.
    void TraceMessage(std::string_view text);
    // Shows and logs what is held, in the order it came, the log lines in
    // one write. Called by the engine's wait callback right after a request
    // has been written (the line then carries it and its answer), and from
    // the event loop; an entry held for kMaxHeldMs goes at once with the
    // next one, so that the log never lags the line by a tenth of a second.
    void ShowTraced();
    static constexpr std::int64_t kMaxHeldMs = 50;

    // The menu, for tests.
    QAction* MenuCommand(int id) const;
    QMenu* MenuPopup(Popup position) const;

    // MainMenu
    void OnMenuCommand(int id, std::function<void()> handler) override;
    QWidget* MenuWindow() override { return this; }

    // RegisterServices
    ECRDevice* ConnectedDevice() override { return m_pDevice; }
    CPLUListDialog& PLUListDlg() override { return m_PLUListDlg; }
    CFiscalHeaderDlg& FiscalHeaderDlg() override { return m_fiscalHeaderDlg; }
    CTaxRateDlg& TaxRateDlg() override { return m_taxRateDlg; }
    CSetTimeDlg& SetTimeDlg() override { return m_setTimeDlg; }
    CReportsDlg& ReportsDlg() override { return m_reportsDlg; }
    CAdvertDlg& AdvertDlg() override { return m_advertDlg; }
    CGrafikaDlg& GrafikaDlg() override { return m_grafikaDlg; }
    CTransactDlg& TransactDlg() override { return m_transactDlg; }
    void OpenStoppableRun() override { m_progressDlg.OfferStop(true); }
    void CloseStoppableRun() override { m_progressDlg.OfferStop(false); }
    bool StopRequested() override { return m_progressDlg.StopRequested(); }

    // The connection: its link owns the port and the device; these point
    // into it (null until an attempt has made them).
    ECRDevice* m_pDevice = nullptr;  // null until a port has opened
    bool m_bConnected = false;
    int m_nPort = 0;
    int m_nBaud = 1;
    SerialSettings m_settings;
    SerialPort* m_pPort = nullptr;
    RegisterLink m_link;
    // Where COM1..COM8 lead; set by the application before the window shows.
    ComPortMap m_portMap;

    // Member dialogs, in the design's order. Each marked place takes its
    // member when its dialog lands.
    CPLUListDialog m_PLUListDlg{this};
    CConSettingDlg m_conSettingDlg{this};
    // Owned by no window: a dialog is modal to the window it was opened from
    // and that one's owners, and the monitor stays usable beside it.
    CConnectionMonitorDlg m_monitorDlg;
    CFiscalHeaderDlg m_fiscalHeaderDlg{this};
    CAdvertDlg m_advertDlg{this};
    CSetTimeDlg m_setTimeDlg{this};
    CTaxRateDlg m_taxRateDlg{this};
    CReportsDlg m_reportsDlg{this};
    CTransactDlg m_transactDlg{this};
    CGrafikaDlg m_grafikaDlg{this};
    CProgressUnivDlg m_progressDlg{this};

    // The settings record of a connection attempt.
    static SerialSettings MakeSettings(int port, int baud);

protected:
    bool OnInitDialog() override;
    void showEvent(QShowEvent* event) override;

private:
    void BuildMenu();
    void WireMenu();
    QAction* AddMenuItem(QMenu* popup, int id, const QString& caption);
    void PlaceMonitorBelow();
    void ReportLogFailure();
    // Asks the event loop to ShowTraced, or does it now when the oldest
    // item has been held for kMaxHeldMs.
    void ShowTracedSoon();

    QMenuBar* m_menuBar = nullptr;
    QMenu* m_popups[5] = {};
    std::map<int, QAction*> m_menuItems;
    bool m_bMonitorPlaced = false;
    // Started with the window: times in the decoded view and the log count from here.
    ECRSessionTrace m_sessionTrace;
    TraceBacklog m_traceBacklog;
    bool m_bShowTracedPosted = false;
};

// The one main window of the run, set by its constructor. Only app/ uses it
// (the engine's callbacks); dialogs go through RegisterServices.
extern CThermalDlg* g_pMainDlg;
