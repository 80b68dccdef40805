#pragma once

#include "ecr/protocol/ECRField.h"
#include "ecr/protocol/ECRMessageSink.h"
#include "ecr/protocol/ECRString.h"
#include "ecr/protocol/ECRVerdict.h"

#include <cstddef>
#include <functional>
#include <string_view>

// The byte layout of the register's PC protocol: request assembly, the frame
// ESC 'P' payload checksum ESC '\', and the check of a reply against the
// command that caused it. Bytes in, bytes out; no I/O.
class ECRFrame {
public:
    // The line's bytes: ESC 'P' opens a frame and ESC '\' closes it; ENQ asks
    // for the status byte; ACK is also the "ready" status; US, LF and HT (TAB)
    // end the fields of requests and replies.
    static constexpr char ESC = 0x1B;
    static constexpr char OPENER = 'P';
    static constexpr char CLOSER = '\\';
    static constexpr char ENQ = 0x05;
    static constexpr char ACK = 0x06;
    static constexpr char NAK = 0x15;
    static constexpr char US = 0x1F;
    static constexpr char LF = 0x0A;
    static constexpr char HT = 0x09;

    // What turns a payload into the frame's two checksum digits.
    using ChecksumFunction = std::function<ECRString(ECRString)>;

    // Two uppercase hex digits of 0xFF XOR every payload byte. Its CommError(16)
    // for digits that cannot be formatted is never reached.
    static ECRString Checksum(ECRString payload);

    // ESC 'P' payload checksum ESC '\'; the checksum comes from the given function.
    // Throws only what that function throws.
    static ECRString Frame(ECRString payload, const ChecksumFunction& checksum = &ECRFrame::Checksum);

    // The payload of a received frame after its checksum digits were verified.
    // Throws CommError(17) on a mismatch and ECRStringError for 1 to 3 bytes.
    // Why 17 ("Invalid Command!") and not 18 ("Wrong checksum!"): the design
    // raises 17 here and never 18, and what reads the code (the windows'
    // message, ecrctl's exit code, the traces) was built on that; the
    // verdict of the exchange names the failed check as Checksum.
    // The empty frame gives the empty payload. Only the checksum is tested:
    // the payload is what stands between the first two bytes and the last
    // four, whatever those are (ESC 'P' and the closing ESC are not looked at).
    // A frame of 4 or 5 bytes has no room for a payload: one is then taken
    // from its first two bytes, and the checksum test fails all but by chance.
    static ECRString Unframe(ECRString frame, const ChecksumFunction& checksum = &ECRFrame::Checksum);

    // The command code followed by each field's text and terminator byte
    // (Terminator; none for a kind without one). Not framed; throws nothing.
    static ECRString AssembleRequest(ECRString command, const ECRFieldList& fields);

    // The terminator byte of a field kind, or 0 for none.
    static char Terminator(std::int32_t kind);

    // Checks an unwrapped reply against the command code, reports the device's
    // code through the sink and returns the reply data (or the error code as
    // text for a device error reply). Throws CommError(16) on a mismatch or a
    // device error code that is not a decimal number, and ECRStringError when
    // the reply is too short for the bytes checked. A verdict, when given, is
    // set to what the check found: accepted, refused with its code, or the
    // check that failed (its command is left to the caller).
    // A reply passes as a device error reply '#' 'Z' whose third byte is either
    // byte of the command, its code the text from its first LF to the next US;
    // as '#' or '*' with the command's letter as it stands; or as '$', '%' or
    // '*' with the letter in upper case. The class is not compared with the
    // command's. Only a reply that passes reaches the sink: an error reply with
    // its code, any other with 0. A command shorter than two bytes throws
    // ECRStringError like a short reply.
    static ECRString CheckReply(const ECRString& command, ECRString reply, ECRMessageSink& sink,
                                ECRVerdict* verdict = nullptr);

    // Both top bits set: a status byte saying the register is busy. Such
    // bytes may also precede a reply and are never part of it.
    static constexpr bool IsBusyStatus(unsigned char byte) { return (byte & 0xC0) == 0xC0; }
    // How many busy status bytes the bytes start with.
    static std::size_t LeadingBusyBytes(std::string_view bytes)
    {
        std::size_t count = 0;
        while (count < bytes.size() && IsBusyStatus(static_cast<unsigned char>(bytes[count]))) {
            ++count;
        }
        return count;
    }
};
