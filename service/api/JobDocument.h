#pragma once

#include "ecr/files/JsonValue.h"
#include "service/jobs/JobRecord.h"

#include <cstdint>
#include <optional>
#include <string>

// A job as GET /jobs/{id} shows it: id, register, kind, state, its
// Idempotency-Key, times
// (ISO 8601, UTC), the request's body, the progress of a job still
// running, and how it ended (outcome, receipt, result or problem, seen).
class JobDocument {
public:
    static JsonValue Of(const JobRecord& job);
    // "2026-03-15T09:41:07.123Z".
    static std::string Time(std::int64_t ms);
    // Such a time (the milliseconds may be left out), or a date alone
    // (midnight UTC); none for any other text.
    static std::optional<std::int64_t> ParseTime(const std::string& text);
    // The body of the canonical request "METHOD PATH\nBODY".
    static JsonValue RequestBody(const std::string& canonical);
};
