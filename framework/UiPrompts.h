#pragma once

#include <QString>

class QWidget;

// Result codes of message boxes and modal dialogs, as the design names them.
#ifndef IDOK
constexpr int IDOK = 1;
#endif
#ifndef IDCANCEL
constexpr int IDCANCEL = 2;
#endif

// The one point through which the program asks the user anything outside its
// own dialogs: message boxes and the open/save file prompts. A test replaces
// the process-wide instance (ScopedPrompts) to answer them and record texts.
//
// A dialog uses it through the free functions below, e.g.
//   if (ThermalMessageBox("Obrisati sve artikle ?", MessageButtons::OkCancel) == IDOK) ...
//   QString path = UiPrompts::Instance().AskSaveFileName(this);
class UiPrompts {
public:
    enum class Buttons { Ok, OkCancel };

    virtual ~UiPrompts() = default;

    // Each gives the user the turn (BusyState::UserTurn) while it asks.
    // Returns IDOK or IDCANCEL.
    int ShowMessage(QWidget* parent, const QString& title, const QString& text, Buttons buttons);
    // Full path of the chosen file, or empty when the user cancelled.
    QString AskOpenFileName(QWidget* parent);
    // Asks before overwriting an existing file; empty when the user cancelled.
    QString AskSaveFileName(QWidget* parent);

    static UiPrompts& Instance();
    // Installs prompts (null: the real ones again) and returns the previous ones.
    static UiPrompts* Replace(UiPrompts* prompts);

    // "thermal", the executable's name, the title of every message box.
    static QString ApplicationTitle();

protected:
    virtual int DoShowMessage(QWidget* parent, const QString& title, const QString& text, Buttons buttons) = 0;
    virtual QString DoAskOpenFileName(QWidget* parent) = 0;
    virtual QString DoAskSaveFileName(QWidget* parent) = 0;
};

using MessageButtons = UiPrompts::Buttons;

// A message box titled with the application's name unless a title is given;
// owned by the active window.
int ThermalMessageBox(const QString& text, MessageButtons buttons = MessageButtons::Ok, const QString& title = {});
