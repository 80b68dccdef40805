#pragma once

#include "service/api/RouteTable.h"

#include <string>
#include <vector>

// The files ecrd serves as they were built into it (EmbeddedFile): the
// OpenAPI document at /openapi.json and the console at / and /console/*,
// the console's with the headers that keep its page to itself.
class FileHandlers {
public:
    void OpenApi(const HttpRequest& request, const std::vector<std::string>& params, const Responder& responder);
    void ConsolePage(const HttpRequest& request, const std::vector<std::string>& params, const Responder& responder);
    void ConsoleFile(const HttpRequest& request, const std::vector<std::string>& params, const Responder& responder);
};
