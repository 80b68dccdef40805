#pragma once

#include "app/CConSettingDlg.h"
#include "app/CConnectionMonitorDlg.h"
#include "app/CProgressUnivDlg.h"
#include "dialogs/fiscal/CFiscalHeaderDlg.h"
#include "dialogs/fiscal/CReportsDlg.h"
#include "dialogs/fiscal/CSetTimeDlg.h"
#include "dialogs/fiscal/CTaxRateDlg.h"
#include "ecr/commands/ECRDevice.h"
#include "framework/CDialog.h"
#include "serial/SerialSettings.h"
#include "serial/Win32SerialPort.h"

#include <functional>
#include <map>
#include <memory>
#include <string_view>

class QAction;
class QMenu;
class QMenuBar;

// The main window: menu 130, the connection (port, device, log-on) and the
// member dialogs that keep their values for the whole run. Every dialog
// reaches the register through g_pMainDlg->m_pDevice.
//
// A dialog of another area is wired in two small steps:
//   1. a member below, in the marked place of the design's order
//      (e.g. CTaxRateDlg m_taxRateDlg{this};), or nothing for a temporary one;
//   2. one line in WireMenu(), e.g.
//      OnMenuCommand(ID_TAX_RATES, [this] { m_taxRateDlg.DoModal(); });
// OnMenuCommand runs the handler through ActionGuard, like every button.
class CThermalDlg : public CDialog {
    Q_OBJECT

public:
    // Menu 130 command ids.
    static constexpr int ID_CONNECT = 32772;
    static constexpr int ID_SETTINGS = 32776;
    static constexpr int ID_TEST_CONNECTION = 32797;
    static constexpr int ID_FISCALIZE = 32775;
    static constexpr int ID_TAX_RATES = 32781;
    static constexpr int ID_REPORTS = 32782;
    static constexpr int ID_TIME = 32780;
    static constexpr int ID_FISCAL_HEADER = 32779;
    static constexpr int ID_TOTALIZERS = 32800;
    static constexpr int ID_MEMORY_READ = 32786;
    static constexpr int ID_SALE = 32783;
    static constexpr int ID_SALE_FROM_DATABASE = 32796;
    static constexpr int ID_TRANSACTION_START = 32799;
    static constexpr int ID_PLU_LIST = 32771;
    static constexpr int ID_DELETE_ARTICLE = 32785;
    static constexpr int ID_DELETE_ALL_ARTICLES = 32788;
    static constexpr int ID_PLU_REPORTS = 32795;
    static constexpr int ID_ADVERT_TEXT = 32787;
    static constexpr int ID_GRAPHICS = 32793;
    static constexpr int ID_ADVERT_TEST = 32794;
    static constexpr int ID_DISPLAY_TEST = 32798;
    static constexpr int ID_INFO_PRINT = 32801;
    static constexpr int ID_ABOUT = 32774;
    static constexpr int ID_SHOW_MONITOR = 32777;
    static constexpr int IDC_PICTURE = 161;

    // Popup positions on the menu bar.
    enum Popup { Konekcija = 0, Kasa = 1, PLU = 2, Razno = 3, Pomoc = 4 };

    explicit CThermalDlg(QWidget* parent = nullptr);
    ~CThermalDlg() override;

    void OnConnect();
    void OnSettings();
    void OnTestConnection();
    void EnableAfterLogOn();
    // A line (Windows-1250 bytes) on top of the monitor's debug box.
    void ShowDebugMessage(std::string_view text);

    // The menu, for the menu handlers of other areas and for tests.
    QAction* MenuCommand(int id) const;
    QMenu* MenuPopup(Popup position) const;
    // Runs the handler through ActionGuard when the item is chosen.
    void OnMenuCommand(int id, std::function<void()> handler);

    std::unique_ptr<ECRDevice> m_pDevice;  // null until a port has opened
    bool m_bConnected = false;
    int m_nPort = 0;
    int m_nBaud = 1;
    SerialSettings m_settings;
    std::unique_ptr<Win32SerialPort> m_pPort;

    // Member dialogs, in the design's order. Each marked place takes its
    // member when its dialog lands.
    // (CPLUListDialog m_PLUListDlg: articles)
    CConSettingDlg m_conSettingDlg{this};
    CConnectionMonitorDlg m_monitorDlg{this};
    CFiscalHeaderDlg m_fiscalHeaderDlg{this};
    // (CAdvertDlg m_advertDlg: utilities)
    CSetTimeDlg m_setTimeDlg{this};
    CTaxRateDlg m_taxRateDlg{this};
    CReportsDlg m_reportsDlg{this};
    // (CTransactDlg m_transactDlg: articles)
    // (CGrafikaDlg m_grafikaDlg: graphics)
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

    QMenuBar* m_menuBar = nullptr;
    QMenu* m_popups[5] = {};
    std::map<int, QAction*> m_menuItems;
    bool m_bMonitorPlaced = false;
};

// The one main window of the run, set by its constructor.
extern CThermalDlg* g_pMainDlg;
