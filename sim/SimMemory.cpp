#include "sim/SimMemory.h"

#include <algorithm>
#include <array>

namespace {
// Area 1 is deliberately not a multiple of the 128-byte block.
constexpr std::array<std::int64_t, SimMemory::kAreas> kSizes{65536, 1000, 4096, 16384};
}  // namespace

std::optional<std::int64_t> SimMemory::Size(std::int64_t area)
{
    if (area < 0 || area >= kAreas) {
        return std::nullopt;
    }
    return kSizes[static_cast<std::size_t>(area)];
}

std::uint8_t SimMemory::Byte(std::int32_t area, std::int64_t offset)
{
    // Varies with both the offset and the block, so a block stored at the wrong place shows.
    return static_cast<std::uint8_t>((offset * 7 + (offset >> 7) * 13 + area * 0x40) & 0xFF);
}

std::string SimMemory::Hex(std::int32_t area, std::int64_t offset, std::int64_t count)
{
    static constexpr char kDigits[] = "0123456789ABCDEF";
    const std::int64_t end = std::min(offset + count, Size(area).value_or(0));
    std::string hex;
    for (std::int64_t i = offset; i < end; ++i) {
        const std::uint8_t byte = Byte(area, i);
        hex.push_back(kDigits[byte >> 4]);
        hex.push_back(kDigits[byte & 0x0F]);
    }
    return hex;
}
