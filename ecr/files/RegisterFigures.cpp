#include "ecr/files/RegisterFigures.h"

#include "ecr/commands/ECRCommandTable.h"
#include "ecr/commands/ECRFiscalCommands.h"
#include "ecr/commands/ScaledAmount.h"

#include <charconv>

std::optional<std::string> RegisterFigures::Amount(std::string_view counter)
{
    std::int64_t value = 0;
    const char* end = counter.data() + counter.size();
    if (counter.empty() || std::from_chars(counter.data(), end, value).ptr != end)
        return std::nullopt;
    return FormatScaled(value, 2).Data();
}

JsonValue RegisterFigures::Totalizers(const std::array<ECRString, 13>& totals)
{
    JsonValue json = JsonValue::Object();
    for (std::size_t i = 0; i < totals.size(); ++i) {
        const std::optional<std::string> amount = Amount(std::string_view(totals[i].Data(), totals[i].Length()));
        json.Set(ECRFiscalCommands::kTotalizerNames[i], amount ? JsonValue(*amount) : JsonValue());
    }
    return json;
}

JsonValue RegisterFigures::TaxRates(const std::array<std::int32_t, 9>& rates)
{
    JsonValue json = JsonValue::Object();
    for (std::size_t i = 0; i < rates.size(); ++i)
        json.Set(ECRCommandTable::RateName(static_cast<int>(i)), FormatScaled(rates[i], 2).Data());
    return json;
}
