// Adds 100,000 traffic entries to the monitor, as the traffic callbacks do
// during a long upload, with the decoded view and the session log on, and
// compares the cost per entry at the start with the cost at the end: adding
// an entry must not grow with what is shown already. Exit code 1 when the
// last thousand cost 1.2 times the first thousand or more.
//
// Costs are the thread's processor time, so that other programs on the
// machine change them less than they would change the time on the clock.
//
//   bench_monitor [--no-log]

#include "app/AppCallbacks.h"
#include "app/CThermalDlg.h"

#include <QApplication>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <string>
#include <vector>

namespace {

constexpr int kEntries = 100000;
constexpr int kWindow = 1000;

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

}  // namespace

int main(int argc, char** argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    const bool log = !(argc > 1 && std::strcmp(argv[1], "--no-log") == 0);
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
        }
        monitor.SyncBoxes();
        return ThreadMicroseconds() - begin;
    };
    const auto wallStart = std::chrono::steady_clock::now();
    const double start = ThreadMicroseconds();
    const double firstUs = window(0, kWindow) / kWindow;
    window(kWindow, kEntries - kWindow);
    const double lastUs = window(kEntries - kWindow, kEntries) / kWindow;
    const double allUs = (ThreadMicroseconds() - start) / kEntries;
    const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - wallStart).count();
    const double ratio = lastUs / firstUs;

    std::printf("monitor: %d traffic entries in %.2f s, decoded view on, session log %s\n", kEntries, wall,
                log ? "on" : "off");
    std::printf("  all entries:      %.1f us per entry\n", allUs);
    std::printf("  first %d entries: %.1f us per entry\n", kWindow, firstUs);
    std::printf("  last  %d entries: %.1f us per entry\n", kWindow, lastUs);
    std::printf("  ratio last/first: %.2f (must stay under 1.2)\n", ratio);
    std::printf("  traffic text: %zu bytes, decoded text: %zu bytes, log: %ju bytes\n", monitor.TrafficText().size(),
                monitor.DecodedText().size(),
                log ? static_cast<std::uintmax_t>(std::filesystem::file_size(logPath)) : std::uintmax_t{0});
    std::filesystem::remove(logPath);
    return ratio < 1.2 ? 0 : 1;
}
