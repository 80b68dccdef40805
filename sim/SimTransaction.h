#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

// The open receipt: who opened it and its lines, sales and voids, with the
// totals they add up to.
class SimTransaction {
public:
    struct Line {
        std::string name;
        std::int64_t price = 0;     // hundredths
        std::int64_t quantity = 0;  // thousandths; negative for a void
        std::int32_t taxRate = 0;
        std::int32_t unit = 0;
        std::int64_t amount = 0;    // hundredths, negative for a void
    };

    static constexpr std::size_t kMaxLines = 200;

    SimTransaction(std::string registerNumber, std::string cashier)
        : m_registerNumber(std::move(registerNumber)), m_cashier(std::move(cashier))
    {
    }

    // price x quantity, rounded half up to hundredths.
    static std::int64_t LineAmount(std::int64_t price, std::int64_t quantity);

    void Sell(const std::string& name, std::int64_t price, std::int64_t quantity, std::int32_t taxRate,
              std::int32_t unit);

    // The quantity of name at price still on the receipt (sold less voided).
    std::int64_t Remaining(const std::string& name, std::int64_t price) const;
    // Adds a void line for a sale on the receipt; false when no such quantity is left.
    bool Void(const std::string& name, std::int64_t price, std::int64_t quantity);

    std::int64_t Total() const;
    std::array<std::int64_t, 9> TotalsPerRate() const;

    const std::vector<Line>& Lines() const { return m_lines; }
    const std::string& RegisterNumber() const { return m_registerNumber; }
    const std::string& Cashier() const { return m_cashier; }

private:
    std::string m_registerNumber;
    std::string m_cashier;
    std::vector<Line> m_lines;
};
