#include "service/jobs/RegisterTotals.h"

#include <charconv>
#include <initializer_list>
#include <limits>

namespace {

constexpr std::size_t kFiscalTotal = 9;
constexpr std::size_t kFiscalToday = 10;
constexpr std::size_t kNonFiscalTotal = 11;
constexpr std::size_t kNonFiscalToday = 12;

// The sum of the figures at these indices; none when one is not a number.
std::optional<std::int64_t> Sum(const std::array<std::string, 13>& figures, std::initializer_list<std::size_t> indices)
{
    std::int64_t sum = 0;
    for (const std::size_t index : indices) {
        const std::string& text = figures[index];
        std::int64_t value = 0;
        const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
        if (text.empty() || error != std::errc() || end != text.data() + text.size())
            return std::nullopt;
        constexpr std::int64_t kMost = std::numeric_limits<std::int64_t>::max();
        constexpr std::int64_t kLeast = std::numeric_limits<std::int64_t>::min();
        if ((value > 0 && sum > kMost - value) || (value < 0 && sum < kLeast - value))
            return std::nullopt;
        sum += value;
    }
    return sum;
}

}  // namespace

RegisterTotals RegisterTotals::From(const std::array<ECRString, 13>& read)
{
    RegisterTotals totals;
    for (std::size_t i = 0; i < read.size(); ++i)
        totals.figures[i] = std::string(read[i].Data(), read[i].Length());
    return totals;
}

std::optional<std::int64_t> RegisterTotals::GrandTotal() const
{
    return Sum(figures, {kFiscalTotal, kNonFiscalTotal});
}

std::optional<std::int64_t> RegisterTotals::Today() const
{
    return Sum(figures, {0, 1, 2, 3, 4, 5, 6, 7, 8, kFiscalToday, kNonFiscalToday});
}
