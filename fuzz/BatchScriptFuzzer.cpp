// A batch file of any bytes splits into commands or into one message naming
// the line of a quote never closed. Each command starts on a line of the
// script, has a word, and its words come back the same when each is quoted
// again ('...', a quote as '\'') and the result split once more: the
// splitter neither loses nor invents a character.
#include "cli/BatchScript.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

namespace {

std::string Quoted(const std::string& word)
{
    std::string text = "'";
    for (const char c : word)
        text += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return text + "'";
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view script(reinterpret_cast<const char*>(data), size);
    std::vector<BatchScript::Command> commands;
    std::string error;
    if (!BatchScript::Split(script, commands, error)) {
        if (error.rfind("line ", 0) != 0)
            std::abort();
        return 0;
    }
    const std::size_t lines = static_cast<std::size_t>(std::count(script.begin(), script.end(), '\n')) + 1;
    std::string requoted;
    bool carriageReturn = false;
    for (const BatchScript::Command& command : commands) {
        if (command.line < 1 || command.line > lines || command.words.empty() || command.text.empty())
            std::abort();
        for (const std::string& word : command.words) {
            requoted += Quoted(word) + " ";
            // A CR before a line break is a blank even inside quotes, as a
            // file written on Windows reads: such a word cannot come back.
            carriageReturn = carriageReturn || word.find('\r') != std::string::npos;
        }
        requoted += "\n";
    }
    if (carriageReturn)
        return 0;
    std::vector<BatchScript::Command> again;
    if (!BatchScript::Split(requoted, again, error) || again.size() != commands.size())
        std::abort();
    for (std::size_t i = 0; i < again.size(); ++i) {
        if (again[i].words != commands[i].words)
            std::abort();
    }
    return 0;
}
