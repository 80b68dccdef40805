#include "service/api/JobDocument.h"

#include "ecr/files/JsonReader.h"
#include "service/jobs/JobJson.h"

#include <cstdio>
#include <ctime>

std::string JobDocument::Time(std::int64_t ms)
{
    const std::time_t seconds = static_cast<std::time_t>(ms / 1000);
    std::tm utc{};
    gmtime_r(&seconds, &utc);
    char text[40];
    const std::size_t length = std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%S", &utc);
    char millis[8];
    std::snprintf(millis, sizeof millis, ".%03dZ", static_cast<int>(ms % 1000));
    return std::string(text, length) + millis;
}

JsonValue JobDocument::RequestBody(const std::string& canonical)
{
    JsonValue body = JsonValue::Object();
    const std::size_t newline = canonical.find('\n');
    if (newline == std::string::npos)
        return body;
    JsonReader::Limits limits;
    limits.decimals = true;
    std::string ignored;
    JsonReader::Parse(std::string_view(canonical).substr(newline + 1), body, ignored, limits);
    return body;
}

JsonValue JobDocument::Of(const JobRecord& job)
{
    JsonValue doc = JsonValue::Object();
    doc.Set("id", job.id);
    doc.Set("register", job.registerId);
    doc.Set("kind", std::string(kJobKindNames.Name(job.kind)));
    doc.Set("state", std::string(kJobStateNames.Name(job.state)));
    doc.Set("createdAt", Time(job.createdMs));
    if (job.startedMs != 0)
        doc.Set("startedAt", Time(job.startedMs));
    if (job.finishedMs != 0)
        doc.Set("finishedAt", Time(job.finishedMs));
    doc.Set("request", RequestBody(job.request));
    doc.Set("attempts", job.attempts);
    if (!job.earlier.empty()) {
        JsonValue& earlier = doc.Set("earlierAttempts", JsonValue::Array());
        for (const EarlierAttempt& attempt : job.earlier) {
            JsonValue item = JsonValue::Object();
            item.Set("finishedAt", Time(attempt.finishedMs));
            item.Set("problem", JobJson::ProblemDocument(attempt.problem));
            earlier.Push(std::move(item));
        }
    }
    if (!job.Finished() && !NothingSent(job.progress))
        doc.Set("progress", JobJson::Progress(job.progress));
    if (job.Finished()) {
        const JsonValue end = JobJson::End(job.end);
        for (const auto& [key, value] : end.Members())
            doc.Set(key, value);
    }
    return doc;
}
