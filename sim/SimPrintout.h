#pragma once

#include "sim/SimJournal.h"
#include "sim/SimRegisterState.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

// Pieces of paper the register prints in more than one place.
class SimPrintout {
public:
    static const std::array<const char*, 9>& RateLetters();

    // Header lines (double-size ones spaced out), then the date and time.
    static void Header(SimJournal& journal, const SimRegisterState& state, std::int64_t seconds);

    // One line per tax rate with turnover, and the tax it holds.
    static void RateTotals(SimJournal& journal, const SimRegisterState& state,
                           const std::array<std::int64_t, 9>& perRate);

    // The logo rows as text art: one character per hex digit, by how many of its dots are black.
    static void LogoArt(SimJournal& journal, const std::vector<std::string>& rows);

    static void Footer(SimJournal& journal, const SimRegisterState& state);
};
