#pragma once

#include "ecr/commands/ECRArticle.h"
#include "ecr/commands/ECRDateTime.h"
#include "ecr/commands/ECRPayments.h"
#include "ecr/files/JsonValue.h"
#include "ecr/protocol/ECRString.h"
#include "service/jobs/RegisterTotals.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <variant>
#include <vector>

// What a job gives back, one struct per kind of answer (JobJson writes
// each as the API documents it).

// A printed receipt: its total and what paid it (the change is the difference).
struct ReceiptResult {
    std::int64_t total = 0;  // hundredths
    ECRPayments paid;
};

// A report printed: nothing more to say.
struct ReportResult {};

struct ClockResult {
    ECRDateTime clock;
    // Set to the PC's time: the register's clock before and after.
    std::optional<ECRDateTime> before;
    std::optional<ECRDateTime> after;
};

struct HeaderResult {
    std::array<ECRString, 5> lines;
    std::array<bool, 5> doubleSize{};
};

struct ArticlesResult {
    std::vector<ECRArticle> articles;
};

// An import's counts, also when it failed half-way.
struct ImportResult {
    std::size_t sent = 0;
    std::size_t accepted = 0;
    std::size_t refused = 0;
    std::size_t unconfirmed = 0;  // answers that failed their check: taken or not, unknown
    std::size_t skipped = 0;      // never sent
};

struct RawResult {
    ECRString answer;  // as the register sent it
};

struct TotalizersResult {
    RegisterTotals totals;
};

struct TaxRatesResult {
    std::array<std::int32_t, 9> rates{};  // hundredths of a percent, A .. K
};

struct CancelResult {
    bool wasOpen = false;  // a receipt was open, and has been cancelled
};

struct DisplayResult {
    std::array<ECRString, 2> lines;  // empty: the display cleared
};

struct InfoPrintResult {
    std::size_t lines = 0;
};

// A result read back from the journal: kept as written, only to be shown.
struct StoredResult {
    JsonValue json;
};

// None (std::monostate), or one of the above.
using JobResult = std::variant<std::monostate, ReceiptResult, ReportResult, ClockResult, HeaderResult, ArticlesResult,
                               ImportResult, RawResult, TotalizersResult, TaxRatesResult, CancelResult, DisplayResult,
                               InfoPrintResult, StoredResult>;
