#pragma once

#include "ecr/commands/ECRFiscalCommands.h"

#include <array>
#include <cstdint>
#include <functional>

// Register operations made of more than one command, used alike by the
// dialogs and ecrctl. Fiscal writes are dated by the register's own clock,
// read just before: never the PC's. When the register refuses the clock
// read, the write is not sent (LastVerdict() then holds the refusal).
class ECROperations {
public:
    static constexpr std::int32_t kDailySeriesPauseMs = 500;

    // Where the pause of a daily-report series falls.
    enum class SeriesPause { AfterEach, Between };

    static void WriteTaxRatesNow(ECRFiscalCommands& device, const std::array<std::int32_t, 9>& rates);
    static void FiscalizeNow(ECRFiscalCommands& device, ECRString pib);
    static void PrintDailyReportNow(ECRFiscalCommands& device);

    // count daily reports in a row, kDailySeriesPauseMs apart; afterEach (if
    // set) gets the number done so far. A failure ends the series at the
    // failing step.
    static void PrintDailyReportSeries(ECRFiscalCommands& device, int count, SeriesPause pause,
                                       const std::function<void(int done)>& afterEach = {});
};
