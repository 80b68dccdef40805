#include "cli/SubcommandWords.h"

#include <algorithm>
#include <numeric>

namespace {

// Edits from one word to the other: letters added, dropped, changed, or two
// side by side swapped ("stauts" is one from "status").
std::size_t Edits(const std::string& a, const std::string& b)
{
    std::vector<std::vector<std::size_t>> d(a.size() + 1, std::vector<std::size_t>(b.size() + 1));
    for (std::size_t i = 0; i <= a.size(); ++i)
        d[i][0] = i;
    std::iota(d[0].begin(), d[0].end(), std::size_t{0});
    for (std::size_t i = 1; i <= a.size(); ++i) {
        for (std::size_t j = 1; j <= b.size(); ++j) {
            const std::size_t change = a[i - 1] == b[j - 1] ? 0 : 1;
            d[i][j] = std::min({d[i - 1][j] + 1, d[i][j - 1] + 1, d[i - 1][j - 1] + change});
            if (i > 1 && j > 1 && a[i - 1] == b[j - 2] && a[i - 2] == b[j - 1])
                d[i][j] = std::min(d[i][j], d[i - 2][j - 2] + 1);
        }
    }
    return d[a.size()][b.size()];
}

// "ecrctl articles": the command line up to the level.
std::string PathOf(const CLI::App* level)
{
    std::string path = level->get_name();
    for (const CLI::App* parent = level->get_parent(); parent != nullptr; parent = parent->get_parent())
        path = parent->get_name() + " " + path;
    return path;
}

// The option an argument names, at the level or one it falls through to.
const CLI::Option* OptionOf(const CLI::App* level, const std::string& name)
{
    for (; level != nullptr; level = level->get_parent())
        if (const CLI::Option* option = level->get_option_no_throw(name))
            return option;
    return nullptr;
}

}  // namespace

std::size_t SubcommandWords::NextWord(const CLI::App* level, const std::vector<std::string>& args, std::size_t from)
{
    for (std::size_t i = from; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--")
            break;
        if (arg.size() < 2 || arg[0] != '-')
            return i;
        // "--port X" takes the next word; "--port=X" and flags do not.
        const CLI::Option* option = arg.find('=') == std::string::npos ? OptionOf(level, arg) : nullptr;
        if (option != nullptr && option->get_expected_min() > 0)
            ++i;
    }
    return args.size();
}

SubcommandWords::Stop SubcommandWords::FirstOtherWord(const CLI::App& app, const std::vector<std::string>& args)
{
    const CLI::App* level = &app;
    for (std::size_t i = NextWord(level, args, 0); i < args.size(); i = NextWord(level, args, i + 1)) {
        const std::string& word = args[i];
        const std::vector<const CLI::App*> named =
            level->get_subcommands([&word](const CLI::App* sub) { return sub->check_name(word); });
        if (named.empty())
            return {i, level};
        level = named.front();
    }
    return {args.size(), level};
}

std::vector<std::string> SubcommandWords::WithHelp(const CLI::App& app, std::vector<std::string> args)
{
    const std::size_t first = NextWord(&app, args, 0);
    if (first < args.size() && args[first] == "help") {
        args.erase(args.begin() + static_cast<std::ptrdiff_t>(first));
        args.push_back("--help");
    }
    return args;
}

std::string SubcommandWords::Unknown(const CLI::App& app, const std::vector<std::string>& args)
{
    const Stop stop = FirstOtherWord(app, args);
    if (stop.index == args.size())
        return {};
    const std::vector<const CLI::App*> subcommands =
        stop.level->get_subcommands([](const CLI::App* sub) { return !sub->get_group().empty(); });
    const bool takesWords = !stop.level->get_options([](const CLI::Option* o) { return o->get_positional(); }).empty();
    if (subcommands.empty() || takesWords)
        return {};
    std::vector<std::string> names;
    for (const CLI::App* sub : subcommands)
        names.push_back(sub->get_name());
    const std::string& word = args[stop.index];
    const std::string path = PathOf(stop.level);
    std::string text = "'" + word + "' is not an " + path + " command; ";
    // "--trace decoded": a flag's own value goes after "=".
    const CLI::Option* before = stop.index > 0 ? OptionOf(stop.level, args[stop.index - 1]) : nullptr;
    if (before != nullptr && !before->get_fnames().empty())
        return text + "a value of " + args[stop.index - 1] + " is given as " + args[stop.index - 1] + "=" + word;
    const std::vector<std::string> candidates = Nearest(word, names);
    if (candidates.empty())
        return text + "see '" + path + " --help'";
    text += "did you mean ";
    for (std::size_t i = 0; i < candidates.size(); ++i)
        text += (i == 0 ? "" : i + 1 == candidates.size() ? " or " : ", ") + ("'" + candidates[i] + "'");
    return text + "?";
}

std::vector<std::string> SubcommandWords::Nearest(const std::string& word, const std::vector<std::string>& names)
{
    std::vector<std::string> candidates;
    if (word.size() >= 2)
        for (const std::string& name : names)
            if (name.compare(0, word.size(), word) == 0)
                candidates.push_back(name);
    if (!candidates.empty())
        return candidates;
    // Fewer edits than this: at most two, and fewer than the word's letters.
    const std::size_t limit = std::min<std::size_t>(3, word.size());
    std::size_t best = limit;
    for (const std::string& name : names) {
        const std::size_t edits = Edits(word, name);
        if (edits >= limit)
            continue;
        if (edits < best) {
            best = edits;
            candidates.clear();
        }
        if (edits == best)
            candidates.push_back(name);
    }
    return candidates;
}
