#include "sim/SimTransaction.h"

#include <algorithm>

std::int64_t SimTransaction::LineAmount(std::int64_t price, std::int64_t quantity)
{
    return (price * quantity + 500) / 1000;
}

void SimTransaction::Sell(const std::string& name, std::int64_t price, std::int64_t quantity,
                          std::int32_t taxRate, std::int32_t unit)
{
    m_lines.push_back(Line{name, price, quantity, taxRate, unit, LineAmount(price, quantity)});
}

std::int64_t SimTransaction::Remaining(const std::string& name, std::int64_t price) const
{
    std::int64_t quantity = 0;
    for (const Line& line : m_lines) {
        if (line.name == name && line.price == price) {
            quantity += line.quantity;
        }
    }
    return quantity;
}

bool SimTransaction::Void(const std::string& name, std::int64_t price, std::int64_t quantity)
{
    if (quantity <= 0 || Remaining(name, price) < quantity) {
        return false;
    }
    std::int32_t taxRate = 0;
    std::int32_t unit = 0;
    for (const Line& line : m_lines) {
        if (line.name == name && line.price == price && line.quantity > 0) {
            taxRate = line.taxRate;
            unit = line.unit;
        }
    }
    // Lines are rounded one by one, so voids in parts could take back more
    // than the sales added: a void takes at most what is left of the article,
    // and all of it when it leaves none of the quantity.
    std::int64_t amountLeft = 0;
    for (const Line& line : m_lines) {
        if (line.name == name && line.price == price) {
            amountLeft += line.amount;
        }
    }
    const std::int64_t amount =
        quantity == Remaining(name, price) ? amountLeft : std::min(LineAmount(price, quantity), amountLeft);
    m_lines.push_back(Line{name, price, -quantity, taxRate, unit, -amount});
    return true;
}

std::int64_t SimTransaction::Total() const
{
    std::int64_t total = 0;
    for (const Line& line : m_lines) {
        total += line.amount;
    }
    return total;
}

std::array<std::int64_t, 9> SimTransaction::TotalsPerRate() const
{
    std::array<std::int64_t, 9> totals{};
    for (const Line& line : m_lines) {
        totals[static_cast<std::size_t>(line.taxRate)] += line.amount;
    }
    return totals;
}
