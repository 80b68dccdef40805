#pragma once

#include "ecr/files/JsonValue.h"
#include "service/http/HttpResponse.h"
#include "service/jobs/JobRecord.h"
#include "service/jobs/Problem.h"

#include <optional>
#include <string>

// ecrd's answers as HTTP: JSON bodies, problems as application/problem+json
// (RFC 9457), and a job as its request and its state call for.
class Answers {
public:
    static HttpResponse Json(int status, const JsonValue& body);
    static HttpResponse Of(const Problem& problem);
    // What a request that made or named a job answers once the job has ended
    // or the wait is over: 202 with Location while it runs; 200 with the job
    // when it is done (or ended without a problem); else the job's problem
    // with its status, the job's id, state, outcome, receipt, what was seen
    // and its result.
    static HttpResponse JobEnded(const JobRecord& job);
    // GET /jobs/{id}: 200 with the job document whatever its state (its
    // problem inside), 404 when there is none.
    static HttpResponse JobShown(const std::optional<JobRecord>& job, std::int64_t keepResultsHours,
                                 const std::string& jobId);
};
