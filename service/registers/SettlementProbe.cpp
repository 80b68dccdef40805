#include "service/registers/SettlementProbe.h"

#include "ecr/commands/ECRDevice.h"
#include "ecr/commands/ECRReceipt.h"
#include "ecr/protocol/DeviceCode.h"
#include "service/registers/ExchangeResult.h"
#include "service/registers/SettleLater.h"

ReceiptObservation SettlementProbe::Receipt(ECRDevice& device)
{
    ECRReceipt receipt(device);
    ReceiptObservation seen;
    const ExchangeResult asked = ExchangeResult::Of(device, [&] { receipt.Subtotal(); });
    if (asked.kind == ExchangeResult::Kind::Lost)
        throw SettleLater(asked.Words("asking whether the receipt is open"));
    if (asked.Accepted()) {
        seen.receipt = ReceiptObservation::Receipt::Open;
        const ExchangeResult cancel = ExchangeResult::Of(device, [&] { receipt.Cancel(); });
        if (cancel.kind == ExchangeResult::Kind::Lost)
            throw SettleLater(cancel.Words("cancelling the receipt"));
        seen.cancelled = cancel.Accepted();
        if (!seen.cancelled)
            seen.refusal = cancel.Words("cancelling the receipt");
        return seen;
    }
    if (!asked.Refused(DeviceCode::NoReceiptOpen)) {
        seen.receipt = ReceiptObservation::Receipt::Unreadable;
        seen.refusal = asked.Words("asking for the subtotal");
    }
    seen.totalsAfter = Totals(device);
    return seen;
}

RegisterTotals SettlementProbe::Totals(ECRDevice& device)
{
    std::array<ECRString, 13> totals;
    const ExchangeResult read = ExchangeResult::Of(device, [&] { device.ReadTotalizers(totals); });
    if (!read.Accepted())
        throw SettleLater(read.Words("reading the totalizers"));
    return RegisterTotals::From(totals);
}
