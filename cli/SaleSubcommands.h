#pragma once

#include "cli/CliCommandGroup.h"

#include <string>
#include <vector>

// begin, sell, void, subtotal, pay, cancel. "sell" opens a receipt first
// ("*t" with the register number and cashier given to it, else the
// defaults) when none is open: on the command line, where every run is a
// new device, always; in a batch only for the first line of a receipt.
class SaleSubcommands : public CliCommandGroup {
public:
    void Register(CLI::App& app, CliAction& chosen) override;

private:
    std::string m_register;
    std::string m_cashier;
    std::string m_name;
    std::string m_price;
    std::string m_quantity;
    int m_taxRate = 0;
    int m_unit = 0;
    std::vector<std::string> m_payments;
};
