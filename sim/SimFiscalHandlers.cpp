#include "sim/SimFiscalHandlers.h"

#include "ecr/protocol/DeviceCode.h"
#include "sim/SimLineBlock.h"
#include "sim/SimPrintout.h"

namespace {
constexpr std::int32_t kMaxTaxRate = 9999;        // 99.99 %
constexpr std::size_t kHeaderWidth = 32;
constexpr std::size_t kMaxIbfm = 16;
constexpr std::size_t kPibDigits = 9;
constexpr std::int64_t kDay = 86400;
}  // namespace

std::optional<SimOutcome> SimFiscalHandlers::Handle(const std::string& command, const std::string& body,
                                                    std::int64_t now)
{
    SimFieldReader fields(body);
    if (command == "$v") return ReadTaxRates(command);
    if (command == "#v") return WriteTaxRates(command, fields, now);
    if (command == "$c") return ReadClock(command, now);
    if (command == "#c") return SetClock(command, fields, now);
    if (command == "#t") return ShiftClockHour(command, fields);
    if (command == "#z") return DailyReport(command, fields, now);
    if (command == "#o") return PeriodicReport(command, fields, now);
    if (command == "#w") return StatusReport(command, now);
    if (command == "#u") return WriteIBFM(command, fields);
    if (command == "#k") return Fiscalize(command, fields, now);
    if (command == "#h") return WriteHeader(command, fields);
    if (command == "$h") return ReadHeader(command);
    if (command == "$t") return ReadTotalizers(command);
    return std::nullopt;
}

std::optional<std::int64_t> SimFiscalHandlers::DateTimeFields(SimFieldReader& fields)
{
    const auto year = fields.Count();
    const auto month = fields.Count();
    const auto day = fields.Count();
    const auto hour = fields.Count();
    const auto minute = fields.Count();
    if (!minute) {
        return std::nullopt;
    }
    return SimClock::FromWire(*year, *month, *day, *hour, *minute);
}

SimOutcome SimFiscalHandlers::ReadTaxRates(const std::string& command)
{
    std::string data;
    for (const std::int32_t rate : m_state.taxRates) {
        data += std::to_string(rate) + "\t";
    }
    return SimOutcome::Accept(command, data);
}

SimOutcome SimFiscalHandlers::WriteTaxRates(const std::string& command, SimFieldReader& fields, std::int64_t now)
{
    const auto when = DateTimeFields(fields);
    std::array<std::int64_t, 9> rates{};
    for (auto& rate : rates) {
        rate = fields.Amount().value_or(-1);
    }
    if (auto bad = SimOutcome::Malformed(command, fields)) {
        return *bad;
    }
    if (!when) {
        return SimOutcome::Refuse(command, DeviceCode::WrongDateTime);
    }
    for (const std::int64_t rate : rates) {
        if (rate < 0 || rate > kMaxTaxRate) {
            return SimOutcome::Refuse(command, DeviceCode::WrongTaxRates);
        }
    }
    for (std::size_t i = 0; i < rates.size(); ++i) {
        m_state.taxRates[i] = static_cast<std::int32_t>(rates[i]);
    }
    m_journal.Rule('=');
    m_journal.Line("PORESKE STOPE");
    m_journal.Line(SimJournal::DateTime(m_state.clock.Seconds(now)));
    for (std::size_t i = 0; i < rates.size(); ++i) {
        m_journal.Columns(SimPrintout::RateLetters()[i], SimJournal::Amount(rates[i]) + "%");
    }
    m_journal.Rule('=');
    return SimOutcome::Accept(command);
}

SimOutcome SimFiscalHandlers::ReadClock(const std::string& command, std::int64_t now)
{
    const SimClock::Calendar c = m_state.clock.Now(now);
    std::string data;
    for (const std::int32_t part : {c.year - 2000, c.month, c.day, c.hour, c.minute}) {
        data += std::to_string(part) + "\x1F";
    }
    return SimOutcome::Accept(command, data);
}

SimOutcome SimFiscalHandlers::SetClock(const std::string& command, SimFieldReader& fields, std::int64_t now)
{
    const auto when = DateTimeFields(fields);
    if (auto bad = SimOutcome::Malformed(command, fields)) {
        return *bad;
    }
    if (!when) {
        return SimOutcome::Refuse(command, DeviceCode::WrongDateTime);
    }
    // A fiscal register never goes back before its last stored daily report.
    if (m_state.fiscalized && !m_state.dailyReports.empty() && *when < m_state.dailyReports.back().time) {
        return SimOutcome::Refuse(command, DeviceCode::DateBeforeFiscalModule);
    }
    m_state.clock.Set(*when, now);
    return SimOutcome::Accept(command);
}

SimOutcome SimFiscalHandlers::ShiftClockHour(const std::string& command, SimFieldReader& fields)
{
    const auto direction = fields.Count();
    if (auto bad = SimOutcome::Malformed(command, fields)) {
        return *bad;
    }
    if (!SimFieldReader::IsFlag(*direction)) {
        return SimOutcome::Refuse(command, DeviceCode::WrongClockShift);
    }
    // The hour may only change between a daily report and the next receipt.
    if (m_state.receiptsToday > 0) {
        return SimOutcome::Refuse(command, DeviceCode::PrintedAfterReport);
    }
    m_state.clock.Shift(*direction == 1 ? 3600 : -3600);
    return SimOutcome::Accept(command);
}

SimOutcome SimFiscalHandlers::DailyReport(const std::string& command, SimFieldReader& fields, std::int64_t now)
{
    const auto when = DateTimeFields(fields);
    if (auto bad = SimOutcome::Malformed(command, fields)) {
        return *bad;
    }
    if (!when) {
        return SimOutcome::Refuse(command, DeviceCode::WrongDateTime);
    }
    SimRegisterState::DailyReport report;
    report.number = static_cast<std::int32_t>(m_state.dailyReports.size()) + 1;
    report.time = m_state.clock.Seconds(now);
    report.perRate = m_state.todayPerRate;
    report.fiscal = m_state.fiscalToday;
    report.nonFiscal = m_state.nonFiscalToday;
    report.receipts = m_state.receiptsToday;

    SimPrintout::Header(m_journal, m_state, report.time);
    m_journal.Line("DNEVNI IZVESTAJ br. " + std::to_string(report.number));
    SimPrintout::RateTotals(m_journal, m_state, report.perRate);
    m_journal.Columns("Broj racuna", std::to_string(report.receipts));
    m_journal.Columns("Fiskalni promet", SimJournal::Amount(report.fiscal));
    m_journal.Columns("Nefiskalni promet", SimJournal::Amount(report.nonFiscal));
    SimPrintout::Footer(m_journal, m_state);

    m_state.dailyReports.push_back(report);
    m_state.todayPerRate = {};
    m_state.fiscalToday = 0;
    m_state.nonFiscalToday = 0;
    m_state.receiptsToday = 0;
    return SimOutcome::Accept(command, {}, true);
}

SimOutcome SimFiscalHandlers::PeriodicReport(const std::string& command, SimFieldReader& fields, std::int64_t now)
{
    const auto fiscal = fields.Count();
    const auto fromYear = fields.Count();
    const auto fromMonth = fields.Count();
    const auto fromDay = fields.Count();
    const auto toYear = fields.Count();
    const auto toMonth = fields.Count();
    const auto toDay = fields.Count();
    if (auto bad = SimOutcome::Malformed(command, fields)) {
        return *bad;
    }
    if (!SimFieldReader::IsFlag(*fiscal)) {
        return SimOutcome::Refuse(command, DeviceCode::WrongParameter);
    }
    const auto from = SimClock::FromWire(*fromYear, *fromMonth, *fromDay, 0, 0);
    const auto to = SimClock::FromWire(*toYear, *toMonth, *toDay, 0, 0);
    if (!from || !to || *from > *to) {
        return SimOutcome::Refuse(command, DeviceCode::WrongReportPeriod);
    }
    std::array<std::int64_t, 9> perRate{};
    std::int64_t total = 0;
    std::int32_t count = 0;
    for (const auto& report : m_state.dailyReports) {
        if (report.time < *from || report.time >= *to + kDay) {
            continue;
        }
        ++count;
        for (std::size_t i = 0; i < perRate.size(); ++i) {
            perRate[i] += report.perRate[i];
        }
        total += *fiscal == 1 ? report.fiscal : report.nonFiscal;
    }
    if (count == 0) {
        return SimOutcome::Refuse(command, DeviceCode::NoReportInPeriod);
    }
    SimPrintout::Header(m_journal, m_state, m_state.clock.Seconds(now));
    m_journal.Line(*fiscal == 1 ? "FISKALNI PERIODICNI IZVESTAJ" : "NEFISKALNI PERIODICNI IZVESTAJ");
    m_journal.Line(SimJournal::Date(*from) + " - " + SimJournal::Date(*to));
    SimPrintout::RateTotals(m_journal, m_state, perRate);
    m_journal.Columns("Dnevnih izvestaja", std::to_string(count));
    m_journal.Columns("Ukupno", SimJournal::Amount(total));
    SimPrintout::Footer(m_journal, m_state);
    return SimOutcome::Accept(command, {}, true);
}

SimOutcome SimFiscalHandlers::StatusReport(const std::string& command, std::int64_t now)
{
    SimPrintout::Header(m_journal, m_state, m_state.clock.Seconds(now));
    m_journal.Line("PRESEK STANJA");
    SimPrintout::RateTotals(m_journal, m_state, m_state.todayPerRate);
    m_journal.Columns("Broj racuna", std::to_string(m_state.receiptsToday));
    m_journal.Columns("Fiskalni promet", SimJournal::Amount(m_state.fiscalToday));
    m_journal.Columns("Nefiskalni promet", SimJournal::Amount(m_state.nonFiscalToday));
    SimPrintout::Footer(m_journal, m_state);
    return SimOutcome::Accept(command, {}, true);
}

SimOutcome SimFiscalHandlers::WriteIBFM(const std::string& command, SimFieldReader& fields)
{
    const auto ibfm = fields.Line();
    if (auto bad = SimOutcome::Malformed(command, fields)) {
        return *bad;
    }
    if (m_state.fiscalized) {
        return SimOutcome::Refuse(command, DeviceCode::NotAllowedWhenFiscal);
    }
    if (!SimFieldReader::Printable(*ibfm, kMaxIbfm, false)) {
        return SimOutcome::Refuse(command, DeviceCode::WrongParameter);
    }
    m_state.ibfm = *ibfm;
    return SimOutcome::Accept(command);
}

SimOutcome SimFiscalHandlers::Fiscalize(const std::string& command, SimFieldReader& fields, std::int64_t now)
{
    const auto when = DateTimeFields(fields);
    const auto pib = fields.Line();
    if (auto bad = SimOutcome::Malformed(command, fields)) {
        return *bad;
    }
    if (!when) {
        return SimOutcome::Refuse(command, DeviceCode::WrongDateTime);
    }
    if (m_state.fiscalized) {
        return SimOutcome::Refuse(command, DeviceCode::NotAllowedWhenFiscal);
    }
    if (m_state.ibfm.empty()) {
        return SimOutcome::Refuse(command, DeviceCode::NoIbfm);
    }
    if (m_state.headerLines[0].empty()) {
        return SimOutcome::Refuse(command, DeviceCode::NoHeader);
    }
    if (pib->size() != kPibDigits || pib->find_first_not_of("0123456789") != std::string::npos) {
        return SimOutcome::Refuse(command, DeviceCode::WrongPibLength);
    }
    m_state.pib = *pib;
    m_state.fiscalized = true;
    SimPrintout::Header(m_journal, m_state, m_state.clock.Seconds(now));
    m_journal.Line("FISKALIZACIJA");
    m_journal.Columns("IBFM", m_state.ibfm);
    m_journal.Columns("PIB", m_state.pib);
    SimPrintout::Footer(m_journal, m_state);
    return SimOutcome::Accept(command, {}, true);
}

SimOutcome SimFiscalHandlers::WriteHeader(const std::string& command, SimFieldReader& fields)
{
    return SimLineBlock::Write(command, fields, m_state.headerLines, m_state.headerDouble, kHeaderWidth,
                               {.emptyFirstLine = DeviceCode::NoHeader, .badLine = DeviceCode::HeaderNotProgrammed});
}

SimOutcome SimFiscalHandlers::ReadHeader(const std::string& command)
{
    return SimLineBlock::Read(command, m_state.headerLines, m_state.headerDouble);
}

SimOutcome SimFiscalHandlers::ReadTotalizers(const std::string& command)
{
    std::string data;
    for (const std::int64_t amount : m_state.todayPerRate) {
        data += std::to_string(amount) + "\t";
    }
    for (const std::int64_t amount :
         {m_state.fiscalTotal, m_state.fiscalToday, m_state.nonFiscalTotal, m_state.nonFiscalToday}) {
        data += std::to_string(amount) + "\t";
    }
    return SimOutcome::Accept(command, data);
}
