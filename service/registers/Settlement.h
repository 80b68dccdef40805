#pragma once

#include "service/jobs/JobEnd.h"
#include "service/jobs/JobProgress.h"
#include "service/jobs/RegisterTotals.h"
#include "service/registers/ReceiptObservation.h"

#include <string>

// What became of a fiscal job whose answer was lost, or that was running
// when the service stopped, decided from what the job recorded of itself
// and what the register shows now (SettlementProbe gathers that; nothing
// here talks to the register, and nothing is ever sent again):
//
// - a receipt before its payment went out was not printed; one found still
//   open has been cancelled (or was left open when the register refused);
// - a receipt whose payment went out: still open, the payment was not
//   taken (and it has been cancelled); closed, the register's grand totals
//   (fiscal plus non-fiscal) are compared with those read before it: grown
//   by its total, it was printed; unchanged, it was not (closed at the
//   register without the payment); anything else is unknown, with what was
//   seen;
// - a daily report: today's figures non-zero before and zero after, it was
//   printed; unchanged, it was not; with no turnover since the last report
//   the totalizers cannot tell, and it is unknown.
//
// cause says what interrupted the job, in words ("no answer from the
// register while paying"); it leads every detail.
class Settlement {
public:
    static JobEnd Receipt(const ReceiptProgress& progress, const ReceiptObservation& seen, const std::string& cause);
    static JobEnd DailyReport(const ReportProgress& progress, const RegisterTotals& after, const std::string& cause);
};
