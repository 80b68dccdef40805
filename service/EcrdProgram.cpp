#include "service/EcrdProgram.h"

#include "service/EcrdService.h"
#include "service/http/OpenFileLimit.h"

#include <cstdio>

namespace EcrdProgram {

bool ReadConfig(const std::string& path, const std::string& defaultState, ServiceConfig& config)
{
    std::string error;
    if (!ServiceConfig::Read(path, config, error, defaultState)) {
        std::fprintf(stderr, "ecrd: %s\n", error.c_str());
        return false;
    }
    return true;
}

int CheckConfig(const std::string& path, const std::string& defaultState)
{
    ServiceConfig config;
    if (!ReadConfig(path, defaultState, config))
        return 2;
    std::printf("%s: good; %zu register(s), listening on %s:%d, state in %s\n", path.c_str(), config.registers.size(),
                config.listenHost.c_str(), config.listenPort, config.stateDirectory.c_str());
    return 0;
}

int Serve(const ServiceConfig& config, const std::function<void()>& onStarted,
          const std::function<std::string()>& waitForStop)
{
    // Every slow or idle client holds a connection: room for many.
    OpenFileLimit::Raise();
    if (!config.ListensOnLoopback() && !config.tls)
        std::fprintf(stderr,
                     "ecrd: warning: serving plain HTTP on %s (allowPlainHttp): the token crosses the "
                     "network in clear\n",
                     config.listenHost.c_str());
    EcrdService service(config);
    std::string error;
    const EcrdService::Started started = service.Start(error);
    if (started != EcrdService::Started::Running) {
        std::fprintf(stderr, "ecrd: %s\n", error.c_str());
        return static_cast<int>(started);
    }
    std::printf("ecrd: listening on %s:%d\n", config.listenHost.c_str(), service.Port());
    std::fflush(stdout);
    onStarted();

    const std::string why = waitForStop();
    std::fprintf(stderr, "ecrd: stopping (%s): finishing the running exchanges\n", why.c_str());
    service.Stop();
    return 0;
}

}  // namespace EcrdProgram
