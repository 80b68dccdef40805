#pragma once

#include <QString>

#include <functional>

// Runs one user action (a menu command or a dialog button). A CommError or
// ECRStringError that escapes it is reported and swallowed: a message box
// "Greska u komunikaciji" with the error's text on the second line, and the
// same text on the installed debug hook (the monitor's debug box). The dialog
// the action came from stays open, and the connection is left as it was.
// While the action runs the program is busy (BusyState: the wait cursor,
// input discarded); the message box comes after.
//
// CDialog::OnCommand wires every button through it; a menu handler of the
// main window does the same. A dialog rarely calls it directly.
class ActionGuard {
public:
    using DebugHook = std::function<void(const QString& line)>;

    // True when the action ended normally, false when an error was reported.
    static bool Run(const std::function<void()>& action);

    // The text shown for an error, without the heading line.
    static QString CommErrorLine(int code);
    static QString StringErrorLine(int code);

    // Reports a failure an action found without an exception (a refused
    // answer it cannot go on from) the same way, reason on the second line.
    static void ReportFailure(const QString& reason);

    static void SetDebugHook(DebugHook hook);
    // Called after an error was reported, e.g. to hide a progress window that
    // the failed operation left showing.
    static void SetAfterErrorHook(std::function<void()> hook);
};
