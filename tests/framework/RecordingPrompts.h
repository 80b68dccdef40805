#pragma once

#include "framework/UiPrompts.h"

#include <QString>
#include <QStringList>

#include <deque>
#include <vector>

// Answers every message box and file prompt for the lifetime of the object
// and records what was asked. Installed by the constructor, removed by the
// destructor (the previous prompts come back).
//
//   RecordingPrompts prompts;
//   prompts.answers.push_back(IDCANCEL);          // the next OK/Cancel box says Cancel
//   prompts.openFiles.push_back("/tmp/a.txt");    // the next open prompt picks this file
//   ... click ...
//   EXPECT_EQ(prompts.Texts(), QStringList{"Obrisati sve artikle ?"});
class RecordingPrompts : public UiPrompts {
public:
    struct Message {
        QString title;
        QString text;
        Buttons buttons;
        // Whether the program was still busy (wait cursor, input discarded) as it asked.
        bool busy;
    };

    RecordingPrompts();
    ~RecordingPrompts() override;
    RecordingPrompts(const RecordingPrompts&) = delete;
    RecordingPrompts& operator=(const RecordingPrompts&) = delete;

    QStringList Texts() const;

    std::vector<Message> messages;
    std::deque<int> answers;         // for message boxes; IDOK when empty
    std::deque<QString> openFiles;   // empty queue: the user cancels
    std::deque<QString> saveFiles;
    int openPrompts = 0;
    int savePrompts = 0;

protected:
    int DoShowMessage(QWidget* parent, const QString& title, const QString& text, Buttons buttons) override;
    QString DoAskOpenFileName(QWidget* parent) override;
    QString DoAskSaveFileName(QWidget* parent) override;

private:
    UiPrompts* m_previous;
};
