#include "sim/SimulatorHost.h"

#include "sim/ECRSimulator.h"
#include "sim/SimSocket.h"
#ifdef THERMAL_SIM_HOST
#include "sim/SimPseudoTerminal.h"
#endif

#ifndef _WIN32
#include "serial/platform/PreciseWait.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/prctl.h>
#include <unistd.h>
#endif

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <mutex>
#include <thread>

namespace {
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
#ifdef _WIN32
    localtime_s(&local, &now);
    const std::int64_t localAsUtc = _mkgmtime(&local);
#else
    localtime_r(&now, &local);
    const std::int64_t localAsUtc = timegm(&local);
#endif
    return localAsUtc - MonotonicMicros() / 1000000;
}

struct FileCloser {
    void operator()(std::FILE* file) const
    {
        if (file != nullptr && file != stdout && file != stderr) {
            std::fclose(file);
        }
    }
};

// Waits for the descriptors; a negative time waits until one is ready.
// precise: the wait ends within microseconds of its time, not when the
// kernel gets round to waking the thread.
int Wait(pollfd* fds, std::size_t count, std::int64_t waitMicros, bool precise)
{
#ifdef _WIN32
    (void)precise;
    const int ms = waitMicros < 0 ? -1 : static_cast<int>((waitMicros + 999) / 1000);
    return SocketApi::Poll(fds, count, ms);
#else
    // A paced line is only as honest as its wake-ups: times to the microsecond.
    int ready = 0;
    if (precise && waitMicros >= 0) {
        ready = PreciseWait::Until(fds, count, PreciseWait::Clock::now() + std::chrono::microseconds(waitMicros));
    } else {
        const timespec timeout{static_cast<time_t>(waitMicros / 1000000),
                               static_cast<long>(waitMicros % 1000000) * 1000};
        ready = ::ppoll(fds, count, waitMicros < 0 ? nullptr : &timeout, nullptr);
    }
    return ready < 0 && errno == EINTR ? 0 : ready;
#endif
}

// "HOST:PORT" or "[v6]:PORT" split; false when it is not that.
bool SplitHostPort(const std::string& text, std::string& host, int& port)
{
    const std::size_t colon = text.rfind(':');
    if (colon == std::string::npos || colon + 1 == text.size()) {
        return false;
    }
    host = text.substr(0, colon);
    if (host.size() >= 2 && host.front() == '[' && host.back() == ']') {
        host = host.substr(1, host.size() - 2);
    }
    try {
        std::size_t used = 0;
        port = std::stoi(text.substr(colon + 1), &used);
        return used == text.size() - colon - 1 && port >= 0 && port <= 65535;
    } catch (const std::exception&) {
        return false;
    }
}
}  // namespace

struct SimulatorHost::Impl {
    explicit Impl(Options opts) : options(std::move(opts)), simulator(&MonotonicMicros, LocalSecondsAtZero())
    {
        SimFaults faults;
        faults.baudRate = options.baudRate;
        simulator.SetFaults(faults);
        simulator.SetPrintMilliseconds(options.printMilliseconds);
    }

    bool OpenLine(std::string* error);
    void Serve();
    // The line's bytes; 0 when a TCP client went away, -1 when nothing is there now.
    long ReadLine(char* buffer, std::size_t size);
    // False when the line failed for good (a pseudo-terminal).
    bool WriteOut(std::string& pending);
    // A TCP client is gone: the next one may come; what it had pending goes.
    void DropClient(std::string& pending);

    Options options;
    mutable std::mutex mutex;
    ECRSimulator simulator;
    std::unique_ptr<std::FILE, FileCloser> journalFile;
#ifdef THERMAL_SIM_HOST
    std::unique_ptr<SimPseudoTerminal> terminal;
#endif
    SimSocket listener;
    SimSocket client;
    std::string listenAddress;
    SimSocket wakeRead;
    SimSocket wakeWrite;
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

bool SimulatorHost::Impl::OpenLine(std::string* error)
{
    const auto fail = [error](const std::string& why) {
        if (error != nullptr) {
            *error = why;
        }
        return false;
    };
    if (!options.listen.empty()) {
        std::string host;
        int port = 0;
        if (!SplitHostPort(options.listen, host, port)) {
            return fail("cannot listen on " + options.listen + ": HOST:PORT expected");
        }
        int bound = 0;
        std::string why;
        listener.Reset(SocketApi::Listen(host, port, bound, why));
        if (!listener.Valid()) {
            return fail("cannot listen on " + options.listen + ": " + why);
        }
        SocketApi::SetNonBlocking(listener.Get(), true);
        const bool ipv6 = host.find(':') != std::string::npos;
        listenAddress = (ipv6 ? "[" + host + "]" : host) + ":" + std::to_string(bound);
        return true;
    }
#ifdef THERMAL_SIM_HOST
    auto opened = std::make_unique<SimPseudoTerminal>();
    if (!opened->Open(options.linkPath, error)) {
        return false;
    }
    terminal = std::move(opened);
    return true;
#else
    return fail("there are no pseudo-terminals here: listen on TCP instead");
#endif
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
    if (!m_impl->OpenLine(error)) {
        return false;
    }
    SocketHandle wake[2] = {SocketApi::kInvalid, SocketApi::kInvalid};
#ifdef _WIN32
    const bool paired = SocketApi::Pair(wake[0], wake[1]);
#else
    const bool paired = ::pipe2(wake, O_CLOEXEC | O_NONBLOCK) == 0;
#endif
    if (!paired) {
        if (error != nullptr) {
            *error = "no wake-up channel for the serving thread";
        }
        return false;
    }
    m_impl->wakeRead.Reset(wake[0]);
    m_impl->wakeWrite.Reset(wake[1]);
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
#ifdef _WIN32
    SocketApi::Send(m_impl->wakeWrite.Get(), &wake, 1);
#else
    [[maybe_unused]] const ssize_t written = ::write(m_impl->wakeWrite.Get(), &wake, 1);
#endif
    m_impl->thread.join();
    m_impl->running = false;
#ifdef THERMAL_SIM_HOST
    m_impl->terminal.reset();
#endif
    m_impl->client.Reset();
    m_impl->listener.Reset();
    m_impl->wakeRead.Reset();
    m_impl->wakeWrite.Reset();
}

bool SimulatorHost::Running() const
{
    return m_impl->running;
}

std::string SimulatorHost::DevicePath() const
{
#ifdef THERMAL_SIM_HOST
    if (m_impl->terminal) {
        return m_impl->terminal->SlavePath();
    }
#endif
    return std::string();
}

std::string SimulatorHost::ListenAddress() const
{
    return m_impl->listenAddress;
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
#ifndef _WIN32
    // A paced line is only as honest as its wake-ups: no timer slack.
    ::prctl(PR_SET_TIMERSLACK, 1UL);
#endif
    std::string pending;  // bytes due but not yet accepted by the line
    while (!stopping) {
        // Nothing due: sleep until the line or the wake-up brings something.
        std::int64_t waitMicros = -1;
        bool readMore = true;
        bool replyEnds = false;
        {
            std::lock_guard lock(mutex);
            if (const auto next = simulator.NextOutputTime()) {
                waitMicros = std::max<std::int64_t>(*next - MonotonicMicros(), 0);
                // The host waits for the end of a reply, so that byte goes
                // out on time; the ones before it may be a little late.
                replyEnds = next == simulator.OutputEndTime();
            }
            readMore = simulator.InboundPending() < kMaxInboundPending;
        }
        SocketHandle line = client.Get();
#ifdef THERMAL_SIM_HOST
        if (terminal) {
            line = terminal->Master();
        }
#endif
        pollfd fds[3];
        std::size_t count = 0;
        fds[count++] = {wakeRead.Get(), POLLIN, 0};
        const std::size_t lineAt = count;
        if (line != SocketApi::kInvalid) {
            fds[count++] = {line, static_cast<short>((readMore ? POLLIN : 0) | (pending.empty() ? 0 : POLLOUT)), 0};
        }
        const std::size_t listenerAt = count;
        if (listener.Valid()) {
            fds[count++] = {listener.Get(), POLLIN, 0};
        }
        if (Wait(fds, count, waitMicros, replyEnds) < 0) {
            break;
        }
        if ((fds[0].revents & POLLIN) != 0) {
            break;
        }
        if (listener.Valid() && (fds[listenerAt].revents & POLLIN) != 0) {
            const SocketHandle accepted = SocketApi::Accept(listener.Get());
            // One client at a time, as on a serial line: a second is turned away.
            if (accepted != SocketApi::kInvalid && client.Valid()) {
                SocketApi::Close(accepted);
            } else if (accepted != SocketApi::kInvalid) {
                SocketApi::SetNonBlocking(accepted, true);
                client.Reset(accepted);
            }
        }
        if (line != SocketApi::kInvalid && (fds[lineAt].revents & (POLLIN | POLLHUP | POLLERR)) != 0) {
            char buffer[4096];
            const long received = ReadLine(buffer, sizeof buffer);
            if (received > 0) {
                std::lock_guard lock(mutex);
                simulator.Receive(std::string_view(buffer, static_cast<std::size_t>(received)));
            } else if (received == 0) {
                DropClient(pending);
            }
        }
        {
            std::lock_guard lock(mutex);
            pending += simulator.TakeOutput();
        }
        if (listener.Valid() && !client.Valid()) {
            pending.clear();  // nobody to hear it
        } else if (!pending.empty() && !WriteOut(pending)) {
            if (!listener.Valid()) {
                break;  // the pseudo-terminal failed for good
            }
            DropClient(pending);
        }
    }
}

long SimulatorHost::Impl::ReadLine(char* buffer, std::size_t size)
{
#ifdef THERMAL_SIM_HOST
    if (terminal) {
        const ssize_t count = ::read(terminal->Master(), buffer, size);
        return count > 0 ? static_cast<long>(count) : -1;
    }
#endif
    const long count = SocketApi::Receive(client.Get(), buffer, size);
    if (count < 0 && SocketApi::WouldBlock(SocketApi::LastError())) {
        return -1;
    }
    return count < 0 ? 0 : count;
}

bool SimulatorHost::Impl::WriteOut(std::string& pending)
{
#ifdef THERMAL_SIM_HOST
    if (terminal) {
        const ssize_t written = ::write(terminal->Master(), pending.data(), pending.size());
        if (written > 0) {
            pending.erase(0, static_cast<std::size_t>(written));
            return true;
        }
        return written < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR);
    }
#endif
    const long written = SocketApi::Send(client.Get(), pending.data(), pending.size());
    if (written > 0) {
        pending.erase(0, static_cast<std::size_t>(written));
        return true;
    }
    return written < 0 && SocketApi::WouldBlock(SocketApi::LastError());
}

void SimulatorHost::Impl::DropClient(std::string& pending)
{
    client.Reset();
    pending.clear();
}
