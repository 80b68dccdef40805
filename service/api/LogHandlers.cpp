#include "service/api/LogHandlers.h"

#include "ecr/files/FaultText.h"
#include "ecr/files/InputFile.h"
#include "service/api/Answers.h"
#include "service/registers/DailySessionLog.h"

#include <algorithm>
#include <cerrno>
#include <filesystem>

namespace fs = std::filesystem;

std::string LogHandlers::Folder() const
{
    return (fs::path(m_config.stateDirectory) / "logs").string();
}

std::optional<LogHandlers::Owner> LogHandlers::OwnerOf(const std::string& name) const
{
    for (const ServiceConfig::Register& reg : m_config.registers) {
        if (const std::optional<std::string> date = DailySessionLog::DateOf(name, reg.id))
            return Owner{reg.id, *date};
    }
    return std::nullopt;
}

void LogHandlers::List(const HttpRequest&, const std::vector<std::string>&, const Responder& responder)
{
    struct Listed {
        std::string file;
        Owner owner;
        std::uintmax_t size = 0;
    };
    std::vector<Listed> logs;
    std::error_code error;
    for (const fs::directory_entry& entry : fs::directory_iterator(Folder(), error)) {
        const std::string name = entry.path().filename().string();
        const std::optional<Owner> owner = OwnerOf(name);
        std::error_code unreadable;
        if (!owner || entry.symlink_status(unreadable).type() != fs::file_type::regular)
            continue;
        const std::uintmax_t size = entry.file_size(unreadable);
        if (!unreadable)
            logs.push_back({name, *owner, size});
    }
    // The newest day first, its registers in order.
    std::sort(logs.begin(), logs.end(), [](const Listed& a, const Listed& b) {
        return a.owner.date != b.owner.date ? a.owner.date > b.owner.date : a.owner.registerId < b.owner.registerId;
    });
    JsonValue body = JsonValue::Object();
    body.Set("sessionLogs", m_config.sessionLogs);
    JsonValue& list = body.Set("logs", JsonValue::Array());
    for (const Listed& log : logs) {
        JsonValue item = JsonValue::Object();
        item.Set("file", log.file);
        item.Set("register", log.owner.registerId);
        item.Set("date", log.owner.date);
        item.Set("size", static_cast<std::int64_t>(log.size));
        list.Push(std::move(item));
    }
    responder.Send(Answers::Json(200, body));
}

void LogHandlers::File(const HttpRequest&, const std::vector<std::string>& params, const Responder& responder)
{
    const std::string& name = params.at(0);
    if (!OwnerOf(name))
        return responder.Send(Answers::Of(Problem(Problem::Code::NotFound, "no session log " + name)));
    InputFile file;
    FileFault fault;
    std::string text;
    if (!file.OpenIn(Folder(), name, fault) || !file.ReadRest(kMostBytes, text, fault)) {
        // What the list would not show (none, a link, no regular file) is no log.
        const bool noLog =
            fault.kind == FileFault::Kind::NotAFile ||
            (fault.kind == FileFault::Kind::CannotOpen && (fault.systemError == ENOENT || fault.systemError == ELOOP));
        return responder.Send(
            Answers::Of(Problem(noLog ? Problem::Code::NotFound : Problem::Code::Internal,
                                name + ": " + FaultText::Describe(fault, FaultText::Language::English))));
    }
    HttpResponse answer;
    answer.headers = {{"Content-Type", "text/plain; charset=utf-8"},
                      {"Content-Disposition", "attachment; filename=\"" + name + "\""},
                      {"X-Content-Type-Options", "nosniff"},
                      {"Cache-Control", "no-cache"}};
    answer.body = std::move(text);
    responder.Send(std::move(answer));
}
