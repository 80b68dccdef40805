#pragma once

#include <QObject>
#include <QPointer>
#include <QWidget>

class QEvent;

// While it lives, mouse and key input is taken only by one control (and what
// lies inside it) and discarded for every other window and widget. The pump
// opens one while a long run offers its stop button, so that the click on it
// gets through and no other click can start a second action in the middle
// of the run.
class InputGate : public QObject {
public:
    explicit InputGate(QWidget* control);
    ~InputGate() override;
    InputGate(const InputGate&) = delete;
    InputGate& operator=(const InputGate&) = delete;

    static bool IsUserInput(const QEvent& event);

protected:
    bool eventFilter(QObject* receiver, QEvent* event) override;

private:
    QPointer<QWidget> m_control;
};
