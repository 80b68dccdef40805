#include "support/ChildProcess.h"

#include "serial/platform/SocketApi.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <poll.h>
#include <sstream>
#include <sys/resource.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;

int Remaining(Clock::time_point deadline)
{
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return left > 0 ? static_cast<int>(left) : 0;
}

}  // namespace

ChildProcess::ChildProcess(const std::vector<std::string>& arguments, const Options& options)
{
    const bool logged = !options.logPath.empty();
    int out[2] = {-1, -1};
    int err[2] = {-1, -1};
    if (!logged && (::pipe2(out, O_CLOEXEC) != 0 || ::pipe2(err, O_CLOEXEC) != 0))
        std::abort();
    m_pid = ::fork();
    if (m_pid == 0) {
        if (logged) {
            const int log = ::open(options.logPath.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
            ::dup2(log, STDOUT_FILENO);
            ::dup2(log, STDERR_FILENO);
        } else {
            ::dup2(out[1], STDOUT_FILENO);
            ::dup2(err[1], STDERR_FILENO);
        }
        if (options.fileSizeLimit >= 0) {
            rlimit limit{};
            ::getrlimit(RLIMIT_FSIZE, &limit);
            limit.rlim_cur = static_cast<rlim_t>(options.fileSizeLimit);
            ::setrlimit(RLIMIT_FSIZE, &limit);
        }
        // As a shell starts a program: the signals at their defaults.
        ::signal(SIGXFSZ, SIG_DFL);
        ::signal(SIGPIPE, SIG_DFL);
        for (const auto& [name, value] : options.environment)
            ::setenv(name.c_str(), value.c_str(), 1);
        std::vector<char*> argv;
        for (const std::string& argument : arguments)
            argv.push_back(const_cast<char*>(argument.c_str()));
        argv.push_back(nullptr);
        ::execvp(argv[0], argv.data());
        ::_exit(127);
    }
    if (!logged) {
        ::close(out[1]);
        ::close(err[1]);
        m_out = out[0];
        m_errPipe = err[0];
    }
}

ChildProcess::ChildProcess(const std::vector<std::string>& arguments, const std::string& logPath)
    : ChildProcess(arguments, Options{-1, {}, logPath})
{
}

ChildProcess::~ChildProcess()
{
    if (!m_ended && m_pid > 0) {
        ::kill(m_pid, SIGKILL);
        Reap(true);
    }
    for (const int fd : {m_out, m_errPipe}) {
        if (fd >= 0)
            ::close(fd);
    }
}

void ChildProcess::Drain(int timeoutMs)
{
    if (m_out < 0 && m_errPipe < 0) {
        // Its output goes to a log: nothing to read, only a moment to let pass.
        std::this_thread::sleep_for(std::chrono::milliseconds(std::min(timeoutMs, 10)));
        return;
    }
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        pollfd fds[2] = {{m_out, POLLIN, 0}, {m_errPipe, POLLIN, 0}};
        const int ready = ::poll(fds, 2, Remaining(deadline));
        if (ready <= 0)
            return;
        bool progress = false;
        for (pollfd& fd : fds) {
            if (fd.fd < 0 || fd.revents == 0)
                continue;
            char buffer[4096];
            const ssize_t got = ::read(fd.fd, buffer, sizeof buffer);
            if (got > 0) {
                (fd.fd == m_out ? m_outBuffer : m_err).append(buffer, static_cast<std::size_t>(got));
                progress = true;
            }
        }
        if (!progress || m_outBuffer.find('\n') != std::string::npos)
            return;
    }
}

std::string ChildProcess::ReadLine(int timeoutMs)
{
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    while (m_outBuffer.find('\n') == std::string::npos && Remaining(deadline) > 0) {
        const std::size_t before = m_outBuffer.size() + m_err.size();
        Drain(Remaining(deadline));
        if (m_outBuffer.size() + m_err.size() == before)
            break;
    }
    const std::size_t end = m_outBuffer.find('\n');
    if (end == std::string::npos)
        return {};
    std::string line = m_outBuffer.substr(0, end);
    m_outBuffer.erase(0, end + 1);
    return line;
}

bool ChildProcess::Reap(bool block)
{
    int status = 0;
    pid_t got;
    do {
        got = ::waitpid(m_pid, &status, block ? 0 : WNOHANG);
    } while (got < 0 && errno == EINTR);
    if (got != m_pid)
        return false;
    m_ended = true;
    m_exited = WIFEXITED(status);
    m_code = m_exited ? WEXITSTATUS(status) : -1;
    m_signal = WIFSIGNALED(status) ? WTERMSIG(status) : 0;
    return true;
}

bool ChildProcess::Running()
{
    return !m_ended && !Reap(false);
}

bool ChildProcess::Wait(int timeoutMs)
{
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    while (Running()) {
        if (Remaining(deadline) == 0)
            return false;
        Drain(20);
    }
    Drain(200);
    return true;
}

void ChildProcess::Stop(int signal)
{
    if (Running())
        ::kill(m_pid, signal);
    Wait(10000);
}

void ChildProcess::Kill()
{
    Stop(SIGKILL);
}

bool ChildProcess::Available(const std::string& program)
{
    if (program.find('/') != std::string::npos) {
        return ::access(program.c_str(), X_OK) == 0;
    }
    const char* path = std::getenv("PATH");
    std::string folders = path != nullptr ? path : "";
    std::size_t start = 0;
    while (start <= folders.size()) {
        const std::size_t end = folders.find(':', start);
        const std::string folder = folders.substr(start, end == std::string::npos ? std::string::npos : end - start);
        if (!folder.empty() && ::access((folder + "/" + program).c_str(), X_OK) == 0) {
            return true;
        }
        if (end == std::string::npos) {
            break;
        }
        start = end + 1;
    }
    return false;
}

int ChildProcess::FreePort()
{
    int port = 0;
    std::string why;
    const SocketHandle listener = SocketApi::Listen("127.0.0.1", 0, port, why);
    SocketApi::Close(listener);
    return port;
}

bool ChildProcess::AwaitListening(int port, int timeoutMs)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (std::chrono::steady_clock::now() < deadline) {
        std::string why;
        const SocketHandle probe = SocketApi::Connect("127.0.0.1", port, 200, why);
        if (probe != SocketApi::kInvalid) {
            SocketApi::Close(probe);
            return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return false;
}

bool ChildProcess::AwaitText(const std::string& path, const std::string& text, int timeoutMs)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (std::chrono::steady_clock::now() < deadline) {
        std::ifstream file(path);
        std::stringstream contents;
        contents << file.rdbuf();
        if (contents.str().find(text) != std::string::npos) {
            return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return false;
}
