#pragma once

#include <QCloseEvent>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWidget>
#include <QWindow>

// Input as the window system queues it: posted, so it waits for the next
// time the events are processed. Safe to call from another thread, e.g.
// while the user-interface thread waits for the register.
namespace PostedInput {

inline void Click(QWidget* widget)
{
    const QPointF at = QRectF(widget->rect()).center();
    const QPointF global = widget->mapToGlobal(at);
    QCoreApplication::postEvent(widget, new QMouseEvent(QEvent::MouseButtonPress, at, global, Qt::LeftButton,
                                                        Qt::LeftButton, Qt::NoModifier));
    QCoreApplication::postEvent(widget, new QMouseEvent(QEvent::MouseButtonRelease, at, global, Qt::LeftButton,
                                                        Qt::NoButton, Qt::NoModifier));
}

inline void Key(QWidget* widget, Qt::Key key, const QString& text)
{
    QCoreApplication::postEvent(widget, new QKeyEvent(QEvent::KeyPress, key, Qt::NoModifier, text));
    QCoreApplication::postEvent(widget, new QKeyEvent(QEvent::KeyRelease, key, Qt::NoModifier, text));
}

// The close box of the window's frame.
inline void CloseBox(QWidget* window)
{
    QCoreApplication::postEvent(window->windowHandle(), new QCloseEvent);
}

}  // namespace PostedInput
