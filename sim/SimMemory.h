#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

// The four memory areas the client can read. Their contents are a fixed
// function of area and offset, so a dump can be checked byte for byte.
class SimMemory {
public:
    static constexpr std::int32_t kAreas = 4;

    // Size in bytes of an area, or nothing for an unknown area.
    static std::optional<std::int64_t> Size(std::int64_t area);

    static std::uint8_t Byte(std::int32_t area, std::int64_t offset);

    // Up to count bytes from offset as upper-case hex, cut at the end of the area.
    static std::string Hex(std::int32_t area, std::int64_t offset, std::int64_t count);
};
