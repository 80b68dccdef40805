#include "cli/CliCommands.h"

void CliCommands::Register(CLI::App& app)
{
    for (CliCommandGroup* group :
         std::initializer_list<CliCommandGroup*>{&m_utility, &m_fiscal, &m_articles, &m_sale, &m_setup, &m_decode,
                                                 &m_ports, &m_doctor, &m_batch})
        group->Register(app, m_chosen);
}
