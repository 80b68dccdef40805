#pragma once

#include "ecr/commands/ECRTrafficEntry.h"
#include "service/jobs/JobKind.h"
#include "service/jobs/JobState.h"
#include "service/jobs/Outcome.h"

#include <cstdint>
#include <optional>
#include <string>
#include <variant>

// What the event streams (GET /events) tell, as the workers and the board
// publish it to the EventHub.

// Something a register's status shows changed: its link opened or went
// down, a job was queued, began or ended, a probe was answered. The status
// itself is read when the event goes out, so it is never older than the event.
struct RegisterChanged {
    std::string registerId;
};

// A job was queued, began or ended.
struct JobChanged {
    std::string jobId;
    std::string registerId;
    JobKind kind = JobKind::Receipt;
    JobState state = JobState::Queued;
    std::optional<Outcome> outcome;
    std::string key;  // the Idempotency-Key; known only when the job is queued
    std::int64_t atMs = 0;
};

// One entry of a register's line, for the streams that watch that
// register. The hub decodes it into `line` before it goes out, as the
// desktop program's monitor shows it ("Dekodirano").
struct TrafficSeen {
    std::string registerId;
    std::int64_t atMs = 0;
    ECRTrafficDirection direction = ECRTrafficDirection::Unknown;
    std::string bytes;
    std::string line;  // UTF-8, one line
};

// Events were lost (the hub fell behind): a page reads the state again.
struct EventsLost {
    std::uint64_t count = 0;
};

using ServiceEvent = std::variant<RegisterChanged, JobChanged, TrafficSeen, EventsLost>;
