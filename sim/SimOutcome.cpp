#include "sim/SimOutcome.h"

#include <cctype>

SimOutcome SimOutcome::Accept(const std::string& command, const std::string& data, bool printing)
{
    SimOutcome outcome;
    const char cls = command.empty() ? '#' : command[0];
    const char letter = command.size() < 2 ? '?' : command[1];
    outcome.payload.push_back(cls);
    if (cls == '$' || cls == '%') {
        outcome.payload.push_back(static_cast<char>(std::toupper(static_cast<unsigned char>(letter))));
    } else {
        outcome.payload.push_back(letter);
    }
    outcome.payload += data;
    outcome.printing = printing;
    return outcome;
}

SimOutcome SimOutcome::Refuse(const std::string& command, std::int32_t code)
{
    // The echo is the command's letter, else its class; a zero byte or a
    // backslash cannot travel in a reply (the client stops reading at it).
    const auto usable = [&command](std::size_t i) {
        return i < command.size() && command[i] != '\0' && command[i] != '\\';
    };
    const char echo = usable(1) ? command[1] : usable(0) ? command[0] : '?';
    SimOutcome outcome;
    outcome.payload = std::string("#Z") + echo + "\n" + std::to_string(code) + "\x1F";
    outcome.code = code;
    return outcome;
}

std::optional<SimOutcome> SimOutcome::Malformed(const std::string& command, const SimFieldReader& fields)
{
    if (fields.Complete()) {
        return std::nullopt;
    }
    return Refuse(command, fields.Error() != 0 ? fields.Error() : 3);
}
