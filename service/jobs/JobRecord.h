#pragma once

#include "service/jobs/JobEnd.h"
#include "service/jobs/JobKind.h"
#include "service/jobs/JobProgress.h"
#include "service/jobs/JobState.h"

#include <cstdint>
#include <string>
#include <vector>

// An attempt of a job that ended with nothing sent, before the same key
// and request ran it again.
struct EarlierAttempt {
    std::int64_t finishedMs = 0;
    Problem problem;
};

// One job as the journal keeps it.
struct JobRecord {
    std::string id;
    std::string registerId;
    JobKind kind = JobKind::Receipt;
    std::string idempotencyKey;  // empty when none was given
    // The request as it was read: method, path and the body in compact
    // JSON, so that a repeat with the same key can be compared with it.
    std::string request;
    JobState state = JobState::Queued;
    JobProgress progress;
    JobEnd end;                  // once finished
    std::int64_t createdMs = 0;  // milliseconds since 1970, UTC
    std::int64_t startedMs = 0;
    std::int64_t finishedMs = 0;
    // 1, and one more for each time a retry ran it again; the attempts before this one.
    int attempts = 1;
    std::vector<EarlierAttempt> earlier;

    bool Finished() const { return IsFinished(state); }
    // It ended with nothing sent and may succeed later: the same key and
    // request run it again (JobBoard::Submit).
    bool MayRunAgain() const { return Finished() && end.problem && end.problem->Retryable(); }
};
