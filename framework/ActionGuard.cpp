#include "framework/ActionGuard.h"

#include "ecr/protocol/CommError.h"
#include "ecr/protocol/CommErrorText.h"
#include "ecr/protocol/ECRStringError.h"
#include "framework/BusyState.h"
#include "framework/UiPrompts.h"

namespace {

ActionGuard::DebugHook& Hook()
{
    static ActionGuard::DebugHook hook;
    return hook;
}

std::function<void()>& AfterError()
{
    static std::function<void()> hook;
    return hook;
}

void Report(const QString& line)
{
    const QString heading = QStringLiteral("Greska u komunikaciji");
    if (Hook()) {
        Hook()(heading + QStringLiteral(": ") + line);
    }
    if (AfterError()) {
        AfterError()();
    }
    ThermalMessageBox(heading + QLatin1Char('\n') + line);
}

}  // namespace

bool ActionGuard::Run(const std::function<void()>& action)
{
    QString failure;
    {
        BusyState::Action busy;
        try {
            action();
            return true;
        } catch (const CommError& error) {
            failure = CommErrorLine(error.code);
        } catch (const ECRStringError& error) {
            failure = StringErrorLine(error.code);
        }
    }
    // No longer busy: the message box takes the user's answer.
    Report(failure);
    return false;
}

QString ActionGuard::CommErrorLine(int code)
{
    return QString::fromLatin1(CommErrorText(code).Data());
}

QString ActionGuard::StringErrorLine(int code)
{
    // Raised when a reply is shorter than its format needs (an empty payload).
    return QStringLiteral("Neispravan ili prazan odgovor kase (greska teksta %1)").arg(code);
}

void ActionGuard::ReportFailure(const QString& reason)
{
    Report(reason);
}

void ActionGuard::SetDebugHook(DebugHook hook)
{
    Hook() = std::move(hook);
}

void ActionGuard::SetAfterErrorHook(std::function<void()> hook)
{
    AfterError() = std::move(hook);
}
