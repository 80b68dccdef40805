#pragma once

#include <CLI/CLI.hpp>
#include <string>
#include <vector>

// The words of an ecrctl command line that name subcommands, found as the
// parser will find them (options and their values passed over, nothing after
// "--"), for what the parser does not do itself: "help [SUBCOMMAND...]", and
// a mistyped subcommand named with the nearest ones.
class SubcommandWords {
public:
    // "help A B" as "A B --help", the options where they stood; any other
    // command line as it is.
    static std::vector<std::string> WithHelp(const CLI::App& app, std::vector<std::string> args);

    // For a word where only a subcommand can stand (at a level of
    // subcommands that takes no other words) but which names none:
    // "'stauts' is not an ecrctl command; did you mean 'status'?", or "...;
    // see 'ecrctl --help'" when none is near. Empty when every such word
    // names a subcommand.
    static std::string Unknown(const CLI::App& app, const std::vector<std::string>& args);

    // The names that begin with the word (of two letters or more), or else
    // those nearest to it within two edits (a letter added, dropped,
    // changed, or two side by side swapped), fewer than the word's letters.
    static std::vector<std::string> Nearest(const std::string& word, const std::vector<std::string>& names);

private:
    struct Stop {
        std::size_t index;      // the word's place in args; args.size() when there is none
        const CLI::App* level;  // the (sub)command it follows
    };
    // The place of the first word from `from` on that is neither an option
    // nor an option's value; args.size() when there is none before "--".
    static std::size_t NextWord(const CLI::App* level, const std::vector<std::string>& args, std::size_t from);
    // The first word that names no subcommand of the level reached.
    static Stop FirstOtherWord(const CLI::App& app, const std::vector<std::string>& args);
};
