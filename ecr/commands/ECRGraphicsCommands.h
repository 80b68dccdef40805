#pragma once

#include "ecr/protocol/ECRProtocol.h"
#include "ecr/protocol/ECRString.h"

#include <cstdint>
#include <vector>

// Print-option switches, the receipt logo and the register's memory areas.
class ECRGraphicsCommands : public ECRProtocol {
public:
    static constexpr std::int32_t kLogoRows = 156;
    static constexpr std::int32_t kLogoRowHexLength = 90;
    static constexpr std::int32_t kMemoryBlock = 128;
    static constexpr std::int32_t kMaxMemorySize = 16 * 1024 * 1024;

    bool ReadLogoEnabled();
    bool ReadAdvertEnabled();
    void SetLogoEnabled(bool on);
    void SetAdvertEnabled(bool on);
    // Sends nothing for a row outside 0..155 or a text not 90 characters long.
    void WriteLogoRow(std::int32_t row, ECRString hexText);
    void StoreLogo(std::int32_t rowCount);
    // The area's size; 0 when the register refuses to tell (LastVerdict()
    // holds the refusal). A reply that names another area or no number
    // throws CommError(16).
    std::int32_t ReadMemorySize(std::int32_t area);
    // The whole area, read in 128-byte blocks with progress reports; size
    // receives the area's size.
    std::vector<unsigned char> ReadMemory(std::int32_t area, std::int32_t& size);
};
