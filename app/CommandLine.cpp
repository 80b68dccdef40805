#include "app/CommandLine.h"

#include "serial/platform/ComPortMap.h"

#include <string_view>

namespace {

// "COMn=PATH" with n >= 1 and a path.
bool IsMapping(std::string_view text)
{
    const std::size_t equals = text.find('=');
    if (equals == std::string_view::npos || equals + 1 >= text.size()) {
        return false;
    }
    return ComPortMap::PortNumber(text.substr(0, equals)).has_value();
}

}  // namespace

bool CommandLine::Parse(const std::vector<std::string>& arguments)
{
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (argument == "--simulator") {
            m_simulator = true;
        } else if (argument == "--help" || argument == "-h") {
            m_help = true;
        } else if (argument == "--port" || argument.rfind("--port=", 0) == 0) {
            std::string mapping;
            if (argument == "--port") {
                if (i + 1 >= arguments.size()) {
                    m_error = "--port needs COMn=PATH";
                    return false;
                }
                mapping = arguments[++i];
            } else {
                mapping = argument.substr(7);
            }
            if (!IsMapping(mapping)) {
                m_error = "--port needs COMn=PATH, not \"" + mapping + "\"";
                return false;
            }
            m_portMappings.push_back(mapping);
        } else if (argument == "--no-log") {
            m_noLog = true;
        } else if (argument == "--log" || argument.rfind("--log=", 0) == 0) {
            if (argument == "--log") {
                if (i + 1 >= arguments.size()) {
                    m_error = "--log needs a file";
                    return false;
                }
                m_logPath = arguments[++i];
            } else {
                m_logPath = argument.substr(6);
            }
            if (m_logPath.empty()) {
                m_error = "--log needs a file";
                return false;
            }
        } else {
            m_error = "unknown option \"" + argument + "\"";
            return false;
        }
    }
    if (m_noLog && !m_logPath.empty()) {
        m_error = "--log and --no-log exclude each other";
        return false;
    }
    return true;
}

const char* CommandLine::Usage()
{
    return "usage: thermal [--simulator] [--port COMn=PATH]... [--log FILE | --no-log]\n"
           "  --simulator       run a simulated register inside the program, on COM1\n"
           "  --port COMn=PATH  let COMn open PATH for this run (repeatable)\n"
           "  --log FILE        write the session log to FILE (appended to) instead of\n"
           "                    a new file in the state folder's thermal/logs\n"
           "  --no-log          write no session log\n";
}
