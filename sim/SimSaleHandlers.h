#pragma once

#include "sim/SimJournal.h"
#include "sim/SimOutcome.h"
#include "sim/SimRegisterState.h"

#include <cstdint>
#include <optional>
#include <string>

// The article database and the sales transaction.
class SimSaleHandlers {
public:
    // Limits of what the register accepts for an article or a sale line.
    static constexpr std::size_t kNameLength = 32;
    static constexpr std::int64_t kMaxPrice = 99999999;      // 999 999.99
    static constexpr std::int64_t kMaxQuantity = 99999999;   // 99 999.999
    static constexpr std::int64_t kMaxReceipt = 9999999999;  // 99 999 999.99
    static constexpr std::int32_t kUnits = 10;

    SimSaleHandlers(SimRegisterState& state, SimJournal& journal) : m_state(state), m_journal(journal) {}

    std::optional<SimOutcome> Handle(const std::string& command, const std::string& body, std::int64_t now);

private:
    SimOutcome DeleteAll(const std::string& command);
    SimOutcome DeleteArticle(const std::string& command, SimFieldReader& fields);
    SimOutcome WriteArticle(const std::string& command, SimFieldReader& fields);
    SimOutcome ReadArticle(const std::string& command, SimFieldReader& fields);
    SimOutcome Begin(const std::string& command, SimFieldReader& fields, std::int64_t now);
    SimOutcome Sell(const std::string& command, SimFieldReader& fields);
    SimOutcome Void(const std::string& command, SimFieldReader& fields);
    SimOutcome Subtotal(const std::string& command);
    SimOutcome End(const std::string& command, SimFieldReader& fields);
    SimOutcome Cancel(const std::string& command);

    // The refusal code for a bad article name, price, tax rate or unit, or 0.
    static std::int32_t CheckArticle(const std::string& name, std::int64_t price, std::int64_t taxRate,
                                     std::int64_t unit);

    SimRegisterState& m_state;
    SimJournal& m_journal;
};
