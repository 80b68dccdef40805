#include "sim/SimSaleHandlers.h"

#include "ecr/protocol/DeviceCode.h"
#include "sim/SimPrintout.h"

namespace {
constexpr std::size_t kIdLength = 16;
}  // namespace

std::optional<SimOutcome> SimSaleHandlers::Handle(const std::string& command, const std::string& body,
                                                  std::int64_t now)
{
    SimFieldReader fields(body);
    if (command == "%a") return DeleteAll(command);
    if (command == "#d") return DeleteArticle(command, fields);
    if (command == "#r") return WriteArticle(command, fields);
    if (command == "$o") return ReadArticle(command, fields);
    if (command == "*t") return Begin(command, fields, now);
    if (command == "*l") return Sell(command, fields);
    if (command == "*s") return Void(command, fields);
    if (command == "*u") return Subtotal(command);
    if (command == "*e") return End(command, fields);
    if (command == "*x") return Cancel(command);
    return std::nullopt;
}

std::int32_t SimSaleHandlers::CheckArticle(const std::string& name, std::int64_t price, std::int64_t taxRate,
                                           std::int64_t unit)
{
    if (!SimFieldReader::Printable(name, kNameLength, false)) {
        return DeviceCode::WrongArticleName;
    }
    if (price <= 0 || price > kMaxPrice) {
        return DeviceCode::WrongPrice;
    }
    if (unit < 0 || unit >= kUnits) {
        return DeviceCode::WrongUnit;
    }
    if (taxRate < 0 || taxRate > 8) {
        return DeviceCode::WrongTaxRate;
    }
    return DeviceCode::Ok;
}

SimOutcome SimSaleHandlers::DeleteAll(const std::string& command)
{
    m_state.articles.Clear();
    return SimOutcome::Accept(command);
}

SimOutcome SimSaleHandlers::DeleteArticle(const std::string& command, SimFieldReader& fields)
{
    const auto name = fields.Line();
    if (auto bad = SimOutcome::Malformed(command, fields)) {
        return *bad;
    }
    if (!m_state.articles.Erase(*name)) {
        return SimOutcome::Refuse(command, DeviceCode::NoSuchArticle);
    }
    return SimOutcome::Accept(command);
}

SimOutcome SimSaleHandlers::WriteArticle(const std::string& command, SimFieldReader& fields)
{
    const auto name = fields.Line();
    const auto price = fields.Amount();
    const auto taxRate = fields.Count();
    const auto unit = fields.Count();
    if (auto bad = SimOutcome::Malformed(command, fields)) {
        return *bad;
    }
    if (const std::int32_t code = CheckArticle(*name, *price, *taxRate, *unit)) {
        return SimOutcome::Refuse(command, code);
    }
    if (!m_state.articles.Write(*name, *price, static_cast<std::int32_t>(*taxRate),
                                static_cast<std::int32_t>(*unit))) {
        return SimOutcome::Refuse(command, DeviceCode::ArticleNotAdded);
    }
    return SimOutcome::Accept(command);
}

SimOutcome SimSaleHandlers::ReadArticle(const std::string& command, SimFieldReader& fields)
{
    const auto name = fields.Line();
    const auto mode = fields.Count();
    if (auto bad = SimOutcome::Malformed(command, fields)) {
        return *bad;
    }
    const SimArticleStore::Article* article = nullptr;
    switch (*mode) {
    case 0:  // the named article itself
        article = m_state.articles.Find(*name);
        break;
    case 2:  // the last article
        article = m_state.articles.Last();
        break;
    case 4:  // the first, or the one after the named article
        article = name->empty() ? m_state.articles.First() : m_state.articles.Next(*name);
        break;
    default:
        return SimOutcome::Refuse(command, DeviceCode::WrongParameter);
    }
    if (article == nullptr) {
        return SimOutcome::Refuse(command, DeviceCode::NoSuchArticle);
    }
    const std::string data = article->name + "\n" + std::to_string(article->price) + "\t" +
                             std::to_string(article->taxRate) + "\x1F" + std::to_string(article->unit) + "\x1F" +
                             std::to_string(article->soldQuantity) + "\t" + std::to_string(article->soldAmount) +
                             "\t";
    return SimOutcome::Accept(command, data);
}

SimOutcome SimSaleHandlers::Begin(const std::string& command, SimFieldReader& fields, std::int64_t now)
{
    const auto registerNumber = fields.Line();
    const auto cashier = fields.Line();
    if (auto bad = SimOutcome::Malformed(command, fields)) {
        return *bad;
    }
    if (m_state.transaction) {
        return SimOutcome::Refuse(command, DeviceCode::ReceiptAlreadyOpen);
    }
    if (!SimFieldReader::Printable(*registerNumber, kIdLength) || !SimFieldReader::Printable(*cashier, kIdLength)) {
        return SimOutcome::Refuse(command, DeviceCode::WrongParameter);
    }
    m_state.transaction.emplace(*registerNumber, *cashier);
    ++m_state.receiptNumber;
    if (m_state.logoEnabled) {
        SimPrintout::LogoArt(m_journal, m_state.storedLogo);
    }
    SimPrintout::Header(m_journal, m_state, m_state.clock.Seconds(now));
    m_journal.Columns("Kasa " + *registerNumber, "Kasir " + *cashier);
    m_journal.Line("Racun br. " + std::to_string(m_state.receiptNumber));
    m_journal.Rule();
    return SimOutcome::Accept(command);
}

SimOutcome SimSaleHandlers::Sell(const std::string& command, SimFieldReader& fields)
{
    const auto name = fields.Line();
    const auto price = fields.Amount();
    const auto quantity = fields.Amount();
    const auto taxRate = fields.Count();
    const auto unit = fields.Count();
    if (auto bad = SimOutcome::Malformed(command, fields)) {
        return *bad;
    }
    if (!m_state.transaction) {
        return SimOutcome::Refuse(command, DeviceCode::NoReceiptOpen);
    }
    if (const std::int32_t code = CheckArticle(*name, *price, *taxRate, *unit)) {
        return SimOutcome::Refuse(command, code);
    }
    if (*quantity <= 0) {
        return SimOutcome::Refuse(command, DeviceCode::QuantityTooSmall);
    }
    if (*quantity > kMaxQuantity) {
        return SimOutcome::Refuse(command, DeviceCode::WrongQuantityFormat);
    }
    SimTransaction& receipt = *m_state.transaction;
    if (receipt.Lines().size() >= SimTransaction::kMaxLines) {
        return SimOutcome::Refuse(command, DeviceCode::TooManyLines);
    }
    const std::int64_t amount = SimTransaction::LineAmount(*price, *quantity);
    if (receipt.Total() + amount > kMaxReceipt) {
        return SimOutcome::Refuse(command, DeviceCode::ReceiptValueOutOfRange);
    }
    receipt.Sell(*name, *price, *quantity, static_cast<std::int32_t>(*taxRate), static_cast<std::int32_t>(*unit));
    m_journal.Line(*name);
    m_journal.Columns("  " + SimJournal::Amount(*quantity, 3) + " x " + SimJournal::Amount(*price),
                      SimJournal::Amount(amount) + " " + SimPrintout::RateLetters()[*taxRate]);
    return SimOutcome::Accept(command);
}

SimOutcome SimSaleHandlers::Void(const std::string& command, SimFieldReader& fields)
{
    const auto name = fields.Line();
    const auto price = fields.Amount();
    const auto quantity = fields.Amount();
    if (auto bad = SimOutcome::Malformed(command, fields)) {
        return *bad;
    }
    if (!m_state.transaction) {
        return SimOutcome::Refuse(command, DeviceCode::NoReceiptOpen);
    }
    if (!m_state.transaction->Void(*name, *price, *quantity)) {
        return SimOutcome::Refuse(command, DeviceCode::WrongVoidParameters);
    }
    m_journal.Line("STORNO " + *name);
    m_journal.Columns("  " + SimJournal::Amount(-*quantity, 3) + " x " + SimJournal::Amount(*price),
                      SimJournal::Amount(m_state.transaction->Lines().back().amount));
    return SimOutcome::Accept(command);
}

SimOutcome SimSaleHandlers::Subtotal(const std::string& command)
{
    if (!m_state.transaction) {
        return SimOutcome::Refuse(command, DeviceCode::NoReceiptOpen);
    }
    const std::int64_t total = m_state.transaction->Total();
    m_journal.Columns("MEDJUZBIR", SimJournal::Amount(total));
    return SimOutcome::Accept(command, std::to_string(total));
}

SimOutcome SimSaleHandlers::End(const std::string& command, SimFieldReader& fields)
{
    const auto cash = fields.Amount();
    const auto cheque = fields.Amount();
    const auto card = fields.Amount();
    if (auto bad = SimOutcome::Malformed(command, fields)) {
        return *bad;
    }
    if (!m_state.transaction) {
        return SimOutcome::Refuse(command, DeviceCode::NoReceiptOpen);
    }
    const SimTransaction& receipt = *m_state.transaction;
    if (receipt.Lines().empty()) {
        return SimOutcome::Refuse(command, DeviceCode::ReceiptNotClosed);
    }
    const std::int64_t total = receipt.Total();
    // Change comes out of cash only: cheque and card together may not exceed the total.
    if (*cash < 0 || *cheque < 0 || *card < 0 || *cheque + *card > total || *cash + *cheque + *card < total ||
        *cash > kMaxReceipt) {
        return SimOutcome::Refuse(command, DeviceCode::ReceiptValueOutOfRange);
    }

    const auto perRate = receipt.TotalsPerRate();
    m_journal.Rule();
    SimPrintout::RateTotals(m_journal, m_state, perRate);
    m_journal.Columns("UKUPNO", SimJournal::Amount(total));
    if (*cash > 0) m_journal.Columns("Gotovina", SimJournal::Amount(*cash));
    if (*cheque > 0) m_journal.Columns("Cek", SimJournal::Amount(*cheque));
    if (*card > 0) m_journal.Columns("Kartica", SimJournal::Amount(*card));
    m_journal.Columns("Kusur", SimJournal::Amount(*cash + *cheque + *card - total));
    if (m_state.advertEnabled) {
        for (const std::string& line : m_state.advertLines) {
            if (!line.empty()) {
                m_journal.Line(line);
            }
        }
    }
    SimPrintout::Footer(m_journal, m_state);

    for (std::size_t i = 0; i < perRate.size(); ++i) {
        m_state.todayPerRate[i] += perRate[i];
    }
    (m_state.fiscalized ? m_state.fiscalTotal : m_state.nonFiscalTotal) += total;
    (m_state.fiscalized ? m_state.fiscalToday : m_state.nonFiscalToday) += total;
    ++m_state.receiptsToday;
    for (const SimTransaction::Line& line : receipt.Lines()) {
        if (SimArticleStore::Article* article = m_state.articles.Find(line.name)) {
            article->soldQuantity += line.quantity;
            article->soldAmount += line.amount;
        }
    }
    m_state.transaction.reset();
    return SimOutcome::Accept(command, {}, true);
}

SimOutcome SimSaleHandlers::Cancel(const std::string& command)
{
    if (!m_state.transaction) {
        return SimOutcome::Refuse(command, DeviceCode::NoReceiptOpen);
    }
    m_journal.Line("PONISTEN RACUN");
    m_journal.Rule('=');
    m_state.transaction.reset();
    return SimOutcome::Accept(command);
}
