#include "framework/UiPrompts.h"

#include "framework/BusyState.h"
#include "framework/QtUiPrompts.h"

#include <QApplication>
#include <QWidget>

namespace {

UiPrompts*& Installed()
{
    static UiPrompts* installed = nullptr;
    return installed;
}

}  // namespace

UiPrompts& UiPrompts::Instance()
{
    static QtUiPrompts real;
    UiPrompts* installed = Installed();
    return installed != nullptr ? *installed : real;
}

UiPrompts* UiPrompts::Replace(UiPrompts* prompts)
{
    UiPrompts* previous = Installed();
    Installed() = prompts;
    return previous;
}

int UiPrompts::ShowMessage(QWidget* parent, const QString& title, const QString& text, Buttons buttons)
{
    BusyState::UserTurn turn;
    return DoShowMessage(parent, title, text, buttons);
}

QString UiPrompts::AskOpenFileName(QWidget* parent)
{
    BusyState::UserTurn turn;
    return DoAskOpenFileName(parent);
}

QString UiPrompts::AskSaveFileName(QWidget* parent)
{
    BusyState::UserTurn turn;
    return DoAskSaveFileName(parent);
}

QString UiPrompts::ApplicationTitle()
{
    return QStringLiteral("thermal");
}

int ThermalMessageBox(const QString& text, MessageButtons buttons, const QString& title)
{
    QWidget* owner = QApplication::activeModalWidget();
    if (owner == nullptr) {
        owner = QApplication::activeWindow();
    }
    return UiPrompts::Instance().ShowMessage(owner, title.isEmpty() ? UiPrompts::ApplicationTitle() : title, text,
                                             buttons);
}
