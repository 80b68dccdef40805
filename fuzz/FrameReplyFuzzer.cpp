// Whatever the line delivers, unwrapping it and checking it against a command
// ends in a payload, in CommError or in ECRStringError; any other outcome
// (a crash, a sanitizer report, another exception) is a fault.
#include "ecr/protocol/CommError.h"
#include "ecr/protocol/ECRFrame.h"
#include "ecr/protocol/ECRMessageSink.h"
#include "ecr/protocol/ECRStringError.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzedDataProvider input(data, size);
    // Texts end at a zero byte, as a read off the line does.
    const std::string command = input.ConsumeBytesAsString(2);
    const std::string frame = input.ConsumeRemainingBytesAsString();
    const ECRString received(frame.c_str());

    ECRMessageSink sink;
    try {
        const ECRString payload = ECRFrame::Unframe(received);
        // A frame that passed carries its payload between opener and checksum.
        if (received.Length() >= 6 && payload.Length() != received.Length() - 6) {
            std::abort();
        }
        ECRFrame::CheckReply(ECRString(command.c_str()), payload, sink);
    } catch (const CommError&) {
    } catch (const ECRStringError&) {
    }
    return 0;
}
