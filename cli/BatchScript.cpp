#include "cli/BatchScript.h"

namespace {

bool IsBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r';
}

std::string_view Trimmed(std::string_view text)
{
    while (!text.empty() && (IsBlank(text.front()) || text.front() == '\n'))
        text.remove_prefix(1);
    while (!text.empty() && (IsBlank(text.back()) || text.back() == '\n'))
        text.remove_suffix(1);
    return text;
}

}  // namespace

bool BatchScript::Split(std::string_view script, std::vector<Command>& commands, std::string& error)
{
    commands.clear();
    Command current;
    std::string word;
    bool inWord = false;  // also true for a word that so far is only "" or ''
    std::size_t line = 1;
    std::size_t commandStart = 0;
    std::size_t commandEnd = 0;

    const auto endWord = [&] {
        if (!inWord)
            return;
        current.words.push_back(std::move(word));
        word.clear();
        inWord = false;
    };
    const auto startWord = [&](std::size_t at) {
        if (current.words.empty() && !inWord) {
            current.line = line;
            commandStart = at;
        }
        inWord = true;
    };
    const auto endCommand = [&] {
        endWord();
        if (!current.words.empty()) {
            current.text = std::string(Trimmed(script.substr(commandStart, commandEnd - commandStart)));
            commands.push_back(std::move(current));
        }
        current = Command();
    };

    std::size_t at = 0;
    while (at < script.size()) {
        const char c = script[at];
        if (c == '\n') {
            endCommand();
            ++line;
            ++at;
            continue;
        }
        if (IsBlank(c)) {
            endWord();
            ++at;
            continue;
        }
        if (c == '#' && !inWord) {
            while (at < script.size() && script[at] != '\n')
                ++at;
            continue;
        }
        if (c == '\\') {
            if (at + 1 < script.size() && script[at + 1] == '\n') {
                // A line joined to the next: neither a word break nor a character.
                at += 2;
                ++line;
                continue;
            }
            startWord(at);
            if (at + 1 < script.size()) {
                word += script[at + 1];
                at += 2;
            } else {
                word += c;
                ++at;
            }
            commandEnd = at;
            continue;
        }
        if (c == '\'' || c == '"') {
            startWord(at);
            const std::size_t opened = line;
            ++at;
            bool closed = false;
            while (at < script.size()) {
                const char q = script[at];
                if (q == c) {
                    closed = true;
                    ++at;
                    break;
                }
                if (c == '"' && q == '\\' && at + 1 < script.size()) {
                    const char next = script[at + 1];
                    if (next == '\n') {
                        at += 2;
                        ++line;
                        continue;
                    }
                    if (next == '"' || next == '\\' || next == '$' || next == '`') {
                        word += next;
                        at += 2;
                        continue;
                    }
                }
                if (q == '\n')
                    ++line;
                word += q;
                ++at;
            }
            if (!closed) {
                error = "line " + std::to_string(opened) + ": the quote " + std::string(1, c) +
                        " opened here is never closed";
                return false;
            }
            commandEnd = at;
            continue;
        }
        startWord(at);
        word += c;
        ++at;
        commandEnd = at;
    }
    endCommand();
    return true;
}
