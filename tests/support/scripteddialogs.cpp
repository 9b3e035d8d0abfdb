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
}

QStringList ScriptedDialogs::texts() const
{
    QStringList result;
    for (const Shown &s : m_shown)
        result << s.text;
    return result;
}

QString ScriptedDialogs::lastText() const
{
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
    m_shown.append({QStringLiteral("warning"), text});
}

void ScriptedDialogs::information(const QString &text)
{
    m_shown.append({QStringLiteral("information"), text});
}

bool ScriptedDialogs::question(const QString &text)
{
    m_shown.append({QStringLiteral("question"), text});
    return nextAnswer();
}

bool ScriptedDialogs::confirmOverwrite(const QString &text)
{
    m_shown.append({QStringLiteral("overwrite"), text});
    return nextAnswer();
}

QString ScriptedDialogs::openFileName(const QString &filter, const QString &)
{
    m_shown.append({QStringLiteral("open"), filter});
    return nextFileName();
}

QString ScriptedDialogs::saveFileName(const QString &filter, const QString &, const QString &)
{
    m_shown.append({QStringLiteral("save"), filter});
    return nextFileName();
}

} // namespace koru::test
