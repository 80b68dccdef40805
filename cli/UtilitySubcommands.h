#pragma once

#include "cli/CliCommandGroup.h"
#include "cli/CliPrintedLines.h"
#include "graphics/LogoRows.h"

#include <string>
#include <vector>

// status, advert, logo, display, info-print, memory, raw.
class UtilitySubcommands : public CliCommandGroup {
public:
    void Register(CLI::App& app, CliAction& chosen) override;

private:
    void RegisterAdvert(CLI::App& app, CliAction& chosen);
    void RegisterLogo(CLI::App& app, CliAction& chosen);
    void RegisterDevice(CLI::App& app, CliAction& chosen);

    CliPrintedLines<7> m_advert;
    std::string m_picturePath;
    LogoRows m_logo;
    std::vector<std::string> m_displayLines;
    std::string m_infoText;
    int m_infoNumber = 0;
    std::string m_area;
    std::string m_dumpPath;
    std::string m_payload;
};
