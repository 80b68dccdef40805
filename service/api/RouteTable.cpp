#include "service/api/RouteTable.h"

void RouteTable::Add(std::string method, std::string pattern, Handler handler)
{
    m_routes.push_back({std::move(method), PathPattern(std::move(pattern)), std::move(handler)});
}

RouteTable::Match RouteTable::Find(std::string_view method, std::string_view path) const
{
    Match match;
    std::vector<std::string> params;
    for (const Route& route : m_routes) {
        if (!route.pattern.Match(path, params))
            continue;
        if (route.method == method) {
            match.route = &route;
            match.params = std::move(params);
            return match;
        }
        if (match.allowed.find(route.method) == std::string::npos)
            match.allowed += (match.allowed.empty() ? "" : ", ") + route.method;
    }
    return match;
}
