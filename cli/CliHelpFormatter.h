#pragma once

#include <CLI/CLI.hpp>
#include <string>
#include <vector>

// ecrctl's help text: the subcommands under the titles of their groups, the
// groups in a given order (any other after them), and a flag that may take a
// value shown as "--trace[=hex|decoded]", its option text in the brackets,
// rather than CLI11's "--trace{hex} :{hex,decoded}".
class CliHelpFormatter : public CLI::Formatter {
public:
    explicit CliHelpFormatter(std::vector<std::string> groupOrder) : m_groupOrder(std::move(groupOrder)) {}

    std::string make_subcommands(const CLI::App* app, CLI::AppFormatMode mode) const override;
    std::string make_option_name(const CLI::Option* option, bool positional) const override;
    std::string make_option_opts(const CLI::Option* option) const override;

private:
    std::vector<std::string> m_groupOrder;
};
