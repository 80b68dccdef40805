#include "ecr/commands/ECRGraphicsCommands.h"

#include "ecr/commands/ECRReply.h"
#include "ecr/commands/ECRRequest.h"
#include "ecr/protocol/CommError.h"
#include "ecr/protocol/ECRFrame.h"

#include <algorithm>

namespace {

constexpr std::int32_t kLogoSelector = 1;
constexpr std::int32_t kAdvertSelector = 2;
constexpr std::int32_t kLogoBytesPerRow = 45;

bool ReadPrintOption(ECRProtocol& protocol, std::int32_t selector)
{
    ECRReply reply(ECRRequest("$y").Int(selector).Send(protocol), protocol.MissingFields());
    if (protocol.LastVerdict().kind == ECRVerdict::Kind::Refused) {
        return false;  // the code is the caller's to see in LastVerdict(), not a switch
    }
    reply.Take(ECRFrame::US);
    return reply.RestFlag(selector == kLogoSelector ? "logo printing" : "advertising text printing");
}

void SetPrintOption(ECRProtocol& protocol, std::int32_t selector, bool on)
{
    ECRRequest("#y").Int(selector).Flag(on).Send(protocol);
}

unsigned char HexValue(char c)
{
    if (c >= '0' && c <= '9') {
        return static_cast<unsigned char>(c - '0');
    }
    if (c >= 'A' && c <= 'F') {
        return static_cast<unsigned char>(c - 'A' + 10);
    }
    if (c >= 'a' && c <= 'f') {
        return static_cast<unsigned char>(c - 'a' + 10);
    }
    return 0;
}

// Percent of the area read before the block at offset. Sizes under 100 bytes
// would make the divisor size / 100 zero; for sizes just under a multiple of
// 100 the rounded divisor would pass 100.
std::int32_t Progress(std::int32_t offset, std::int32_t size)
{
    if (size < 100) {
        return offset * 100 / size;
    }
    return std::min(offset / (size / 100), 100);
}

}  // namespace

bool ECRGraphicsCommands::ReadLogoEnabled()
{
    return ReadPrintOption(*this, kLogoSelector);
}

bool ECRGraphicsCommands::ReadAdvertEnabled()
{
    return ReadPrintOption(*this, kAdvertSelector);
}

void ECRGraphicsCommands::SetLogoEnabled(bool on)
{
    SetPrintOption(*this, kLogoSelector, on);
}

void ECRGraphicsCommands::SetAdvertEnabled(bool on)
{
    SetPrintOption(*this, kAdvertSelector, on);
}

void ECRGraphicsCommands::WriteLogoRow(std::int32_t row, ECRString hexText)
{
    if (row < 0 || row >= kLogoRows || hexText.Length() != static_cast<std::uint32_t>(kLogoRowHexLength)) {
        return;
    }
    ECRRequest("#n").Int(row).Text(hexText).Send(*this);
}

void ECRGraphicsCommands::StoreLogo(std::int32_t rowCount)
{
    ECRRequest("#g").Int(rowCount).Int(kLogoBytesPerRow).Int(0).Send(*this);
}

std::int32_t ECRGraphicsCommands::ReadMemorySize(std::int32_t area)
{
    ECRReply reply(ECRRequest("$q").Int(area).Send(*this), MissingFields());
    if (LastVerdict().kind == ECRVerdict::Kind::Refused) {
        return 0;
    }
    // A size that is no number would be saved as an empty dump.
    if (reply.TakeDecimal(ECRFrame::US, "area") != area) {
        throw CommError(CommError::Sync);
    }
    return reply.RestDecimal("size");
}

std::vector<unsigned char> ECRGraphicsCommands::ReadMemory(std::int32_t area, std::int32_t& size)
{
    size = ReadMemorySize(area);
    // The size comes from the line: refuse a nonsensical one before allocating.
    if (size < 0 || size > kMaxMemorySize) {
        throw CommError(CommError::Sync);
    }
    std::vector<unsigned char> buffer(static_cast<std::size_t>(size));
    ReportProgress(-1);
    for (std::int32_t offset = 0; offset < size; offset += kMemoryBlock) {
        ECRReply reply(ECRRequest("$q").Int(area).Int(kMemoryBlock).Amount(offset).Send(*this), MissingFields());
        // A block for another area or offset (a late answer, a confused
        // register) would be saved in the wrong place of the dump.
        if (reply.TakeDecimal(ECRFrame::US, "area") != area || reply.TakeDecimal(ECRFrame::HT, "offset") != offset) {
            throw CommError(CommError::Sync);
        }
        ReportProgress(Progress(offset, size));

        // The last block is cut to the area's size; a short block is a broken
        // reply, not zeros to be saved as the register's memory.
        const std::int32_t count = std::min(kMemoryBlock, size - offset);
        const ECRString& hex = reply.Rest();
        if (hex.Length() < static_cast<std::uint32_t>(2 * count)) {
            throw CommError(CommError::Sync);
        }
        for (std::int32_t i = 0; i < count; ++i) {
            const char high = hex.Data()[2 * i];
            const char low = hex.Data()[2 * i + 1];
            buffer[static_cast<std::size_t>(offset + i)] = static_cast<unsigned char>(HexValue(high) << 4 | HexValue(low));
        }
    }
    ReportProgress(100);
    return buffer;
}
