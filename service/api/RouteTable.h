#pragma once

#include "service/api/PathPattern.h"
#include "service/http/HttpRequest.h"
#include "service/http/Responder.h"

#include <functional>
#include <string>
#include <string_view>
#include <vector>

// The routes a service serves: a method, a path pattern and a handler each.
// What a request finds is decided here alone: a path no pattern matches is
// no route (404); a path some pattern matches, but not with the request's
// method, is a method not allowed (405, with the methods that are).
class RouteTable {
public:
    // The request, its path's parameters in order ({id}, {jobId}), and the
    // way to answer it.
    using Handler =
        std::function<void(const HttpRequest& request, const std::vector<std::string>& params, const Responder&)>;

    struct Route {
        std::string method;
        PathPattern pattern;
        Handler handler;
    };

    struct Match {
        const Route* route = nullptr;     // found
        std::vector<std::string> params;  // its parameters' values
        std::string allowed;              // no route for the method: "GET, PUT"; empty when the path is no route
    };

    void Add(std::string method, std::string pattern, Handler handler);
    Match Find(std::string_view method, std::string_view path) const;
    const std::vector<Route>& Routes() const { return m_routes; }

private:
    std::vector<Route> m_routes;
};
