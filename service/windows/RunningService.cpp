#include "service/windows/RunningService.h"

#include "service/windows/WideText.h"

#include <chrono>

namespace {

// While a stop goes on, the SCM is told so this often, and to wait this long.
constexpr std::chrono::seconds kTick{1};
constexpr DWORD kTickHint = 5000;

}  // namespace

RunningService* RunningService::s_current = nullptr;

RunningService::RunningService(const std::string& name, WindowsService::RunFunction run,
                               WindowsService::StopFunction stop)
    : m_name(ToWide(name)), m_run(std::move(run)), m_stop(std::move(stop))
{
}

bool RunningService::Dispatch()
{
    s_current = this;
    const SERVICE_TABLE_ENTRYW table[] = {{m_name.data(), &RunningService::Main}, {nullptr, nullptr}};
    const bool underScm = StartServiceCtrlDispatcherW(table) != FALSE;
    s_current = nullptr;
    return underScm;
}

void WINAPI RunningService::Main(DWORD, LPWSTR*)
{
    s_current->ServiceMain();
}

void RunningService::ServiceMain()
{
    m_handle = RegisterServiceCtrlHandlerExW(m_name.c_str(), &RunningService::Control, this);
    if (m_handle == nullptr) {
        m_exitCode = 1;
        return;
    }
    Report(SERVICE_START_PENDING, 0, static_cast<DWORD>(WindowsService::kStartLimit.count() * 1000));
    try {
        m_exitCode = m_run([this] {
            // A stop asked while starting (Wine's service manager sends one
            // then) is not undone.
            if (!m_stopAsked) {
                Report(SERVICE_RUNNING, 0, 0);
            }
        });
    } catch (...) {
        m_exitCode = 1;
    }
    std::thread ticker;
    {
        std::lock_guard lock(m_mutex);
        m_returned = true;
        ticker = std::move(m_ticker);
    }
    m_returnedChanged.notify_all();
    if (ticker.joinable()) {
        ticker.join();
    }
    Report(SERVICE_STOPPED, static_cast<DWORD>(m_exitCode), 0);
}

DWORD WINAPI RunningService::Control(DWORD control, DWORD, LPVOID, LPVOID context)
{
    auto* self = static_cast<RunningService*>(context);
    switch (control) {
    case SERVICE_CONTROL_STOP:
    case SERVICE_CONTROL_SHUTDOWN: self->Stop(); return NO_ERROR;
    case SERVICE_CONTROL_INTERROGATE: return NO_ERROR;
    default: return ERROR_CALL_NOT_IMPLEMENTED;
    }
}

// Called on the dispatcher's thread, which must not wait for the program: the
// program is asked once, and a thread of its own tells the SCM that the stop
// goes on until the run function has returned.
void RunningService::Stop()
{
    if (m_stopAsked.exchange(true)) {
        return;
    }
    Report(SERVICE_STOP_PENDING, 0, kTickHint);
    m_stop();
    std::lock_guard started(m_mutex);
    if (m_returned) {
        return;
    }
    m_ticker = std::thread([this] {
        const auto end = std::chrono::steady_clock::now() + WindowsService::kStopLimit;
        std::unique_lock lock(m_mutex);
        // Past the limit the ticks stop, so that the SCM reports a program
        // that does not end instead of waiting for ever.
        while (!m_returnedChanged.wait_for(lock, kTick, [this] { return m_returned; }) &&
               std::chrono::steady_clock::now() < end) {
            lock.unlock();
            Report(SERVICE_STOP_PENDING, 0, kTickHint);
            lock.lock();
        }
    });
}

void RunningService::Report(DWORD state, DWORD exitCode, DWORD waitHint)
{
    std::lock_guard lock(m_statusMutex);
    // Nothing follows the end: a stop that came as the run returned.
    if (m_ended) {
        return;
    }
    m_ended = state == SERVICE_STOPPED;
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
