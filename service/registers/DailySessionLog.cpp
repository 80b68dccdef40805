#include "service/registers/DailySessionLog.h"

#include "ecr/commands/Utf8Path.h"
#include "service/registers/LocalTime.h"

#include <cstdio>
#include <ctime>
#include <filesystem>

namespace fs = std::filesystem;

namespace {

std::string LocalDate(std::time_t when)
{
    const std::tm local = LocalTime(when);
    char text[16];
    std::strftime(text, sizeof text, "%Y-%m-%d", &local);
    return text;
}

}  // namespace

DailySessionLog::DailySessionLog(std::string folder, std::string registerId, std::int32_t keepDays)
    : m_folder(std::move(folder)), m_registerId(std::move(registerId)), m_keepDays(keepDays)
{
}

std::string DailySessionLog::PathFor(const std::string& date) const
{
    return Utf8Name(Utf8Path(m_folder) / (m_registerId + "-" + date + ".log"));
}

ECRSessionTrace* DailySessionLog::Today()
{
    const std::string date = LocalDate(std::time(nullptr));
    if (date == m_date)
        return m_trace.get();
    m_date = date;
    m_trace = std::make_unique<ECRSessionTrace>();
    std::error_code ignored;
    fs::create_directories(Utf8Path(m_folder), ignored);
    std::string error;
    if (!m_trace->OpenLog(PathFor(date), "ecrd " + m_registerId, error)) {
        m_trace.reset();
        if (!m_failed)
            std::fprintf(stderr, "ecrd: %s: no session log: %s\n", m_registerId.c_str(), error.c_str());
        m_failed = true;
        return nullptr;
    }
    m_failed = false;
    RemoveOld();
    return m_trace.get();
}

void DailySessionLog::RemoveOld()
{
    const std::string oldest = LocalDate(std::time(nullptr) - static_cast<std::time_t>(m_keepDays) * 24 * 3600);
    const std::string prefix = m_registerId + "-";
    std::error_code error;
    for (const fs::directory_entry& entry : fs::directory_iterator(Utf8Path(m_folder), error)) {
        const std::string name = Utf8Name(entry.path().filename());
        // <id>-YYYY-MM-DD.log: the date sorts as text.
        if (name.size() == prefix.size() + 14 && name.compare(0, prefix.size(), prefix) == 0 &&
            name.compare(name.size() - 4, 4, ".log") == 0 && name.substr(prefix.size(), 10) < oldest) {
            std::error_code ignored;
            fs::remove(entry.path(), ignored);
        }
    }
}

void DailySessionLog::ReportFailure()
{
    const std::string failure = m_trace->TakeLogFailure();
    if (!failure.empty())
        std::fprintf(stderr, "ecrd: %s: the session log stopped: %s\n", m_registerId.c_str(), failure.c_str());
}

void DailySessionLog::Traffic(ECRTrafficDirection direction, std::string_view bytes)
{
    if (ECRSessionTrace* trace = Today()) {
        trace->Traffic(direction, bytes);
        ReportFailure();
    }
}

void DailySessionLog::Message(std::string_view text)
{
    if (ECRSessionTrace* trace = Today()) {
        trace->Message(text);
        ReportFailure();
    }
}

void DailySessionLog::Note(std::string_view text)
{
    if (ECRSessionTrace* trace = Today()) {
        trace->Note(text);
        ReportFailure();
    }
}
