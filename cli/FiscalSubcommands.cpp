#include "cli/FiscalSubcommands.h"

#include "cli/CliArgs.h"
#include "cli/CliSession.h"
#include "ecr/commands/ECRCommandTable.h"
#include "ecr/commands/ECROperations.h"
#include "ecr/commands/ScaledAmount.h"
#include "ecr/files/RegisterFigures.h"

#include <array>
#include <optional>

namespace {

const char* const kTotalTexts[13] = {"A",
                                     "G",
                                     "D",
                                     "Dj",
                                     "E",
                                     "Z",
                                     "I",
                                     "J",
                                     "K",
                                     "fiscal total",
                                     "fiscal today",
                                     "non-fiscal total",
                                     "non-fiscal today"};

void ShowClock(CliSession& session, const ECRDateTime& now)
{
    const std::string text = CliArgs::FormatDateTime(now);
    session.Output().Line(text);
    session.Output().Result().Set("clock", text);
}

}  // namespace

void FiscalSubcommands::Register(CLI::App& app, CliAction& chosen)
{
    RegisterClock(app, chosen);
    RegisterTaxRates(app, chosen);
    RegisterHeader(app, chosen);
    RegisterReports(app, chosen);

    CLI::App* ibfm = app.add_subcommand("ibfm", "Write the fiscal module identifier");
    ibfm->add_option("ID", m_ibfm, "identifier, sent as typed")->required()->check(RegisterText());
    OnChosen(ibfm, chosen,
             [this](CliSession& s) { s.Checked([&] { s.Device().WriteIBFM(CliArgs::ToRegister(m_ibfm)); }); });

    CLI::App* fiscalize = app.add_subcommand("fiscalize", "Fiscalize with the taxpayer number, at the register's time");
    fiscalize->add_option("PIB", m_pib, "taxpayer number")->required()->check(RegisterText());
    OnChosen(fiscalize, chosen, [this](CliSession& s) {
        s.Checked([&] { ECROperations::FiscalizeNow(s.Device(), CliArgs::ToRegister(m_pib)); });
    });

    CLI::App* totalizers = app.add_subcommand("totalizers", "Read the totalizers");
    OnChosen(totalizers, chosen, [](CliSession& s) {
        std::array<ECRString, 13> totals;
        s.Checked([&] { s.Device().ReadTotalizers(totals); });
        // Hundredths, shown as every amount is (a missing one as nothing).
        s.Output().Result().Set("totalizers", RegisterFigures::Totalizers(totals));
        for (std::size_t i = 0; i < totals.size(); ++i)
            s.Output().Line(
                std::string(kTotalTexts[i]) + "\t" +
                RegisterFigures::Amount(std::string_view(totals[i].Data(), totals[i].Length())).value_or(""));
    });
}

void FiscalSubcommands::RegisterClock(CLI::App& app, CliAction& chosen)
{
    CLI::App* clock = app.add_subcommand("clock", "Read, set or shift the register's clock");
    clock->require_subcommand(0, 1);
    OnChosen(clock, chosen, [](CliSession& s) { ShowClock(s, s.Checked([&] { return s.Device().ReadClock(); })); });

    CLI::App* set = clock->add_subcommand("set", "Set the clock");
    set->add_option("DATETIME", m_dateTime, "\"YYYY-MM-DD HH:MM\"")
        ->required()
        ->check(Converts(CliArgs::DateTime, "YYYY-MM-DD HH:MM"));
    OnChosen(set, chosen, [this](CliSession& s) {
        const ECRDateTime value = CliArgs::DateTime(m_dateTime);
        s.Checked([&] { s.Device().SetClock(value); });
    });

    CLI::App* shift = clock->add_subcommand("shift", "Move the clock one hour");
    shift->add_option("DIRECTION", m_shift, "+1 (forward) or -1 (back)")
        ->required()
        ->check(CLI::IsMember({"+1", "-1"}));
    OnChosen(shift, chosen,
             [this](CliSession& s) { s.Checked([&] { s.Device().ShiftClockHour(m_shift == "+1" ? 1 : 0); }); });
}

void FiscalSubcommands::RegisterTaxRates(CLI::App& app, CliAction& chosen)
{
    CLI::App* rates = app.add_subcommand("tax-rates", "Read or write the nine tax rates");
    rates->require_subcommand(0, 1);
    OnChosen(rates, chosen, [](CliSession& s) {
        std::array<std::int32_t, 9> values{};
        s.Checked([&] { s.Device().ReadTaxRates(values); });
        s.Output().Result().Set("taxRates", RegisterFigures::TaxRates(values));
        for (std::size_t i = 0; i < values.size(); ++i)
            s.Output().Line(std::string(ECRCommandTable::RateName(static_cast<int>(i))) + "\t" +
                            FormatScaled(values[i], 2).Data());
    });

    CLI::App* set = rates->add_subcommand("set", "Write the rates A G D Dj E Z I J K (percent, 2 decimals)");
    set->add_option("RATES", m_rates, "nine rates, e.g. 20 10 0 ...")->required()->expected(9);
    OnChosen(set, chosen, [this](CliSession& s) {
        std::array<std::int32_t, 9> values{};
        for (std::size_t i = 0; i < values.size(); ++i)
            values[i] = CliArgs::Amount(m_rates[i], 2);
        s.Checked([&] { ECROperations::WriteTaxRatesNow(s.Device(), values); });
    });
}

void FiscalSubcommands::RegisterHeader(CLI::App& app, CliAction& chosen)
{
    CLI::App* header = app.add_subcommand("header", "Read or write the five receipt header lines");
    header->require_subcommand(0, 1);
    OnChosen(header, chosen, [](CliSession& s) {
        std::array<ECRString, 5> lines;
        std::array<bool, 5> doubleSize{};
        s.Checked([&] { s.Device().ReadHeader(lines, doubleSize); });
        CliPrintedLines<5>::Show(s.Output(), lines, doubleSize);
    });

    CLI::App* set = header->add_subcommand("set", "Write the header lines L1..L5");
    m_header.AddOptions(set, "five lines (\"\" for an empty one)");
    OnChosen(
        set, chosen,
        [this](CliSession& s) {
            const auto lines = m_header.Lines();
            const auto flags = m_header.DoubleFlags();
            s.Checked([&] { s.Device().WriteHeader(lines, flags); });
        },
        [this] { m_header.Check(); });
}

void FiscalSubcommands::RegisterReports(CLI::App& app, CliAction& chosen)
{
    CLI::App* report = app.add_subcommand("report", "Print a fiscal report");
    report->require_subcommand(1);

    CLI::App* daily = report->add_subcommand("daily", "Daily report at the register's time");
    daily->add_option("--count", m_count, "how many in a row (500 ms apart)")->check(CLI::Range(1, 1000));
    OnChosen(daily, chosen, [this](CliSession& s) {
        // Each report is checked as it ends: a refusal stops the series.
        const ECRVerdictWatch watch(s.Device().Verdicts());
        ECROperations::PrintDailyReportSeries(s.Device(), m_count, ECROperations::SeriesPause::Between, [&](int done) {
            CliSession::ThrowIfNotAccepted(watch);
            s.Output().Progress(static_cast<std::size_t>(done), static_cast<std::size_t>(m_count), "daily reports");
        });
        s.Output().Result().Set("reports", m_count);
    });

    CLI::App* periodic = report->add_subcommand("periodic", "Periodic report for a range of days");
    periodic->add_option("FROM", m_from, "first day")->required()->check(Converts(CliArgs::Date, "YYYY-MM-DD"));
    periodic->add_option("TO", m_to, "last day")->required()->check(Converts(CliArgs::Date, "YYYY-MM-DD"));
    periodic->add_flag("--non-fiscal", m_nonFiscal, "the non-fiscal periodic report");
    OnChosen(periodic, chosen, [this](CliSession& s) {
        const ECRDateTime from = CliArgs::Date(m_from);
        const ECRDateTime to = CliArgs::Date(m_to);
        s.Checked([&] { s.Device().PrintPeriodicReport(from, to, !m_nonFiscal); });
    });

    CLI::App* snapshot = report->add_subcommand("snapshot", "State snapshot report");
    OnChosen(snapshot, chosen, [](CliSession& s) { s.Checked([&] { s.Device().PrintStatusReport(); }); });
}
