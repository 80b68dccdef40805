#include "framework/RecordingPrompts.h"

#include "framework/BusyState.h"

#include <utility>

namespace {

// The next queued answer, or the fallback once the test queued no more.
template <class Answer>
Answer Next(std::deque<Answer>& queue, Answer fallback)
{
    if (queue.empty()) {
        return fallback;
    }
    Answer answer = std::move(queue.front());
    queue.pop_front();
    return answer;
}

}  // namespace

RecordingPrompts::RecordingPrompts() : m_previous(UiPrompts::Replace(this)) {}

RecordingPrompts::~RecordingPrompts()
{
    UiPrompts::Replace(m_previous);
}

int RecordingPrompts::DoShowMessage(QWidget*, const QString& title, const QString& text, Buttons buttons)
{
    messages.push_back({title, text, buttons, BusyState::Active()});
    return Next(answers, int{IDOK});
}

QString RecordingPrompts::DoAskOpenFileName(QWidget*)
{
    ++openPrompts;
    return Next(openFiles, QString());
}

QString RecordingPrompts::DoAskSaveFileName(QWidget*)
{
    ++savePrompts;
    return Next(saveFiles, QString());
}

QStringList RecordingPrompts::Texts() const
{
    QStringList texts;
    for (const Message& message : messages) {
        texts << message.text;
    }
    return texts;
}
