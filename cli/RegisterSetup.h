#pragma once

#include "ecr/commands/ECRArticle.h"
#include "ecr/protocol/ECRString.h"

#include <array>
#include <cstdint>
#include <vector>

// Everything programmable a register holds that a replacement register can
// be given: the receipt header, the tax rates, the advertising text and the
// two printing switches, and the article table. Nothing fiscal (identifier,
// taxpayer number, fiscal memory) and nothing the register cannot report
// (the logo's picture). Texts are the register's Windows-1250 bytes.
struct RegisterSetup {
    std::array<ECRString, 5> headerLines;
    std::array<bool, 5> headerDouble{};
    std::array<std::int32_t, 9> taxRates{};  // A, G, D, Dj, E, Z, I, J, K in hundredths of a percent
    std::array<ECRString, 7> advertLines;
    std::array<bool, 7> advertDouble{};
    bool advertEnabled = false;
    bool logoEnabled = false;
    // Sorted by name (byte order), so that the same table gives the same
    // file whatever order the register stored it in.
    std::vector<ECRArticle> articles;
};
