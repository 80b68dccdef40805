// Adds traffic entries to the monitor, as the traffic callbacks do during a
// long upload (100,000 unless --entries says otherwise), with the decoded
// view and the session log on, and compares the cost per entry at the start
// with the cost at the end: adding an entry must not grow with what went
// before, and neither may the memory, as the boxes keep only the newest
// entries. The entries are shown and logged a few at a time, as the engine's
// wait callback has them shown once per exchange. Exit code 1 when the last
// thousand cost 1.1 times the first thousand or more.
//
// Costs are the thread's processor time, so that other programs on the
// machine change them less than they would change the time on the clock.
//
//   bench_monitor [--no-log] [--entries N]

#include "app/AppCallbacks.h"
#include "app/CThermalDlg.h"

#include <QApplication>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

constexpr int kWindow = 1000;
// Entries reported per exchange: the input flush's empty read, the request, the reply.
constexpr int kEntriesPerExchange = 3;

// Request texts and replies of an article upload, of assorted lengths.
std::vector<std::string> SampleTexts()
{
    std::vector<std::string> texts;
    for (int i = 0; i < 64; ++i) {
        std::string text = "#a" + std::to_string(2 + i) + "\x1F" + "Artikal" + std::to_string(2 + i) + "\x1F";
        text.resize(static_cast<std::size_t>(1 + (i * 7) % 48), 'x');
        texts.push_back(text);
    }
    texts.push_back("");  // the empty read that ends every input flush
    return texts;
}

// Processor time of this thread, in microseconds (on Windows the clock's time).
double ThreadMicroseconds()
{
#ifdef _WIN32
    return std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now().time_since_epoch()).count();
#else
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1e6 + static_cast<double>(now.tv_nsec) / 1e3;
#endif
}

// The process's resident memory now and at its largest, in MiB ("VmRSS",
// "VmHWM"); -1 where /proc does not say.
double MemoryMiB(const char* field)
{
    std::ifstream status("/proc/self/status");
    std::string line;
    const std::string key = std::string(field) + ":";
    while (std::getline(status, line)) {
        if (line.compare(0, key.size(), key) == 0) {
            return std::strtod(line.c_str() + key.size(), nullptr) / 1024;
        }
    }
    return -1;
}

}  // namespace

int main(int argc, char** argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    bool log = true;
    int entries = 100000;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--no-log") == 0) {
            log = false;
        } else if (std::strcmp(argv[i], "--entries") == 0 && i + 1 < argc) {
            entries = std::atoi(argv[++i]);
        }
    }
    if (entries < 3 * kWindow) {
        std::fprintf(stderr, "usage: bench_monitor [--no-log] [--entries N], N at least %d\n", 3 * kWindow);
        return 2;
    }
    QApplication application(argc, argv);
    CThermalDlg main;
    main.Create();
    main.ShowWindow(true);
    const std::string logPath = (std::filesystem::temp_directory_path() / "thermal-bench-monitor.log").string();
    std::filesystem::remove(logPath);
    std::string error;
    if (log && !main.StartSessionLog(logPath, error)) {
        std::fprintf(stderr, "bench_monitor: %s\n", error.c_str());
        return 2;
    }

    const std::vector<std::string> texts = SampleTexts();
    CConnectionMonitorDlg& monitor = main.m_monitorDlg;
    // The boxes take new entries in batches, before paints; each window ends
    // with its own entries in the boxes, so that it holds all their cost.
    auto window = [&](int from, int to) {
        const double begin = ThreadMicroseconds();
        for (int i = from; i < to; ++i) {
            OnTraffic(ECRString(texts[static_cast<std::size_t>(i) % texts.size()].c_str()));
            if (i % kEntriesPerExchange == kEntriesPerExchange - 1) {
                main.ShowTraced();
            }
        }
        main.ShowTraced();
        monitor.SyncBoxes();
        return ThreadMicroseconds() - begin;
    };
    const auto wallStart = std::chrono::steady_clock::now();
    const double start = ThreadMicroseconds();
    const double firstUs = window(0, kWindow) / kWindow;
    // The boxes are brought up to date a window at a time, as paints would.
    for (int from = kWindow; from < entries - kWindow; from += kWindow) {
        window(from, std::min(from + kWindow, entries - kWindow));
    }
    const double lastUs = window(entries - kWindow, entries) / kWindow;
    const double allUs = (ThreadMicroseconds() - start) / entries;
    const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - wallStart).count();
    const double ratio = lastUs / firstUs;

    std::printf("monitor: %d traffic entries in %.2f s, decoded view on, session log %s\n", entries, wall,
                log ? "on" : "off");
    std::printf("  all entries:      %.1f us per entry\n", allUs);
    std::printf("  first %d entries: %.1f us per entry\n", kWindow, firstUs);
    std::printf("  last  %d entries: %.1f us per entry\n", kWindow, lastUs);
    std::printf("  ratio last/first: %.2f (must stay under 1.1)\n", ratio);
    std::printf("  memory: %.1f MiB resident at the end, %.1f MiB at most\n", MemoryMiB("VmRSS"), MemoryMiB("VmHWM"));
    std::printf("  traffic text: %zu bytes, decoded text: %zu bytes, log: %ju bytes\n", monitor.TrafficText().size(),
                monitor.DecodedText().size(),
                log ? static_cast<std::uintmax_t>(std::filesystem::file_size(logPath)) : std::uintmax_t{0});
    std::filesystem::remove(logPath);
    return ratio < 1.1 ? 0 : 1;
}
