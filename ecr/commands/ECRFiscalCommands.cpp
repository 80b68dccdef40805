#include "ecr/commands/ECRFiscalCommands.h"

#include "ecr/commands/ECRCommandTable.h"
#include "ecr/commands/ECRReply.h"
#include "ecr/commands/ECRReplyError.h"
#include "ecr/commands/ECRRequest.h"
#include "ecr/protocol/CommError.h"
#include "ecr/protocol/DeviceCode.h"
#include "ecr/protocol/ECRFrame.h"

#include <limits>
#include <string>

namespace {

void AddDateTime(ECRRequest& request, const ECRDateTime& dateTime)
{
    request.Int(dateTime.year).Int(dateTime.month).Int(dateTime.day).Int(dateTime.hour).Int(dateTime.minute);
}

void AddDate(ECRRequest& request, const ECRDateTime& dateTime)
{
    request.Int(dateTime.year).Int(dateTime.month).Int(dateTime.day);
}

// Header and advertising text share one layout: the lines, then one flag per line.
template <std::size_t N>
void SendLinesWithFlags(ECRProtocol& protocol, const char* command, const std::array<ECRString, N>& lines,
                        const std::array<bool, N>& doubleSize)
{
    ECRRequest request(command);
    for (const ECRString& line : lines) {
        request.Text(line);
    }
    for (const bool flag : doubleSize) {
        request.Flag(flag);
    }
    request.Send(protocol);
}

// Every line is taken up to its own LF, an empty one too, and every flag
// must be 0 or 1. The design's reader took a line only when it held text:
// the LF of an empty line was never removed, so every later line read empty
// and the first flag swallowed the rest, and writing back what was read
// erased them on the register.
template <std::size_t N>
void ReadLinesWithFlags(ECRProtocol& protocol, const char* command, std::array<ECRString, N>& lines,
                        std::array<bool, N>& doubleSize)
{
    ECRReply reply(ECRRequest(command).Send(protocol), protocol.MissingFields());
    // A refusal's reply holds its code, not the fields; the caller sees the code.
    if (protocol.LastVerdict().kind == ECRVerdict::Kind::Refused) {
        return;
    }
    std::array<ECRString, N> readLines;
    std::array<bool, N> readFlags{};
    for (std::size_t i = 0; i < N; ++i) {
        readLines[i] = reply.TakeField(ECRFrame::LF, "line " + std::to_string(i + 1));
    }
    for (std::size_t i = 0; i < N; ++i) {
        const std::string field = "line " + std::to_string(i + 1) + " double size";
        const ECRString flag = reply.TakeField(ECRFrame::US, field);
        if (flag != "0" && flag != "1") {
            throw ECRReplyError(field, flag.Data(), "0 or 1");
        }
        readFlags[i] = flag == "1";
    }
    lines = readLines;
    doubleSize = readFlags;
}

}  // namespace

void ECRFiscalCommands::ReadTaxRates(std::array<std::int32_t, 9>& rates)
{
    ECRReply reply(ECRRequest("$v").Send(*this), MissingFields());
    if (LastVerdict().kind == ECRVerdict::Kind::Refused) {
        return;  // the code is the caller's to see in LastVerdict(), not a rate
    }
    std::array<std::int32_t, 9> read{};
    for (std::size_t i = 0; i < read.size(); ++i) {
        read[i] =
            reply.TakeNumber(ECRFrame::HT, std::string("tax rate ") + ECRCommandTable::RateName(static_cast<int>(i)), 0,
                             kMaxTaxRate);
    }
    rates = read;
}

void ECRFiscalCommands::WriteTaxRates(const std::array<std::int32_t, 9>& rates, const ECRDateTime& now)
{
    ECRRequest request("#v");
    AddDateTime(request, now);
    for (const std::int32_t rate : rates) {
        request.Amount(rate);
    }
    request.Send(*this);
}

ECRDateTime ECRFiscalCommands::ReadClock()
{
    ECRReply reply(ECRRequest("$c").Send(*this), MissingFields());
    if (LastVerdict().kind == ECRVerdict::Kind::Refused) {
        return ECRDateTime();  // refused: the caller finds the code in LastVerdict()
    }
    // Anything else must be a date: one that is not (an answer for another
    // command, garbled fields) would be shown, or stamped on a fiscal write,
    // as a wrong time.
    ECRDateTime clock;
    clock.year = reply.TakeDecimal(ECRFrame::US, "year");
    clock.month = reply.TakeDecimal(ECRFrame::US, "month");
    clock.day = reply.TakeDecimal(ECRFrame::US, "day");
    clock.hour = reply.TakeDecimal(ECRFrame::US, "hour");
    clock.minute = reply.TakeDecimal(ECRFrame::US, "minute");
    if (!clock.IsValid()) {
        throw CommError(CommError::Sync);
    }
    return clock;
}

void ECRFiscalCommands::SetClock(const ECRDateTime& dateTime)
{
    ECRRequest request("#c");
    AddDateTime(request, dateTime);
    request.Send(*this);
}

void ECRFiscalCommands::ShiftClockHour(std::int32_t direction)
{
    ECRRequest("#t").Int(direction).Send(*this);
}

void ECRFiscalCommands::PrintDailyReport(const ECRDateTime& now)
{
    ECRRequest request("#z");
    AddDateTime(request, now);
    request.Send(*this);
}

void ECRFiscalCommands::PrintPeriodicReport(const ECRDateTime& from, const ECRDateTime& to, bool fiscal)
{
    ECRRequest request("#o");
    request.Flag(fiscal);
    AddDate(request, from);
    AddDate(request, to);
    request.Send(*this);
}

void ECRFiscalCommands::PrintStatusReport()
{
    ECRRequest("#w").Send(*this);
}

void ECRFiscalCommands::WriteIBFM(ECRString ibfm)
{
    ECRRequest("#u").Text(ibfm).Send(*this);
}

void ECRFiscalCommands::Fiscalize(const ECRDateTime& now, ECRString pib)
{
    ECRRequest request("#k");
    AddDateTime(request, now);
    request.Text(pib).Send(*this);
}

void ECRFiscalCommands::WriteHeader(const std::array<ECRString, 5>& lines, const std::array<bool, 5>& doubleSize)
{
    SendLinesWithFlags(*this, "#h", lines, doubleSize);
}

void ECRFiscalCommands::ReadHeader(std::array<ECRString, 5>& lines, std::array<bool, 5>& doubleSize)
{
    ReadLinesWithFlags(*this, "$h", lines, doubleSize);
}

void ECRFiscalCommands::ReadTotalizers(std::array<ECRString, 13>& totals)
{
    ECRReply reply(ECRRequest("$t").Send(*this), MissingFields());
    if (LastVerdict().kind == ECRVerdict::Kind::Refused) {
        return;  // the code is the caller's to see in LastVerdict(), not a total
    }
    std::array<ECRString, 13> read;
    for (std::size_t i = 0; i < read.size(); ++i) {
        read[i] = reply.TakeCounter(ECRFrame::HT, std::string("totalizer ") + kTotalizerNames[i]);
    }
    totals = read;
}

void ECRFiscalCommands::SetTransactionDefaults(ECRString registerNumber, ECRString cashier)
{
    m_defaultRegisterNumber = registerNumber;
    m_defaultCashier = cashier;
}

void ECRFiscalCommands::NoteReceipt(ReceiptState state)
{
    if (state == ReceiptState::FoundOpen && m_receipt == ReceiptState::Opened) {
        return;  // still the one this connection opened
    }
    m_receipt = state;
}

bool ECRFiscalCommands::BeginTransaction(ECRString registerNumber, ECRString cashier)
{
    if (IsTransactionOpen()) {
        return false;
    }
    ECRRequest request("*t");
    request.Text(registerNumber.Length() == 0 ? m_defaultRegisterNumber : registerNumber);
    request.Text(cashier.Length() == 0 ? m_defaultCashier : cashier);
    request.Send(*this);
    // Only once the register has answered: an exception leaves the flag closed.
    const ECRVerdict& verdict = LastVerdict();
    if (verdict.IsAccepted()) {
        m_receipt = ReceiptState::Opened;
    } else if (verdict.kind == ECRVerdict::Kind::Refused && verdict.code == DeviceCode::ReceiptAlreadyOpen) {
        m_receipt = ReceiptState::FoundOpen;
    }
    return true;
}

void ECRFiscalCommands::SellItem(ECRString name, std::int32_t price, std::int32_t quantity, std::int32_t taxRate,
                                 std::int32_t unit)
{
    // Built first, so that a name the request cannot carry opens no transaction either.
    ECRRequest request("*l");
    request.Text(name).Amount(price).Amount(quantity).Int(taxRate).Int(unit);
    if (!IsTransactionOpen()) {
        BeginTransaction(ECRString(), ECRString());
    }
    request.Send(*this);
}

void ECRFiscalCommands::VoidItem(ECRString name, std::int32_t price, std::int32_t quantity)
{
    ECRRequest("*s").Text(name).Amount(price).Amount(quantity).Send(*this);
}

std::int32_t ECRFiscalCommands::ReadSubtotal()
{
    const ECRReply reply(ECRRequest("*u").Send(*this), MissingFields());
    if (LastVerdict().kind == ECRVerdict::Kind::Refused) {
        return 0;  // the code is the caller's to see in LastVerdict(), not a subtotal
    }
    return reply.RestNumber("subtotal", 0, std::numeric_limits<std::int32_t>::max());
}

bool ECRFiscalCommands::EndTransaction(std::int32_t cash, std::int32_t cheque, std::int32_t card)
{
    ECRRequest("*e").Amount(cash).Amount(cheque).Amount(card).Send(*this);
    // Refused, the receipt stays open for another payment or a cancel; with
    // an answer that failed its check, whether it closed is unknown, and it
    // is kept open too.
    if (!LastVerdict().IsAccepted()) {
        return false;
    }
    m_receipt = ReceiptState::Closed;
    return true;
}

void ECRFiscalCommands::CancelTransaction()
{
    ECRRequest("*x").Send(*this);
}

void ECRFiscalCommands::WriteAdvertText(const std::array<ECRString, 7>& lines, const std::array<bool, 7>& doubleSize)
{
    SendLinesWithFlags(*this, "#i", lines, doubleSize);
}

void ECRFiscalCommands::ReadAdvertText(std::array<ECRString, 7>& lines, std::array<bool, 7>& doubleSize)
{
    ReadLinesWithFlags(*this, "$i", lines, doubleSize);
}

void ECRFiscalCommands::PrintInfoLine(ECRString text, std::int32_t number)
{
    ECRRequest("#l").Int(number).Text(text).Send(*this);
}

void ECRFiscalCommands::EndInfoPrint()
{
    ECRRequest("#e").Send(*this);
}

void ECRFiscalCommands::DisplayText(ECRString line1, ECRString line2)
{
    if (line1.Length() == 0 && line2.Length() == 0) {
        ECRRequest("#q").Int(2).Send(*this);
        return;
    }
    // Both requests are built before either is sent, so a bad second line
    // leaves the display untouched.
    ECRRequest first("#q");
    first.Int(0).Text(line1);
    ECRRequest second("#q");
    second.Int(1).Text(line2);
    first.Send(*this);
    second.Send(*this);
}
