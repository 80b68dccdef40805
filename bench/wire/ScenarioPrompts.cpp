#include "ScenarioPrompts.h"

#include <QFile>

ScenarioPrompts::ScenarioPrompts(const WireScenario& scenario)
    : m_scenario(scenario), m_previous(UiPrompts::Replace(this))
{
}

ScenarioPrompts::~ScenarioPrompts()
{
    UiPrompts::Replace(m_previous);
}

int ScenarioPrompts::DoShowMessage(QWidget*, const QString&, const QString& text, Buttons)
{
    m_messages << text;
    return IDOK;
}

QString ScenarioPrompts::DoAskOpenFileName(QWidget*)
{
    return QFile::decodeName(QByteArray::fromStdString(m_scenario.inputPath));
}

QString ScenarioPrompts::DoAskSaveFileName(QWidget*)
{
    return QFile::decodeName(QByteArray::fromStdString(m_scenario.outputPath));
}
