#pragma once

#include "ecr/files/JsonValue.h"
#include "service/JobEnd.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>

class ECRDevice;

// What became of a fiscal job whose answer was lost, or that was running
// when the service stopped, settled from the register itself and from
// what the job's progress says it had done (nothing is sent again):
//
// - a receipt before its payment was sent was not printed: if the register
//   still has it open ("*u" answered) it is cancelled ("*x");
// - a receipt whose payment was sent: still open, the payment was not
//   taken, and it is cancelled; closed ("*u" refused with code 58), the
//   register's grand totals ("$t", fiscal plus non-fiscal) are compared
//   with those read before the receipt: grown by its total, it was
//   printed; unchanged, it was not; anything else is unknown, with what
//   was seen;
// - a daily report: today's figures non-zero before and zero after, it was
//   printed; unchanged, it was not; with no turnover since the last report
//   the totalizers cannot tell, and it is unknown.
//
// When the register cannot be asked (no answer, the line down) SettleLater
// is thrown: the job stays running and is settled once the link is back.
class Settlement {
public:
    // Device error code: no receipt is open.
    static constexpr std::int32_t kNoReceiptOpen = 58;

    // cause: what interrupted the job, in words ("no answer from the
    // register while paying").
    static JobEnd Receipt(ECRDevice& device, const JsonValue& progress, const std::string& cause);
    static JobEnd DailyReport(ECRDevice& device, const JsonValue& progress, const std::string& cause);

    // The register's thirteen totalizers, as they came (the "$t" reply);
    // SettleLater when they cannot be read.
    static JsonValue ReadTotalizers(ECRDevice& device);
    // The result of a printed receipt: total, paid (cash, cheque, card), change.
    static JsonValue ReceiptResult(std::int64_t total, const std::array<std::int32_t, 3>& payments);
    // Cancels the open receipt: "cancelled", or "left open" when the
    // register refused (refusal then says why); SettleLater when lost.
    static const char* Cancel(ECRDevice& device, std::string& refusal);
};
