// How long the port's reads take on a pseudo-terminal: the 1 ms flush read
// the engine repeats before every command (with the thread's default timer
// slack, and with the fine one the client programs ask for at their start),
// and a 3000-byte reply read one byte per call, already waiting or arriving
// in chunks.

#include "support/PseudoTerminal.h"

#include "link/TimerSlack.h"
#include "serial/Win32SerialPort.h"

#include <benchmark/benchmark.h>

#include <atomic>
#include <chrono>
#include <string>
#include <sys/ioctl.h>
#include <sys/prctl.h>
#include <thread>

namespace {

constexpr std::size_t kReplySize = 3000;

// ESC "P" payload ESC "\": the backslash comes only at the very end.
std::string Reply()
{
    std::string reply = "\x1bP";
    while (reply.size() < kReplySize - 2) {
        reply.push_back(static_cast<char>('A' + reply.size() % 26));
    }
    return reply + "\x1b\\";
}

// Bytes that have reached the port's side of the line.
int Waiting(const PseudoTerminal& line)
{
    int count = 0;
    ::ioctl(line.SlaveFd(), FIONREAD, &count);
    return count;
}

// COM1 on a fresh pseudo-terminal, the port open at 19200 baud, 8N1.
struct OpenLine {
    OpenLine() : port(SerialSettings(1, 19200, 8, 0, 0, 0, 0), line.MapAs(1)) { port.Open(); }

    PseudoTerminal line;
    Win32SerialPort port;
};

// Arg 0: the thread's default timer slack (50 us unless the shell changed
// it); 1: the fine slack of TimerSlack::MakeFine, as the programs run.
void BM_FlushReadOnQuietLine(benchmark::State& state)
{
    if (state.range(0) == 0) {
        ::prctl(PR_SET_TIMERSLACK, 0UL);  // back to the default
    } else if (!TimerSlack::MakeFine()) {
        state.SkipWithError("no timer slack to set");
        return;
    }
    OpenLine open;
    for (auto _ : state) {
        ECRString read = open.port.ReadCount(1, 1);
        benchmark::DoNotOptimize(read);
        if (read.Length() != 0) {
            state.SkipWithError("the quiet line delivered a byte");
            break;
        }
    }
}
BENCHMARK(BM_FlushReadOnQuietLine)->ArgName("fineSlack")->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

void BM_ReadReplyAlreadyWaiting(benchmark::State& state)
{
    OpenLine open;
    const std::string reply = Reply();
    for (auto _ : state) {
        state.PauseTiming();
        open.line.Send(reply);
        while (Waiting(open.line) < static_cast<int>(reply.size())) {
            std::this_thread::yield();
        }
        state.ResumeTiming();
        ECRString read = open.port.ReadUntil("\\", 3000);
        if (read.Length() != reply.size()) {
            state.SkipWithError("short reply");
            break;
        }
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * reply.size()));
}
BENCHMARK(BM_ReadReplyAlreadyWaiting)->Unit(benchmark::kMillisecond);

// Argument: chunk size; the peer pauses 200 us between chunks, about the
// time 4 bytes take at 19200 baud.
void BM_ReadReplyInChunks(benchmark::State& state)
{
    OpenLine open;
    const std::string reply = Reply();
    const auto chunk = static_cast<std::size_t>(state.range(0));
    for (auto _ : state) {
        state.PauseTiming();
        std::atomic<bool> go{false};
        std::thread peer([&] {
            while (!go.load()) {
                std::this_thread::yield();
            }
            for (std::size_t at = 0; at < reply.size(); at += chunk) {
                open.line.Send(reply.substr(at, chunk));
                std::this_thread::sleep_for(std::chrono::microseconds(200));
            }
        });
        state.ResumeTiming();
        go = true;
        ECRString read = open.port.ReadUntil("\\", 3000);
        state.PauseTiming();
        peer.join();
        state.ResumeTiming();
        if (read.Length() != reply.size()) {
            state.SkipWithError("short reply");
            break;
        }
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * reply.size()));
}
BENCHMARK(BM_ReadReplyInChunks)->Arg(16)->Arg(64)->Arg(512)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
