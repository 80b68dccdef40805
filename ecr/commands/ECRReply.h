#pragma once

#include "ecr/protocol/ECRString.h"

#include <cstdint>

// Reads the fields of a reply from its front. A missing field reads as the
// empty text, and so as 0 for a number.
class ECRReply {
public:
    explicit ECRReply(ECRString data) : m_data(data) {}

    // The text before the first terminator, removed with it; without a
    // terminator, everything that is left.
    ECRString Take(char terminator);
    // Take, read as ECRAtoi reads it: a garbled field gives its leading
    // number or 0, and nothing is thrown.
    std::int32_t TakeInt(char terminator);
    // As TakeInt, for a field the reply cannot do without: one that is not a
    // decimal number (missing or garbled) throws CommError(16).
    std::int32_t TakeDecimal(char terminator);

    // As Take, for a field the reply cannot do without: a reply without the
    // terminator throws CommError(16), since what is left is not that field.
    ECRString TakeField(char terminator);

    // As Take, but only when at least one character stands before the
    // terminator; otherwise the empty text, and nothing is removed. This is
    // how the register's header and advertising lines and flags are read.
    // A terminator that stands first is not removed, so every later
    // TakeNonEmpty with it gives the empty text too.
    ECRString TakeNonEmpty(char terminator);

    // What is left, converted to a number from its first character (ECRAtoi:
    // 0 when it holds none; nothing is thrown).
    std::int32_t RestInt() const;
    // As RestInt, but what is left must be a decimal number (else CommError(16)).
    std::int32_t RestDecimal() const;
    // What has not been taken yet.
    const ECRString& Rest() const { return m_data; }

private:
    ECRString m_data;
};
