#pragma once

#include "framework/UiPrompts.h"

// The real prompts: Qt's message box and file dialogs.
class QtUiPrompts : public UiPrompts {
public:
    int ShowMessage(QWidget* parent, const QString& title, const QString& text, Buttons buttons) override;
    QString AskOpenFileName(QWidget* parent) override;
    QString AskSaveFileName(QWidget* parent) override;
};
