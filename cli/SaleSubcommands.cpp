#include "cli/SaleSubcommands.h"

#include "cli/CliArgs.h"
#include "cli/CliSession.h"
#include "ecr/commands/ECRReceipt.h"
#include "ecr/commands/ScaledAmount.h"
#include "ecr/protocol/DeviceCode.h"

#include <optional>
#include <string>

namespace {

void AddDefaults(CLI::App* command, std::string& registerNumber, std::string& cashier)
{
    command->add_option("--register", registerNumber, "register number (Br. kase)")
        ->check(CliCommandGroup::RegisterText());
    command->add_option("--cashier", cashier, "cashier (Kasir)")->check(CliCommandGroup::RegisterText());
}

// Only what was given replaces a default: in a batch the defaults set on an
// earlier line stay for the receipts opened later, as in the program.
void SetDefaults(CLI::App* command, CliSession& s, const std::string& registerNumber, const std::string& cashier)
{
    ECRDevice& device = s.Device();
    device.SetTransactionDefaults(command->count("--register") != 0 ? CliArgs::ToRegister(registerNumber)
                                                                    : device.DefaultRegisterNumber(),
                                  command->count("--cashier") != 0 ? CliArgs::ToRegister(cashier)
                                                                   : device.DefaultCashier());
}

// The one receipt a run never sells into: one that was open before the run
// began. Nothing is sent.
CliFailure ReceiptAlreadyOpen()
{
    return CliFailure(CliFailure::kRefused,
                      std::string("a receipt is already open on the register: ") + CliSession::kPayOrCancel,
                      DeviceCode::ReceiptAlreadyOpen);
}

// "*t" with the defaults, and the receipt is the run's. Anything but an
// accepted answer ends the line: refused as already open, the receipt was
// there before the run and nothing more goes into it.
void OpenReceipt(CliSession& s)
{
    const ECRVerdictWatch watch(s.Device().Verdicts());
    const ECRReceipt::Opening opening = ECRReceipt(s.Device()).Open(ECRString(""), ECRString(""));
    if (opening == ECRReceipt::Opening::Opened)
        return;
    if (opening == ECRReceipt::Opening::AlreadyOpen)
        throw ReceiptAlreadyOpen();
    CliSession::ThrowIfNotAccepted(watch);
}

}  // namespace

void SaleSubcommands::Register(CLI::App& app, CliAction& chosen)
{
    CLI::App* begin = app.add_subcommand("begin", "Open a receipt");
    AddDefaults(begin, m_register, m_cashier);
    OnChosen(begin, chosen, [this, begin](CliSession& s) {
        SetDefaults(begin, s, m_register, m_cashier);
        if (s.Receipt() == ECRFiscalCommands::ReceiptState::FoundOpen)
            throw ReceiptAlreadyOpen();
        // Refused like any other command when a receipt is already open, not
        // skipped quietly as the device would skip it.
        if (s.Receipt() == ECRFiscalCommands::ReceiptState::Opened)
            throw CliFailure(CliFailure::kRefused, "a receipt is already open; it stays open");
        OpenReceipt(s);
    });

    CLI::App* sell = app.add_subcommand("sell", "Sell a line (opens a receipt first when none is open)");
    sell->add_option("NAME", m_name, "article name")->required()->check(RegisterText());
    sell->add_option("PRICE", m_price, "unit price, 2 decimals")->required();
    sell->add_option("QTY", m_quantity, "quantity, 3 decimals")->required();
    sell->add_option("TAX", m_taxRate, "tax rate index 0..8: 0 A, 1 G, 2 D, 3 Dj, 4 E, 5 Z, 6 I, 7 J, 8 K")->required();
    sell->add_option("UNIT", m_unit, "unit index 0..9: 0 bez, 1 g, 2 kg, 3 t, 4 l, 5 m, 6 m2, 7 m3; 8 and 9 unnamed")
        ->capture_default_str();
    AddDefaults(sell, m_register, m_cashier);
    OnChosen(sell, chosen, [this, sell](CliSession& s) {
        SetDefaults(sell, s, m_register, m_cashier);
        if (s.Receipt() == ECRFiscalCommands::ReceiptState::FoundOpen)
            throw ReceiptAlreadyOpen();
        ECRSaleLine line;
        line.name = CliArgs::ToRegister(m_name);
        line.price = CliArgs::Amount(m_price, 2);
        line.quantity = CliArgs::Amount(m_quantity, 3);
        line.taxRate = m_taxRate;
        line.unit = m_unit;
        if (!s.Device().IsTransactionOpen())
            OpenReceipt(s);
        try {
            s.Checked([&] { ECRReceipt(s.Device()).Sell(line); });
        } catch (const CliFailure& failure) {
            if (failure.ExitCode() != CliFailure::kRefused || s.Receipt() != ECRFiscalCommands::ReceiptState::Opened)
                throw;
            throw CliFailure(failure.ExitCode(),
                             failure.what() + std::string("; the receipt stays open on the register: ") +
                                 CliSession::kPayOrCancel,
                             failure.DeviceCode());
        }
    });

    CLI::App* voidLine = app.add_subcommand("void", "Void (storno) a line");
    voidLine->add_option("NAME", m_name, "article name")->required()->check(RegisterText());
    voidLine->add_option("PRICE", m_price, "unit price, 2 decimals")->required();
    voidLine->add_option("QTY", m_quantity, "quantity, 3 decimals")->required();
    OnChosen(voidLine, chosen, [this](CliSession& s) {
        s.Checked([&] {
            s.Device().VoidItem(CliArgs::ToRegister(m_name), CliArgs::Amount(m_price, 2),
                                CliArgs::Amount(m_quantity, 3));
        });
    });

    CLI::App* subtotal = app.add_subcommand("subtotal", "Ask for the subtotal");
    OnChosen(subtotal, chosen, [](CliSession& s) {
        const std::int32_t value = s.Checked([&] { return ECRReceipt(s.Device()).Subtotal().value_or(0); });
        const std::string text = FormatScaled(value, 2).Data();
        s.Output().Line(text);
        s.Output().Result().Set("subtotal", text);
        s.Output().Result().Set("subtotalHundredths", value);
    });

    CLI::App* pay = app.add_subcommand("pay", "Pay and close the receipt");
    pay->add_option("AMOUNTS", m_payments, "CASH [CHEQUE [CARD]], 2 decimals")->required()->expected(1, 3);
    OnChosen(pay, chosen, [this](CliSession& s) {
        std::int32_t amounts[3] = {0, 0, 0};
        for (std::size_t i = 0; i < m_payments.size() && i < 3; ++i)
            amounts[i] = CliArgs::Amount(m_payments[i], 2);
        // A refusal or an answer for another command ends the run through
        // Checked; the receipt is closed only when the register said so.
        const bool closed = s.Checked([&] {
            return ECRReceipt(s.Device()).Pay(ECRPayments{amounts[0], amounts[1], amounts[2]});
        });
        if (!closed)
            throw CliFailure(CliFailure::kLink,
                             "the register did not confirm the payment; the receipt may still be open");
    });

    CLI::App* cancel = app.add_subcommand("cancel", "Cancel the open receipt");
    OnChosen(cancel, chosen, [](CliSession& s) { s.Checked([&] { ECRReceipt(s.Device()).Cancel(); }); });
}
