#pragma once

#include <optional>
#include <string>

// What a job does at the register. The names are those of the journal and
// of the job documents ("receipt", "dailyReport", ...).
enum class JobKind {
    Receipt,
    DailyReport,
    PeriodicReport,
    ReadClock,
    SetClock,
    ReadHeader,
    SetHeader,
    ReadArticles,
    ImportArticles,
    Raw,
};

class JobKinds {
public:
    static const char* Name(JobKind kind);
    static std::optional<JobKind> FromName(const std::string& name);
    // Prints something fiscal (a receipt, a report): never repeated on its
    // own, settled from the register when its answer is lost.
    static bool IsFiscal(JobKind kind);
    // Only reads: nothing on the register changes.
    static bool IsRead(JobKind kind);
};
