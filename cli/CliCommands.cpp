#include "cli/CliCommands.h"

#include "cli/CliHelpFormatter.h"

#include <memory>
#include <string>
#include <vector>

namespace {

// The subcommands by task, in the order --help lists the tasks.
struct Task {
    const char* title;
    std::vector<std::string> subcommands;
};
const Task kTasks[] = {
    {"Register setup", {"clock", "tax-rates", "header", "ibfm", "fiscalize"}},
    {"Reports", {"report", "totalizers"}},
    {"Articles", {"articles"}},
    {"Sales", {"begin", "sell", "void", "subtotal", "pay", "cancel"}},
    {"Pictures and texts", {"logo", "advert", "display", "info-print"}},
    {"Whole jobs", {"batch", "backup", "diff", "restore"}},
    {"Diagnostics", {"status", "doctor", "ports", "raw", "decode", "memory", "help"}},
};

}  // namespace

void CliCommands::Register(CLI::App& app)
{
    std::vector<std::string> titles;
    for (const Task& task : kTasks)
        titles.push_back(task.title);
    // Before the subcommands are made: they take their parent's.
    app.formatter(std::make_shared<CliHelpFormatter>(titles));

    for (CliCommandGroup* group :
         std::initializer_list<CliCommandGroup*>{&m_utility, &m_fiscal, &m_articles, &m_sale, &m_setup, &m_decode,
                                                 &m_ports, &m_doctor, &m_batch})
        group->Register(app, m_chosen);

    // The command line reads "help A B" as "A B --help" before it is parsed
    // (SubcommandWords::WithHelp); listed here, it is found like the others.
    CLI::App* help = app.add_subcommand("help", "Show the help of ecrctl, or of a subcommand: help SUBCOMMAND...");
    help->add_option("SUBCOMMAND", m_helpWords, "a subcommand, and one of its own");
    help->callback([] { throw CLI::ValidationError("help is for the command line, not for a batch"); });

    for (const Task& task : kTasks)
        for (const std::string& name : task.subcommands)
            app.get_subcommand(name)->group(task.title);
}
