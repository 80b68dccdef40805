#pragma once

#include "cli/CliCommandGroup.h"

#include <string>
#include <vector>

// begin, sell, void, subtotal, pay, cancel. "sell" opens a receipt first
// ("*t" with the register number and cashier given to it, else the
// defaults) when none is open: on the command line, where every run is a
// new device, always; in a batch only for the first line of a receipt.
// A receipt that was open on the register before (the "*t" refused with
// code 57) is never sold into: begin and sell stop with exit 1, sending
// nothing more, and name pay and cancel, which still work on it.
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
