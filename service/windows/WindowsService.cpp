#include "service/windows/WindowsService.h"

#include "serial/platform/SystemError.h"
#include "serial/platform/WindowsHeader.h"
#include "service/windows/RunningService.h"
#include "service/windows/ScHandle.h"
#include "service/windows/WideText.h"

#include <algorithm>
#include <chrono>
#include <knownfolders.h>
#include <sddl.h>
#include <shlobj.h>
#include <thread>
#include <tlhelp32.h>
#include <vector>

namespace {

std::string Failed(const std::string& what)
{
    const int code = static_cast<int>(GetLastError());
    return what + ": " + SystemError::Text(code) + " (" + std::to_string(code) + ")";
}

std::string StateText(DWORD state)
{
    switch (state) {
    case SERVICE_STOPPED: return "stopped";
    case SERVICE_START_PENDING: return "starting";
    case SERVICE_STOP_PENDING: return "stopping";
    case SERVICE_RUNNING: return "running";
    default: return "in state " + std::to_string(state);
    }
}

// Waits while the service is in `pending`, as the SCM's protocol has it: as
// long as its checkpoint moves on within the wait it asked for, and up to
// `limit` in all. The state it ended in; false when the wait ran out.
bool WaitWhile(SC_HANDLE service, DWORD pending, std::chrono::seconds limit, SERVICE_STATUS_PROCESS& status,
               std::string& error)
{
    const auto end = std::chrono::steady_clock::now() + limit;
    DWORD checkpoint = 0;
    auto progress = std::chrono::steady_clock::now();
    for (;;) {
        DWORD size = 0;
        if (!QueryServiceStatusEx(service, SC_STATUS_PROCESS_INFO, reinterpret_cast<BYTE*>(&status), sizeof status,
                                  &size)) {
            error = Failed("cannot query the service");
            return false;
        }
        if (status.dwCurrentState != pending) {
            return true;
        }
        const auto now = std::chrono::steady_clock::now();
        if (status.dwCheckPoint != checkpoint) {
            checkpoint = status.dwCheckPoint;
            progress = now;
        }
        // The wait it asks for, at least 2 s: a service that does not tell
        // gets that long between checkpoints.
        const auto hint = std::chrono::milliseconds(std::max<DWORD>(status.dwWaitHint, 2000));
        if (now > end || now - progress > hint) {
            error = "the service is still " + StateText(pending) + " after " +
                    std::to_string(std::chrono::duration_cast<std::chrono::seconds>(now - (end - limit)).count()) +
                    " s";
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
}

// The installed service `name`, opened for `access`; none, with the reason.
ScHandle OpenInstalled(const std::string& name, DWORD access, std::string& error)
{
    const ScHandle manager(OpenSCManagerW(nullptr, nullptr, SC_MANAGER_CONNECT));
    if (!manager) {
        error = Failed("cannot open the service manager");
        return nullptr;
    }
    ScHandle service(OpenServiceW(manager.get(), ToWide(name).c_str(), access));
    if (!service) {
        if (GetLastError() == ERROR_SERVICE_DOES_NOT_EXIST) {
            error = "no service named " + name + " is installed";
        } else {
            error = Failed("cannot open the service " + name);
        }
    }
    return service;
}

}  // namespace

bool WindowsService::Install(const std::string& name, const std::string& displayName, const std::string& description,
                             const std::vector<std::string>& commandLine, std::string& error)
{
    const ScHandle manager(OpenSCManagerW(nullptr, nullptr, SC_MANAGER_CONNECT | SC_MANAGER_CREATE_SERVICE));
    if (!manager) {
        error = Failed("cannot open the service manager");
        return false;
    }
    // SERVICE_START: a restart among the failure actions needs it.
    const ScHandle service(CreateServiceW(manager.get(), ToWide(name).c_str(), ToWide(displayName).c_str(),
                                          SERVICE_CHANGE_CONFIG | SERVICE_START | DELETE, SERVICE_WIN32_OWN_PROCESS,
                                          SERVICE_AUTO_START, SERVICE_ERROR_NORMAL,
                                          ToWide(CommandLine(commandLine)).c_str(), nullptr, nullptr, nullptr, nullptr,
                                          nullptr));
    if (!service) {
        if (GetLastError() == ERROR_SERVICE_EXISTS) {
            error = "a service named " + name + " is installed already";
        } else {
            error = Failed("cannot install the service " + name);
        }
        return false;
    }

    std::wstring text = ToWide(description);
    SERVICE_DESCRIPTIONW about{text.data()};
    SC_ACTION actions[] = {{SC_ACTION_RESTART, 5000}, {SC_ACTION_RESTART, 30000}, {SC_ACTION_RESTART, 60000}};
    SERVICE_FAILURE_ACTIONSW failure{};
    failure.dwResetPeriod = 24 * 60 * 60;
    failure.cActions = static_cast<DWORD>(std::size(actions));
    failure.lpsaActions = actions;
    // An end with an error counts as a failure too, not only a crash.
    SERVICE_FAILURE_ACTIONS_FLAG onError{TRUE};
    const struct {
        DWORD level;
        void* value;
        const char* what;
    } settings[] = {{SERVICE_CONFIG_DESCRIPTION, &about, "description"},
                    {SERVICE_CONFIG_FAILURE_ACTIONS, &failure, "restart on failure"},
                    {SERVICE_CONFIG_FAILURE_ACTIONS_FLAG, &onError, "restart after an end with an error"}};
    for (const auto& setting : settings) {
        if (!ChangeServiceConfig2W(service.get(), setting.level, setting.value)) {
            // A service manager that does not know the flag (Wine's) restarts
            // the service after a crash only.
            if (setting.level == SERVICE_CONFIG_FAILURE_ACTIONS_FLAG && GetLastError() == ERROR_INVALID_LEVEL) {
                continue;
            }
            // No service half set up: one that would not be restarted is removed.
            error = Failed("cannot set the " + std::string(setting.what) + " of the service " + name);
            DeleteService(service.get());
            return false;
        }
    }
    return true;
}

bool WindowsService::Uninstall(const std::string& name, std::string& error)
{
    const ScHandle service = OpenInstalled(name, SERVICE_STOP | SERVICE_QUERY_STATUS | DELETE, error);
    if (!service) {
        return false;
    }
    // A service that is starting takes no stop yet.
    SERVICE_STATUS_PROCESS status{};
    if (!WaitWhile(service.get(), SERVICE_START_PENDING, WindowsService::kStartLimit, status, error)) {
        return false;
    }
    SERVICE_STATUS stopped{};
    if (!ControlService(service.get(), SERVICE_CONTROL_STOP, &stopped) && GetLastError() != ERROR_SERVICE_NOT_ACTIVE) {
        error = Failed("cannot stop the service " + name);
        return false;
    }
    if (!WaitWhile(service.get(), SERVICE_STOP_PENDING, WindowsService::kStopLimit, status, error)) {
        return false;
    }
    if (!DeleteService(service.get())) {
        error = Failed("cannot remove the service " + name);
        return false;
    }
    return true;
}

bool WindowsService::Start(const std::string& name, std::string& error)
{
    const ScHandle service = OpenInstalled(name, SERVICE_START | SERVICE_QUERY_STATUS, error);
    if (!service) {
        return false;
    }
    if (!StartServiceW(service.get(), 0, nullptr) && GetLastError() != ERROR_SERVICE_ALREADY_RUNNING) {
        error = Failed("cannot start the service " + name);
        return false;
    }
    SERVICE_STATUS_PROCESS status{};
    if (!WaitWhile(service.get(), SERVICE_START_PENDING, WindowsService::kStartLimit, status, error)) {
        return false;
    }
    if (status.dwCurrentState != SERVICE_RUNNING) {
        const DWORD code = status.dwWin32ExitCode == ERROR_SERVICE_SPECIFIC_ERROR ? status.dwServiceSpecificExitCode
                                                                                  : status.dwWin32ExitCode;
        error = "the service " + name + " is " + StateText(status.dwCurrentState) + " (exit code " +
                std::to_string(code) + ")";
        return false;
    }
    return true;
}

bool WindowsService::StartedByServiceManager()
{
    // The service manager is the parent of every service process it starts.
    const HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) {
        return false;
    }
    std::vector<PROCESSENTRY32W> processes;
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32FirstW(snapshot, &entry); more; more = Process32NextW(snapshot, &entry)) {
        processes.push_back(entry);
    }
    CloseHandle(snapshot);
    const DWORD self = GetCurrentProcessId();
    for (const PROCESSENTRY32W& process : processes) {
        if (process.th32ProcessID != self) {
            continue;
        }
        for (const PROCESSENTRY32W& parent : processes) {
            if (parent.th32ProcessID == process.th32ParentProcessID) {
                return _wcsicmp(parent.szExeFile, L"services.exe") == 0;
            }
        }
    }
    return false;
}

std::optional<int> WindowsService::Run(const std::string& name, RunFunction run, StopFunction stop)
{
    // Elsewhere the dispatcher would fail too, but Wine's only after 10 s.
    if (!StartedByServiceManager()) {
        return std::nullopt;
    }
    RunningService service(name, std::move(run), std::move(stop));
    if (!service.Dispatch()) {
        return std::nullopt;
    }
    return service.ExitCode();
}

std::filesystem::path WindowsService::ProgramDataPath(const std::string& folder, std::string& error)
{
    PWSTR programData = nullptr;
    const HRESULT found = SHGetKnownFolderPath(FOLDERID_ProgramData, 0, nullptr, &programData);
    std::filesystem::path path;
    if (SUCCEEDED(found)) {
        path = std::filesystem::path(programData) / ToWide(folder);
    }
    CoTaskMemFree(programData);
    if (!SUCCEEDED(found)) {
        error = "cannot find the ProgramData folder (" + std::to_string(static_cast<long>(found)) + ")";
    }
    return path;
}

std::filesystem::path WindowsService::ProgramDataFolder(const std::string& folder, std::string& error)
{
    const std::filesystem::path path = ProgramDataPath(folder, error);
    if (path.empty()) {
        return {};
    }
    // P: nothing inherited; OICI: files and folders made in it inherit it.
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(L"D:P(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)", SDDL_REVISION_1,
                                                              &descriptor, nullptr)) {
        error = Failed("cannot make the folder's access list");
        return {};
    }
    SECURITY_ATTRIBUTES attributes{sizeof attributes, descriptor, FALSE};
    const bool made = CreateDirectoryW(path.c_str(), &attributes) != FALSE;
    const DWORD reason = GetLastError();
    LocalFree(descriptor);
    const std::u8string name = path.u8string();
    if (!made && reason != ERROR_ALREADY_EXISTS) {
        SetLastError(reason);
        error = Failed("cannot make " + std::string(name.begin(), name.end()));
        return {};
    }
    if (!std::filesystem::is_directory(path)) {
        error = std::string(name.begin(), name.end()) + " is not a folder";
        return {};
    }
    return path;
}

std::string WindowsService::CommandLine(const std::vector<std::string>& arguments)
{
    std::string line;
    for (const std::string& argument : arguments) {
        if (!line.empty()) {
            line += ' ';
        }
        if (!argument.empty() && argument.find_first_of(" \t\n\v\"") == std::string::npos) {
            line += argument;
            continue;
        }
        // Backslashes are taken literally except before a quote, where each
        // pair is one backslash: those before a quote, and before the closing
        // one, are doubled.
        line += '"';
        std::size_t backslashes = 0;
        for (const char c : argument) {
            if (c == '\\') {
                ++backslashes;
                continue;
            }
            line.append(c == '"' ? 2 * backslashes + 1 : backslashes, '\\');
            backslashes = 0;
            line += c;
        }
        line.append(2 * backslashes, '\\');
        line += '"';
    }
    return line;
}
