#pragma once

#include "sim/SimArticleStore.h"
#include "sim/SimClock.h"
#include "sim/SimTransaction.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// Everything the simulated register remembers between requests.
struct SimRegisterState {
    // One stored daily report (the fiscal memory's record of a day).
    struct DailyReport {
        std::int32_t number = 0;
        std::int64_t time = 0;  // register seconds when it was made
        std::array<std::int64_t, 9> perRate{};
        std::int64_t fiscal = 0;
        std::int64_t nonFiscal = 0;
        std::int32_t receipts = 0;
    };

    static constexpr std::size_t kLogoRows = 156;
    static constexpr std::size_t kLogoRowHex = 90;

    SimClock clock;

    std::array<std::int32_t, 9> taxRates{2000, 1000, 0, 0, 0, 0, 0, 0, 0};  // hundredths of a percent
    std::array<std::string, 5> headerLines{"PRODAVNICA", "Glavna 1", "Beograd", "", ""};
    std::array<bool, 5> headerDouble{true, false, false, false, false};

    std::string ibfm;
    std::string pib;
    bool fiscalized = false;

    SimArticleStore articles;
    std::optional<SimTransaction> transaction;
    std::int32_t receiptNumber = 0;

    // Turnover since the last daily report, and the running totals.
    std::array<std::int64_t, 9> todayPerRate{};
    std::int64_t fiscalTotal = 0;
    std::int64_t fiscalToday = 0;
    std::int64_t nonFiscalTotal = 0;
    std::int64_t nonFiscalToday = 0;
    std::int32_t receiptsToday = 0;
    std::vector<DailyReport> dailyReports;

    std::array<std::string, 7> advertLines{};
    std::array<bool, 7> advertDouble{};
    bool logoEnabled = false;
    bool advertEnabled = false;

    bool infoPrintOpen = false;
    std::vector<std::string> infoLines;

    std::array<std::string, 2> display{};

    std::array<std::string, kLogoRows> logoRows{};  // uploaded rows, hex; empty = not sent
    std::vector<std::string> storedLogo;             // rows of the logo last stored
};
