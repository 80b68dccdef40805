#include "ecr/commands/ECRReceipt.h"

#include "ecr/protocol/DeviceCode.h"

using State = ECRFiscalCommands::ReceiptState;

ECRReceipt::Opening ECRReceipt::Open(ECRString registerNumber, ECRString cashier)
{
    const auto opening = [this] {
        switch (m_device.GetReceiptState()) {
        case State::Opened: return Opening::Opened;
        case State::FoundOpen: return Opening::AlreadyOpen;
        case State::Closed:
        case State::Unknown: break;
        }
        return Opening::NotOpened;
    };
    if (m_device.IsTransactionOpen())
        return opening();
    m_device.BeginTransaction(registerNumber, cashier);
    return opening();
}

bool ECRReceipt::Sell(const ECRSaleLine& line)
{
    if (m_device.GetReceiptState() != State::Opened) {
        return false;
    }
    m_device.SellItem(line.name, line.price, line.quantity, line.taxRate, line.unit);
    NoteRefusal();
    return m_device.LastVerdict().IsAccepted();
}

std::optional<std::int32_t> ECRReceipt::Subtotal()
{
    const std::int32_t subtotal = m_device.ReadSubtotal();
    if (!m_device.LastVerdict().IsAccepted()) {
        NoteRefusal();
        return std::nullopt;
    }
    m_device.NoteReceipt(State::FoundOpen);
    return subtotal;
}

bool ECRReceipt::Pay(const ECRPayments& payments)
{
    const bool paid = m_device.EndTransaction(payments.cash, payments.cheque, payments.card);
    if (!paid) {
        NoteRefusal();
    }
    return paid;
}

bool ECRReceipt::Cancel()
{
    m_device.CancelTransaction();
    const ECRVerdict& verdict = m_device.LastVerdict();
    if (verdict.IsAccepted()) {
        m_device.NoteReceipt(State::Closed);
        return true;
    }
    NoteRefusal();
    return false;
}

void ECRReceipt::NoteRefusal()
{
    const ECRVerdict& verdict = m_device.LastVerdict();
    if (verdict.kind == ECRVerdict::Kind::Refused && verdict.code == DeviceCode::NoReceiptOpen) {
        m_device.NoteReceipt(State::Closed);
    }
}
