#include "sim/SimulatorHost.h"

#include "sim/ECRSimulator.h"
#include "sim/SimFileDescriptor.h"
#include "sim/SimPseudoTerminal.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/prctl.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <mutex>
#include <thread>

namespace {
constexpr std::int64_t kIdlePollMicros = 20000;
// Received bytes the paced line may hold before the host stops reading: the
// client's writes then wait in the pseudo-terminal, as they would in a UART's
// transmit buffer, instead of piling up here.
constexpr std::size_t kMaxInboundPending = 4096;

std::int64_t MonotonicMicros()
{
    using namespace std::chrono;
    return duration_cast<microseconds>(steady_clock::now().time_since_epoch()).count();
}

// The host's local calendar time, counted as if it were UTC, at monotonic time 0.
std::int64_t LocalSecondsAtZero()
{
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return static_cast<std::int64_t>(now) + local.tm_gmtoff - MonotonicMicros() / 1000000;
}

struct FileCloser {
    void operator()(std::FILE* file) const
    {
        if (file != nullptr && file != stdout && file != stderr) {
            std::fclose(file);
        }
    }
};
}  // namespace

struct SimulatorHost::Impl {
    explicit Impl(Options opts) : options(std::move(opts)), simulator(&MonotonicMicros, LocalSecondsAtZero())
    {
        SimFaults faults;
        faults.baudRate = options.baudRate;
        simulator.SetFaults(faults);
        simulator.SetPrintMilliseconds(options.printMilliseconds);
    }

    void Serve();
    bool WriteOut(std::string& pending);

    Options options;
    mutable std::mutex mutex;
    ECRSimulator simulator;
    std::unique_ptr<std::FILE, FileCloser> journalFile;
    std::unique_ptr<SimPseudoTerminal> terminal;
    SimFileDescriptor wakeRead;
    SimFileDescriptor wakeWrite;
    std::atomic<bool> stopping{false};
    std::atomic<bool> running{false};
    std::thread thread;
};

SimulatorHost::SimulatorHost() : SimulatorHost(Options{}) {}

SimulatorHost::SimulatorHost(Options options) : m_impl(std::make_unique<Impl>(std::move(options))) {}

SimulatorHost::~SimulatorHost()
{
    Stop();
}

bool SimulatorHost::Start(std::string* error)
{
    if (m_impl->running) {
        return true;
    }
    if ((!m_impl->options.journalPath.empty() || m_impl->options.journalStream != nullptr) && !m_impl->journalFile) {
        const std::string& path = m_impl->options.journalPath;
        std::FILE* file = m_impl->options.journalStream;
        if (file == nullptr) {
            file = path == "-" ? stdout : std::fopen(path.c_str(), "a");
        }
        if (file == nullptr) {
            if (error != nullptr) {
                *error = "cannot open journal " + path;
            }
            return false;
        }
        m_impl->journalFile.reset(file);
        std::lock_guard lock(m_impl->mutex);
        m_impl->simulator.Journal().SetListener([file](const std::string& text) {
            std::fwrite(text.data(), 1, text.size(), file);
            std::fflush(file);
        });
    }
    auto terminal = std::make_unique<SimPseudoTerminal>();
    if (!terminal->Open(m_impl->options.linkPath, error)) {
        return false;
    }
    int pipeFds[2];
    if (::pipe2(pipeFds, O_CLOEXEC | O_NONBLOCK) != 0) {
        if (error != nullptr) {
            *error = "pipe failed";
        }
        return false;
    }
    m_impl->wakeRead.Reset(pipeFds[0]);
    m_impl->wakeWrite.Reset(pipeFds[1]);
    m_impl->terminal = std::move(terminal);
    m_impl->stopping = false;
    m_impl->running = true;
    m_impl->thread = std::thread([impl = m_impl.get()] { impl->Serve(); });
    return true;
}

void SimulatorHost::Stop()
{
    if (!m_impl->thread.joinable()) {
        return;
    }
    m_impl->stopping = true;
    const char wake = 1;
    [[maybe_unused]] const ssize_t written = ::write(m_impl->wakeWrite.Get(), &wake, 1);
    m_impl->thread.join();
    m_impl->running = false;
    m_impl->terminal.reset();
    m_impl->wakeRead.Reset();
    m_impl->wakeWrite.Reset();
}

bool SimulatorHost::Running() const
{
    return m_impl->running;
}

std::string SimulatorHost::DevicePath() const
{
    return m_impl->terminal ? m_impl->terminal->SlavePath() : std::string();
}

std::vector<std::string> SimulatorHost::Requests() const
{
    std::lock_guard lock(m_impl->mutex);
    return m_impl->simulator.Requests();
}

void SimulatorHost::ClearRequests()
{
    std::lock_guard lock(m_impl->mutex);
    m_impl->simulator.ClearRequests();
}

std::string SimulatorHost::Journal() const
{
    std::lock_guard lock(m_impl->mutex);
    return m_impl->simulator.Journal().Text();
}

void SimulatorHost::WithSimulator(const std::function<void(ECRSimulator&)>& action)
{
    std::lock_guard lock(m_impl->mutex);
    action(m_impl->simulator);
}

void SimulatorHost::Impl::Serve()
{
    const int master = terminal->Master();
    std::string pending;  // bytes due but not yet accepted by the line
    // A paced line is only as honest as its wake-ups: no timer slack, and
    // poll times to the microsecond.
    ::prctl(PR_SET_TIMERSLACK, 1UL);
    while (!stopping) {
        std::int64_t waitMicros = kIdlePollMicros;
        bool readMore = true;
        {
            std::lock_guard lock(mutex);
            if (const auto next = simulator.NextOutputTime()) {
                waitMicros = std::clamp<std::int64_t>(*next - MonotonicMicros(), 0, kIdlePollMicros);
            }
            readMore = simulator.InboundPending() < kMaxInboundPending;
        }
        const short events = static_cast<short>((readMore ? POLLIN : 0) | (pending.empty() ? 0 : POLLOUT));
        pollfd fds[2] = {{master, events, 0}, {wakeRead.Get(), POLLIN, 0}};
        const timespec timeout{static_cast<time_t>(waitMicros / 1000000), static_cast<long>(waitMicros % 1000000) * 1000};
        if (::ppoll(fds, 2, &timeout, nullptr) < 0 && errno != EINTR) {
            break;
        }
        if ((fds[1].revents & POLLIN) != 0) {
            break;
        }
        if ((fds[0].revents & POLLIN) != 0) {
            char buffer[4096];
            const ssize_t count = ::read(master, buffer, sizeof buffer);
            if (count > 0) {
                std::lock_guard lock(mutex);
                simulator.Receive(std::string_view(buffer, static_cast<std::size_t>(count)));
            }
        }
        {
            std::lock_guard lock(mutex);
            pending += simulator.TakeOutput();
        }
        if (!pending.empty() && !WriteOut(pending)) {
            break;
        }
    }
}

bool SimulatorHost::Impl::WriteOut(std::string& pending)
{
    const ssize_t written = ::write(terminal->Master(), pending.data(), pending.size());
    if (written > 0) {
        pending.erase(0, static_cast<std::size_t>(written));
        return true;
    }
    return written < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR);
}
