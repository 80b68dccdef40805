#pragma once

#include "service/jobs/RegisterTotals.h"
#include "service/registers/ReceiptObservation.h"

class ECRDevice;

// Asks the register what Settlement needs to settle a job whose answer was
// lost. Sends nothing fiscal but the cancel of a receipt found open (which
// prints nothing). Throws SettleLater when an answer is lost: the register
// cannot be asked now.
class SettlementProbe {
public:
    // "*u": a receipt open is cancelled ("*x"); none open, "$t" is read.
    static ReceiptObservation Receipt(ECRDevice& device);
    // "$t".
    static RegisterTotals Totals(ECRDevice& device);
};
