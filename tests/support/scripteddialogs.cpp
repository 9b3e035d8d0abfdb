#include "scripteddialogs.h"

#include <QTest>

namespace koru::test {

ScriptedDialogs::ScriptedDialogs()
{
    DialogService::install(this);
}

ScriptedDialogs::~ScriptedDialogs()
{
    DialogService::install(nullptr);
    QStringList unseen;
    for (qsizetype i = m_seen; i < m_shown.size(); ++i)
        if (m_unannounced.contains(i))
            unseen.append(m_shown[i].text);
    if (!m_expected.isEmpty() && QTest::currentTestFunction() && !QTest::currentTestFailed())
        QTest::qFail(qPrintable(QStringLiteral("An expected message never came: ") + m_expected.head()), __FILE__,
                     __LINE__);
    if (!unseen.isEmpty() && QTest::currentTestFunction() && !QTest::currentTestFailed())
        QTest::qFail(qPrintable(QStringLiteral("A message came that the test did not expect: ") + unseen.first()),
                     __FILE__, __LINE__);
}

const QList<ScriptedDialogs::Shown> &ScriptedDialogs::shown() const
{
    m_seen = m_shown.size();
    return m_shown;
}

void ScriptedDialogs::clear()
{
    m_shown.clear();
    m_unannounced.clear();
    m_seen = 0;
}

void ScriptedDialogs::message(const QString &kind, const QString &text)
{
    m_shown.append({kind, text, {}});
    if (!m_expected.isEmpty()) {
        const QString expected = m_expected.dequeue();
        if (expected != text)
            QTest::qFail(qPrintable(QStringLiteral("Expected the message \"%1\", got \"%2\"").arg(expected, text)),
                         __FILE__, __LINE__);
        return;
    }
    m_unannounced.insert(m_shown.size() - 1);
}

QStringList ScriptedDialogs::texts() const
{
    m_seen = m_shown.size();
    QStringList result;
    for (const Shown &s : m_shown)
        result << s.text;
    return result;
}

QString ScriptedDialogs::lastText() const
{
    m_seen = m_shown.size();
    return m_shown.isEmpty() ? QString() : m_shown.last().text;
}

bool ScriptedDialogs::nextAnswer()
{
    if (m_answers.isEmpty()) {
        ++m_unexpected;
        QTest::qFail("A question was asked that the test did not expect", __FILE__, __LINE__);
        return false;
    }
    return m_answers.dequeue();
}

QString ScriptedDialogs::nextFileName()
{
    if (m_fileNames.isEmpty()) {
        ++m_unexpected;
        QTest::qFail("A file dialog opened that the test did not expect", __FILE__, __LINE__);
        return {};
    }
    return m_fileNames.dequeue();
}

void ScriptedDialogs::warning(const QString &text)
{
    message(QStringLiteral("warning"), text);
}

void ScriptedDialogs::information(const QString &text)
{
    message(QStringLiteral("information"), text);
}

bool ScriptedDialogs::question(const QString &text)
{
    m_shown.append({QStringLiteral("question"), text, {}});
    return nextAnswer();
}

bool ScriptedDialogs::destructiveQuestion(const QString &text)
{
    m_shown.append({QStringLiteral("question"), text, {}, true});
    return nextAnswer();
}

bool ScriptedDialogs::confirmOverwrite(const QString &text)
{
    m_shown.append({QStringLiteral("overwrite"), text, {}, true});
    return nextAnswer();
}

QString ScriptedDialogs::openFileName(const QString &filter, const QString &folder)
{
    m_shown.append({QStringLiteral("open"), filter, folder});
    return nextFileName();
}

QString ScriptedDialogs::saveFileName(const QString &filter, const QString &folder, const QString &proposedName)
{
    m_shown.append({QStringLiteral("save"), filter, folder, false, proposedName});
    return nextFileName();
}

} // namespace koru::test
