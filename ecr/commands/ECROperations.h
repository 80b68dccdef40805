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
    // The pause between the daily reports of a series (ECRSleep).
    static constexpr std::int32_t kDailySeriesPauseMs = 500;

    // Where the pause of a daily-report series falls: after every report, the
    // last one too, or only between two.
    enum class SeriesPause { AfterEach, Between };

    // Each reads the clock ("$c", ECRFiscalCommands::ReadClock) and, when that
    // was accepted, sends the write dated with it: "#v" (WriteTaxRates), "#k"
    // (Fiscalize) or "#z" (PrintDailyReport). They throw what those throw: a
    // clock reply that is no valid date throws CommError(16) and nothing is
    // written. A refusal of either is not thrown (LastVerdict()).
    static void WriteTaxRatesNow(ECRFiscalCommands& device, const std::array<std::int32_t, 9>& rates);
    static void FiscalizeNow(ECRFiscalCommands& device, ECRString pib);
    // beforeReport (if set) is called between the clock read and "#z", once
    // the clock was accepted: ecrd records there what it is about to send.
    // What it throws ends the operation with nothing more sent.
    static void PrintDailyReportNow(ECRFiscalCommands& device, const std::function<void()>& beforeReport = {});

    // count daily reports in a row, kDailySeriesPauseMs apart; afterEach (if
    // set) gets the number done so far. A failure ends the series at the
    // failing step.
    // A failure here is a thrown one: a refused clock read or report throws
    // nothing, and the series goes on unless afterEach throws (it may judge
    // each report with an ECRVerdictWatch).
    static void PrintDailyReportSeries(ECRFiscalCommands& device, int count, SeriesPause pause,
                                       const std::function<void(int done)>& afterEach = {});
};
