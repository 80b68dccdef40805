#pragma once

#include "ecr/commands/ECRFiscalCommands.h"
#include "ecr/commands/ECRPayments.h"
#include "ecr/commands/ECRSaleLine.h"

#include <cstdint>
#include <optional>

// One receipt through the register, as ecrctl and ecrd run it: opened
// ("*t"), its lines sold ("*l"), its subtotal asked ("*u"), paid ("*e") or
// cancelled ("*x"). Every step tells the device what the register's answer
// said of the receipt (ECRFiscalCommands::NoteReceipt), so that the device
// alone knows whether one is open and whose it is; nothing else sets that.
// Unlike the design's SellItem, nothing here opens a receipt unasked, and a
// receipt that was open before this connection opened one is never sold
// into.
//
// Each step throws what the device throws (no answer: CommError, a text the
// request cannot carry: CommError(11) before anything is sent). A refusal or
// an answer that failed its check is not thrown: the step's result says
// whether the register accepted, and the device's LastVerdict() why not.
class ECRReceipt {
public:
    enum class Opening {
        Opened,       // "*t" accepted: the receipt is this connection's
        AlreadyOpen,  // one is open that this connection did not open: "*t" refused
                      // with DeviceCode::ReceiptAlreadyOpen, or it was known before
                      // (then nothing is sent)
        NotOpened,    // "*t" refused otherwise, or its answer failed its check
    };

    explicit ECRReceipt(ECRFiscalCommands& device) : m_device(device) {}

    // Opens a receipt (an empty register number or cashier: the device's
    // default). A receipt this connection opened and has not closed is
    // Opened again, with nothing sent.
    Opening Open(ECRString registerNumber, ECRString cashier);
    // Sells a line into the receipt this connection opened; with none,
    // sends nothing and gives false (LastVerdict() is then not this line's).
    bool Sell(const ECRSaleLine& line);
    // The receipt's total so far; none when not accepted. Answered, a
    // receipt is open; refused with DeviceCode::NoReceiptOpen, none is.
    std::optional<std::int32_t> Subtotal();
    // Pays and closes the receipt; true when the register took the payment.
    bool Pay(const ECRPayments& payments);
    // Cancels the open receipt; true when accepted. Accepted, or refused
    // with DeviceCode::NoReceiptOpen, no receipt is open afterwards.
    bool Cancel();

private:
    // Tells the device that a refusal with DeviceCode::NoReceiptOpen said none is open.
    void NoteRefusal();

    ECRFiscalCommands& m_device;
};
