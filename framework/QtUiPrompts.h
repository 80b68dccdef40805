#pragma once

#include "framework/UiPrompts.h"

// The real prompts: Qt's message box and file dialogs.
class QtUiPrompts : public UiPrompts {
protected:
    int DoShowMessage(QWidget* parent, const QString& title, const QString& text, Buttons buttons) override;
    QString DoAskOpenFileName(QWidget* parent) override;
    QString DoAskSaveFileName(QWidget* parent) override;
};
