#include "service/http/ServerTls.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <openssl/err.h>
#include <openssl/ssl.h>

namespace {

// Why a file cannot be used: the system's reason when it cannot be opened,
// else what OpenSSL said of its contents.
std::string Problem(const std::string& what, const std::string& path, const boost::system::error_code& tlsError,
                    const char* expected)
{
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) {
        const int error = errno;
        return what + " " + path + ": " + (error == ENOENT ? std::string("no such file") : std::strerror(error));
    }
    std::fclose(file);
    return what + " " + path + ": not " + expected + " (" + tlsError.message() + ")";
}

}  // namespace

std::unique_ptr<boost::asio::ssl::context> ServerTls::Load(const HttpServer::TlsFiles& files, std::string& error)
{
    namespace ssl = boost::asio::ssl;
    auto context = std::make_unique<ssl::context>(ssl::context::tls_server);
    context->set_options(ssl::context::default_workarounds | ssl::context::no_sslv2 | ssl::context::no_sslv3 |
                         ssl::context::no_tlsv1 | ssl::context::no_tlsv1_1 | ssl::context::single_dh_use);
    SSL_CTX_set_min_proto_version(context->native_handle(), TLS1_2_VERSION);

    // The key first: OpenSSL would refuse a key that does not fit a
    // certificate already loaded as though it were no key at all.
    boost::system::error_code tlsError;
    context->use_private_key_file(files.key, ssl::context::pem, tlsError);
    if (tlsError) {
        error = Problem("the key", files.key, tlsError, "a PEM private key");
        return nullptr;
    }
    context->use_certificate_chain_file(files.certificate, tlsError);
    if (tlsError) {
        error = Problem("the certificate", files.certificate, tlsError, "a PEM certificate");
        return nullptr;
    }
    if (SSL_CTX_check_private_key(context->native_handle()) != 1) {
        ERR_clear_error();
        error = "the key " + files.key + " does not belong to the certificate " + files.certificate;
        return nullptr;
    }
    return context;
}
