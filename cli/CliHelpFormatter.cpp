#include "cli/CliHelpFormatter.h"

#include <algorithm>

std::string CliHelpFormatter::make_subcommands(const CLI::App* app, CLI::AppFormatMode /*mode*/) const
{
    std::vector<std::string> groups = m_groupOrder;
    for (const CLI::App* sub : app->get_subcommands({})) {
        // An empty group hides a subcommand.
        if (!sub->get_group().empty() && std::find(groups.begin(), groups.end(), sub->get_group()) == groups.end())
            groups.push_back(sub->get_group());
    }
    std::string text;
    for (const std::string& group : groups) {
        const std::vector<const CLI::App*> members =
            app->get_subcommands([&group](const CLI::App* sub) { return sub->get_group() == group; });
        if (members.empty())
            continue;
        text += "\n" + group + ":\n";
        for (const CLI::App* sub : members)
            text += make_subcommand(sub);
    }
    return text;
}

std::string CliHelpFormatter::make_option_name(const CLI::Option* option, bool positional) const
{
    const std::string name = Formatter::make_option_name(option, positional);
    // A flag with a value of its own when given alone ("--trace{hex}").
    if (positional || option->get_fnames().empty())
        return name;
    return name.substr(0, name.find('{')) + "[=" + option->get_option_text() + "]";
}

std::string CliHelpFormatter::make_option_opts(const CLI::Option* option) const
{
    // Such a flag's values are in its name.
    return option->get_fnames().empty() ? Formatter::make_option_opts(option) : std::string();
}
