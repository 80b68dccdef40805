// How long the whole client (engine, port, pseudo-terminal) takes to give up
// on a register that will never answer: one that has lost the reply and says
// "ready" to every ENQ, and one that drips a reply, a byte every 2.5 s, and
// never closes it. Real time, real pauses, the design's time-outs; the goals
// are under 20 s and about 30 s.

#include "support/PseudoTerminal.h"

#include "ecr/commands/ECRDevice.h"
#include "ecr/protocol/CommError.h"
#include "ecr/protocol/ECRStringError.h"
#include "serial/Win32SerialPort.h"
#include "sim/ECRSimulator.h"
#include "sim/SimulatorHost.h"

#include <benchmark/benchmark.h>

#include <atomic>
#include <chrono>
#include <thread>

namespace {

constexpr int kPortNumber = 1;

// One command on COM1, until the client gives up; false if it did not.
bool GivesUp(ECRDevice& device)
{
    try {
        device.ReadClock();
    } catch (const CommError&) {
        return true;
    } catch (const ECRStringError&) {
        return true;
    }
    return false;
}

void BM_GiveUpOnLostReply(benchmark::State& state)
{
    SimulatorHost host;
    host.Start();
    host.WithSimulator([](ECRSimulator& sim) {
        SimFaults faults;
        faults.dropReplyEvery = 1;
        sim.SetFaults(faults);
    });
    Win32SerialPort port(SerialSettings(kPortNumber, 19200, 8, 0, 0, 0, 0), host.DevicePath());
    port.Open();
    ECRDevice device(&port);
    for (auto _ : state) {
        if (!GivesUp(device)) {
            state.SkipWithError("the lost reply was answered");
        }
    }
}
BENCHMARK(BM_GiveUpOnLostReply)->Iterations(1)->UseRealTime()->Unit(benchmark::kSecond);

void BM_GiveUpOnDrippingLine(benchmark::State& state)
{
    PseudoTerminal line;
    Win32SerialPort port(SerialSettings(kPortNumber, 19200, 8, 0, 0, 0, 0), line.MapAs(kPortNumber));
    port.Open();
    ECRDevice device(&port);
    for (auto _ : state) {
        std::atomic<bool> stop{false};
        std::thread peer([&] {
            // The request, then the opening of a reply that never ends.
            while (!stop && line.Receive(1, 50).empty()) {
            }
            line.ReadAll(50);
            line.Send("\x1bP");
            while (!stop) {
                for (int i = 0; i < 250 && !stop; ++i) {
                    std::this_thread::sleep_for(std::chrono::milliseconds(10));
                }
                line.Send("A");
            }
        });
        const bool gaveUp = GivesUp(device);
        stop = true;
        peer.join();
        if (!gaveUp) {
            state.SkipWithError("the dripping reply was taken");
        }
    }
}
BENCHMARK(BM_GiveUpOnDrippingLine)->Iterations(1)->UseRealTime()->Unit(benchmark::kSecond);

}  // namespace

BENCHMARK_MAIN();
