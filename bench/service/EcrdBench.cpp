// bench_ecrd: ecrd against simulated registers paced at 19200 baud.
//
// 1. Wire efficiency: the same receipts through ecrctl (one batch over one
//    connection) and through ecrd (one POST each, waited for), each against a
//    fresh register; per row the wall time, the wire time (every byte that
//    crossed the line, at 10 bits) and their ratio. With --wine ECRD_EXE, a
//    row of ecrd.exe under Wine too (WINEPREFIX as scripts/test-windows makes
//    it), its register on COM9: the prefix's com-ports/com9, linked to the
//    paced register's pseudo-terminal.
// 2. Soak: many clients posting receipts to two registers for a while, some
//    of them retried with the same key; afterwards every job must have ended
//    printed, and each register must have printed exactly as many receipts
//    as jobs said so. p50 and p99 latency from the POST to the job's end, and
//    ecrd's memory.
// 3. Consoles: receipts on one register alone, then with consoles (event
//    streams) watching its traffic; the time per receipt of each run, and
//    ecrd's memory idle and with the streams open.
#include "EcrdProcess.h"
#include "cli/EcrCtl.h"
#include "ecr/files/JsonReader.h"
#include "service/http/EdgeAttack.h"
#include "service/http/LoopbackClient.h"
#include "service/http/OpenFileLimit.h"
#include "sim/ECRSimulator.h"
#include "sim/SimulatorHost.h"
#include "support/ProgramRun.h"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <httplib.h>
#include <memory>
#include <mutex>
#include <sstream>
#include <sys/resource.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kBaud = 19200;

const std::string kSale = R"({"lines": [{"name": "Sok", "price": "12.50", "quantity": 2, "taxRate": 1},
    {"name": "Hleb", "price": "45.50", "quantity": 1, "taxRate": 0}], "payments": {"cash": "100"},
    "registerNumber": "1", "cashier": "7"})";

std::unique_ptr<SimulatorHost> PacedRegister()
{
    SimulatorHost::Options options;
    options.baudRate = kBaud;
    auto host = std::make_unique<SimulatorHost>(options);
    std::string error;
    if (!host->Start(&error)) {
        std::fprintf(stderr, "bench_ecrd: %s\n", error.c_str());
        std::exit(1);
    }
    return host;
}

// Seconds the bytes that crossed the line took, 10 bits each.
double WireSeconds(SimulatorHost& host)
{
    std::uint64_t bytes = 0;
    host.WithSimulator([&](ECRSimulator& sim) { bytes = sim.BytesReceived() + sim.BytesSent(); });
    return static_cast<double>(bytes) * 10.0 / kBaud;
}

int Printed(SimulatorHost& host)
{
    int receipts = 0;
    host.WithSimulator([&](ECRSimulator& sim) { receipts = sim.State().receiptsToday; });
    return receipts;
}

double Seconds(Clock::time_point since)
{
    return std::chrono::duration<double>(Clock::now() - since).count();
}

std::string Folder(const std::string& name)
{
    const std::string path =
        (std::filesystem::temp_directory_path() / ("bench-ecrd-" + std::to_string(getpid()) + "-" + name)).string();
    std::filesystem::remove_all(path);
    std::filesystem::create_directories(path);
    return path;
}

// The configuration of registers on these ports, kasa1, kasa2, ...; the state
// in folder, which the program reads after pathPrefix.
std::string Config(const std::string& folder, const std::vector<std::string>& ports, const std::string& pathPrefix)
{
    std::string registers;
    for (std::size_t i = 0; i < ports.size(); ++i)
        registers += std::string(i ? ", " : "") + R"({"id": "kasa)" + std::to_string(i + 1) + R"(", "port": ")" +
                     ports[i] + "\"}";
    return R"({"listen": "127.0.0.1:0", "stateDirectory": ")" + pathPrefix + folder + R"(/state", "registers": [)" +
           registers + "]}";
}

std::string Config(const std::string& folder, const std::vector<SimulatorHost*>& hosts)
{
    std::vector<std::string> ports;
    for (SimulatorHost* host : hosts)
        ports.push_back(host->DevicePath());
    return Config(folder, ports, "");
}

// How ecrd is run: the Linux program, or ecrd.exe under Wine.
struct EcrdFront {
    const char* name = "ecrd";
    std::vector<std::string> command;  // empty: the Linux ecrd
    std::string pathPrefix;            // "Z:" under Wine
    std::string comPort;               // under Wine: the COM port, and
    std::string comLink;               // the link of the prefix it leads to
};

EcrdFront UnderWine(const std::string& ecrdExe)
{
    const char* prefix = std::getenv("WINEPREFIX");
    if (prefix == nullptr || *prefix == '\0') {
        std::fprintf(stderr, "bench_ecrd: --wine needs WINEPREFIX (scripts/test-windows makes one)\n");
        std::exit(2);
    }
    const char* wine = std::getenv("WINE");
    return {"ecrd.exe",
            {wine != nullptr ? wine : "/usr/lib/wine/wine64", ecrdExe},
            "Z:",
            "COM9",
            std::string(prefix) + "/com-ports/com9"};
}

// ecrd started on these registers, or the bench ends saying why.
void StartOrExit(EcrdProcess& ecrd, const std::string& folder, const std::vector<SimulatorHost*>& hosts)
{
    std::string error;
    if (!ecrd.Start(folder, Config(folder, hosts), error)) {
        std::fprintf(stderr, "bench_ecrd: %s\n", error.c_str());
        std::exit(1);
    }
}

// Receipts one after another, waited for; the mean time of one.
double ReceiptsMs(httplib::Client& client, int receipts, const std::string& prefix)
{
    const Clock::time_point start = Clock::now();
    for (int i = 0; i < receipts; ++i) {
        const auto result = client.Post("/registers/kasa1/receipts?wait=60000",
                                        {{"Idempotency-Key", prefix + std::to_string(i)}}, kSale, "application/json");
        if (!result || result->status != 200)
            std::fprintf(stderr, "bench_ecrd: receipt %s%d: %d\n", prefix.c_str(), i, result ? result->status : -1);
    }
    return 1000.0 * Seconds(start) / receipts;
}

struct Row {
    const char* front;
    double wall = 0;
    double wire = 0;
};

void PrintRow(const Row& row, int receipts)
{
    std::printf(
        "%-8s %3d receipts  wall %7.2f s  wire %7.2f s  wire/wall %5.1f %%  per receipt %6.1f ms wall, "
        "%6.1f ms off the wire\n",
        row.front, receipts, row.wall, row.wire, 100.0 * row.wire / row.wall, 1000.0 * row.wall / receipts,
        1000.0 * (row.wall - row.wire) / receipts);
}

Row ThroughEcrctl(int receipts)
{
    auto host = PacedRegister();
    const std::string folder = Folder("ecrctl");
    std::ofstream batch(folder + "/sales.txt");
    for (int i = 0; i < receipts; ++i)
        batch << "begin --register 1 --cashier 7\nsell Sok 12.50 2 1\nsell Hleb 45.50 1 0\nsubtotal\npay 100\n";
    batch.close();
    std::ostringstream out, err;
    const Clock::time_point start = Clock::now();
    const int exitCode =
        EcrCtl::Run({"--port", host->DevicePath(), "--baud", std::to_string(kBaud), "batch", folder + "/sales.txt"},
                    out, err, false);
    Row row{"ecrctl", Seconds(start), WireSeconds(*host)};
    if (exitCode != 0 || Printed(*host) != receipts)
        std::fprintf(stderr, "bench_ecrd: ecrctl exit %d: %s\n", exitCode, err.str().c_str());
    std::filesystem::remove_all(folder);
    return row;
}

Row ThroughEcrd(int receipts, const EcrdFront& front)
{
    auto host = PacedRegister();
    const std::string folder = Folder(front.name);
    std::string port = host->DevicePath();
    if (!front.comLink.empty()) {
        std::filesystem::remove(front.comLink);
        std::filesystem::create_symlink(host->DevicePath(), front.comLink);
        port = front.comPort;
    }
    EcrdProcess ecrd = front.command.empty() ? EcrdProcess() : EcrdProcess(front.command, front.pathPrefix);
    std::string error;
    if (!ecrd.Start(folder, Config(folder, {port}, front.pathPrefix), error)) {
        std::fprintf(stderr, "bench_ecrd: %s\n", error.c_str());
        std::exit(1);
    }
    httplib::Client client("127.0.0.1", ecrd.Port());
    client.set_read_timeout(60, 0);
    // ecrd logged on already; the wire counts from the first sale, as ecrctl's log-on counts in its row.
    const double each = ReceiptsMs(client, receipts, "wire-");
    Row row{front.name, each * receipts / 1000, WireSeconds(*host)};
    // Wine makes Ctrl+C of SIGINT.
    ecrd.Signal(front.command.empty() ? SIGTERM : SIGINT);
    ecrd.Wait();
    if (!front.comLink.empty())
        std::filesystem::remove(front.comLink);
    std::filesystem::remove_all(folder);
    return row;
}

// How the first row's wire efficiency stands to the second's, in points.
void Compare(const Row& row, const Row& other)
{
    const double points = 100.0 * row.wire / row.wall - 100.0 * other.wire / other.wall;
    std::printf("%s's wire efficiency is %.1f points %s %s's\n", row.front, std::abs(points),
                points >= 0 ? "above" : "below", other.front);
}

// What a till waits for each receipt (from its POST to the answer) when its
// customers come a moment apart, the median over the receipts: with the
// register's totals read ahead after each receipt, and read before each.
double TillWaitMs(int receipts, bool ahead)
{
    auto host = PacedRegister();
    const std::string folder = Folder(ahead ? "ahead" : "before");
    EcrdProcess ecrd;
    std::string error;
    std::string config = Config(folder, {host.get()});
    if (!ahead)
        config.insert(config.rfind('}'), R"(, "readTotalsAhead": false)");
    if (!ecrd.Start(folder, config, error)) {
        std::fprintf(stderr, "bench_ecrd: %s\n", error.c_str());
        std::exit(1);
    }
    httplib::Client client("127.0.0.1", ecrd.Port());
    client.set_read_timeout(60, 0);
    std::vector<double> waits;
    for (int i = 0; i < receipts; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));  // the next customer
        const Clock::time_point start = Clock::now();
        const auto result = client.Post("/registers/kasa1/receipts?wait=60000",
                                        {{"Idempotency-Key", "till-" + std::to_string(i)}}, kSale, "application/json");
        waits.push_back(1000.0 * Seconds(start));
        if (!result || result->status != 200)
            std::fprintf(stderr, "bench_ecrd: receipt %d: %d\n", i, result ? result->status : -1);
    }
    ecrd.Signal(SIGTERM);
    ecrd.Wait();
    std::filesystem::remove_all(folder);
    std::sort(waits.begin(), waits.end());
    return waits[waits.size() / 2];
}

long StatusKb(int pid, const std::string& key);

// Milliseconds per request: the median and the 99th percentile.
std::pair<double, double> Spread(std::vector<double> times)
{
    std::sort(times.begin(), times.end());
    return {times[times.size() / 2], times[times.size() * 99 / 100]};
}

// GET /registers/kasa1/status `count` times on one kept connection.
std::vector<double> KeptConnection(int port, const std::string& caFile, int count)
{
    LoopbackClient client(port, caFile);
    const std::string request = "GET /registers/kasa1/status HTTP/1.1\r\nHost: localhost\r\n\r\n";
    std::vector<double> times;
    for (int i = 0; i < count; ++i) {
        const Clock::time_point start = Clock::now();
        if (!client.Send(request) || !client.Receive())
            std::fprintf(stderr, "bench_ecrd: no answer on the kept connection\n");
        times.push_back(1000.0 * Seconds(start));
    }
    return times;
}

// The edge: a request on a kept connection, plain and over TLS, a new TLS
// connection, and the same under a thousand dripping clients and a header
// flood, with ecrd's memory then.
void Edge()
{
    auto host = PacedRegister();
    const std::string folder = Folder("edge");
    const std::string certificate = folder + "/cert.pem";
    const std::string key = folder + "/key.pem";
    if (ProgramRun::MakeCertificate(certificate, key).code != 0) {
        std::fprintf(stderr, "bench_ecrd: no certificate (openssl)\n");
        return;
    }
    OpenFileLimit::Raise();
    for (const bool tls : {false, true}) {
        EcrdProcess ecrd;
        std::string error;
        std::string config = Config(folder, {host.get()});
        if (tls)
            config.insert(config.rfind('}'),
                          R"(, "tls": {"certificate": ")" + certificate + R"(", "key": ")" + key + R"("})");
        if (!ecrd.Start(folder, config, error)) {
            std::fprintf(stderr, "bench_ecrd: %s\n", error.c_str());
            return;
        }
        const std::string ca = tls ? certificate : "";
        const auto [median, p99] = Spread(KeptConnection(ecrd.Port(), ca, 2000));
        std::printf("edge %-5s a request on a kept connection: median %.3f ms, p99 %.3f ms\n", tls ? "tls" : "plain",
                    median, p99);
        if (tls) {
            std::vector<double> connects;
            for (int i = 0; i < 200; ++i) {
                const Clock::time_point start = Clock::now();
                KeptConnection(ecrd.Port(), ca, 1);
                connects.push_back(1000.0 * Seconds(start));
            }
            const auto [connectMedian, connectP99] = Spread(connects);
            std::printf("edge tls   a new connection and its first answer: median %.2f ms, p99 %.2f ms\n",
                        connectMedian, connectP99);
        } else {
            const long idle = StatusKb(ecrd.Pid(), "VmRSS");
            DripClients drip(ecrd.Port(), 1000, std::chrono::seconds(2));
            HeaderFlood flood(ecrd.Port(), 100ull * 1024 * 1024);
            std::this_thread::sleep_for(std::chrono::seconds(1));
            const auto [attacked, attackedP99] = Spread(KeptConnection(ecrd.Port(), "", 500));
            flood.Finish(std::chrono::seconds(120));
            std::printf(
                "edge plain under 1000 dripping clients and a 100 MB header flood: median %.3f ms, p99 %.3f "
                "ms; ecrd %ld kB idle, %ld kB then (VmHWM %ld kB)\n",
                attacked, attackedP99, idle, StatusKb(ecrd.Pid(), "VmRSS"), StatusKb(ecrd.Pid(), "VmHWM"));
        }
        ecrd.Signal(SIGTERM);
        ecrd.Wait();
    }
    std::filesystem::remove_all(folder);
}

// GET path `count` times on a kept connection: the milliseconds of each.
std::vector<double> Gets(int port, const std::string& path, int count)
{
    LoopbackClient client(port);
    const std::string request = "GET " + path + " HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n";
    std::vector<double> times;
    for (int i = 0; i < count; ++i) {
        const Clock::time_point start = Clock::now();
        if (!client.Send(request) || !client.Receive(10000))
            std::fprintf(stderr, "bench_ecrd: no answer to %s\n", path.c_str());
        times.push_back(1000.0 * Seconds(start));
    }
    return times;
}

// What a till or a watcher waits for the service's own answers: the status
// while a 2,000-article import holds the line, /metrics with ten registers,
// /health.
void Watchers()
{
    std::vector<std::unique_ptr<SimulatorHost>> hosts;
    std::vector<SimulatorHost*> registers;
    for (int i = 0; i < 10; ++i) {
        hosts.push_back(PacedRegister());
        registers.push_back(hosts.back().get());
    }
    const std::string folder = Folder("watchers");
    EcrdProcess ecrd;
    std::string error;
    if (!ecrd.Start(folder, Config(folder, registers), error)) {
        std::fprintf(stderr, "bench_ecrd: %s\n", error.c_str());
        return;
    }
    httplib::Client client("127.0.0.1", ecrd.Port());
    std::string articles = R"({"articles": [)";
    for (int i = 0; i < 2000; ++i)
        articles += std::string(i ? "," : "") + R"({"name": "Artikal)" + std::to_string(i) +
                    R"(", "price": "1.00", "taxRate": 1, "unit": 0})";
    articles += "]}";
    const auto import =
        client.Post("/registers/kasa1/articles?wait=0", {{"Idempotency-Key", "import"}}, articles, "application/json");
    if (!import || import->status != 202)
        std::fprintf(stderr, "bench_ecrd: the import did not start: %d\n", import ? import->status : -1);
    std::this_thread::sleep_for(std::chrono::seconds(1));
    const auto [status, statusP99] = Spread(Gets(ecrd.Port(), "/registers/kasa1/status?probe=true", 200));
    const auto [metrics, metricsP99] = Spread(Gets(ecrd.Port(), "/metrics", 200));
    const auto [health, healthP99] = Spread(Gets(ecrd.Port(), "/health", 200));
    std::printf("status during a 2,000-article import: median %.2f ms, p99 %.2f ms\n", status, statusP99);
    std::printf("/metrics with 10 registers: median %.2f ms, p99 %.2f ms\n", metrics, metricsP99);
    std::printf("/health: median %.2f ms, p99 %.2f ms\n", health, healthP99);
    ecrd.Signal(SIGTERM);
    ecrd.Wait();
    std::filesystem::remove_all(folder);
}

// The value of a "Key:   1234 kB" line of /proc/PID/status, in kB.
long StatusKb(int pid, const std::string& key)
{
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind(key + ":", 0) == 0)
            return std::stol(line.substr(key.size() + 1));
    }
    return -1;
}

void Soak(int clients, int seconds)
{
    auto first = PacedRegister();
    auto second = PacedRegister();
    const std::string folder = Folder("soak");
    EcrdProcess ecrd;
    StartOrExit(ecrd, folder, {first.get(), second.get()});
    std::mutex mutex;
    std::vector<double> latencies;
    std::atomic<int> printed[2] = {0, 0};
    std::atomic<int> notPrinted{0}, other{0}, retried{0}, retryMismatch{0}, resent{0};
    const Clock::time_point end = Clock::now() + std::chrono::seconds(seconds);
    std::vector<std::thread> threads;
    for (int c = 0; c < clients; ++c) {
        threads.emplace_back([&, c] {
            httplib::Client client("127.0.0.1", ecrd.Port());
            client.set_read_timeout(120, 0);
            for (int n = 0; Clock::now() < end; ++n) {
                const int reg = (c + n) % 2;
                const std::string key = "c" + std::to_string(c) + "-" + std::to_string(n);
                const std::string path = "/registers/kasa" + std::to_string(reg + 1) + "/receipts?wait=60000";
                const Clock::time_point start = Clock::now();
                auto result = client.Post(path.c_str(), {{"Idempotency-Key", key}}, kSale, "application/json");
                // A request lost on the way (a connection the service had just closed) is sent
                // again with the same key, as a till does: it cannot be carried out twice.
                for (int retry = 0; !result && retry < 3; ++retry) {
                    ++resent;
                    result = client.Post(path.c_str(), {{"Idempotency-Key", key}}, kSale, "application/json");
                }
                JsonValue job;
                std::string parseError;
                JsonReader::Limits limits;
                limits.decimals = true;
                while (result && result->status == 202 && JsonReader::Parse(result->body, job, parseError, limits)) {
                    const std::string poll = "/jobs/" + job.Find("id")->AsString() + "?wait=60000";
                    result = client.Get(poll.c_str());
                    for (int retry = 0; !result && retry < 3; ++retry) {
                        ++resent;
                        result = client.Get(poll.c_str());
                    }
                }
                const double latency = Seconds(start);
                if (!result || !JsonReader::Parse(result->body, job, parseError, limits)) {
                    ++other;
                    std::fprintf(stderr, "bench_ecrd: %s: %s\n", key.c_str(),
                                 result ? result->body.c_str() : httplib::to_string(result.error()).c_str());
                    continue;
                }
                const JsonValue* outcome = job.Find("outcome");
                if (outcome != nullptr && outcome->AsString() == "printed")
                    ++printed[reg];
                else if (outcome != nullptr && outcome->AsString() == "not printed")
                    ++notPrinted;
                else {
                    ++other;
                    std::fprintf(stderr, "bench_ecrd: %s: %s\n", key.c_str(), result->body.c_str());
                }
                {
                    std::lock_guard<std::mutex> lock(mutex);
                    latencies.push_back(latency);
                }
                // Every tenth sale the till did not hear the answer and sends it again.
                if (n % 10 == 0) {
                    ++retried;
                    const auto again = client.Post(path.c_str(), {{"Idempotency-Key", key}}, kSale, "application/json");
                    JsonValue repeat;
                    if (!again || !JsonReader::Parse(again->body, repeat, parseError, limits) ||
                        repeat.Find("id") == nullptr || job.Find("id") == nullptr ||
                        repeat.Find("id")->AsString() != job.Find("id")->AsString())
                        ++retryMismatch;
                }
            }
        });
    }
    long peakKb = 0;
    while (Clock::now() < end) {
        peakKb = std::max(peakKb, StatusKb(ecrd.Pid(), "VmRSS"));
        std::this_thread::sleep_for(std::chrono::seconds(1));
    }
    for (std::thread& thread : threads)
        thread.join();
    const long hwmKb = StatusKb(ecrd.Pid(), "VmHWM");
    ecrd.Signal(SIGTERM);
    ecrd.Wait();
    std::sort(latencies.begin(), latencies.end());
    const auto quantile = [&](double q) {
        return latencies.empty() ? 0.0
                                 : latencies[static_cast<std::size_t>(q * static_cast<double>(latencies.size() - 1))];
    };
    const int registered[2] = {Printed(*first), Printed(*second)};
    std::printf(
        "soak: %d clients, 2 registers, %d s: %zu jobs; printed %d + %d (registers printed %d + %d); "
        "not printed %d; other %d\n",
        clients, seconds, latencies.size(), printed[0].load(), printed[1].load(), registered[0], registered[1],
        notPrinted.load(), other.load());
    const int jobsPrinted = printed[0] + printed[1];
    const int registersPrinted = registered[0] + registered[1];
    std::printf(
        "soak: %d receipts the registers printed that no job reports (printed twice), %d jobs reported "
        "printed that no register printed (lost); %d retries with the same key, %d answered another job; %d "
        "requests lost on the way and sent again\n",
        std::max(0, registersPrinted - jobsPrinted), std::max(0, jobsPrinted - registersPrinted), retried.load(),
        retryMismatch.load(), resent.load());
    std::printf("soak: latency p50 %.2f s, p99 %.2f s, max %.2f s; ecrd memory peak %ld kB (VmHWM %ld kB)\n",
                quantile(0.5), quantile(0.99), latencies.empty() ? 0.0 : latencies.back(), peakKb, hwmKb);
    std::filesystem::remove_all(folder);
}

// The CPU time the process used so far, user and system, in ms.
double CpuMs(int pid)
{
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
    // After the name in parentheses: state, then fields 4 to 13, then utime and stime.
    std::istringstream fields(text.substr(text.rfind(')') + 2));
    std::string field;
    double ticks = 0;
    for (int i = 3; i <= 15 && fields >> field; ++i) {
        if (i >= 14)
            ticks += std::stod(field);
    }
    return 1000.0 * ticks / static_cast<double>(sysconf(_SC_CLK_TCK));
}

// Readers of the event stream watching kasa1, as the console is one, each
// on a thread of its own at the lowest priority: they share the machine
// with the simulated register in this process, and the row measures what
// ecrd does for them, not what they cost here.
class ConsoleReaders {
public:
    ConsoleReaders(int port, int count)
    {
        for (int c = 0; c < count; ++c) {
            m_threads.emplace_back([this, port] {
                setpriority(PRIO_PROCESS, static_cast<id_t>(gettid()), 19);
                httplib::Client stream("127.0.0.1", port);
                stream.set_read_timeout(1, 0);
                while (!m_stop) {
                    stream.Get("/events?watch=kasa1", [this](const char*, std::size_t length) {
                        m_bytes += length;
                        return !m_stop.load();
                    });
                }
            });
        }
        // Every stream subscribed before the receipts start.
        std::this_thread::sleep_for(std::chrono::milliseconds(500));
    }
    ~ConsoleReaders()
    {
        m_stop = true;
        for (std::thread& thread : m_threads)
            thread.join();
    }
    std::uint64_t Bytes() const { return m_bytes; }

private:
    std::atomic<bool> m_stop{false};
    std::atomic<std::uint64_t> m_bytes{0};
    std::vector<std::thread> m_threads;
};

void Consoles(int consoles, int receipts)
{
    auto host = PacedRegister();
    const std::string folder = Folder("consoles");
    EcrdProcess ecrd;
    StartOrExit(ecrd, folder, {host.get()});
    httplib::Client client("127.0.0.1", ecrd.Port());
    client.set_read_timeout(60, 0);
    ReceiptsMs(client, 5, "warm-");
    const long idleKb = StatusKb(ecrd.Pid(), "VmRSS");
    // Rounds with and without the consoles in turn, so that what else the
    // machine does meanwhile weighs on both alike.
    constexpr int kRounds = 5;
    const int perRound = std::max(1, receipts / kRounds);
    double alone = 0, watched = 0, cpuAlone = 0, cpuWatched = 0;
    long peakKb = idleKb;
    std::uint64_t bytes = 0;
    for (int round = 0; round < kRounds; ++round) {
        double cpu = CpuMs(ecrd.Pid());
        alone += ReceiptsMs(client, perRound, "alone-" + std::to_string(round) + "-");
        cpuAlone += CpuMs(ecrd.Pid()) - cpu;
        ConsoleReaders readers(ecrd.Port(), consoles);
        cpu = CpuMs(ecrd.Pid());
        std::atomic<bool> done{false};
        std::thread sampler([&] {
            while (!done) {
                peakKb = std::max(peakKb, StatusKb(ecrd.Pid(), "VmRSS"));
                std::this_thread::sleep_for(std::chrono::milliseconds(100));
            }
        });
        watched += ReceiptsMs(client, perRound, "watched-" + std::to_string(round) + "-");
        cpuWatched += CpuMs(ecrd.Pid()) - cpu;
        done = true;
        sampler.join();
        bytes += readers.Bytes();
    }
    alone /= kRounds;
    watched /= kRounds;
    ecrd.Signal(SIGTERM);
    ecrd.Wait();
    std::printf(
        "consoles: %d receipts alone %.2f ms each; %d with %d consoles watching %.2f ms each (%+.2f ms); "
        "%.1f MB of events read\n",
        perRound * kRounds, alone, perRound * kRounds, consoles, watched, watched - alone,
        static_cast<double>(bytes) / 1e6);
    const int total = perRound * kRounds;
    std::printf("consoles: ecrd's CPU time per receipt %.2f ms alone, %.2f ms with the consoles (%+.2f ms)\n",
                cpuAlone / total, cpuWatched / total, (cpuWatched - cpuAlone) / total);
    std::printf("consoles: ecrd memory idle %ld kB, with the streams at most %ld kB (%+ld kB)\n", idleKb, peakKb,
                peakKb - idleKb);
    std::filesystem::remove_all(folder);
}

}  // namespace

int main(int argc, char** argv)
{
    CLI::App app{"ecrd against simulated registers paced at 19200 baud"};
    int receipts = 20;
    int clients = 50;
    int seconds = 180;
    std::string only;
    std::string wineEcrd;
    app.add_option("--receipts", receipts, "receipts in the wire-efficiency rows")->capture_default_str();
    app.add_option("--clients", clients, "clients in the soak")->capture_default_str();
    app.add_option("--seconds", seconds, "length of the soak")->capture_default_str();
    int consoles = 20;
    int consoleReceipts = 100;
    app.add_option("--consoles", consoles, "event streams in the consoles row")->capture_default_str();
    app.add_option("--console-receipts", consoleReceipts, "receipts in each run of the consoles row")
        ->capture_default_str();
    app.add_option("--only", only, "wire, edge, watchers, soak or consoles")
        ->check(CLI::IsMember({"wire", "edge", "watchers", "soak", "consoles"}));
    app.add_option("--wine", wineEcrd, "ecrd.exe of the Windows build: its wire row under Wine too");
    CLI11_PARSE(app, argc, argv);
    std::signal(SIGPIPE, SIG_IGN);
    if (only.empty() || only == "edge")
        Edge();
    if (only.empty() || only == "watchers")
        Watchers();
    if (only.empty() || only == "wire") {
        const Row ecrctl = ThroughEcrctl(receipts);
        const Row ecrd = ThroughEcrd(receipts, EcrdFront());
        PrintRow(ecrctl, receipts);
        PrintRow(ecrd, receipts);
        Compare(ecrd, ecrctl);
        if (!wineEcrd.empty()) {
            const Row underWine = ThroughEcrd(receipts, UnderWine(wineEcrd));
            PrintRow(underWine, receipts);
            Compare(underWine, ecrd);
        }
        const double ahead = TillWaitMs(receipts, true);
        const double before = TillWaitMs(receipts, false);
        std::printf(
            "a till waits per receipt (median, customers 0.3 s apart): %.1f ms through ecrd with the totals "
            "read ahead, %.1f ms with them read before each; ecrctl %.1f ms in its batch\n",
            ahead, before, 1000.0 * ecrctl.wall / receipts);
    }
    if (only.empty() || only == "soak")
        Soak(clients, seconds);
    if (only.empty() || only == "consoles")
        Consoles(consoles, consoleReceipts);
    return 0;
}
