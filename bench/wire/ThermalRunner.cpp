#include "ThermalRunner.h"

#include "ScenarioPrompts.h"

#include "app/CThermalApp.h"
#include "app/CThermalDlg.h"
#include "dialogs/graphics/CGrafikaDlg.h"
#include "dialogs/utilities/CMemeReadDlg.h"

#include <QAbstractButton>
#include <QEventLoop>
#include <QTimer>
#include <QTreeWidget>

#include <cstdio>
#include <filesystem>

namespace {

using Operation = WireScenario::Operation;

// Long enough for a window manager to map and frame new windows.
constexpr int kSettleMs = 300;

// Runs the window system for a while, outside the stopwatch: windows shown,
// placed and painted before the user reaches for a button.
void Settle()
{
    QEventLoop loop;
    QTimer::singleShot(kSettleMs, &loop, &QEventLoop::quit);
    loop.exec();
}

void Click(CDialog& dialog, int id)
{
    dialog.Item<QAbstractButton>(id)->click();
}

int MenuCommandOf(Operation operation)
{
    switch (operation) {
    case Operation::GenerateArticles:
    case Operation::ImportArticles:
    case Operation::ListArticles: return MainMenu::ID_PLU_LIST;
    case Operation::DumpMemory: return MainMenu::ID_MEMORY_READ;
    case Operation::UploadLogo: return MainMenu::ID_GRAPHICS;
    }
    return 0;
}

// The newest line of the monitor's debug box.
std::string NewestDebugLine(const CThermalDlg& main)
{
    const std::string text = main.m_monitorDlg.DebugText();
    return text.substr(0, text.find("\r\n"));
}

std::uintmax_t FileSize(const std::string& path)
{
    std::error_code error;
    const std::uintmax_t size = std::filesystem::file_size(path, error);
    return error ? 0 : size;
}

}  // namespace

ThermalRunner::ThermalRunner(std::int32_t baud, std::string logFolder)
    : m_app(std::make_unique<CThermalApp>(m_argc, m_argv, CommandLine())), m_baud(baud),
      m_logFolder(std::move(logFolder))
{
}

ThermalRunner::~ThermalRunner() = default;

std::string ThermalRunner::Name() const
{
    return "thermal (" + QGuiApplication::platformName().toStdString() + ")";
}

bool ThermalRunner::Run(const WireScenario& scenario, const std::string& devicePath, WireSpan& span,
                        std::string& error)
{
    ScenarioPrompts prompts(scenario);
    CThermalDlg main;
    main.m_portMap.Map(1, devicePath);
    main.Create();
    main.ShowWindow(true);
    // On, as a user has it.
    const std::string logPath = m_logFolder + "/thermal-" + std::to_string(++m_runs) + ".log";
    if (!main.StartSessionLog(logPath, error)) {
        return false;
    }
    main.m_nBaud = m_baud == 9600 ? 0 : 1;
    Settle();
    main.MenuCommand(MainMenu::ID_CONNECT)->trigger();
    if (!main.m_bConnected) {
        error = "no log-on on " + devicePath;
        return false;
    }
    if (scenario.operation == Operation::GenerateArticles) {
        main.m_PLUListDlg.m_nTestFirst = 1;
        main.m_PLUListDlg.m_nTestLast = scenario.articles;
    }

    const CDialog::ModalDriver previous = CDialog::SetModalDriver([&](CDialog& dialog) {
        Settle();
        Operate(scenario, dialog, span);
        Settle();
    });
    main.MenuCommand(MenuCommandOf(scenario.operation))->trigger();
    CDialog::SetModalDriver(previous);

    if (!prompts.Messages().isEmpty()) {
        error = "message box: " + prompts.Messages().join(QStringLiteral(" | ")).toStdString();
        return false;
    }
    if (!span.Complete()) {
        error = "the operation's dialog did not open";
        return false;
    }
    error = Outcome(scenario, main);
    return error.empty();
}

void ThermalRunner::Operate(const WireScenario& scenario, CDialog& dialog, WireSpan& span)
{
    switch (scenario.operation) {
    case Operation::GenerateArticles:
        span.Start();
        Click(dialog, CPLUListDialog::IDC_SEND_TEST);
        break;
    case Operation::ImportArticles:
        span.Start();
        Click(dialog, CPLUListDialog::IDC_IMPORT);
        break;
    case Operation::ListArticles:
        span.Start();
        Click(dialog, CPLUListDialog::IDC_READ);
        Click(dialog, CPLUListDialog::IDC_SAVE);
        break;
    case Operation::DumpMemory:
        Click(dialog, CMemeReadDlg::IDC_AREA_PROGRAM + scenario.memoryArea);
        span.Start();
        Click(dialog, CMemeReadDlg::IDC_READ);
        Click(dialog, CMemeReadDlg::IDC_SAVE);
        break;
    case Operation::UploadLogo:
        // Choosing the picture comes before the stopwatch, as it would.
        Click(dialog, CGrafikaDlg::IDC_LOAD);
        Settle();
        span.Start();
        Click(dialog, CGrafikaDlg::IDC_SEND);
        break;
    }
    // The end the user waits for: the windows painted with it.
    QCoreApplication::processEvents();
    span.Stop();
}

std::string ThermalRunner::Outcome(const WireScenario& scenario, CThermalDlg& main)
{
    switch (scenario.operation) {
    case Operation::GenerateArticles:
    case Operation::ImportArticles: {
        const std::string line = NewestDebugLine(main);
        unsigned long sent = 0;
        unsigned long total = 0;
        if (std::sscanf(line.c_str(), "Poslato %lu od %lu", &sent, &total) != 2 || sent != total ||
            (scenario.operation == Operation::GenerateArticles && static_cast<long>(total) != scenario.articles)) {
            return "the upload ended with: " + line;
        }
        return {};
    }
    case Operation::ListArticles: {
        const int rows = main.m_PLUListDlg.Item<QTreeWidget>(CPLUListDialog::IDC_LIST)->topLevelItemCount();
        if (rows != scenario.articles || FileSize(scenario.outputPath) == 0) {
            return "the list shows " + std::to_string(rows) + " articles, its file holds " +
                   std::to_string(FileSize(scenario.outputPath)) + " bytes";
        }
        return {};
    }
    case Operation::DumpMemory:
        if (FileSize(scenario.outputPath) == 0) {
            return "no memory file";
        }
        return {};
    case Operation::UploadLogo: return {};
    }
    return {};
}
