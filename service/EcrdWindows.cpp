#include "service/EcrdWindows.h"

#include "ecr/commands/Utf8Path.h"
#include "serial/platform/WindowsHeader.h"
#include "service/EcrdProgram.h"
#include "service/StopRequest.h"
#include "service/registers/LocalTime.h"
#include "service/windows/WideText.h"
#include "service/windows/WindowsService.h"
#include "version/ThermalVersion.h"

#include <cstdio>
#include <ctime>
#include <fcntl.h>
#include <filesystem>
#include <io.h>
#include <sys/stat.h>
#include <vector>

namespace {

constexpr const char* kService = "ecrd";
// ecrd.log past this many bytes is begun anew at the next start (the one
// before is kept as ecrd.log.old).
constexpr std::uintmax_t kLogLimit = 1024 * 1024;

StopRequest g_stop;

BOOL WINAPI OnConsoleControl(DWORD event)
{
    switch (event) {
    case CTRL_C_EVENT: g_stop.Ask("Ctrl+C"); return TRUE;
    case CTRL_BREAK_EVENT: g_stop.Ask("Ctrl+Break"); return TRUE;
    default:
        // The console closes, or its user logs off: Windows ends the process
        // as soon as this returns, so it waits here until ecrd has stopped
        // and its main returns (or Windows' own time limit ends it).
        g_stop.Ask("the console is closing");
        Sleep(INFINITE);
        return TRUE;
    }
}

std::string ProgramPath()
{
    std::vector<wchar_t> buffer(32768);
    GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    return FromWide(buffer.data());
}

// Under the service manager nobody reads standard output or error: both go
// to ecrd.log in ecrd's folder, each start marked with its time.
void WriteOutputToLog()
{
    std::string error;
    const std::filesystem::path folder = WindowsService::ProgramDataFolder(kService, error);
    if (folder.empty())
        return;
    const std::filesystem::path log = folder / L"ecrd.log";
    std::error_code ignored;
    if (std::filesystem::file_size(log, ignored) > kLogLimit && !ignored)
        std::filesystem::rename(log, folder / L"ecrd.log.old", ignored);
    // A service starts without standard handles, and the C runtime then may
    // have given stdout and stderr no file descriptor at all (-2; Wine's
    // does), which freopen does not take back. So the log is opened as
    // descriptors 1 and 2 and the streams are pointed at them.
    const int file = _wopen(log.c_str(), _O_WRONLY | _O_CREAT | _O_APPEND | _O_TEXT, _S_IREAD | _S_IWRITE);
    if (file < 0)
        return;
    const bool moved = _dup2(file, 1) == 0 && _dup2(file, 2) == 0;
    _close(file);
    if (!moved)
        return;
#if defined(__MINGW32__) && !defined(_UCRT)
    stdout->_file = 1;
    stderr->_file = 2;
#else
    if (_wfreopen(log.c_str(), L"a", stdout) == nullptr || _wfreopen(log.c_str(), L"a", stderr) == nullptr)
        return;
#endif
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    std::setvbuf(stderr, nullptr, _IONBF, 0);
    const std::tm local = LocalTime(std::time(nullptr));
    char when[32];
    std::strftime(when, sizeof when, "%Y-%m-%d %H:%M:%S", &local);
    std::fprintf(stderr, "ecrd: %s: %s, started by the service manager\n", when, ThermalVersion::Line("ecrd").c_str());
}

}  // namespace

std::string EcrdWindows::DefaultStateDirectory()
{
    std::string error;
    const std::filesystem::path folder = WindowsService::ProgramDataPath(kService, error);
    if (folder.empty())
        std::fprintf(stderr, "ecrd: %s\n", error.c_str());
    return Utf8Name(folder);
}

int EcrdWindows::InstallService(const std::string& configPath)
{
    std::string error;
    const std::string config = Utf8Name(std::filesystem::absolute(Utf8Path(configPath)));
    if (WindowsService::ProgramDataFolder(kService, error).empty() ||
        !WindowsService::Install(kService, "Thermal ecrd",
                                 "Serves the shop's fiscal cash registers to point-of-sale programs over a local "
                                 "HTTP interface; every receipt printed exactly once. Configuration: " +
                                     config,
                                 {ProgramPath(), "--config", config}, error)) {
        std::fprintf(stderr, "ecrd: %s\n", error.c_str());
        return 1;
    }
    std::printf(
        "ecrd: the service %s is installed, to start with Windows (net start %s starts it now), with the "
        "configuration %s\n",
        kService, kService, config.c_str());
    return 0;
}

int EcrdWindows::UninstallService()
{
    std::string error;
    if (!WindowsService::Uninstall(kService, error)) {
        std::fprintf(stderr, "ecrd: %s\n", error.c_str());
        return 1;
    }
    std::printf("ecrd: the service %s is stopped and removed\n", kService);
    return 0;
}

int EcrdWindows::Run(const std::string& configPath)
{
    if (WindowsService::StartedByServiceManager())
        WriteOutputToLog();
    const auto run = [&](const std::function<void()>& onStarted) {
        const std::string defaultState = DefaultStateDirectory();
        ServiceConfig config;
        if (defaultState.empty() || !EcrdProgram::ReadConfig(configPath, defaultState, config))
            return 2;
        // ecrd's own folder gets its access list before anything is put in it.
        std::string error;
        if (config.stateDirectory == defaultState && WindowsService::ProgramDataFolder(kService, error).empty()) {
            std::fprintf(stderr, "ecrd: %s\n", error.c_str());
            return 1;
        }
        return EcrdProgram::Serve(config, onStarted, [] { return g_stop.Wait(); });
    };
    if (const std::optional<int> code =
            WindowsService::Run(kService, run, [] { g_stop.Ask("a stop from the service manager"); }))
        return *code;
    SetConsoleCtrlHandler(OnConsoleControl, TRUE);
    return run([] {});
}
