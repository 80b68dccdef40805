#pragma once

#include "ecr/commands/ECRDateTime.h"
#include "ecr/protocol/ECRProtocol.h"
#include "ecr/protocol/ECRString.h"

#include <array>
#include <cstdint>

// Fiscal administration, the sale transaction, advertising text, info print
// and the customer display.
//
// Each command is one Transact (ECRRequest::Send); the requests are shown as
// they go out before framing: a word stands for a field (a number in decimal,
// or text), US (0x1F), LF and TAB for the terminators, and "date/time" for year,
// month, day, hour and minute, each ended by US (a date alone: year, month,
// day). Every one throws what Transact throws (the table in ECRProtocol.h:
// CommError(10) when no reply comes, CommError(17) for a reply with a bad
// checksum, the port's CommError, ECRStringError for a reply too short for
// its check), and a text holding US, LF or TAB throws CommError(11) before
// anything is sent. A refusal is not thrown, nor a reply that failed its
// check (its data is then empty): LastVerdict() tells. A read leaves its
// values as they were when refused (the code is in LastVerdict(), never in a
// value). A read that does not say otherwise takes a missing field as
// MissingFields() says: empty or 0 (the design's reading), or a reply that
// failed its check; a number that is not one, or is out of its range, is a
// reply that failed its check: ECRReplyError, a CommError(16) naming the
// field, and the values are left as they were.
class ECRFiscalCommands : public ECRProtocol {
public:
    // The highest tax rate a register keeps: 99.99 %.
    static constexpr std::int32_t kMaxTaxRate = 9999;
    // The totalizers in reply order, as ecrctl names them.
    static constexpr const char* kTotalizerNames[13] = {
        "A", "G", "D", "Dj", "E", "Z", "I", "J", "K", "fiscalTotal", "fiscalToday", "nonFiscalTotal", "nonFiscalToday"};
    // Whether a receipt is open on the register, as its answers on this
    // connection said.
    enum class ReceiptState {
        Unknown,    // nothing said yet on this connection (taken as none open)
        Closed,     // none open (after a payment, or as told)
        Opened,     // "*t" accepted here, not yet paid (or told closed)
        FoundOpen,  // the register had one open that this connection did not
                    // open: "*t" refused with DeviceCode::ReceiptAlreadyOpen, or as told
    };

    // Tax rates A, G, D, Dj, E, Z, I, J, K in hundredths of a percent.
    // Sends "$v"; the reply holds the nine rates, each ended by TAB, each
    // from 0 to kMaxTaxRate.
    void ReadTaxRates(std::array<std::int32_t, 9>& rates);
    // Sends "#v" date/time, then the nine rates each ended by TAB. now dates
    // the change; it should be the register's own clock (ECROperations).
    void WriteTaxRates(const std::array<std::int32_t, 9>& rates, const ECRDateTime& now);
    // Sends "$c"; the reply is year US month US day US hour US minute US.
    // Refused: the zero ECRDateTime (not a valid one), the code in
    // LastVerdict(). Any other reply, one that failed its check too, must hold
    // five decimal fields that make a valid date and time, else CommError(16).
    ECRDateTime ReadClock();
    // Sends "#c" date/time.
    void SetClock(const ECRDateTime& dateTime);
    // Sends "#t" direction US.
    void ShiftClockHour(std::int32_t direction);  // 1 forward, 0 back
    // Sends "#z" date/time; now should be the register's own clock (ECROperations).
    void PrintDailyReport(const ECRDateTime& now);
    // Sends "#o" fiscal US (1 or 0), then from and to as dates.
    void PrintPeriodicReport(const ECRDateTime& from, const ECRDateTime& to, bool fiscal);
    // Sends "#w".
    void PrintStatusReport();
    // Sends "#u" ibfm LF.
    void WriteIBFM(ECRString ibfm);
    // Sends "#k" date/time pib LF; now should be the register's own clock (ECROperations).
    void Fiscalize(const ECRDateTime& now, ECRString pib);
    // Sends "#h", the five lines each ended by LF, then the five flags each
    // ended by US ("1" double size, "0" not).
    void WriteHeader(const std::array<ECRString, 5>& lines, const std::array<bool, 5>& doubleSize);
    // Sends "$h"; the reply has WriteHeader's layout. Every line is taken
    // up to its own LF, an empty one too, and every flag must be 0 or 1. A
    // missing terminator (a reply that failed its check among them) throws
    // CommError(16), a flag of another text ECRReplyError. (The design took a
    // line only when it held text, so every line after an empty one read
    // empty, and writing back what was read erased them.)
    void ReadHeader(std::array<ECRString, 5>& lines, std::array<bool, 5>& doubleSize);
    // Nine per-rate counters A..K, fiscal total, fiscal today, non-fiscal total, non-fiscal today.
    // Sends "$t"; the reply holds the thirteen as text, each ended by TAB,
    // kept as they stand: hundredths, each empty or an optional "-" and up
    // to 18 digits (ECRReply::TakeCounter).
    void ReadTotalizers(std::array<ECRString, 13>& totals);

    // Sends nothing: remembers the register number and cashier that
    // BeginTransaction sends when it is given empty ones.
    void SetTransactionDefaults(ECRString registerNumber, ECRString cashier);
    // Sends "*t" registerNumber LF cashier LF (an empty one replaced by its
    // default); true. The receipt is marked Opened when the register opened
    // it (accepted), FoundOpen when it says one is open already (refused with
    // DeviceCode::ReceiptAlreadyOpen), so the sales that follow go into it as
    // in the design. Any other answer leaves it closed: the design marked it
    // open whatever the register said, and after a refused "*t" no receipt
    // could be opened again on that connection. With a receipt already
    // marked open, sends nothing and gives false.
    bool BeginTransaction(ECRString registerNumber, ECRString cashier);
    // Sends "*l" name LF price TAB quantity TAB taxRate US unit US (price in
    // hundredths, quantity in thousandths, taxRate and unit indices). With no
    // receipt open, BeginTransaction with the defaults goes first; a name the
    // request cannot carry throws CommError(11) before either is sent.
    void SellItem(ECRString name, std::int32_t price, std::int32_t quantity, std::int32_t taxRate, std::int32_t unit);
    // Sends "*s" name LF price TAB quantity TAB. Never opens a receipt.
    void VoidItem(ECRString name, std::int32_t price, std::int32_t quantity);
    // Sends "*u"; the reply data as a number in hundredths, 0 or more
    // (empty data gives 0). Refused: 0, the code in LastVerdict().
    std::int32_t ReadSubtotal();
    // Sends "*e" cash TAB cheque TAB card TAB (hundredths). True, and the
    // receipt closed, only when the reply was accepted; false keeps it open.
    bool EndTransaction(std::int32_t cash, std::int32_t cheque, std::int32_t card);
    // Sends "*x". The receipt stays marked open (IsTransactionOpen): only an
    // accepted EndTransaction closes it, or NoteReceipt.
    void CancelTransaction();
    // Whether a receipt is marked open (Opened or FoundOpen) that
    // EndTransaction has not closed.
    bool IsTransactionOpen() const { return m_receipt == ReceiptState::Opened || m_receipt == ReceiptState::FoundOpen; }
    ReceiptState GetReceiptState() const { return m_receipt; }
    // Sends nothing: the one way to tell the device what the register said
    // of the receipt in an answer that does not tell it by itself (a
    // subtotal answered: FoundOpen unless it is Opened already; a sale
    // command refused because none is open, or a cancel accepted: Closed).
    // The windows leave the mark to the rules above; ECRReceipt, which
    // ecrctl and ecrd run, tells it.
    void NoteReceipt(ReceiptState state);
    // As SetTransactionDefaults set them (empty at first).
    const ECRString& DefaultRegisterNumber() const { return m_defaultRegisterNumber; }
    const ECRString& DefaultCashier() const { return m_defaultCashier; }

    // Sends "#i", the seven lines each ended by LF, then the seven flags each
    // ended by US, as WriteHeader does.
    void WriteAdvertText(const std::array<ECRString, 7>& lines, const std::array<bool, 7>& doubleSize);
    // Sends "$i"; the advertising text as ReadHeader reads the header.
    void ReadAdvertText(std::array<ECRString, 7>& lines, std::array<bool, 7>& doubleSize);
    // Sends "#l" number US text LF: one line of an info print.
    void PrintInfoLine(ECRString text, std::int32_t number);
    // Sends "#e": ends the info print.
    void EndInfoPrint();
    // Two empty lines clear the display: sends "#q" 2 US. Otherwise sends
    // "#q" 0 US line1 LF, then "#q" 1 US line2 LF; both are built before
    // either is sent, so a line the request cannot carry (CommError(11))
    // leaves the display untouched.
    void DisplayText(ECRString line1, ECRString line2);

private:
    ECRString m_defaultCashier;
    ECRString m_defaultRegisterNumber;
    ReceiptState m_receipt = ReceiptState::Unknown;
};
