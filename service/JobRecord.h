#pragma once

#include "ecr/files/JsonValue.h"

#include <cstdint>
#include <string>

// One job as the journal keeps it.
struct JobRecord {
    enum class State { Queued, Running, Done, Failed, Unknown };

    std::string id;
    std::string registerId;
    std::string kind;            // JobKinds::Name
    std::string idempotencyKey;  // empty when none was given
    // The request as it was read: method, path and the body in compact
    // JSON, so that a repeat with the same key can be compared with it.
    std::string request;
    State state = State::Queued;
    // What the worker has done and seen so far, written before each step
    // that cannot be taken back, so that a job interrupted by a crash can
    // be settled from it.
    JsonValue progress = JsonValue::Object();
    // The end: {"outcome", "result"} or {"outcome", "problem"}.
    JsonValue end = JsonValue::Object();
    std::int64_t createdMs = 0;  // milliseconds since 1970, UTC
    std::int64_t startedMs = 0;
    std::int64_t finishedMs = 0;

    bool Finished() const { return state == State::Done || state == State::Failed || state == State::Unknown; }
    static const char* StateName(State state);
    static State StateFromName(const std::string& name);
};
