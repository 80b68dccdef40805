#include "service/JobKind.h"

namespace {

constexpr const char* kNames[] = {"receipt",    "dailyReport", "periodicReport", "readClock",      "setClock",
                                  "readHeader", "setHeader",   "readArticles",   "importArticles", "raw"};

}  // namespace

const char* JobKinds::Name(JobKind kind)
{
    return kNames[static_cast<int>(kind)];
}

std::optional<JobKind> JobKinds::FromName(const std::string& name)
{
    for (int i = 0; i < static_cast<int>(std::size(kNames)); ++i) {
        if (name == kNames[i])
            return static_cast<JobKind>(i);
    }
    return std::nullopt;
}

bool JobKinds::IsFiscal(JobKind kind)
{
    return kind == JobKind::Receipt || kind == JobKind::DailyReport || kind == JobKind::PeriodicReport;
}

bool JobKinds::IsRead(JobKind kind)
{
    return kind == JobKind::ReadClock || kind == JobKind::ReadHeader || kind == JobKind::ReadArticles;
}
