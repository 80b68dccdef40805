// ecr-sim: the simulated cash register on a pseudo-terminal, or listening on
// TCP (--listen), until SIGINT or SIGTERM. SIGUSR1 puts paper in or takes it
// out (not on Windows).
#include "ecr/commands/AppendTarget.h"
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
#ifndef _WIN32
#include <pthread.h>
#include <signal.h>
#endif

namespace {
#ifdef _WIN32
std::atomic<bool> g_quit{false};

void OnSignal(int)
{
    g_quit = true;
}
#endif

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

// "*e" or "*l:2": a two-byte command code and, after a colon, which of its
// requests (from 1).
bool ParseDropAt(const std::string& text, std::string& command, std::int32_t& count)
{
    const std::size_t colon = text.find(':', 2);
    command = text.substr(0, colon);
    count = 1;
    if (command.size() != 2) {
        return false;
    }
    if (colon == std::string::npos) {
        return true;
    }
    const std::string number = text.substr(colon + 1);
    if (number.empty() || number.size() > 6 || number.find_first_not_of("0123456789") != std::string::npos) {
        return false;
    }
    count = std::stoi(number);
    return count >= 1;
}
}  // namespace

int main(int argc, char** argv)
{
#ifdef SIGXFSZ
    // Past a file size limit (ulimit -f) the journal's writes fail instead of
    // the signal ending the register while a client talks to it.
    std::signal(SIGXFSZ, SIG_IGN);
#endif
    CLI::App app{"Simulated cash register on a pseudo-terminal, or on TCP with --listen. Point a client at the "
                 "printed device path (e.g. ECR_COM1=<path>) or at tcp://<printed address>. SIGUSR1 toggles paper out.",
                 "ecr-sim"};
    app.set_version_flag("--version", ThermalVersion::Line("ecr-sim"));
    SimulatorHost::Options options;
    SimFaults faults;
    std::string garbageHex;
    std::string staleHex;
    CLI::Option* link =
        app.add_option("--link", options.linkPath, "Also make the device reachable through a symlink at this path");
    app.add_option("--listen", options.listen,
                   "Listen on HOST:PORT (port 0: any free one) instead of a pseudo-terminal, one client at a time, "
                   "the bytes as on the line (a register behind a raw TCP device server)")
        ->excludes(link);
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
    std::string dropAt;
    app.add_option("--drop-reply-at", dropAt,
                   "Send no reply to one request, which still takes effect: CMD[:N], the Nth request of command "
                   "CMD (e.g. '*e' or '*l:2'; N = 1 when left out)")
        ->check(CLI::Validator(
            [](std::string& text) -> std::string {
                std::string command;
                std::int32_t count = 0;
                return ParseDropAt(text, command, count) ? std::string() : "expected CMD[:N], e.g. *e or *l:2";
            },
            "CMD[:N]"));
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
    if (!dropAt.empty()) {
        ParseDropAt(dropAt, faults.dropReplyAt, faults.dropReplyAtCount);
    }
    options.baudRate = faults.baudRate;
    // A FIFO that nobody reads would hold the start for ever.
    std::string journalFault;
    if (!options.journalPath.empty() && options.journalPath != "-" &&
        !AppendTarget::Check(options.journalPath, journalFault)) {
        std::fprintf(stderr, "ecr-sim: no journal: %s\n", journalFault.c_str());
        return 1;
    }

#ifndef _WIN32
    // The signals are taken in turn by this thread alone (sigwait), so that it
    // sleeps until one comes; the serving thread starts with them blocked too.
    sigset_t signals;
    sigemptyset(&signals);
    for (const int signal : {SIGINT, SIGTERM, SIGUSR1}) {
        sigaddset(&signals, signal);
    }
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);
#endif
    SimulatorHost host(options);
    host.WithSimulator([&faults](ECRSimulator& simulator) { simulator.SetFaults(faults); });
    std::string error;
    if (!host.Start(&error)) {
        std::fprintf(stderr, "ecr-sim: %s\n", error.c_str());
        return 1;
    }
    std::printf("%s\n", options.listen.empty() ? host.DevicePath().c_str() : host.ListenAddress().c_str());
    std::fflush(stdout);

#ifdef _WIN32
    std::signal(SIGINT, OnSignal);
    std::signal(SIGTERM, OnSignal);
    while (!g_quit) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
#else
    for (;;) {
        int signal = 0;
        if (sigwait(&signals, &signal) != 0 || signal != SIGUSR1) {
            break;
        }
        host.WithSimulator([](ECRSimulator& simulator) {
            simulator.SetPaperOut(!simulator.Faults().paperOut);
            std::fprintf(stderr, "ecr-sim: paper %s\n", simulator.Faults().paperOut ? "out" : "in");
        });
    }
#endif
    host.Stop();
    return 0;
}
