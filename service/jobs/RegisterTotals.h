#pragma once

#include "ecr/protocol/ECRString.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>

// The register's thirteen totalizers as "$t" gave them (text in
// hundredths, kept as it came): A .. K, the fiscal total and today's, the
// non-fiscal total and today's. A lost answer is settled by comparing two
// readings of them.
struct RegisterTotals {
    std::array<std::string, 13> figures;

    static RegisterTotals From(const std::array<ECRString, 13>& read);

    // Fiscal plus non-fiscal grand totals: what a printed receipt adds its
    // total to. None when a figure is not a number.
    std::optional<std::int64_t> GrandTotal() const;
    // Today's figures (the nine rates, fiscal and non-fiscal today): what a
    // daily report sets back to zero. None when a figure is not a number.
    std::optional<std::int64_t> Today() const;

    bool operator==(const RegisterTotals& other) const { return figures == other.figures; }
};
