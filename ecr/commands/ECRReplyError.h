#pragma once

#include "ecr/protocol/CommError.h"

#include <string>

// A reply that failed its check on a field the command reads: a number that
// is not one, or is out of the range the register's values keep to, or a
// field the reply does not hold where that is a failure. Thrown
// as the design's CommError(16) (Sync), so whatever catches a failed reply
// catches it; ecrctl also names the field and its value.
class ECRReplyError : public CommError {
public:
    // field as ecrctl names it ("price", "tax rate A"); value the field's
    // text as it came (the register's Windows-1250).
    ECRReplyError(std::string field, std::string value, std::string expected)
        : CommError(CommError::Sync),
          m_field(std::move(field)),
          m_value(std::move(value)),
          m_expected(std::move(expected))
    {
    }

    // A field the reply does not hold.
    static ECRReplyError Missing(std::string field);

    const std::string& Field() const { return m_field; }
    // "price: -5 is not a number from 0 to 99999999", "tax rate K is missing"
    std::string Describe() const;

private:
    std::string m_field;
    std::string m_value;
    std::string m_expected;
    bool m_missing = false;
};
