#include "service/windows/WindowsService.h"

#include "serial/platform/SystemError.h"
#include "serial/platform/WindowsHeader.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <knownfolders.h>
#include <mutex>
#include <sddl.h>
#include <shlobj.h>
#include <thread>
#include <tlhelp32.h>
#include <vector>

namespace {

std::wstring Wide(const std::string& text)
{
    return std::filesystem::path(std::u8string(text.begin(), text.end())).wstring();
}

std::string Failed(const std::string& what)
{
    const int code = static_cast<int>(GetLastError());
    return what + ": " + SystemError::Text(code) + " (" + std::to_string(code) + ")";
}

// A handle of the service manager's, closed when it goes.
class ScHandle {
public:
    explicit ScHandle(SC_HANDLE handle) : m_handle(handle) {}
    ~ScHandle()
    {
        if (m_handle != nullptr) {
            CloseServiceHandle(m_handle);
        }
    }
    ScHandle(const ScHandle&) = delete;
    ScHandle& operator=(const ScHandle&) = delete;
    SC_HANDLE Get() const { return m_handle; }
    explicit operator bool() const { return m_handle != nullptr; }

private:
    SC_HANDLE m_handle;
};

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

// How a stop is waited for: the running exchange of every register ends first.
constexpr std::chrono::seconds kStopLimit{120};
// How long a start may take before the program says it serves.
constexpr std::chrono::seconds kStartLimit{60};

// The service of this process while it runs under the SCM. The SCM calls
// ServiceMain and the control handler without a context of ours for the
// first, so the one service lives here.
class RunningService {
public:
    RunningService(std::wstring name, WindowsService::RunFunction run, WindowsService::StopFunction stop)
        : m_name(std::move(name)), m_run(std::move(run)), m_stop(std::move(stop))
    {
    }

    static void WINAPI Main(DWORD, LPWSTR*) { s_current->ServiceMain(); }
    int ExitCode() const { return m_exitCode; }

    static RunningService* s_current;

private:
    void ServiceMain()
    {
        m_handle = RegisterServiceCtrlHandlerExW(m_name.c_str(), &RunningService::Control, this);
        if (m_handle == nullptr) {
            m_exitCode = 1;
            return;
        }
        Report(SERVICE_START_PENDING, 0, static_cast<DWORD>(kStartLimit.count() * 1000));
        m_exitCode = m_run([this] { Report(SERVICE_RUNNING, 0, 0); });
        {
            std::lock_guard lock(m_mutex);
            m_returned = true;
        }
        m_returnedChanged.notify_all();
        if (m_ticker.joinable()) {
            m_ticker.join();
        }
        Report(SERVICE_STOPPED, static_cast<DWORD>(m_exitCode), 0);
    }

    static DWORD WINAPI Control(DWORD control, DWORD, LPVOID, LPVOID context)
    {
        auto* self = static_cast<RunningService*>(context);
        switch (control) {
        case SERVICE_CONTROL_STOP:
        case SERVICE_CONTROL_SHUTDOWN: self->Stop(); return NO_ERROR;
        case SERVICE_CONTROL_INTERROGATE: return NO_ERROR;
        default: return ERROR_CALL_NOT_IMPLEMENTED;
        }
    }

    // Called on the dispatcher's thread, which must not wait for the program:
    // the program is asked once, and a thread of its own tells the SCM that
    // the stop goes on until the run function has returned.
    void Stop()
    {
        if (m_stopAsked.exchange(true)) {
            return;
        }
        Report(SERVICE_STOP_PENDING, 0, kTickHint);
        m_stop();
        m_ticker = std::thread([this] {
            const auto end = std::chrono::steady_clock::now() + kStopLimit;
            std::unique_lock lock(m_mutex);
            // Past the limit the ticks stop, so that the SCM reports a
            // program that does not end instead of waiting for ever.
            while (!m_returnedChanged.wait_for(lock, kTick, [this] { return m_returned; }) &&
                   std::chrono::steady_clock::now() < end) {
                lock.unlock();
                Report(SERVICE_STOP_PENDING, 0, kTickHint);
                lock.lock();
            }
        });
    }

    void Report(DWORD state, DWORD exitCode, DWORD waitHint)
    {
        std::lock_guard lock(m_statusMutex);
        SERVICE_STATUS status{};
        status.dwServiceType = SERVICE_WIN32_OWN_PROCESS;
        status.dwCurrentState = state;
        status.dwControlsAccepted = state == SERVICE_RUNNING ? SERVICE_ACCEPT_STOP | SERVICE_ACCEPT_SHUTDOWN : 0;
        // A program's own exit code is a service-specific one.
        status.dwWin32ExitCode = exitCode == 0 ? NO_ERROR : ERROR_SERVICE_SPECIFIC_ERROR;
        status.dwServiceSpecificExitCode = exitCode;
        const bool pending = state == SERVICE_START_PENDING || state == SERVICE_STOP_PENDING;
        status.dwCheckPoint = pending ? ++m_checkpoint : 0;
        status.dwWaitHint = waitHint;
        SetServiceStatus(m_handle, &status);
    }

    static constexpr std::chrono::seconds kTick{1};
    static constexpr DWORD kTickHint = 5000;

    std::wstring m_name;
    WindowsService::RunFunction m_run;
    WindowsService::StopFunction m_stop;
    SERVICE_STATUS_HANDLE m_handle = nullptr;
    std::mutex m_statusMutex;
    DWORD m_checkpoint = 0;
    std::atomic<bool> m_stopAsked{false};
    std::mutex m_mutex;
    std::condition_variable m_returnedChanged;
    bool m_returned = false;
    std::thread m_ticker;
    int m_exitCode = 0;
};

RunningService* RunningService::s_current = nullptr;

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
    const ScHandle service(CreateServiceW(manager.Get(), Wide(name).c_str(), Wide(displayName).c_str(),
                                          SERVICE_CHANGE_CONFIG | SERVICE_START | DELETE, SERVICE_WIN32_OWN_PROCESS,
                                          SERVICE_AUTO_START, SERVICE_ERROR_NORMAL,
                                          Wide(CommandLine(commandLine)).c_str(), nullptr, nullptr, nullptr, nullptr,
                                          nullptr));
    if (!service) {
        if (GetLastError() == ERROR_SERVICE_EXISTS) {
            error = "a service named " + name + " is installed already";
        } else {
            error = Failed("cannot install the service " + name);
        }
        return false;
    }

    std::wstring text = Wide(description);
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
        if (!ChangeServiceConfig2W(service.Get(), setting.level, setting.value)) {
            // A service manager that does not know the flag (Wine's) restarts
            // the service after a crash only.
            if (setting.level == SERVICE_CONFIG_FAILURE_ACTIONS_FLAG && GetLastError() == ERROR_INVALID_LEVEL) {
                continue;
            }
            // No service half set up: one that would not be restarted is removed.
            error = Failed("cannot set the " + std::string(setting.what) + " of the service " + name);
            DeleteService(service.Get());
            return false;
        }
    }
    return true;
}

bool WindowsService::Uninstall(const std::string& name, std::string& error)
{
    const ScHandle manager(OpenSCManagerW(nullptr, nullptr, SC_MANAGER_CONNECT));
    if (!manager) {
        error = Failed("cannot open the service manager");
        return false;
    }
    const ScHandle service(
        OpenServiceW(manager.Get(), Wide(name).c_str(), SERVICE_STOP | SERVICE_QUERY_STATUS | DELETE));
    if (!service) {
        if (GetLastError() == ERROR_SERVICE_DOES_NOT_EXIST) {
            error = "no service named " + name + " is installed";
        } else {
            error = Failed("cannot open the service " + name);
        }
        return false;
    }
    SERVICE_STATUS_PROCESS status{};
    SERVICE_STATUS stopped{};
    if (!ControlService(service.Get(), SERVICE_CONTROL_STOP, &stopped) && GetLastError() != ERROR_SERVICE_NOT_ACTIVE) {
        error = Failed("cannot stop the service " + name);
        return false;
    }
    if (!WaitWhile(service.Get(), SERVICE_STOP_PENDING, kStopLimit, status, error)) {
        return false;
    }
    if (!DeleteService(service.Get())) {
        error = Failed("cannot remove the service " + name);
        return false;
    }
    return true;
}

bool WindowsService::Start(const std::string& name, std::string& error)
{
    const ScHandle manager(OpenSCManagerW(nullptr, nullptr, SC_MANAGER_CONNECT));
    if (!manager) {
        error = Failed("cannot open the service manager");
        return false;
    }
    const ScHandle service(OpenServiceW(manager.Get(), Wide(name).c_str(), SERVICE_START | SERVICE_QUERY_STATUS));
    if (!service) {
        error = Failed("cannot open the service " + name);
        return false;
    }
    if (!StartServiceW(service.Get(), 0, nullptr) && GetLastError() != ERROR_SERVICE_ALREADY_RUNNING) {
        error = Failed("cannot start the service " + name);
        return false;
    }
    SERVICE_STATUS_PROCESS status{};
    if (!WaitWhile(service.Get(), SERVICE_START_PENDING, kStartLimit, status, error)) {
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
    RunningService service(Wide(name), std::move(run), std::move(stop));
    RunningService::s_current = &service;
    std::wstring serviceName = Wide(name);
    const SERVICE_TABLE_ENTRYW table[] = {{serviceName.data(), &RunningService::Main}, {nullptr, nullptr}};
    // Returns once the service has stopped; fails at once in a process the
    // SCM did not start.
    const bool underScm = StartServiceCtrlDispatcherW(table) != FALSE;
    RunningService::s_current = nullptr;
    if (!underScm) {
        return std::nullopt;
    }
    return service.ExitCode();
}

std::filesystem::path WindowsService::ProgramDataFolder(const std::string& folder, std::string& error)
{
    PWSTR programData = nullptr;
    const HRESULT found = SHGetKnownFolderPath(FOLDERID_ProgramData, 0, nullptr, &programData);
    std::filesystem::path path;
    if (SUCCEEDED(found)) {
        path = std::filesystem::path(programData) / Wide(folder);
    }
    CoTaskMemFree(programData);
    if (!SUCCEEDED(found)) {
        error = "cannot find the ProgramData folder (" + std::to_string(static_cast<long>(found)) + ")";
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
    if (!made && reason != ERROR_ALREADY_EXISTS) {
        SetLastError(reason);
        const std::u8string name = path.u8string();
        error = Failed("cannot make " + std::string(name.begin(), name.end()));
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
