#include "app/CThermalApp.h"
#include "app/CommandLine.h"
#include "version/ThermalVersion.h"

#include <cstdio>
#include <string>
#include <vector>

int main(int argc, char** argv)
{
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
