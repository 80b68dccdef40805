#pragma once

#include "service/api/RouteTable.h"
#include "service/config/ServiceConfig.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// The registers' session logs, one file a day (DailySessionLog), to
// download: GET /logs lists them (register, date, size), GET /logs/{file}
// gives one as text. Only the files a configured register's log writes are
// served, by their exact names, opened without following a link: nothing
// else in the folder, nor anywhere a name could lead.
class LogHandlers {
public:
    // The largest file served whole.
    static constexpr std::uint64_t kMostBytes = 64 * 1024 * 1024;

    explicit LogHandlers(const ServiceConfig& config) : m_config(config) {}

    void List(const HttpRequest& request, const std::vector<std::string>& params, const Responder& responder);
    void File(const HttpRequest& request, const std::vector<std::string>& params, const Responder& responder);

private:
    struct Owner {
        std::string registerId;
        std::string date;
    };
    std::string Folder() const;
    // Whose log of which day a file of that name is; none for any other name.
    std::optional<Owner> OwnerOf(const std::string& name) const;

    const ServiceConfig& m_config;
};
