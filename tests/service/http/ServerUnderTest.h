#pragma once

#include "service/http/HttpServer.h"

#include <atomic>
#include <memory>
#include <stdexcept>
#include <string>

// The server under test on 127.0.0.1 (any free port), bound and started.
struct ServerUnderTest {
    explicit ServerUnderTest(HttpServer::Handler handler, HttpServer::Limits limits = {},
                             HttpServer::Screen screen = nullptr,
                             std::optional<HttpServer::TlsFiles> tls = std::nullopt)
    {
        HttpServer::Options options;
        options.host = "127.0.0.1";
        options.tls = std::move(tls);
        options.limits = limits;
        server = std::make_unique<HttpServer>(options, std::move(screen), std::move(handler));
        std::string error;
        if (!server->Bind(error))
            throw std::runtime_error(error);
        server->Start();
    }

    int Port() const { return server->Port(); }

    std::unique_ptr<HttpServer> server;
};

// A handler that answers at once with what it was given: "METHOD path
// query body" as text/plain, and counts its calls.
struct EchoHandler {
    std::shared_ptr<std::atomic<int>> calls = std::make_shared<std::atomic<int>>(0);

    HttpServer::Handler operator()() const
    {
        return [calls = calls](HttpRequest request, Responder responder) {
            ++*calls;
            HttpResponse answer;
            answer.headers.emplace_back("Content-Type", "text/plain");
            answer.body = request.method + " " + request.path + " " + request.query + " " + request.body;
            responder.Send(std::move(answer));
        };
    }
};
