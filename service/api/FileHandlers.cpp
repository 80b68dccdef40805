#include "service/api/FileHandlers.h"

#include "service/api/Answers.h"
#include "service/api/EmbeddedFile.h"

#include <string_view>

namespace {

const EmbeddedFile* Find(std::string_view path)
{
    for (const EmbeddedFile& file : ServedFiles()) {
        if (file.path == path)
            return &file;
    }
    return nullptr;
}

std::string TypeOf(std::string_view path)
{
    const auto ends = [&](std::string_view suffix) {
        return path.size() >= suffix.size() && path.substr(path.size() - suffix.size()) == suffix;
    };
    if (ends(".html"))
        return "text/html; charset=utf-8";
    if (ends(".js"))
        return "text/javascript; charset=utf-8";
    if (ends(".css"))
        return "text/css; charset=utf-8";
    if (ends(".json"))
        return "application/json";
    if (ends(".svg"))
        return "image/svg+xml";
    return "application/octet-stream";
}

HttpResponse Serve(std::string_view path, bool console)
{
    const EmbeddedFile* file = Find(path);
    if (file == nullptr)
        return Answers::Of(Problem(Problem::Code::NotFound, "no such file: " + std::string(path)));
    HttpResponse answer;
    answer.headers.emplace_back("Content-Type", TypeOf(path));
    answer.headers.emplace_back("Cache-Control", "no-cache");
    answer.headers.emplace_back("X-Content-Type-Options", "nosniff");
    if (console) {
        // The page runs only its own scripts, in no frame, and tells nobody where it was.
        answer.headers.emplace_back("Content-Security-Policy",
                                    "default-src 'self'; frame-ancestors 'none'; base-uri 'none'; form-action 'self'");
        answer.headers.emplace_back("Referrer-Policy", "no-referrer");
        answer.headers.emplace_back("X-Frame-Options", "DENY");
    }
    answer.body = std::string(file->bytes);
    return answer;
}

}  // namespace

void FileHandlers::OpenApi(const HttpRequest&, const std::vector<std::string>&, const Responder& responder)
{
    responder.Send(Serve("openapi.json", false));
}

void FileHandlers::ConsolePage(const HttpRequest&, const std::vector<std::string>&, const Responder& responder)
{
    responder.Send(Serve("console/index.html", true));
}

void FileHandlers::ConsoleFile(const HttpRequest&, const std::vector<std::string>& params, const Responder& responder)
{
    responder.Send(Serve("console/" + params.at(0), true));
}
