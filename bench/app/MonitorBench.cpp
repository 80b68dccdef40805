// Adds 100,000 traffic entries to the monitor, as the traffic callback does
// during a long upload, and compares the cost per entry at the start with the
// cost at the end: adding an entry must not grow with what is shown already.
// Exit code 1 when the last thousand cost twice the first thousand or more.

#include "app/AppCallbacks.h"
#include "app/CThermalDlg.h"

#include <QApplication>

#include <chrono>
#include <cstdio>
#include <cstdlib>
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

double MicrosecondsPerEntry(std::chrono::steady_clock::duration elapsed)
{
    return std::chrono::duration<double, std::micro>(elapsed).count() / kWindow;
}

}  // namespace

int main(int argc, char** argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication application(argc, argv);
    CThermalDlg main;
    main.Create();
    main.ShowWindow(true);

    const std::vector<std::string> texts = SampleTexts();
    using Clock = std::chrono::steady_clock;
    Clock::duration first{};
    Clock::duration last{};
    const Clock::time_point start = Clock::now();
    Clock::time_point windowStart = start;
    for (int i = 0; i < kEntries; ++i) {
        OnTraffic(ECRString(texts[static_cast<std::size_t>(i) % texts.size()].c_str()));
        if (i + 1 == kWindow) {
            first = Clock::now() - windowStart;
        }
        if (i + 1 == kEntries - kWindow) {
            windowStart = Clock::now();
        }
    }
    last = Clock::now() - windowStart;
    const double total = std::chrono::duration<double>(Clock::now() - start).count();

    const double firstUs = MicrosecondsPerEntry(first);
    const double lastUs = MicrosecondsPerEntry(last);
    const double ratio = lastUs / firstUs;
    std::printf("monitor: %d traffic entries in %.2f s\n", kEntries, total);
    std::printf("  first %d entries: %.1f us per entry\n", kWindow, firstUs);
    std::printf("  last  %d entries: %.1f us per entry\n", kWindow, lastUs);
    std::printf("  ratio last/first: %.2f (must stay under 2)\n", ratio);
    std::printf("  traffic text: %zu bytes\n", main.m_monitorDlg.TrafficText().size());
    return ratio < 2.0 ? 0 : 1;
}
