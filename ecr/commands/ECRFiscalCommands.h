#pragma once

#include "ecr/commands/ECRDateTime.h"
#include "ecr/protocol/ECRProtocol.h"
#include "ecr/protocol/ECRString.h"

#include <array>
#include <cstdint>

// Fiscal administration, the sale transaction, advertising text, info print
// and the customer display.
class ECRFiscalCommands : public ECRProtocol {
public:
    // Tax rates A, G, D, Dj, E, Z, I, J, K in hundredths of a percent.
    void ReadTaxRates(std::array<std::int32_t, 9>& rates);
    void WriteTaxRates(const std::array<std::int32_t, 9>& rates, const ECRDateTime& now);
    ECRDateTime ReadClock();
    void SetClock(const ECRDateTime& dateTime);
    void ShiftClockHour(std::int32_t direction);  // 1 forward, 0 back
    void PrintDailyReport(const ECRDateTime& now);
    void PrintPeriodicReport(const ECRDateTime& from, const ECRDateTime& to, bool fiscal);
    void PrintStatusReport();
    void WriteIBFM(ECRString ibfm);
    void Fiscalize(const ECRDateTime& now, ECRString pib);
    void WriteHeader(const std::array<ECRString, 5>& lines, const std::array<bool, 5>& doubleSize);
    void ReadHeader(std::array<ECRString, 5>& lines, std::array<bool, 5>& doubleSize);
    // As ReadHeader, but every line is taken up to its own LF, an empty one
    // too, and every flag must be 0 or 1 (else CommError(16)): ReadHeader
    // reads the lines after an empty line, and the flags, as empty and off.
    // For a copy of the register's programming, which must not lose them.
    void ReadHeaderExact(std::array<ECRString, 5>& lines, std::array<bool, 5>& doubleSize);
    // Nine per-rate counters A..K, fiscal total, fiscal today, non-fiscal total, non-fiscal today.
    void ReadTotalizers(std::array<ECRString, 13>& totals);

    void SetTransactionDefaults(ECRString registerNumber, ECRString cashier);
    bool BeginTransaction(ECRString registerNumber, ECRString cashier);
    void SellItem(ECRString name, std::int32_t price, std::int32_t quantity, std::int32_t taxRate, std::int32_t unit);
    void VoidItem(ECRString name, std::int32_t price, std::int32_t quantity);
    std::int32_t ReadSubtotal();
    bool EndTransaction(std::int32_t cash, std::int32_t cheque, std::int32_t card);
    void CancelTransaction();
    bool IsTransactionOpen() const { return m_transactionOpen; }
    const ECRString& DefaultRegisterNumber() const { return m_defaultRegisterNumber; }
    const ECRString& DefaultCashier() const { return m_defaultCashier; }

    void WriteAdvertText(const std::array<ECRString, 7>& lines, const std::array<bool, 7>& doubleSize);
    void ReadAdvertText(std::array<ECRString, 7>& lines, std::array<bool, 7>& doubleSize);
    // The advertising text as ReadHeaderExact reads the header.
    void ReadAdvertTextExact(std::array<ECRString, 7>& lines, std::array<bool, 7>& doubleSize);
    void PrintInfoLine(ECRString text, std::int32_t number);
    void EndInfoPrint();
    void DisplayText(ECRString line1, ECRString line2);

private:
    ECRString m_defaultCashier;
    ECRString m_defaultRegisterNumber;
    bool m_transactionOpen = false;
};
