#include "app/CThermalDlg.h"

#include "app/AppCallbacks.h"
#include "app/CAboutDlg.h"
#include "app/MonitorPlacement.h"
#include "app/ThermalArt.h"
#include "dialogs/articles/ArticlesMenu.h"
#include "dialogs/fiscal/FiscalMenu.h"
#include "dialogs/graphics/GraphicsMenu.h"
#include "dialogs/utilities/UtilitiesMenu.h"
#include "ecr/protocol/CommError.h"
#include "ecr/protocol/CommErrorText.h"
#include "framework/ActionGuard.h"
#include "framework/ScreenFit.h"
#include "framework/UiPrompts.h"

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QShowEvent>
#include <QTimer>

#include <stdexcept>
#include <string>

CThermalDlg* g_pMainDlg = nullptr;

namespace {

// Time the window system takes to show and activate the main window.
constexpr int kMonitorToFrontMs = 300;

}  // namespace

CThermalDlg::CThermalDlg(QWidget* parent) : CDialog(parent)
{
    setWindowTitle(QStringLiteral("Kadmar Thermal"));
    setWindowIcon(ThermalArt::Icon());
    // An application window: on the task bar, with minimise but no resizing.
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint);
    BuildMenu();
    SetDialogSize(293, 78);
    // The banner keeps its own size; centred on the place the design gives it,
    // which grows with the dialog font.
    QLabel* banner = AddPicture(IDC_PICTURE, {28, 14, 229, 44}, ThermalArt::Banner());
    banner->move(DluToPixels({28, 14, 229, 44}).center() - banner->rect().center() +
                 QPoint(0, m_menuBar->sizeHint().height()));
    WireMenu();
    m_conSettingDlg.SetPortMap(&m_portMap);
    g_pMainDlg = this;
    RegisterServices::Install(this);

    // A communication error anywhere also goes on top of the monitor's debug
    // box; a failed operation must not leave the progress window up.
    ActionGuard::SetDebugHook([this](const QString& line) { ShowDebugMessage(CodePage::FromUnicodeForDisplay(line)); });
    ActionGuard::SetAfterErrorHook([this] {
        if (m_progressDlg.isVisible()) {
            m_progressDlg.ShowWindow(false);
        }
    });
}

CThermalDlg::~CThermalDlg()
{
    ShowTraced();
    ActionGuard::SetDebugHook({});
    ActionGuard::SetAfterErrorHook({});
    // The device holds a pointer to the port: device first, then the port.
    m_pDevice = nullptr;
    m_pPort = nullptr;
    m_link.Release();
    if (g_pMainDlg == this) {
        g_pMainDlg = nullptr;
        RegisterServices::Install(nullptr);
    }
}

bool CThermalDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    m_progressDlg.SetRange(0, 100);
    // Port and speed are not stored between runs: every run starts on COM1 at 19200 baud.
    m_nPort = 0;
    m_nBaud = 1;
    m_monitorDlg.ShowWindow(true);
    return true;
}

void CThermalDlg::showEvent(QShowEvent* event)
{
    CDialog::showEvent(event);
    if (!m_bMonitorPlaced && !event->spontaneous()) {
        m_bMonitorPlaced = true;
        PlaceMonitorBelow();
    }
}

void CThermalDlg::PlaceMonitorBelow()
{
    if (!m_monitorDlg.isVisible()) {
        return;
    }
    // Where the user left it in an earlier run, as far as this screen allows.
    if (m_monitorDlg.PlacementLoaded()) {
        ScreenFit::KeepOnScreen(m_monitorDlg);
        return;
    }
    const QRect area = ScreenFit::AvailableArea(*this);
    if (area.isEmpty()) {
        return;
    }
    const int caption = ScreenFit::FrameMargins(*this).top();
    const MonitorPlacement::Frames placed =
        MonitorPlacement::Arrange(area, {ScreenFit::Frame(*this), ScreenFit::Frame(m_monitorDlg)},
                                  ScreenFit::MinimumFrame(m_monitorDlg), caption + m_menuBar->height(), caption / 2);
    ScreenFit::Place(*this, placed.main);
    ScreenFit::Place(m_monitorDlg, placed.monitor);
    // Over the main window's lower part on a small screen: the monitor in
    // front (once the window system has shown the main window, which comes
    // to the front itself), the main window's caption and menu bar in view.
    if (placed.monitor.intersects(placed.main)) {
        QTimer::singleShot(kMonitorToFrontMs, &m_monitorDlg, [this] {
            if (m_monitorDlg.isVisible()) {
                m_monitorDlg.ShowWindow(true);
            }
        });
    }
}

QAction* CThermalDlg::AddMenuItem(QMenu* popup, int id, const QString& caption)
{
    QAction* action = popup->addAction(caption);
    action->setData(id);
    m_menuItems[id] = action;
    return action;
}

void CThermalDlg::BuildMenu()
{
    m_menuBar = new QMenuBar(this);
    m_menuBar->setNativeMenuBar(false);

    QMenu* connection = m_popups[Konekcija] = m_menuBar->addMenu(QStringLiteral("Konekcija"));
    AddMenuItem(connection, ID_CONNECT, QStringLiteral("Povezi"));
    AddMenuItem(connection, ID_SETTINGS, QStringLiteral("Podesavanja"));
    connection->addSeparator();
    AddMenuItem(connection, ID_TEST_CONNECTION, QStringLiteral("Test Konekcije"));

    QMenu* cashRegister = m_popups[Kasa] = m_menuBar->addMenu(QStringLiteral("Kasa"));
    AddMenuItem(cashRegister, ID_FISCALIZE, QStringLiteral("Fiskalizacija"));
    AddMenuItem(cashRegister, ID_TAX_RATES, QStringLiteral("Poreske stope"));
    AddMenuItem(cashRegister, ID_REPORTS, QStringLiteral("Izvestaji"));
    cashRegister->addSeparator();
    AddMenuItem(cashRegister, ID_TIME, QStringLiteral("Vreme"));
    AddMenuItem(cashRegister, ID_FISCAL_HEADER, QStringLiteral("Fisk. Header"));
    cashRegister->addSeparator();
    AddMenuItem(cashRegister, ID_TOTALIZERS, QStringLiteral("Citanje Totalajzera"));
    AddMenuItem(cashRegister, ID_MEMORY_READ, QStringLiteral("Citanje Memorije"));

    QMenu* articles = m_popups[PLU] = m_menuBar->addMenu(QStringLiteral("PLU"));
    AddMenuItem(articles, ID_SALE, QStringLiteral("Prodaja"));
    AddMenuItem(articles, ID_SALE_FROM_DATABASE, QStringLiteral("Prodaja Iz Baze"));
    AddMenuItem(articles, ID_TRANSACTION_START, QStringLiteral("Pocetak Transakcije"));
    AddMenuItem(articles, ID_PLU_LIST, QStringLiteral("Lista"));
    articles->addSeparator();
    AddMenuItem(articles, ID_DELETE_ARTICLE, QStringLiteral("Brisi Artikal"));
    AddMenuItem(articles, ID_DELETE_ALL_ARTICLES, QStringLiteral("Brisi sve artikle"));
    articles->addSeparator();
    AddMenuItem(articles, ID_PLU_REPORTS, QStringLiteral("PLU Izvestaji"));

    QMenu* other = m_popups[Razno] = m_menuBar->addMenu(QStringLiteral("Razno"));
    AddMenuItem(other, ID_ADVERT_TEXT, QStringLiteral("Reklamni tekst"));
    AddMenuItem(other, ID_GRAPHICS, QStringLiteral("Grafika"));
    AddMenuItem(other, ID_ADVERT_TEST, QStringLiteral("Test Reklama"));
    AddMenuItem(other, ID_DISPLAY_TEST, QStringLiteral("Displej Test"));
    AddMenuItem(other, ID_INFO_PRINT, QStringLiteral("Info Print"));

    QMenu* help = m_popups[Pomoc] = m_menuBar->addMenu(QStringLiteral("Pomoc"));
    AddMenuItem(help, ID_ABOUT, QStringLiteral("O Programu"));
    help->addSeparator();
    AddMenuItem(help, ID_SHOW_MONITOR, QStringLiteral("Pokazi Monitor"));

    // Greyed until a register has logged on.
    for (Popup popup : {Kasa, PLU, Razno}) {
        m_popups[popup]->menuAction()->setEnabled(false);
    }
    SetMenuBar(m_menuBar);
}

void CThermalDlg::WireMenu()
{
    OnMenuCommand(ID_CONNECT, [this] { OnConnect(); });
    OnMenuCommand(ID_SETTINGS, [this] { OnSettings(); });
    OnMenuCommand(ID_TEST_CONNECTION, [this] { OnTestConnection(); });
    OnMenuCommand(ID_ABOUT, [this] {
        CAboutDlg about(this);
        about.DoModal();
    });
    OnMenuCommand(ID_SHOW_MONITOR, [this] { m_monitorDlg.ShowWindow(true); });
    // "Test Reklama" (ID_ADVERT_TEST) has no action.

    FiscalMenu::Wire(*this);
    ArticlesMenu::Wire(*this);
    GraphicsMenu::Wire(*this);
    UtilitiesMenu::Wire(*this);
}

QAction* CThermalDlg::MenuCommand(int id) const
{
    auto it = m_menuItems.find(id);
    return it == m_menuItems.end() ? nullptr : it->second;
}

QMenu* CThermalDlg::MenuPopup(Popup position) const
{
    return m_popups[position];
}

void CThermalDlg::OnMenuCommand(int id, std::function<void()> handler)
{
    QAction* action = MenuCommand(id);
    if (action == nullptr) {
        throw std::logic_error("OnMenuCommand: no menu item " + std::to_string(id));
    }
    connect(action, &QAction::triggered, this, [handler = std::move(handler)] { ActionGuard::Run(handler); });
}

SerialSettings CThermalDlg::MakeSettings(int port, int baud)
{
    return RegisterLink::Settings(baud == 0 ? 9600 : 19200, port + 1);
}

void CThermalDlg::OnSettings()
{
    m_conSettingDlg.m_nPort = m_nPort;
    m_conSettingDlg.m_nBaud = m_nBaud;
    if (m_conSettingDlg.DoModal() == IDOK) {
        m_nPort = m_conSettingDlg.m_nPort;
        m_nBaud = m_conSettingDlg.m_nBaud;
    }
}

void CThermalDlg::OnConnect()
{
    if (m_bConnected) {
        return;
    }
    m_settings = MakeSettings(m_nPort, m_nBaud);
    RegisterLink::Reports reports;
    reports.reads = OnPortTraffic;
    reports.messages = OnDeviceMessage;
    reports.requests = OnTraffic;
    reports.progress = OnProgress;
    reports.awaitingAnswer = OnAwaitingAnswer;
    // No message box for a failed log-on, but one line in the debug box says why.
    std::string failure;
    try {
        // A fresh attempt: the link releases the objects of a failed one, device first.
        if (m_link.Open(m_portMap.Resolve(m_settings.PortNumber()), m_settings, reports)) {
            m_bConnected = true;
        } else {
            failure = "kasa ne odgovara";
        }
    } catch (const CommError& error) {
        // A device server says who failed and why; a local port keeps the design's text.
        const bool network = m_link.Address() && m_link.Address()->IsNetwork();
        const std::string problem = network ? m_link.Problem() : std::string();
        failure = CommErrorText(error.code).Data() + (problem.empty() ? "" : " (" + problem + ")");
    }
    m_pPort = m_link.Port();
    m_pDevice = m_link.Device();
    if (m_bConnected) {
        ShowDebugMessage("*** Prijavljivanje - OK ***");
        EnableAfterLogOn();
    } else {
        ShowDebugMessage("*** Prijavljivanje - neuspesno: " + failure + " ***");
    }
}

void CThermalDlg::EnableAfterLogOn()
{
    m_popups[Konekcija]->menuAction()->setEnabled(false);
    for (Popup popup : {Kasa, PLU, Razno}) {
        m_popups[popup]->menuAction()->setEnabled(true);
    }
    m_menuBar->update();
    m_monitorDlg.EnableItem(CConnectionMonitorDlg::IDC_SEND, true);
    m_monitorDlg.EnableItem(CConnectionMonitorDlg::IDC_CLEAR, true);
    m_monitorDlg.UpdateData(true);
}

void CThermalDlg::OnTestConnection()
{
    ThermalMessageBox(QStringLiteral("Prebacite kasu u pregled transmisije (meni 3.7)."));
    // A private port: the connection's own port and settings stay as they are.
    const SerialSettings settings = MakeSettings(m_nPort, m_nBaud);
    const std::unique_ptr<SerialPort> port =
        RegisterLink::MakePort(m_portMap.Resolve(settings.PortNumber()), settings, nullptr);
    port->Open();
    for (int value = 0x00; value <= 0xFF; ++value) {
        port->Write(ECRString(static_cast<unsigned char>(value)));
    }
}

void CThermalDlg::ShowDebugMessage(std::string_view text)
{
    m_traceBacklog.AddMessage(text, m_sessionTrace.ElapsedMs());
    ShowTraced();
}

bool CThermalDlg::StartSessionLog(const std::string& path, std::string& error)
{
    ShowTraced();
    if (!m_sessionTrace.OpenLog(path, "thermal", error)) {
        m_monitorDlg.SetLogState("nije otvoren: " + error);
        return false;
    }
    // Written a batch at a time, by ShowTraced.
    m_sessionTrace.HoldLogLines(true);
    m_monitorDlg.SetLogState(path, true);
    return true;
}

void CThermalDlg::TraceTraffic(ECRTrafficDirection direction, std::string_view bytes)
{
    m_traceBacklog.AddTraffic(direction, bytes, m_sessionTrace.ElapsedMs());
    ShowTracedSoon();
}

void CThermalDlg::TraceMessage(std::string_view text)
{
    m_traceBacklog.AddMessage(text, m_sessionTrace.ElapsedMs());
    ShowTracedSoon();
}

void CThermalDlg::ShowTracedSoon()
{
    if (m_sessionTrace.ElapsedMs() - m_traceBacklog.OldestMs() >= kMaxHeldMs) {
        ShowTraced();
        return;
    }
    // One call posted at a time, however often ShowTraced runs before it.
    if (!m_bShowTracedPosted) {
        m_bShowTracedPosted = true;
        QMetaObject::invokeMethod(
            this,
            [this] {
                m_bShowTracedPosted = false;
                ShowTraced();
            },
            Qt::QueuedConnection);
    }
}

void CThermalDlg::ShowTraced()
{
    if (m_traceBacklog.Empty()) {
        return;
    }
    m_traceBacklog.HandOn([this](const TraceBacklog::Item& item) {
        if (item.message) {
            m_monitorDlg.AddDebugLine(item.bytes);
            m_sessionTrace.Message(std::string_view(item.bytes).substr(0, item.bytes.find('\0')), item.ms);
            return;
        }
        m_monitorDlg.AddTraffic(item.bytes);
        const std::string line = m_sessionTrace.Traffic(item.direction, item.bytes, item.ms);
        // The empty read that ends every input flush says nothing about a frame.
        if (!item.bytes.empty()) {
            m_monitorDlg.AddDecodedLine(line);
        }
    });
    m_sessionTrace.FlushLog();
    ReportLogFailure();
}

void CThermalDlg::ReportLogFailure()
{
    // Said once: the log closes itself when a write fails.
    const std::string failure = m_sessionTrace.TakeLogFailure();
    if (!failure.empty()) {
        m_monitorDlg.SetLogState("prekinut: " + failure);
        const std::string reason = CodePage::FromUnicodeForDisplay(QString::fromStdString(failure));
        m_monitorDlg.AddDebugLine("Dnevnik sesije se vise ne upisuje: " + reason);
    }
}
