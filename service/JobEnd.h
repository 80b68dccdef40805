#pragma once

#include "ecr/files/JsonValue.h"
#include "service/JobRecord.h"
#include "service/Problem.h"

#include <stdexcept>
#include <string>

// How a job ended: its final state and the document the journal keeps,
// {"outcome": ..., "receipt": ..., "result": {...}} or with "problem".
// Receipts and reports say "outcome": "printed", "not printed" or
// "unknown"; a receipt that was not printed says what became of it in
// "receipt": "cancelled", "left open" or "none open".
struct JobEnd {
    JobRecord::State state = JobRecord::State::Done;
    JsonValue doc = JsonValue::Object();

    static JobEnd Done(JsonValue result);
    static JobEnd Failed(const Problem& problem);
    // The register may or may not have done it; what was seen, if anything.
    static JobEnd Unknown(const Problem& problem);

    JobEnd& Outcome(const char* outcome);
    JobEnd& Receipt(const char* disposition);
    JobEnd& Seen(JsonValue seen);
};

// Thrown where the register cannot be asked what became of a job (no
// answer, the line down): the job stays running, and its worker settles it
// once the link is open again.
class SettleLater : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Thrown between two exchanges when the service is stopping: the job is
// left as the journal has it, and settled at the next start.
class StopRequested : public std::runtime_error {
public:
    StopRequested() : std::runtime_error("the service is stopping") {}
};
