#include "framework/InputGate.h"

#include <QCoreApplication>
#include <QEvent>

InputGate::InputGate(QWidget* control) : m_control(control)
{
    QCoreApplication::instance()->installEventFilter(this);
}

InputGate::~InputGate()
{
    QCoreApplication::instance()->removeEventFilter(this);
}

void InputGate::SetControl(QWidget* control)
{
    m_control = control;
}

bool InputGate::IsUserInput(const QEvent& event)
{
    switch (event.type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::NonClientAreaMouseButtonPress:
    case QEvent::NonClientAreaMouseButtonRelease:
    case QEvent::NonClientAreaMouseButtonDblClick:
    case QEvent::NonClientAreaMouseMove:
    case QEvent::Wheel:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::Shortcut:
    case QEvent::ContextMenu:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::TouchCancel:
    case QEvent::TabletPress:
    case QEvent::TabletMove:
    case QEvent::TabletRelease: return true;
    // The window system's close (the close box, Alt+F4), not the program's own.
    case QEvent::Close: return event.spontaneous();
    default: return false;
    }
}

bool InputGate::eventFilter(QObject* receiver, QEvent* event)
{
    // A window passes its input on to the widget under the pointer or with
    // the focus; the widget decides.
    auto* widget = qobject_cast<QWidget*>(receiver);
    if (widget == nullptr || !IsUserInput(*event)) {
        return false;
    }
    QWidget* control = m_control.data();
    const bool discard = control == nullptr || (widget != control && !control->isAncestorOf(widget));
    if (discard && event->type() == QEvent::Close) {
        // A close event that is not delivered still closes unless refused.
        event->ignore();
    }
    return discard;
}
