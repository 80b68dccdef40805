#pragma once

#include "cli/ArticleSubcommands.h"
#include "cli/BatchSubcommand.h"
#include "cli/CliAction.h"
#include "cli/DecodeSubcommand.h"
#include "cli/DoctorSubcommand.h"
#include "cli/FiscalSubcommands.h"
#include "cli/PortsSubcommand.h"
#include "cli/SaleSubcommands.h"
#include "cli/SetupSubcommands.h"
#include "cli/UtilitySubcommands.h"

#include <CLI/CLI.hpp>
#include <string>
#include <vector>

// Every ecrctl subcommand, registered on one parser: the command line's, or
// afresh for each line of a batch, so that a line parses exactly as the
// same words would after "ecrctl". Holds the values the parse fills in, and
// the action of the subcommand chosen.
// --help lists them by task (register setup, reports, articles, sales,
// pictures and texts, whole jobs, diagnostics).
class CliCommands {
public:
    CliCommands() = default;
    CliCommands(const CliCommands&) = delete;
    CliCommands& operator=(const CliCommands&) = delete;

    void Register(CLI::App& app);
    // Empty until a parse has chosen a subcommand.
    const CliAction& Chosen() const { return m_chosen; }

private:
    CliAction m_chosen;
    UtilitySubcommands m_utility;
    FiscalSubcommands m_fiscal;
    ArticleSubcommands m_articles;
    SaleSubcommands m_sale;
    SetupSubcommands m_setup;
    DecodeSubcommand m_decode;
    PortsSubcommand m_ports;
    DoctorSubcommand m_doctor;
    BatchSubcommand m_batch;
    std::vector<std::string> m_helpWords;
};
