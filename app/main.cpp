#include "app/CThermalApp.h"
#include "app/CommandLine.h"
#include "link/TimerSlack.h"
#include "version/ThermalVersion.h"

#include <csignal>
#include <cstdio>
#include <string>
#include <vector>

int main(int argc, char** argv)
{
    // Before Qt starts threads of its own, so that they inherit it.
    TimerSlack::MakeFine();
#ifdef SIGXFSZ
    // Past a file size limit (ulimit -f) a write fails with EFBIG, which the
    // session log and the file writers report, instead of the signal ending
    // the program with the work of the session.
    std::signal(SIGXFSZ, SIG_IGN);
#endif
    // Options first, so that --help and mistakes need no display.
    CommandLine options;
    if (!options.Parse(std::vector<std::string>(argv + 1, argv + argc))) {
        std::fprintf(stderr, "thermal: %s\n%s", options.Error().c_str(), CommandLine::Usage());
        return 2;
    }
    if (options.Help()) {
        std::fputs(CommandLine::Usage(), stdout);
        return 0;
    }
    if (options.Version()) {
        std::printf("%s\n", ThermalVersion::Line("thermal").c_str());
        return 0;
    }
    CThermalApp app(argc, argv, std::move(options));
    return app.InitInstance();
}
