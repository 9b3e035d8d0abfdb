// A dialog service for tests: answers come from a script, every message is
// recorded, and a dialog nobody expected fails the test instead of blocking.
#pragma once

#include "model/dialogservice.h"

#include <QQueue>
#include <QStringList>

namespace koru::test {

class ScriptedDialogs final : public DialogService
{
public:
    ScriptedDialogs();  // installs itself
    ~ScriptedDialogs() override; // restores the silent service

    struct Shown {
        QString kind; // "warning", "information", "question", "overwrite", "open", "save"
        QString text; // the message, or the filter of a file dialog
    };

    // Answers for the next questions (true = Yes) and file dialogs (empty = cancel).
    void answerQuestion(bool yes) { m_answers.enqueue(yes); }
    void answerFileName(const QString &name) { m_fileNames.enqueue(name); }

    const QList<Shown> &shown() const { return m_shown; }
    QStringList texts() const;       // every message text, in order
    QString lastText() const;
    void clear() { m_shown.clear(); }
    // Questions or file dialogs that came without a scripted answer.
    int unexpected() const { return m_unexpected; }

    void warning(const QString &text) override;
    void information(const QString &text) override;
    bool question(const QString &text) override;
    bool confirmOverwrite(const QString &text) override;
    QString openFileName(const QString &filter, const QString &folder) override;
    QString saveFileName(const QString &filter, const QString &folder,
                         const QString &proposedName) override;

private:
    bool nextAnswer();
    QString nextFileName();

    QList<Shown> m_shown;
    QQueue<bool> m_answers;
    QQueue<QString> m_fileNames;
    int m_unexpected = 0;
};

} // namespace koru::test
