#pragma once

#include "ecr/protocol/ECRString.h"

#include <cstdint>
#include <string>

// Reads the fields of a reply from its front. A missing field reads as the
// empty text, and so as 0 for a number.
class ECRReply {
public:
    explicit ECRReply(ECRString data) : m_data(data) {}

    // The text before the first terminator, removed with it; without a
    // terminator, everything that is left.
    ECRString Take(char terminator);
    // As Take, for a number the reply may leave out: an empty field reads as
    // 0 (as the design reads a missing one); any other text must be a
    // decimal number from low to high, else ECRReplyError (CommError(16))
    // naming the field. A garbled or clamped value is never taken for the
    // register's.
    std::int32_t TakeNumber(char terminator, const std::string& field, std::int32_t low, std::int32_t high);
    // As Take, for a counter kept as the register's text (the totalizers,
    // which may pass the int range): empty, or an optional "-" and 1 to 18
    // digits, else ECRReplyError naming the field.
    ECRString TakeCounter(char terminator, const std::string& field);
    // As Take, for a number the reply cannot do without: one that is not a
    // decimal number (missing or garbled) throws CommError(16).
    std::int32_t TakeDecimal(char terminator);

    // As Take, for a field the reply cannot do without: a reply without the
    // terminator throws CommError(16), since what is left is not that field.
    ECRString TakeField(char terminator);

    // What is left, converted to a number from its first character (ECRAtoi:
    // 0 when it holds none; nothing is thrown).
    std::int32_t RestInt() const;
    // As RestInt, but what is left must be a decimal number (else CommError(16)).
    std::int32_t RestDecimal() const;
    // What is left, read as TakeNumber reads a field.
    std::int32_t RestNumber(const std::string& field, std::int32_t low, std::int32_t high) const;
    // What has not been taken yet.
    const ECRString& Rest() const { return m_data; }

private:
    ECRString m_data;
};
