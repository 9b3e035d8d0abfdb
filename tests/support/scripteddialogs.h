// A dialog service for tests: answers come from a script, every message is
// recorded, and a dialog nobody expected fails the test instead of blocking.
// A question or file dialog without a scripted answer fails at once; a
// warning or information box fails the test (when the service is
// destroyed) unless the test announced it with expectMessage() or looked at
// the messages afterwards (texts(), lastText(), shown(), clear()).
#pragma once

#include "model/dialogservice.h"

#include <QQueue>
#include <QSet>
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
        QString folder; // the folder a file dialog starts in
        bool defaultNo = false; // a question whose default button is No
        QString proposedName {}; // the name a save dialog offers
    };

    // Answers for the next questions (true = Yes) and file dialogs (empty = cancel).
    void answerQuestion(bool yes) { m_answers.enqueue(yes); }
    void answerFileName(const QString &name) { m_fileNames.enqueue(name); }
    // The next warning or information box will show exactly this text.
    void expectMessage(const QString &text) { m_expected.enqueue(text); }

    // Reading what was shown counts as having expected it.
    const QList<Shown> &shown() const;
    QStringList texts() const;       // every message text, in order
    QString lastText() const;
    void clear();
    // Questions or file dialogs that came without a scripted answer.
    int unexpected() const { return m_unexpected; }

    void warning(const QString &text) override;
    void information(const QString &text) override;
    bool question(const QString &text) override;
    bool destructiveQuestion(const QString &text) override;
    bool confirmOverwrite(const QString &text) override;
    QString openFileName(const QString &filter, const QString &folder) override;
    QString saveFileName(const QString &filter, const QString &folder,
                         const QString &proposedName) override;

private:
    bool nextAnswer();
    QString nextFileName();
    void message(const QString &kind, const QString &text);

    QList<Shown> m_shown;
    QQueue<bool> m_answers;
    QQueue<QString> m_fileNames;
    QQueue<QString> m_expected;
    int m_unexpected = 0;
    mutable qsizetype m_seen = 0;      // messages up to here were looked at
    QSet<qsizetype> m_unannounced;     // indexes of messages nobody announced
};

} // namespace koru::test
