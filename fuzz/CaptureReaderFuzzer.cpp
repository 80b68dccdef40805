// Any file handed to ecrctl decode (raw bytes of the line, the monitor's
// hexadecimal text, a session log) is read and decoded without a crash or a
// sanitizer's complaint, and the raw splitter neither loses nor invents a
// byte: its pieces, none empty, put together are the bytes it was given.
#include "ecr/commands/ECRCapture.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view content(reinterpret_cast<const char*>(data), size);

    std::string joined;
    for (const std::string& piece : ECRCapture::SplitRaw(content)) {
        if (piece.empty())
            std::abort();
        joined += piece;
    }
    if (joined != content)
        std::abort();

    ECRCapture::Detect(content);
    ECRCapture::Decode(content);
    return 0;
}
