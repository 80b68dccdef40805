#pragma once

#include "service/http/HttpResponse.h"
#include "service/http/Responder.h"
#include "service/jobs/JobRecord.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

class JobBoard;

// Answers a request with its job once the job has ended, the wait is over
// or the service stops, whichever comes first, without holding a thread
// meanwhile: the board tells when the job changes (only this job's
// waiters), the responder's deadline when the wait is over, and a client
// that leaves forgets its watch.
class JobWait {
public:
    using Render = std::function<HttpResponse(const std::optional<JobRecord>& job)>;

    static void Answer(JobBoard& board, const std::string& jobId, std::int32_t waitMs, const Responder& responder,
                       Render render);
};
