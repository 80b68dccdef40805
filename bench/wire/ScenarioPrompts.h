#pragma once

#include "WireScenario.h"

#include "framework/UiPrompts.h"

#include <QStringList>

// The user at the program's prompts during a scenario: the open prompt
// picks the scenario's input file, the save prompt its output file. A
// message box has no place in a scenario that goes well, so each is
// answered OK and kept as the reason the run failed. Installed while it lives.
class ScenarioPrompts : public UiPrompts {
public:
    explicit ScenarioPrompts(const WireScenario& scenario);
    ~ScenarioPrompts() override;
    ScenarioPrompts(const ScenarioPrompts&) = delete;
    ScenarioPrompts& operator=(const ScenarioPrompts&) = delete;

    const QStringList& Messages() const { return m_messages; }

protected:
    int DoShowMessage(QWidget* parent, const QString& title, const QString& text, Buttons buttons) override;
    QString DoAskOpenFileName(QWidget* parent) override;
    QString DoAskSaveFileName(QWidget* parent) override;

private:
    const WireScenario& m_scenario;
    QStringList m_messages;
    UiPrompts* m_previous;
};
