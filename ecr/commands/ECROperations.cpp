#include "ecr/commands/ECROperations.h"

#include "ecr/protocol/ECRSleep.h"

#include <optional>

namespace {

// The register's clock, or nothing when the register refused to give it: a
// fiscal write is never dated with the empty answer of a refusal.
std::optional<ECRDateTime> RegisterNow(ECRFiscalCommands& device)
{
    const ECRDateTime now = device.ReadClock();
    if (!device.LastVerdict().IsAccepted()) {
        return std::nullopt;
    }
    return now;
}

}  // namespace

void ECROperations::WriteTaxRatesNow(ECRFiscalCommands& device, const std::array<std::int32_t, 9>& rates)
{
    if (const auto now = RegisterNow(device)) {
        device.WriteTaxRates(rates, *now);
    }
}

void ECROperations::FiscalizeNow(ECRFiscalCommands& device, ECRString pib)
{
    if (const auto now = RegisterNow(device)) {
        device.Fiscalize(*now, pib);
    }
}

void ECROperations::PrintDailyReportNow(ECRFiscalCommands& device, const std::function<void()>& beforeReport)
{
    if (const auto now = RegisterNow(device)) {
        if (beforeReport) {
            beforeReport();
        }
        device.PrintDailyReport(*now);
    }
}

void ECROperations::PrintDailyReportSeries(ECRFiscalCommands& device, int count, SeriesPause pause,
                                           const std::function<void(int done)>& afterEach)
{
    for (int done = 1; done <= count; ++done) {
        PrintDailyReportNow(device);
        if (afterEach) {
            afterEach(done);
        }
        if (pause == SeriesPause::AfterEach || done < count) {
            ECRSleep(kDailySeriesPauseMs);
        }
    }
}
