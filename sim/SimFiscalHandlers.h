#pragma once

#include "sim/SimJournal.h"
#include "sim/SimOutcome.h"
#include "sim/SimRegisterState.h"

#include <cstdint>
#include <optional>
#include <string>

// Tax rates, clock, fiscal reports, fiscalization, header and totalizers.
class SimFiscalHandlers {
public:
    SimFiscalHandlers(SimRegisterState& state, SimJournal& journal) : m_state(state), m_journal(journal) {}

    // The answer to a request of this group, or nothing for another group's command.
    std::optional<SimOutcome> Handle(const std::string& command, const std::string& body, std::int64_t now);

private:
    SimOutcome ReadTaxRates(const std::string& command);
    SimOutcome WriteTaxRates(const std::string& command, SimFieldReader& fields, std::int64_t now);
    SimOutcome ReadClock(const std::string& command, std::int64_t now);
    SimOutcome SetClock(const std::string& command, SimFieldReader& fields, std::int64_t now);
    SimOutcome ShiftClockHour(const std::string& command, SimFieldReader& fields);
    SimOutcome DailyReport(const std::string& command, SimFieldReader& fields, std::int64_t now);
    SimOutcome PeriodicReport(const std::string& command, SimFieldReader& fields, std::int64_t now);
    SimOutcome StatusReport(const std::string& command, std::int64_t now);
    SimOutcome WriteIBFM(const std::string& command, SimFieldReader& fields);
    SimOutcome Fiscalize(const std::string& command, SimFieldReader& fields, std::int64_t now);
    SimOutcome WriteHeader(const std::string& command, SimFieldReader& fields);
    SimOutcome ReadHeader(const std::string& command);
    SimOutcome ReadTotalizers(const std::string& command);

    // Five kind-1 date and time fields as register seconds; nothing for a missing or impossible one.
    static std::optional<std::int64_t> DateTimeFields(SimFieldReader& fields);

    SimRegisterState& m_state;
    SimJournal& m_journal;
};
