#pragma once

#include "ecr/files/JsonValue.h"
#include "ecr/protocol/ECRString.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// The register's figures as ecrctl and ecrd show them in JSON, alike.
class RegisterFigures {
public:
    // A counter's text in hundredths as an amount: "1250" is "12.50"; none
    // for an empty text or one that is no number.
    static std::optional<std::string> Amount(std::string_view counter);
    // The thirteen totalizers by their names (ECRFiscalCommands::kTotalizerNames)
    // as amounts, null where the register gave no number.
    static JsonValue Totalizers(const std::array<ECRString, 13>& totals);
    // The nine tax rates by their names (A, G, ... K), in percent with two decimals.
    static JsonValue TaxRates(const std::array<std::int32_t, 9>& rates);
};
