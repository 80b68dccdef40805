#pragma once

#include "service/jobs/RegisterTotals.h"

#include <optional>
#include <string>

// What the register showed of a receipt whose answer was lost, as
// SettlementProbe gathers it: whether a receipt is open ("*u" answered,
// refused with DeviceCode::NoReceiptOpen, or refused otherwise); an open
// one is cancelled, and whether that was taken; when none is open, its
// totalizers.
struct ReceiptObservation {
    enum class Receipt { Open, Closed, Unreadable };

    Receipt receipt = Receipt::Closed;
    // Open: the cancel was accepted.
    bool cancelled = false;
    // In words: the refusal of "*u" (Unreadable), or of the cancel (Open, not cancelled).
    std::string refusal;
    // Closed or Unreadable: the totalizers as read then.
    std::optional<RegisterTotals> totalsAfter;
};
