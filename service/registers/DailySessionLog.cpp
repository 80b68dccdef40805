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
    return Utf8Name(Utf8Path(m_folder) / FileName(m_registerId, date));
}

std::string DailySessionLog::FileName(const std::string& registerId, const std::string& date)
{
    return registerId + "-" + date + ".log";
}

std::optional<std::string> DailySessionLog::DateOf(std::string_view fileName, const std::string& registerId)
{
    // <id>-YYYY-MM-DD.log
    const std::size_t dateAt = registerId.size() + 1;
    if (fileName.size() != dateAt + 14 || fileName.substr(0, registerId.size()) != registerId ||
        fileName[registerId.size()] != '-' || fileName.substr(dateAt + 10) != ".log")
        return std::nullopt;
    const std::string_view date = fileName.substr(dateAt, 10);
    for (std::size_t i = 0; i < date.size(); ++i) {
        const bool dash = i == 4 || i == 7;
        if (dash ? date[i] != '-' : (date[i] < '0' || date[i] > '9'))
            return std::nullopt;
    }
    return std::string(date);
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
    std::error_code error;
    for (const fs::directory_entry& entry : fs::directory_iterator(Utf8Path(m_folder), error)) {
        // The date sorts as text.
        const std::optional<std::string> date = DateOf(Utf8Name(entry.path().filename()), m_registerId);
        if (date && *date < oldest) {
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
