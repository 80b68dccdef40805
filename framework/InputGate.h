#pragma once

#include <QObject>
#include <QPointer>
#include <QWidget>

class QEvent;

// While it lives, mouse and key input (and a click on a window's close box)
// is taken only by one control (and what lies inside it) and discarded for
// every other window and widget; with no control, by none. The busy state
// holds one while an action runs, so that no click can start a second
// action in the middle of one, nor be kept and replayed after it.
class InputGate : public QObject {
public:
    explicit InputGate(QWidget* control);
    ~InputGate() override;
    InputGate(const InputGate&) = delete;
    InputGate& operator=(const InputGate&) = delete;

    // Another control (or none) takes input from now on.
    void SetControl(QWidget* control);

    static bool IsUserInput(const QEvent& event);

protected:
    bool eventFilter(QObject* receiver, QEvent* event) override;

private:
    QPointer<QWidget> m_control;
};
