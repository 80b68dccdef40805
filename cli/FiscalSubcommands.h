#pragma once

#include "cli/CliCommandGroup.h"
#include "cli/CliPrintedLines.h"

#include <string>
#include <vector>

// clock, tax-rates, header, ibfm, fiscalize, report, totalizers.
class FiscalSubcommands : public CliCommandGroup {
public:
    void Register(CLI::App& app, CliAction& chosen) override;

private:
    void RegisterClock(CLI::App& app, CliAction& chosen);
    void RegisterTaxRates(CLI::App& app, CliAction& chosen);
    void RegisterHeader(CLI::App& app, CliAction& chosen);
    void RegisterReports(CLI::App& app, CliAction& chosen);

    std::string m_dateTime;
    std::string m_shift;
    std::vector<std::string> m_rates;
    CliPrintedLines<5> m_header;
    std::string m_ibfm;
    std::string m_pib;
    int m_count = 1;
    std::string m_from;
    std::string m_to;
    bool m_nonFiscal = false;
};
