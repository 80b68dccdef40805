// ecr-sim: the simulated cash register on a pseudo-terminal, until SIGINT or
// SIGTERM. SIGUSR1 puts paper in or takes it out.
#include "sim/ECRSimulator.h"
#include "sim/SimulatorHost.h"
#include "version/ThermalVersion.h"

#include <CLI/CLI.hpp>

#include <atomic>
#include <cctype>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <thread>

namespace {
std::atomic<bool> g_quit{false};
std::atomic<bool> g_togglePaper{false};

void OnSignal(int signal)
{
    if (signal == SIGUSR1) {
        g_togglePaper = true;
    } else {
        g_quit = true;
    }
}

// "1B 41" or "1b41" as bytes; the fault options take bytes in hex so any byte can be given.
std::string HexBytes(const std::string& text)
{
    std::string bytes;
    std::string digits;
    for (const char c : text) {
        if (std::isxdigit(static_cast<unsigned char>(c)) != 0) {
            digits.push_back(c);
        }
        if (digits.size() == 2) {
            bytes.push_back(static_cast<char>(std::stoi(digits, nullptr, 16)));
            digits.clear();
        }
    }
    return bytes;
}
}  // namespace

int main(int argc, char** argv)
{
    CLI::App app{"Simulated cash register on a pseudo-terminal. Point a client at the printed device path "
                 "(e.g. ECR_COM1=<path>). SIGUSR1 toggles paper out."};
    app.set_version_flag("--version", ThermalVersion::Line("ecr-sim"));
    SimulatorHost::Options options;
    SimFaults faults;
    std::string garbageHex;
    std::string staleHex;
    app.add_option("--link", options.linkPath, "Also make the device reachable through a symlink at this path");
    app.add_option("--baud", faults.baudRate, "Pace the line both ways at this baud rate, 10 bits per byte (0 = unpaced)")
        ->check(CLI::NonNegativeNumber);
    app.add_option("--journal", options.journalPath, "Append everything printed to this file ('-' = standard output)");
    app.add_option("--print-ms", options.printMilliseconds, "Busy time of reports and receipts in ms")
        ->check(CLI::NonNegativeNumber);
    app.add_option("--delay-ms", faults.replyDelayMs, "Extra delay before every reply in ms")
        ->check(CLI::NonNegativeNumber);
    app.add_option("--busy-ms", faults.busyMs, "Busy time after every request in ms")->check(CLI::NonNegativeNumber);
    app.add_option("--bad-checksum", faults.badChecksumEvery, "Wrong checksum on every Nth reply")
        ->check(CLI::NonNegativeNumber);
    app.add_option("--drop-reply", faults.dropReplyEvery, "Send no reply to every Nth request")
        ->check(CLI::NonNegativeNumber);
    app.add_option("--wrong-letter", faults.wrongLetterEvery, "Wrong reply letter on every Nth reply")
        ->check(CLI::NonNegativeNumber);
    app.add_option("--garbage", garbageHex, "Bytes (hex, e.g. '41 42') sent before every reply");
    app.add_option("--status-bytes", faults.statusBytesBeforeReply, "Busy status bytes (0xC0) before every reply")
        ->check(CLI::NonNegativeNumber);
    app.add_option("--stale", staleHex, "Bytes (hex) sent after every reply, left for the next request");
    app.add_flag("--silent-enq", faults.silentToEnq, "Do not answer ENQ");
    app.add_flag("--paper-out", faults.paperOut, "Start with the paper out (printing refused with code 12)");
    CLI11_PARSE(app, argc, argv);
    faults.garbageBeforeReply = HexBytes(garbageHex);
    faults.staleAfterReply = HexBytes(staleHex);
    options.baudRate = faults.baudRate;

    SimulatorHost host(options);
    host.WithSimulator([&faults](ECRSimulator& simulator) { simulator.SetFaults(faults); });
    std::string error;
    if (!host.Start(&error)) {
        std::fprintf(stderr, "ecr-sim: %s\n", error.c_str());
        return 1;
    }
    std::printf("%s\n", host.DevicePath().c_str());
    std::fflush(stdout);

    std::signal(SIGINT, OnSignal);
    std::signal(SIGTERM, OnSignal);
    std::signal(SIGUSR1, OnSignal);
    while (!g_quit) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        if (g_togglePaper.exchange(false)) {
            host.WithSimulator([](ECRSimulator& simulator) {
                simulator.SetPaperOut(!simulator.Faults().paperOut);
                std::fprintf(stderr, "ecr-sim: paper %s\n", simulator.Faults().paperOut ? "out" : "in");
            });
        }
    }
    host.Stop();
    return 0;
}
