// Whatever a backup file holds, the JSON reader ends in a value or in a
// message with its place ("line L, column C: ..."), within its limits. What
// it reads writes back as JSON that reads again to the very same document:
// nothing read is patched up or lost on the way.
#include "ecr/files/JsonReader.h"
#include "ecr/files/JsonValue.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    JsonReader::Limits limits;
    limits.maxBytes = 64 * 1024;
    limits.maxDepth = 16;

    JsonValue value;
    std::string error;
    if (!JsonReader::Parse(text, value, error, limits)) {
        if (error.rfind("line ", 0) != 0 || error.find(", column ") == std::string::npos)
            std::abort();
        return 0;
    }
    if (!error.empty())
        std::abort();
    const std::string written = value.Dump();
    JsonValue again;
    if (!JsonReader::Parse(written, again, error, limits) || again.Dump() != written)
        std::abort();
    return 0;
}
