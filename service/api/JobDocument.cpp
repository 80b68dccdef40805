#include "service/api/JobDocument.h"

#include "ecr/files/JsonReader.h"
#include "service/jobs/JobJson.h"

#include <chrono>
#include <cstdio>

std::string JobDocument::Time(std::int64_t ms)
{
    // UTC by the calendar alone, the same on every system.
    const std::chrono::sys_time<std::chrono::milliseconds> when{std::chrono::milliseconds(ms)};
    const auto day = std::chrono::floor<std::chrono::days>(when);
    const std::chrono::year_month_day date(day);
    const std::chrono::hh_mm_ss time(when - day);
    char text[40];
    std::snprintf(text, sizeof text, "%04d-%02u-%02uT%02d:%02d:%02d.%03dZ", static_cast<int>(date.year()),
                  static_cast<unsigned>(date.month()), static_cast<unsigned>(date.day()),
                  static_cast<int>(time.hours().count()), static_cast<int>(time.minutes().count()),
                  static_cast<int>(time.seconds().count()), static_cast<int>(time.subseconds().count()));
    return text;
}

std::optional<std::int64_t> JobDocument::ParseTime(const std::string& text)
{
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0, millis = 0;
    char tail[2] = {};
    int used = 0;
    const bool dateOnly =
        text.size() == 10 && std::sscanf(text.c_str(), "%4d-%2d-%2d%n", &year, &month, &day, &used) == 3;
    const bool withMillis = !dateOnly && std::sscanf(text.c_str(), "%4d-%2d-%2dT%2d:%2d:%2d.%3d%1[Z]%n", &year, &month,
                                                     &day, &hour, &minute, &second, &millis, tail, &used) == 8;
    const bool whole = !dateOnly && !withMillis &&
                       std::sscanf(text.c_str(), "%4d-%2d-%2dT%2d:%2d:%2d%1[Z]%n", &year, &month, &day, &hour, &minute,
                                   &second, tail, &used) == 7;
    if ((!dateOnly && !withMillis && !whole) || used != static_cast<int>(text.size()))
        return std::nullopt;
    const std::chrono::year_month_day date{std::chrono::year(year), std::chrono::month(static_cast<unsigned>(month)),
                                           std::chrono::day(static_cast<unsigned>(day))};
    if (!date.ok() || year < 1970 || hour > 23 || minute > 59 || second > 59)
        return std::nullopt;
    const std::int64_t days = std::chrono::sys_days(date).time_since_epoch().count();
    return ((days * 24 + hour) * 60 + minute) * 60000 + second * 1000 + millis;
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
    if (!job.idempotencyKey.empty())
        doc.Set("key", job.idempotencyKey);
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
