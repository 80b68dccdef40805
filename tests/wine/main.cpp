// WINEPREFIX=DIR wine-pty-peer COMMAND [ARGS...]: runs the command (a test
// program under Wine, or ctest) with THERMAL_PTY_PEER naming a loopback port
// where this program serves pseudo-terminals to the tests, one per
// connection, and exits with the command's exit status.

#include "PtyPeerSession.h"

#include "support/PtyPeerProtocol.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <mutex>
#include <string>
#include <thread>

namespace {

std::mutex g_mutex;
std::condition_variable g_sessionEnded;
int g_sessions = 0;

void Serve(int connection, const std::filesystem::path& portLinks)
{
    {
        PtyPeerSession session(connection, portLinks);
        session.Run();
    }
    const std::lock_guard<std::mutex> lock(g_mutex);
    --g_sessions;
    g_sessionEnded.notify_all();
}

int Fail(const char* what)
{
    std::fprintf(stderr, "wine-pty-peer: %s: %s\n", what, std::strerror(errno));
    return 125;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: WINEPREFIX=DIR wine-pty-peer COMMAND [ARGS...]\n");
        return 125;
    }
    // The COM links go into this prefix: never into one nobody named.
    const char* prefix = std::getenv("WINEPREFIX");
    if (prefix == nullptr || *prefix == '\0') {
        std::fprintf(stderr, "wine-pty-peer: WINEPREFIX is not set\n");
        return 125;
    }
    const std::filesystem::path portLinks = std::filesystem::path(prefix) / PtyPeerSession::kPortLinkFolder;
    if (!std::filesystem::is_directory(portLinks)) {
        std::fprintf(stderr, "wine-pty-peer: %s is missing: scripts/test-windows sets the prefix up for the tests\n",
                     portLinks.c_str());
        return 125;
    }
    const int listener = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (listener < 0 || ::bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        ::listen(listener, 16) != 0 || ::getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        return Fail("cannot listen on the loopback interface");
    }
    const std::string where = "127.0.0.1:" + std::to_string(ntohs(address.sin_port));
    ::setenv(PtyPeerProtocol::kAddressVariable, where.c_str(), 1);

    const pid_t child = ::fork();
    if (child < 0) {
        return Fail("fork");
    }
    if (child == 0) {
        ::execvp(argv[1], argv + 1);
        std::fprintf(stderr, "wine-pty-peer: cannot run %s: %s\n", argv[1], std::strerror(errno));
        ::_exit(127);
    }

    std::thread([listener, portLinks] {
        for (;;) {
            const int connection = ::accept4(listener, nullptr, nullptr, SOCK_CLOEXEC);
            if (connection < 0) {
                if (errno == EINTR || errno == ECONNABORTED) {
                    continue;
                }
                return;
            }
            const int on = 1;
            ::setsockopt(connection, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
            {
                const std::lock_guard<std::mutex> lock(g_mutex);
                ++g_sessions;
            }
            std::thread(Serve, connection, portLinks).detach();
        }
    }).detach();

    int status = 0;
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    // The command's connections close with it; let their sessions remove
    // their links before going.
    {
        std::unique_lock<std::mutex> lock(g_mutex);
        g_sessionEnded.wait_for(lock, std::chrono::seconds(5), [] { return g_sessions == 0; });
    }
    std::fflush(nullptr);
    ::_exit(WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status));
}
