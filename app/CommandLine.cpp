#include "app/CommandLine.h"

#include "serial/platform/ComPortName.h"

#include <string_view>

namespace {

// "COMn=PATH" with n >= 1 and a path.
bool IsMapping(std::string_view text)
{
    const std::size_t equals = text.find('=');
    if (equals == std::string_view::npos || equals + 1 >= text.size()) {
        return false;
    }
    return ComPortName::Number(text.substr(0, equals)).has_value();
}

// "--name VALUE" or "--name=VALUE": true when the argument at i is the option,
// with its value (empty when missing) and i moved past it.
bool TakeOption(const std::vector<std::string>& arguments, std::size_t& i, std::string_view name, std::string& value)
{
    const std::string_view argument = arguments[i];
    if (argument == name) {
        value = i + 1 < arguments.size() ? arguments[++i] : std::string();
        return true;
    }
    if (argument.size() > name.size() && argument.substr(0, name.size()) == name && argument[name.size()] == '=') {
        value = std::string(argument.substr(name.size() + 1));
        return true;
    }
    return false;
}

}  // namespace

bool CommandLine::Parse(const std::vector<std::string>& arguments)
{
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        std::string value;
        if (argument == "--simulator") {
            m_simulator = true;
        } else if (TakeOption(arguments, i, "--baud", value)) {
            if (value != "9600" && value != "19200") {
                m_error = "--baud needs 9600 or 19200, not \"" + value + "\"";
                return false;
            }
            m_simulatorBaud = std::stoi(value);
        } else if (argument == "--help" || argument == "-h") {
            m_help = true;
        } else if (argument == "--version") {
            m_version = true;
        } else if (TakeOption(arguments, i, "--port", value)) {
            if (!IsMapping(value)) {
                m_error = value.empty() ? "--port needs COMn=PATH" : "--port needs COMn=PATH, not \"" + value + "\"";
                return false;
            }
            m_portMappings.push_back(value);
        } else if (argument == "--no-log") {
            m_noLog = true;
        } else if (TakeOption(arguments, i, "--log", value)) {
            if (value.empty()) {
                m_error = "--log needs a file";
                return false;
            }
            m_logPath = value;
        } else {
            m_error = "unknown option \"" + argument + "\"";
            return false;
        }
    }
    // A real port runs at the speed set in the connection settings.
    if (m_simulatorBaud != 0 && !m_simulator) {
        m_error = "--baud paces the simulated register: use it with --simulator";
        return false;
    }
    if (m_noLog && !m_logPath.empty()) {
        m_error = "--log and --no-log exclude each other";
        return false;
    }
    return true;
}

const char* CommandLine::Usage()
{
    return "Usage: thermal [--simulator [--baud N]] [--port COMn=PATH]... [--log FILE | --no-log]\n"
           "  or:  thermal --version\n"
           "  --simulator       run a simulated register inside the program, on COM1\n"
           "  --baud N          with --simulator: its line runs at N baud (9600, 19200)\n"
           "                    as a real register's would; without, it answers at once\n"
           "  --port COMn=PATH  let COMn open PATH for this run (repeatable)\n"
           "  --log FILE        write the session log to FILE (appended to) instead of\n"
           "                    a new file in the state folder's thermal/logs\n"
           "  --no-log          write no session log\n"
           "  --version         print the version and exit\n";
}
