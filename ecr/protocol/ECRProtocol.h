#pragma once

#include "ecr/protocol/ECRField.h"
#include "ecr/protocol/ECRString.h"
#include "ecr/protocol/ECRVerdicts.h"

#include <cstdint>

// What a reading command makes of a reply that holds fewer fields than its
// command's reply lists (or an empty one where a number belongs).
enum class ECRMissingFields {
    ReadEmpty,  // as the design reads them: empty texts, and 0 for numbers (the windows)
    Fail,       // the reply failed its check: ECRReplyError names the field (ecrctl, ecrd)
};

// The four ways to send, side by side (ECREngine carries them out):
//
//                     | Transact              | TransactNoPoll        | SendRaw               | SendReceive
// --------------------+-----------------------+-----------------------+-----------------------+----------------------
// drains a line left  | yes                   | yes                   | yes                   | yes
// unclean first       |                       |                       |                       |
// the frame holds     | command code, fields  | the request as given  | the request as given  | the request as given
// flushes input first | yes                   | yes                   | no                    | no
// traffic callback    | the request, unframed | nothing               | the request, framed   | the request, unframed
// wait callback       | after the request and | after the request     | after the request     | after the request
//                     | after each ENQ        |                       |                       |
// polls with ENQ      | yes, while no reply   | no                    | no                    | no
// reply time-out      | replyTimeoutMs a read | replyTimeoutMs, once  | 1000 ms, once         | the caller's, once
//                     | then polls, bounded   |                       |                       |
//                     | by PollLimits         |                       |                       |
// busy status bytes   | dropped               | kept: frame misread   | kept: frame misread   | kept: frame misread
// before the reply    |                       |                       |                       |
// bad checksum        | CommError(17)         | CommError(17)         | CommError(17)         | CommError(17)
// reply checked       | yes; device message   | yes; device message   | no; no message, the   | no; no message, the
// against command     | and last code set     | and last code set     | last code unchanged   | last code unchanged
// returns             | data after class and  | as Transact           | the whole payload:    | as SendRaw
//                     | letter; a refusal's   |                       | class, letter, data   |
//                     | device code as text   |                       |                       |
// no reply at all     | CommError(10) once    | ECRStringError(1)     | the empty text        | the empty text
//                     | PollLimits run out    | from the reply check  | (nothing thrown)      | (nothing thrown)
// reply fails check   | "Exception" to the    | as Transact           | not checked           | not checked
//                     | traffic callback; the |                       |                       |
//                     | empty text returned   |                       |                       |
// verdict records     | Accepted, Refused     | as Transact; NoReply  | Unchecked; NoReply    | as SendRaw
//                     | (code), FailedCheck   | (10) for silence too  | (10) for silence      |
//                     | (check), NoReply      |                       |                       |
//                     | (CommError's code)    |                       |                       |
//
// All four write the frame ESC 'P' payload checksum ESC '\', read the reply up to its '\' and unframe it. "Drains
// a line left unclean": when the exchange before threw, got no answer or got a reply that failed its check, what
// is still coming is read away first. "Bad checksum": CommError(17) comes from the protocol's Unframe, a frame of
// 1 to 3 bytes gives ECRStringError; the verdict is then FailedCheck with Checksum or FrameLength. Why 17
// ("Invalid Command!") and not 18 ("Wrong checksum!"): the design raises 17 there and never 18, and the windows'
// messages, ecrctl's exit codes and the traces are built on it; the verdict names the check. A CommError of the
// port (WriteFailed, say) goes on to the caller, the verdict NoReply with its code.
//
// "Kept: frame misread": the status bytes are taken for the frame's opening, so the payload is read shifted and
// the checksum test fails (CommError(17)) in all but a chance case. "Reply checked" is ECRFrame::CheckReply: a
// reply too short for its checks throws ECRStringError (FailedCheck, ReplyLength); a refusal is no exception, it
// is returned as the code's text and recorded as Refused. "Device message and last code set": for a reply that
// passes, the sink reports the device code's message (for 0 too, "Operacija je uspesna") and makes the code the
// last device error code; a reply that fails leaves both alone. "Bounded by PollLimits": see ECREngine::PollLimits
// for what ends the waiting with CommError(10).
//
// The protocol interface: eleven operations in a fixed slot order, each with
// exactly one implementation (ECRDevice).
class ECRProtocol {
public:
    virtual ~ECRProtocol() = default;

    // Two uppercase hex digits of 0xFF XOR every payload byte (ECRFrame::Checksum). Frame and Unframe take
    // their checksum from this slot. Sends nothing.
    virtual ECRString Checksum(ECRString payload) = 0;                          // slot 0
    // ESC 'P' payload checksum ESC '\', the checksum from slot 0. Sends nothing; every request is framed here.
    virtual ECRString Frame(ECRString payload) = 0;                             // slot 1
    // The payload of a received frame (the empty text for an empty one) once its checksum digits match slot 0.
    // Throws CommError(17) on a mismatch and ECRStringError for 1 to 3 bytes. 17, not 18 ("Wrong checksum!"):
    // the design raises 17 there and never 18, and the windows' messages, ecrctl's exit codes and the traces are
    // built on it; the exchange's verdict names the failed check as Checksum.
    virtual ECRString Unframe(ECRString frame) = 0;                             // slot 2
    // The log-on's status enquiry: drains the line, sends ENQ alone and waits for one byte. Returns it as a
    // signed byte (a busy status is negative), or 0 when none came: nothing is thrown then, and the verdict is
    // NoReply with code 10 (Unchecked when the byte came). Throws the port's CommError.
    virtual std::int16_t ReadStatus() = 0;                                      // slot 3
    // Sends ACK (0x06) alone: no frame, no read, no verdict. Throws the port's CommError.
    virtual void SendAck() = 0;                                                 // slot 4
    // Sends NAK (0x15) alone: no frame, no read, no verdict. Throws the port's CommError.
    virtual void SendNak() = 0;                                                 // slot 5
    // Hands percent to the progress callback when one is set: -1 as a long read begins, then up to 100, which
    // ends it. Sends nothing.
    virtual void ReportProgress(std::int32_t percent) = 0;                      // slot 6
    // Sends the request as given and returns the reply's payload unchecked; see the table above. Used by the
    // connection monitor to send what the user typed.
    virtual ECRString SendRaw(ECRString request) = 0;                           // slot 7
    // As SendRaw, but the request goes to the traffic callback unframed and the reply may take timeoutMs;
    // see the table above.
    virtual ECRString SendReceive(ECRString request, std::int32_t timeoutMs) = 0;  // slot 8
    // Sends the command code and the fields (nullptr: none), each field's text followed by its terminator, and
    // returns the reply data; see the table above. Every command of the three groups goes through here.
    virtual ECRString Transact(ECRString command, const ECRFieldList* fields) = 0;  // slot 9
    // Sends the request as given (command code and fields already in it) and checks the reply like Transact, but
    // reads it once, without polling and without reporting the request; see the table above.
    virtual ECRString TransactNoPoll(ECRString request) = 0;                    // slot 10

    // Not one of the eleven: the verdicts of this device's own exchanges, which
    // tell whether the register did what it was asked (see ECRVerdict).
    virtual ECRVerdicts& Verdicts() = 0;
    // Not one of the eleven: how this device's reading commands take a reply
    // that lacks fields.
    virtual ECRMissingFields MissingFields() = 0;
    // The verdict on this device's most recent exchange; NoReply with code 0 before the first.
    const ECRVerdict& LastVerdict() { return Verdicts().Last(); }

    // The device error code most recently reported by any device object.
    // 0 after an accepted reply; raw exchanges and replies that fail their
    // check leave it as it was, and a new ECRDevice resets it to 0. Decide
    // nothing by it: another exchange or link may have set it (LastVerdict).
    static std::int32_t LastErrorCode();
};
