#pragma once

#include "ecr/protocol/ECRProtocol.h"
#include "ecr/protocol/ECRString.h"

#include <cstdint>
#include <vector>

// Print-option switches, the receipt logo and the register's memory areas.
//
// Each command is one Transact (ECRRequest::Send), its request shown as it
// goes out before framing, US standing for 0x1F. Every one throws what
// Transact throws (the table in ECRProtocol.h: CommError(10) when no reply
// comes, CommError(17) for a bad checksum, the port's CommError,
// ECRStringError for a reply too short for its check), and a text holding US,
// LF or TAB throws CommError(11) before anything is sent. A refusal is not
// thrown, nor a reply that failed its check: LastVerdict() tells.
class ECRGraphicsCommands : public ECRProtocol {
public:
    // The logo's rows, and the hex digits of one row (45 bytes).
    static constexpr std::int32_t kLogoRows = 156;
    static constexpr std::int32_t kLogoRowHexLength = 90;
    // The bytes ReadMemory asks for in one request.
    static constexpr std::int32_t kMemoryBlock = 128;
    // The largest area size ReadMemory believes (16 MiB).
    static constexpr std::int32_t kMaxMemorySize = 16 * 1024 * 1024;

    // Send "$y" 1 US (the logo) or "$y" 2 US (the advertising text); the
    // reply is the selector US and the switch. True when what follows the
    // first US reads as 1; a refusal, or a reply that failed its check, reads
    // as false. Where MissingFields() is Fail, the switch must be 0 or 1
    // (else ECRReplyError naming it).
    bool ReadLogoEnabled();
    bool ReadAdvertEnabled();
    // Send "#y" 1 US (the logo) or "#y" 2 US (the advertising text), then
    // "1" or "0" and US.
    void SetLogoEnabled(bool on);
    void SetAdvertEnabled(bool on);
    // Sends nothing for a row outside 0..155 or a text not 90 characters long.
    // (no exchange, no verdict, nothing thrown). Otherwise sends "#n" row US
    // hexText LF; the digits are not checked.
    void WriteLogoRow(std::int32_t row, ECRString hexText);
    // Sends "#g" rowCount US 45 US 0 US: stores the logo of rowCount rows
    // written before, 45 bytes each.
    void StoreLogo(std::int32_t rowCount);
    // The area's size; 0 when the register refuses to tell (LastVerdict()
    // holds the refusal). A reply that names another area or no number
    // throws CommError(16).
    // Sends "$q" area US; the reply is area US size.
    std::int32_t ReadMemorySize(std::int32_t area);
    // The whole area, read in 128-byte blocks with progress reports; size
    // receives the area's size.
    // ReadMemorySize first (a refusal gives size 0 and no bytes); a size
    // outside 0..kMaxMemorySize throws CommError(16). Then each block sends
    // "$q" area US 128 US offset TAB, its reply area US offset TAB and the hex
    // digits. A block for another area or offset, one with fewer digits than
    // its bytes need, or a refused one throws CommError(16): the area comes
    // whole or not at all (a digit that is not hexadecimal reads as 0).
    // ReportProgress gets -1 first, after each block's reply the percentage
    // before that block, and 100 at the end.
    std::vector<unsigned char> ReadMemory(std::int32_t area, std::int32_t& size);
};
