// ecrd: the registers as a local HTTP service for point-of-sale programs,
// until SIGTERM or SIGINT (each register's running exchange is finished).
#include "link/TimerSlack.h"
#include "service/EcrdService.h"
#include "service/http/OpenFileLimit.h"
#include "service/config/ServiceConfig.h"
#include "version/ThermalVersion.h"

#include <CLI/CLI.hpp>
#include <csignal>
#include <cstdio>
#include <pthread.h>

int main(int argc, char** argv)
{
    // Before the workers start, so that every one inherits it: the 1 ms
    // flush before each request lasts 1 ms.
    TimerSlack::MakeFine();
    CLI::App app{"ecrd: fiscal registers as a local HTTP service, every receipt printed exactly once", "ecrd"};
    app.set_version_flag("--version", ThermalVersion::Line("ecrd"));
    std::string configPath;
    std::string checkPath;
    app.add_option("--config", configPath, "the configuration file (JSON)");
    app.add_option("--check-config", checkPath, "check a configuration file and exit: 0 good, 2 not");
    CLI11_PARSE(app, argc, argv);
    if (configPath.empty() == checkPath.empty()) {
        std::fprintf(stderr, "ecrd: give either --config FILE or --check-config FILE\n");
        return 2;
    }

    ServiceConfig config;
    std::string error;
    if (!ServiceConfig::Read(checkPath.empty() ? configPath : checkPath, config, error)) {
        std::fprintf(stderr, "ecrd: %s\n", error.c_str());
        return 2;
    }
    if (!checkPath.empty()) {
        std::printf("%s: good; %zu register(s), listening on %s:%d, state in %s\n", checkPath.c_str(),
                    config.registers.size(), config.listenHost.c_str(), config.listenPort,
                    config.stateDirectory.c_str());
        return 0;
    }

    // The signals are taken by sigwait below, never by another thread.
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGTERM);
    sigaddset(&signals, SIGINT);
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);
    // A client that goes away mid-answer must not end the service.
    std::signal(SIGPIPE, SIG_IGN);
    // Past a file size limit the journal's and the logs' writes fail and are
    // reported, instead of the signal ending the service mid-receipt.
    std::signal(SIGXFSZ, SIG_IGN);

    // Every slow or idle client holds a connection: room for many.
    OpenFileLimit::Raise();
    if (!config.ListensOnLoopback() && !config.tls)
        std::fprintf(stderr, "ecrd: warning: serving plain HTTP on %s (allowPlainHttp): the token crosses the "
                             "network in clear\n", config.listenHost.c_str());
    EcrdService service(config);
    const EcrdService::Started started = service.Start(error);
    if (started != EcrdService::Started::Running) {
        std::fprintf(stderr, "ecrd: %s\n", error.c_str());
        return static_cast<int>(started);
    }
    std::printf("ecrd: listening on %s:%d\n", config.listenHost.c_str(), service.Port());
    std::fflush(stdout);

    int signal = 0;
    sigwait(&signals, &signal);
    std::fprintf(stderr, "ecrd: stopping (%s): finishing the running exchanges\n",
                 signal == SIGTERM ? "SIGTERM" : "SIGINT");
    service.Stop();
    return 0;
}
