#pragma once

#include "service/http/HttpServer.h"

#include <boost/asio/ssl/context.hpp>
#include <memory>
#include <string>

// The TLS side of a server (built only with OpenSSL): TLS 1.2 and later,
// the certificate chain and private key read from PEM files.
class ServerTls {
public:
    // The context; nullptr with a message naming the file that is missing
    // or bad ("the certificate /etc/ecrd/cert.pem: no such file", "the key
    // /etc/ecrd/key.pem does not belong to the certificate ...").
    static std::unique_ptr<boost::asio::ssl::context> Load(const HttpServer::TlsFiles& files, std::string& error);
};
