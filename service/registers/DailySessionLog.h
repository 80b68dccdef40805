#pragma once

#include "ecr/commands/ECRSessionTrace.h"
#include "ecr/commands/ECRTrafficEntry.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

// A register's session log in one file a day, <folder>/<id>-YYYY-MM-DD.log
// (local date), written through the session-log code every front end uses,
// so ecrctl decode reads it. A new day starts a new file, and files older
// than keepDays are then removed. A log that cannot be written stops, and
// says so once on standard error (the system journal under systemd); the
// register goes on being served.
class DailySessionLog {
public:
    DailySessionLog(std::string folder, std::string registerId, std::int32_t keepDays);

    void Traffic(ECRTrafficDirection direction, std::string_view bytes);
    // A register message (Windows-1250).
    void Message(std::string_view text);
    // A note of the service (UTF-8): a job begins or ends.
    void Note(std::string_view text);

    // The file of the day, for the given local date "YYYY-MM-DD".
    std::string PathFor(const std::string& date) const;
    // A register's file of a day: "<id>-YYYY-MM-DD.log".
    static std::string FileName(const std::string& registerId, const std::string& date);
    // The date "YYYY-MM-DD" of the register's file of that name; none for
    // any other name.
    static std::optional<std::string> DateOf(std::string_view fileName, const std::string& registerId);

private:
    // The trace of today's file, opened or changed when the day changed;
    // null while the log cannot be written.
    ECRSessionTrace* Today();
    void RemoveOld();
    void ReportFailure();

    std::string m_folder;
    std::string m_registerId;
    std::int32_t m_keepDays;
    std::string m_date;
    std::unique_ptr<ECRSessionTrace> m_trace;
    bool m_failed = false;
};
