// HTTPS: certificates made by the openssl command, curl and our own client
// as clients, TLS 1.2 at least, plain HTTP and silence on the TLS port
// closed, and a certificate or key that cannot serve named at Bind.
#include "LoopbackClient.h"
#include "ServerUnderTest.h"
#include "articles/TempFolder.h"
#include "support/ProgramRun.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

using namespace std::chrono_literals;

using Ran = ProgramRun;

Ran RunToEnd(const std::vector<std::string>& arguments)
{
    return ProgramRun::Of(arguments);
}

class HttpTlsTest : public testing::Test {
protected:
    void SetUp() override
    {
        if (!ChildProcess::Available("openssl") || !ChildProcess::Available("curl"))
            GTEST_SKIP() << "openssl or curl is not installed";
        files = MakeCertificate("server");
    }

    // A self-signed certificate for localhost and 127.0.0.1, and its key.
    HttpServer::TlsFiles MakeCertificate(const std::string& name) const
    {
        HttpServer::TlsFiles made{folder.File(name + "-cert.pem"), folder.File(name + "-key.pem")};
        const Ran ran = ProgramRun::MakeCertificate(made.certificate, made.key);
        EXPECT_EQ(0, ran.code) << ran.errors;
        return made;
    }

    // curl to https://localhost:port/path (localhost taken as 127.0.0.1),
    // printing the body and the status on a line each.
    Ran Curl(int port, const std::string& path, const std::vector<std::string>& options = {}) const
    {
        std::vector<std::string> arguments = {"curl",      "-sS",
                                              "--cacert",  files.certificate,
                                              "--resolve", "localhost:" + std::to_string(port) + ":127.0.0.1",
                                              "-w",        "\n%{http_code}"};
        arguments.insert(arguments.end(), options.begin(), options.end());
        arguments.push_back("https://localhost:" + std::to_string(port) + path);
        return RunToEnd(arguments);
    }

    static HttpServer::Handler SaysHowItCame()
    {
        return [](HttpRequest request, Responder responder) {
            HttpResponse answer;
            answer.body = std::string(request.tls ? "tls " : "plain ") + request.path;
            responder.Send(answer);
        };
    }

    TempFolder folder;
    HttpServer::TlsFiles files;
};

TEST_F(HttpTlsTest, ServesCurlAndItsOwnClientsOverTls12AndLater)
{
    ServerUnderTest server(SaysHowItCame(), {}, nullptr, files);
    Ran curl = Curl(server.Port(), "/curl");
    EXPECT_EQ(0, curl.code) << curl.errors;
    EXPECT_EQ("tls /curl", curl.line);
    curl = Curl(server.Port(), "/tls12", {"--tls-max", "1.2"});
    EXPECT_EQ("tls /tls12", curl.line) << curl.errors;
    // A client that offers TLS 1.1 at most (and would take its ciphers) is refused.
    curl = Curl(server.Port(), "/tls11", {"--tlsv1.1", "--tls-max", "1.1", "--ciphers", "DEFAULT@SECLEVEL=0"});
    EXPECT_EQ(35, curl.code);
    EXPECT_NE(std::string::npos, curl.errors.find("alert protocol version")) << curl.errors;

    // Our own client, on a kept connection, timed.
    LoopbackClient client(server.Port(), files.certificate);
    ASSERT_TRUE(client.Connected());
    std::vector<double> times;
    for (int i = 0; i < 1000; ++i) {
        const auto start = std::chrono::steady_clock::now();
        ASSERT_TRUE(client.Send("GET /kept HTTP/1.1\r\nHost: localhost\r\n\r\n"));
        auto answer = client.Receive();
        ASSERT_TRUE(answer);
        ASSERT_EQ("tls /kept", answer->body);
        times.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
    }
    std::sort(times.begin(), times.end());
    std::printf("kept connection, TLS: median %.3f ms, p99 %.3f ms over %zu requests\n", times[times.size() / 2],
                times[times.size() * 99 / 100], times.size());
    EXPECT_LT(times[times.size() / 2], 1.0);
}

TEST_F(HttpTlsTest, ClosesPlainHttpAndSilenceOnTheTlsPort)
{
    HttpServer::Limits limits;
    limits.headerDeadline = 500ms;
    ServerUnderTest server(SaysHowItCame(), limits, nullptr, files);

    LoopbackClient plain(server.Port());
    ASSERT_TRUE(plain.Send("GET /plain HTTP/1.1\r\nHost: localhost\r\n\r\n"));
    const auto start = std::chrono::steady_clock::now();
    EXPECT_TRUE(plain.ClosedWithin(1000));
    EXPECT_LT(std::chrono::steady_clock::now() - start, 1s);

    // No handshake within the deadline.
    LoopbackClient silent(server.Port());
    EXPECT_FALSE(silent.ClosedWithin(300));
    EXPECT_TRUE(silent.ClosedWithin(1000));
}

TEST_F(HttpTlsTest, NamesTheCertificateOrKeyThatCannotServe)
{
    const HttpServer::TlsFiles other = MakeCertificate("other");
    const std::string missing = folder.File("missing.pem");
    const std::string garbage = folder.Write("garbage.pem", "not a certificate\n");
    struct Case {
        HttpServer::TlsFiles tls;
        std::string error;  // the start of the message
    };
    const Case cases[] = {
        {{missing, files.key}, "the certificate " + missing + ": no such file"},
        {{garbage, files.key}, "the certificate " + garbage + ": not a PEM certificate ("},
        {{files.certificate, missing}, "the key " + missing + ": no such file"},
        {{files.certificate, garbage}, "the key " + garbage + ": not a PEM private key ("},
        {{files.certificate, other.key},
         "the key " + other.key + " does not belong to the certificate " + files.certificate},
    };
    for (const Case& test : cases) {
        HttpServer::Options options;
        options.host = "127.0.0.1";
        options.tls = test.tls;
        HttpServer server(options, nullptr, SaysHowItCame());
        std::string error;
        EXPECT_FALSE(server.Bind(error));
        EXPECT_EQ(0u, error.rfind(test.error, 0)) << error;
    }
}

}  // namespace
