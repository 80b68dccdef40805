#pragma once

#include "serial/platform/WindowsHeader.h"
#include "service/windows/WindowsService.h"

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>

// The service of this process while the SCM runs it (WindowsService::Run):
// the SCM's dispatcher on the calling thread, the program's run function on
// the thread the SCM gives the service, and what is told to the SCM: starting
// until the program says it serves, running, stopping (with a checkpoint a
// second) from a stop or the system's shutdown until the run function has
// returned, then stopped with its exit code.
class RunningService {
public:
    RunningService(const std::string& name, WindowsService::RunFunction run, WindowsService::StopFunction stop);

    // Hands this thread to the SCM until the service has stopped. False at
    // once when the SCM did not start this process.
    bool Dispatch();
    int ExitCode() const { return m_exitCode; }

private:
    static void WINAPI Main(DWORD, LPWSTR*);
    static DWORD WINAPI Control(DWORD control, DWORD, LPVOID, LPVOID context);
    void ServiceMain();
    void Stop();
    void Report(DWORD state, DWORD exitCode, DWORD waitHint);

    // ServiceMain gets no context of ours (the control handler does): the
    // one service of the process is found here.
    static RunningService* s_current;

    std::wstring m_name;
    WindowsService::RunFunction m_run;
    WindowsService::StopFunction m_stop;
    SERVICE_STATUS_HANDLE m_handle = nullptr;
    std::mutex m_statusMutex;
    DWORD m_checkpoint = 0;
    bool m_ended = false;
    std::atomic<bool> m_stopAsked{false};
    std::mutex m_mutex;
    std::condition_variable m_returnedChanged;
    bool m_returned = false;
    std::thread m_ticker;
    int m_exitCode = 0;
};
