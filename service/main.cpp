// ecrd: the registers as a local HTTP service for point-of-sale programs.
// On Linux it runs until SIGTERM or SIGINT; on Windows as the service ecrd
// (--install-service registers it), or from a console until Ctrl+C. A stop
// lets each register's running exchange finish.
#include "link/TimerSlack.h"
#include "service/EcrdProgram.h"
#include "version/ThermalVersion.h"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#ifdef _WIN32
#include "service/EcrdWindows.h"
#include "service/windows/WideText.h"
#else
#include <csignal>
#include <pthread.h>
#endif

namespace {

#ifndef _WIN32
// Serves until SIGTERM or SIGINT, which only sigwait takes.
int ServeUntilSignal(const ServiceConfig& config)
{
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGTERM);
    sigaddset(&signals, SIGINT);
    // Blocked before the workers start, so that no other thread takes them.
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);
    // A client that goes away mid-answer must not end the service.
    std::signal(SIGPIPE, SIG_IGN);
    // Past a file size limit the journal's and the logs' writes fail and are
    // reported, instead of the signal ending the service mid-receipt.
    std::signal(SIGXFSZ, SIG_IGN);
    return EcrdProgram::Serve(
        config, [] {},
        [&] {
            int signal = 0;
            sigwait(&signals, &signal);
            return std::string(signal == SIGTERM ? "SIGTERM" : "SIGINT");
        });
}
#endif

// The program's command line, its arguments in UTF-8 and in order.
int Run(std::vector<std::string> args)
{
    CLI::App app{"ecrd: fiscal registers as a local HTTP service, every receipt printed exactly once", "ecrd"};
    app.set_version_flag("--version", ThermalVersion::Line("ecrd"));
    std::string configPath;
    std::string checkPath;
    app.add_option("--config", configPath, "the configuration file (JSON)");
    app.add_option("--check-config", checkPath, "check a configuration file and exit: 0 good, 2 not");
#ifdef _WIN32
    bool install = false;
    bool uninstall = false;
    app.add_flag("--install-service", install,
                 "register the Windows service ecrd, started with Windows, to run with --config FILE")
        ->needs("--config");
    app.add_flag("--uninstall-service", uninstall, "stop the Windows service ecrd and remove it")
        ->excludes("--config", "--check-config", "--install-service");
#endif
    // CLI11 takes them last first.
    std::reverse(args.begin(), args.end());
    try {
        app.parse(args);
    } catch (const CLI::ParseError& e) {
        return app.exit(e);
    }
#ifdef _WIN32
    if (uninstall)
        return EcrdWindows::UninstallService();
#endif
    if (configPath.empty() == checkPath.empty()) {
        std::fprintf(stderr, "ecrd: give either --config FILE or --check-config FILE\n");
        return 2;
    }
#ifdef _WIN32
    if (install)
        return EcrdWindows::InstallService(configPath);
    if (!checkPath.empty()) {
        const std::string defaultState = EcrdWindows::DefaultStateDirectory();
        return defaultState.empty() ? 2 : EcrdProgram::CheckConfig(checkPath, defaultState);
    }
    return EcrdWindows::Run(configPath);
#else
    if (!checkPath.empty())
        return EcrdProgram::CheckConfig(checkPath, "");
    ServiceConfig config;
    if (!EcrdProgram::ReadConfig(configPath, "", config))
        return 2;
    return ServeUntilSignal(config);
#endif
}

}  // namespace

#ifdef _WIN32
// The arguments taken wide, as UTF-8: Windows would give them in the ANSI
// code page, which cannot hold every letter of a path.
int wmain(int argc, wchar_t** argv)
{
    // Before the workers start: the 1 ms flush before each request lasts 1 ms.
    TimerSlack::MakeFine();
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i)
        args.push_back(FromWide(argv[i]));
    return Run(args);
}
#else
int main(int argc, char** argv)
{
    // Before the workers start, so that every one inherits it: the 1 ms
    // flush before each request lasts 1 ms.
    TimerSlack::MakeFine();
    return Run({argv + 1, argv + argc});
}
#endif
