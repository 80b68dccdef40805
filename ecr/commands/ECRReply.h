#pragma once

#include "ecr/protocol/ECRProtocol.h"
#include "ecr/protocol/ECRString.h"

#include <cstdint>
#include <string>

// Reads the fields of a reply from its front. What a field the reply does not
// hold reads as depends on the device's ECRMissingFields: as the design reads
// it (the empty text, and so 0 for a number), or as a reply that failed its
// check (ECRReplyError::Missing naming the field). The fields every reading
// fails without (TakeDecimal, TakeField) fail either way.
class ECRReply {
public:
    ECRReply(ECRString data, ECRMissingFields missing) : m_data(data), m_missing(missing) {}

    // The text before the first terminator, removed with it; without a
    // terminator, everything that is left. For a field that is skipped.
    ECRString Take(char terminator);
    // As Take, for a text field; with Fail, a reply with nothing left is
    // ECRReplyError::Missing (an empty text before its terminator is a text).
    ECRString TakeText(char terminator, const std::string& field);
    // As Take, for a number: any text must be a decimal number from low to
    // high, else ECRReplyError (CommError(16)) naming the field. A garbled or
    // clamped value is never taken for the register's. An empty field reads
    // as 0 with ReadEmpty; with Fail it is missing when nothing is left, and
    // else not a number.
    std::int32_t TakeNumber(char terminator, const std::string& field, std::int32_t low, std::int32_t high);
    // As TakeNumber, for a counter kept as the register's text (the
    // totalizers, which may pass the int range): an optional "-" and 1 to 18
    // digits.
    ECRString TakeCounter(char terminator, const std::string& field);
    // As Take, for a number the reply cannot do without: one that is missing
    // or not a decimal number throws ECRReplyError naming the field.
    std::int32_t TakeDecimal(char terminator, const std::string& field);

    // As Take, for a field the reply cannot do without: a reply without the
    // terminator throws ECRReplyError::Missing, since what is left is not
    // that field.
    ECRString TakeField(char terminator, const std::string& field);

    // What is left, as a switch: with ReadEmpty true when it converts to 1
    // from its first character (ECRAtoi: 0 when it holds no number); with
    // Fail, it must be 0 or 1.
    bool RestFlag(const std::string& field) const;
    // What is left, read as TakeDecimal reads a field.
    std::int32_t RestDecimal(const std::string& field) const;
    // What is left, read as TakeNumber reads a field.
    std::int32_t RestNumber(const std::string& field, std::int32_t low, std::int32_t high) const;
    // What has not been taken yet.
    const ECRString& Rest() const { return m_data; }

private:
    // With Fail and nothing left, ECRReplyError::Missing(field).
    void ExpectMore(const std::string& field) const;
    std::int32_t Number(const ECRString& text, const std::string& field, std::int32_t low, std::int32_t high) const;

    ECRString m_data;
    ECRMissingFields m_missing;
};
