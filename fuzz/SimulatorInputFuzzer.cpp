// The simulated register fed arbitrary bytes in arbitrary pieces on a clock
// that jumps by arbitrary steps. It must neither crash nor keep output
// pending for ever, and what it sends must be status bytes and frames: every
// reply frame holds exactly one backslash, its closer, and no zero byte.
#include "sim/ECRSimulator.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzedDataProvider input(data, size);
    std::int64_t now = 0;
    ECRSimulator simulator([&now] { return now; }, 1773567660);

    // Faults that keep the output well formed.
    SimFaults faults;
    faults.replyDelayMs = input.ConsumeIntegralInRange(0, 2000);
    faults.busyMs = input.ConsumeIntegralInRange(0, 2000);
    faults.baudRate = input.ConsumeBool() ? 9600 : 0;
    faults.statusBytesBeforeReply = input.ConsumeIntegralInRange(0, 3);
    faults.paperOut = input.ConsumeBool();
    simulator.SetFaults(faults);
    simulator.SetPrintMilliseconds(input.ConsumeIntegralInRange(0, 5000));

    std::string output;
    while (input.remaining_bytes() > 0) {
        const std::string piece = input.ConsumeRandomLengthString(512);
        simulator.Receive(piece);
        now += input.ConsumeIntegralInRange<std::int64_t>(0, 5000000);
        output += simulator.TakeOutput();
    }
    now += std::int64_t{86400} * 1000000;
    output += simulator.TakeOutput();

    const auto closers = static_cast<std::size_t>(std::count(output.begin(), output.end(), '\\'));
    if (simulator.NextOutputTime().has_value() || closers != simulator.Requests().size() ||
        output.find('\0') != std::string::npos) {
        std::abort();
    }
    return 0;
}
