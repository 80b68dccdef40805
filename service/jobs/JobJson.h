#pragma once

#include "ecr/files/JsonValue.h"
#include "service/jobs/JobEnd.h"
#include "service/jobs/JobKind.h"
#include "service/jobs/JobProgress.h"
#include "service/jobs/JobRecord.h"
#include "service/jobs/JobResult.h"
#include "service/jobs/JobState.h"
#include "service/jobs/Problem.h"

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

// A job's parts as JSON and back: what the journal stores, and what the
// API shows of a job (the same members). The names are the tables' of the
// enums (kOutcomeNames, kReceiptStepNames, ...); a stored name that no
// table knows, or a member of the wrong kind, is refused, never read as a
// default.
class JobJson {
public:
    // A stored document that does not read as its kind: says which member.
    class Malformed : public std::runtime_error {
    public:
        using std::runtime_error::runtime_error;
    };

    // {} (nothing sent), {"step": "sending"}, {"step": "reporting",
    // "totalsBefore": [...]}, or a receipt's {"step", "totalsBefore",
    // "linesSent", "subtotal", "payments": [cash, cheque, card]}.
    static JsonValue Progress(const JobProgress& progress);
    static JobProgress ReadProgress(JobKind kind, const JsonValue& json);

    // {"outcome", "receipt", "result", "problem", "seen", "settled",
    // "cancelledOpenReceipt"}, each only when it has something to say.
    static JsonValue End(const JobEnd& end);
    // The result is read back as a StoredResult: it is only shown again.
    static JobEnd ReadEnd(JobState state, const JsonValue& json);

    static JsonValue Result(const JobResult& result);
    // [{"finishedAt": ms since 1970, "problem": {...}}, ...].
    static JsonValue Earlier(const std::vector<EarlierAttempt>& attempts);
    static std::vector<EarlierAttempt> ReadEarlier(const JsonValue& json);
    // {"type", "title", "status", "detail", "code", "retryable", "sent",
    // "registerCode", "registerMessage"}.
    static JsonValue ProblemDocument(const Problem& problem);
    static Problem ReadProblem(const JsonValue& json);
};
