#include "ecr/protocol/ECRFrame.h"

#include "ecr/protocol/CommError.h"
#include "ecr/protocol/ECRAtoi.h"

ECRString ECRFrame::Checksum(ECRString payload)
{
    unsigned char sum = 0xFF;
    const auto* bytes = reinterpret_cast<const unsigned char*>(payload.Data());
    for (std::uint32_t i = 0; i < payload.Length(); ++i) {
        sum ^= bytes[i];
    }
    // Two upper-case hex digits, as "%02X" writes them, without the formatter's cost on every frame.
    constexpr char kHex[] = "0123456789ABCDEF";
    const char digits[3] = {kHex[sum >> 4], kHex[sum & 0x0F], '\0'};
    return ECRString(digits);
}

ECRString ECRFrame::Frame(ECRString payload, const ChecksumFunction& checksum)
{
    ECRString frame(ESC);
    frame += ECRString(OPENER);
    frame += payload;
    frame += checksum(payload);
    frame += ECRString(ESC);
    frame += ECRString(CLOSER);
    return frame;
}

ECRString ECRFrame::Unframe(ECRString frame, const ChecksumFunction& checksum)
{
    const std::uint32_t n = frame.Length();
    if (n == 0) {
        return ECRString();
    }
    // For n < 4 the second position wraps around as unsigned and is clamped;
    // the checksum positions below then lie outside the frame and throw.
    ECRString payload = frame.Mid(2, n - 4);
    const ECRString digits = checksum(payload);
    if (frame.CharAt(n - 4) != digits.CharAt(0) || frame.CharAt(n - 3) != digits.CharAt(1)) {
        throw CommError(CommError::InvalidCommand);
    }
    return payload;
}

char ECRFrame::Terminator(std::int32_t kind)
{
    switch (kind) {
    case 1:
        return US;
    case 2:
        return LF;
    case 3:
        return HT;
    default:
        return 0;
    }
}

ECRString ECRFrame::AssembleRequest(ECRString command, const ECRFieldList& fields)
{
    ECRString request(command);
    for (const ECRField& field : fields) {
        request += field.text;
        const char terminator = Terminator(field.kind);
        if (terminator != 0) {
            request += ECRString(terminator);
        }
    }
    return request;
}

ECRString ECRFrame::CheckReply(const ECRString& command, ECRString reply, ECRMessageSink& sink, ECRVerdict* verdict)
{
    // Every failed check is the same Sync error to the caller; the verdict
    // (when asked for) says which check it was.
    const auto fail = [verdict](ECRVerdict::Check check) {
        if (verdict != nullptr) {
            verdict->kind = ECRVerdict::Kind::FailedCheck;
            verdict->check = check;
        }
        return CommError(CommError::Sync);
    };
    const auto pass = [verdict, &sink](std::int32_t code) {
        sink.ReportCode(code);
        if (verdict != nullptr) {
            verdict->kind = code == 0 ? ECRVerdict::Kind::Accepted : ECRVerdict::Kind::Refused;
            verdict->code = code;
            verdict->check = ECRVerdict::Check::None;
        }
    };
    // Indexing past the end throws ECRStringError: the reply is too short for
    // what is checked. The verdict says so until a check has passed or failed.
    if (verdict != nullptr) {
        verdict->kind = ECRVerdict::Kind::FailedCheck;
        verdict->check = ECRVerdict::Check::ReplyLength;
    }
    const unsigned char replyClass = reply.CharAt(0);
    if (replyClass != '#' && replyClass != '$' && replyClass != '*' && replyClass != '%') {
        throw fail(ECRVerdict::Check::ReplyClass);
    }
    const unsigned char letter = reply.CharAt(1);
    if (replyClass == '#' && letter == 'Z') {
        const unsigned char echo = reply.CharAt(2);
        if (echo != command.CharAt(0) && echo != command.CharAt(1)) {
            throw fail(ECRVerdict::Check::ErrorEcho);
        }
        reply.Tokenize(LF);
        ECRString code = reply.Tokenize(US);
        // A code that is not a number tells nothing of what the register did.
        if (!ECRIsDecimal(code)) {
            throw fail(ECRVerdict::Check::ErrorCode);
        }
        pass(ECRAtoi(code));
        return code;
    }
    if ((replyClass == '#' || replyClass == '*') && letter == command.CharAt(1)) {
        pass(0);
        return reply.Mid(2);
    }
    if (replyClass != '$' && replyClass != '%' && replyClass != '*') {
        throw fail(ECRVerdict::Check::ReplyLetter);
    }
    unsigned char expected = command.CharAt(1);
    if (expected >= 'a' && expected <= 'z') {
        expected = static_cast<unsigned char>(expected - 'a' + 'A');
    }
    if (letter != expected) {
        throw fail(ECRVerdict::Check::ReplyLetter);
    }
    pass(0);
    return reply.Mid(2);
}
