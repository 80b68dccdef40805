#include "service/api/Answers.h"

#include "service/api/JobDocument.h"
#include "service/jobs/JobJson.h"

HttpResponse Answers::Json(int status, const JsonValue& body)
{
    HttpResponse response;
    response.status = status;
    response.headers.emplace_back("Content-Type", "application/json");
    response.body = body.Dump(true) + "\n";
    return response;
}

HttpResponse Answers::Of(const Problem& problem)
{
    HttpResponse response = Json(Problem::Status(problem.GetCode()), JobJson::ProblemDocument(problem));
    response.headers.front().second = "application/problem+json";
    return response;
}

HttpResponse Answers::JobEnded(const JobRecord& job)
{
    HttpResponse response;
    if (!job.Finished()) {
        response = Json(202, JobDocument::Of(job));
        response.headers.emplace_back("Retry-After", "1");
    } else if (job.state == JobState::Done || !job.end.problem) {
        response = Json(200, JobDocument::Of(job));
    } else {
        // The problem, with the job it ended and what the job says besides.
        JsonValue body = JobJson::ProblemDocument(*job.end.problem);
        body.Set("job", job.id);
        body.Set("state", std::string(kJobStateNames.Name(job.state)));
        body.Set("attempts", job.attempts);
        const JsonValue end = JobJson::End(job.end);
        for (const char* key : {"outcome", "receipt", "seen", "result"}) {
            if (const JsonValue* value = end.Find(key))
                body.Set(key, *value);
        }
        response = Json(Problem::Status(job.end.problem->GetCode()), body);
        response.headers.front().second = "application/problem+json";
    }
    response.headers.emplace_back("Location", "/jobs/" + job.id);
    return response;
}

HttpResponse Answers::JobShown(const std::optional<JobRecord>& job, std::int64_t keepResultsHours,
                               const std::string& jobId)
{
    if (!job)
        return Of(Problem(Problem::Code::NotFound,
                          "no job " + jobId + " (results are kept " + std::to_string(keepResultsHours) + " hours)"));
    HttpResponse response = Json(200, JobDocument::Of(*job));
    response.headers.emplace_back("Location", "/jobs/" + job->id);
    return response;
}
