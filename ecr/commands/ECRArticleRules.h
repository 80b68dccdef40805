#pragma once

#include "ecr/commands/ECRArticle.h"
#include "ecr/commands/TextFault.h"

#include <cstddef>
#include <cstdint>
#include <optional>

// What the register takes for an article (the simulated register applies
// the same limits). Checked before a file's articles are sent, so that one
// bad line cannot leave the register half programmed or corrupt a request.
class ECRArticleRules {
public:
    static constexpr std::size_t kNameLength = 32;        // bytes, one per character
    static constexpr std::int32_t kMaxPrice = 99999999;   // 999 999.99
    static constexpr std::int32_t kMaxTaxRate = 8;        // rate index
    static constexpr std::int32_t kMaxUnit = 9;           // unit of measure index
    static constexpr std::size_t kCapacity = 15000;       // articles the register holds

    // Which field the register would refuse and why; FaultText words it.
    struct Fault {
        enum class Field { Name, Price, TaxRate, Unit };
        enum class Rule {
            Empty,
            TooLong,      // count characters, limit at most
            ControlByte,  // text: which byte, where
            Backslash,    // at character count
            OutOfRange,   // outside low..high, amounts with decimals
        };
        Field field = Field::Name;
        Rule rule = Rule::Empty;
        // TooLong: the name's length; Backslash: the backslash's position, from 1.
        std::int64_t count = 0;
        // OutOfRange: the lowest allowed.
        std::int64_t low = 0;
        std::int64_t limit = 0;  // TooLong: the longest; OutOfRange: the highest
        // OutOfRange: how many of the digits are decimals (2 for the price).
        int decimals = 0;
        // ControlByte: which byte, and where.
        TextFault text;
    };

    // The first field the register would refuse, or nothing. Checked in this
    // order: the name (empty, longer than kNameLength bytes, CheckNameBytes),
    // the price (1..kMaxPrice), the tax rate (0..kMaxTaxRate), the unit
    // (0..kMaxUnit). Sends nothing; value1 and value2 are not checked.
    static std::optional<Fault> Check(const ECRArticle& article);
    // A name's bytes alone: a control byte (the field terminators among
    // them) would split or end the request's field, and a backslash would
    // cut a reply that carries the name short. ControlByte (the first one) or
    // Backslash; the name's length is not looked at.
    static std::optional<Fault> CheckNameBytes(const ECRString& name);
};
