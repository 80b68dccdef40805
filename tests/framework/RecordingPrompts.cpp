#include "framework/RecordingPrompts.h"

RecordingPrompts::RecordingPrompts() : m_previous(UiPrompts::Replace(this)) {}

RecordingPrompts::~RecordingPrompts()
{
    UiPrompts::Replace(m_previous);
}

int RecordingPrompts::ShowMessage(QWidget*, const QString& title, const QString& text, Buttons buttons)
{
    messages.push_back({title, text, buttons});
    if (answers.empty()) {
        return IDOK;
    }
    const int answer = answers.front();
    answers.pop_front();
    return answer;
}

QString RecordingPrompts::AskOpenFileName(QWidget*)
{
    ++openPrompts;
    if (openFiles.empty()) {
        return {};
    }
    QString path = openFiles.front();
    openFiles.pop_front();
    return path;
}

QString RecordingPrompts::AskSaveFileName(QWidget*)
{
    ++savePrompts;
    if (saveFiles.empty()) {
        return {};
    }
    QString path = saveFiles.front();
    saveFiles.pop_front();
    return path;
}

QStringList RecordingPrompts::Texts() const
{
    QStringList texts;
    for (const Message& message : messages) {
        texts << message.text;
    }
    return texts;
}
