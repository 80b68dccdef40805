#pragma once

#include "ecr/commands/ECRArticle.h"
#include "ecr/commands/ECRDateTime.h"
#include "ecr/commands/ECRPayments.h"
#include "ecr/commands/ECRSaleLine.h"
#include "ecr/protocol/ECRString.h"
#include "service/jobs/JobKind.h"

#include <array>
#include <optional>
#include <string>
#include <variant>
#include <vector>

// A job's request as its worker carries it out: read and checked at the
// HTTP edge, its texts already in the register's code page. One struct per
// kind; each names its kind.

struct ReceiptRequest {
    static constexpr JobKind kKind = JobKind::Receipt;
    std::vector<ECRSaleLine> lines;
    // None: cash, exactly the register's total.
    std::optional<ECRPayments> payments;
    ECRString registerNumber;
    ECRString cashier;
};

struct DailyReportRequest {
    static constexpr JobKind kKind = JobKind::DailyReport;
};

struct PeriodicReportRequest {
    static constexpr JobKind kKind = JobKind::PeriodicReport;
    ECRDateTime from;
    ECRDateTime to;
    bool fiscal = true;
};

struct ReadClockRequest {
    static constexpr JobKind kKind = JobKind::ReadClock;
};

struct SetClockRequest {
    static constexpr JobKind kKind = JobKind::SetClock;
    // None: the PC's own time when the job runs ({"clock": "now"}).
    std::optional<ECRDateTime> clock;
};

struct ReadHeaderRequest {
    static constexpr JobKind kKind = JobKind::ReadHeader;
};

struct SetHeaderRequest {
    static constexpr JobKind kKind = JobKind::SetHeader;
    std::array<ECRString, 5> lines;
    std::array<bool, 5> doubleSize{};
};

struct ReadArticlesRequest {
    static constexpr JobKind kKind = JobKind::ReadArticles;
};

struct ImportArticlesRequest {
    static constexpr JobKind kKind = JobKind::ImportArticles;
    std::vector<ECRArticle> articles;
};

struct RawRequest {
    static constexpr JobKind kKind = JobKind::Raw;
    std::string payload;  // the request's bytes (Windows-1250), as sent
};

// "Presek stanja": today's figures printed, nothing reset.
struct SnapshotReportRequest {
    static constexpr JobKind kKind = JobKind::SnapshotReport;
};

struct ReadTotalizersRequest {
    static constexpr JobKind kKind = JobKind::ReadTotalizers;
};

struct ReadTaxRatesRequest {
    static constexpr JobKind kKind = JobKind::ReadTaxRates;
};

// Cancels a receipt left open on the register, if one is.
struct CancelReceiptRequest {
    static constexpr JobKind kKind = JobKind::CancelReceipt;
};

struct ShowDisplayRequest {
    static constexpr JobKind kKind = JobKind::ShowDisplay;
    std::array<ECRString, 2> lines;
};

struct ClearDisplayRequest {
    static constexpr JobKind kKind = JobKind::ClearDisplay;
};

// Free lines of text printed, numbered from 1, and the info print ended.
struct InfoPrintRequest {
    static constexpr JobKind kKind = JobKind::InfoPrint;
    std::vector<ECRString> lines;
};

using JobRequest =
    std::variant<ReceiptRequest, DailyReportRequest, PeriodicReportRequest, ReadClockRequest, SetClockRequest,
                 ReadHeaderRequest, SetHeaderRequest, ReadArticlesRequest, ImportArticlesRequest, RawRequest,
                 SnapshotReportRequest, ReadTotalizersRequest, ReadTaxRatesRequest, CancelReceiptRequest,
                 ShowDisplayRequest, ClearDisplayRequest, InfoPrintRequest>;

inline JobKind KindOf(const JobRequest& request)
{
    return std::visit([](const auto& alternative) { return std::decay_t<decltype(alternative)>::kKind; }, request);
}
