// The scripted dialog service fails a test that meets a dialog it did not
// expect. Each case runs this program again on one function that shows
// the dialog (skipped in a normal run) and checks that it failed.
#include "scripteddialogs.h"
#include "testmain.h"

#include <QCoreApplication>
#include <QProcess>
#include <QTest>

using namespace koru;
using koru::test::ScriptedDialogs;

namespace {
const char *VictimVariable = "KORU_SCRIPTED_DIALOGS_VICTIM";

bool victimRun()
{
    return qEnvironmentVariableIsSet(VictimVariable);
}
} // namespace

class TstScriptedDialogs : public QObject
{
    Q_OBJECT
private slots:
    void surprisesFailTheTest_data()
    {
        QTest::addColumn<QString>("victim");
        QTest::addColumn<bool>("fails");
        QTest::newRow("warning nobody looked at") << "unexpectedWarning" << true;
        QTest::newRow("information nobody looked at") << "unexpectedInformation" << true;
        QTest::newRow("question without an answer") << "unansweredQuestion" << true;
        QTest::newRow("expected message that never came") << "missingExpectedMessage" << true;
        QTest::newRow("another message than expected") << "wrongExpectedMessage" << true;
        QTest::newRow("announced warning") << "announcedWarning" << false;
        QTest::newRow("warning looked at afterwards") << "checkedWarning" << false;
    }
    void surprisesFailTheTest()
    {
        if (victimRun())
            QSKIP("a victim run");
        QFETCH(QString, victim);
        QFETCH(bool, fails);
        QProcess process;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QString::fromLatin1(VictimVariable), QStringLiteral("1"));
        process.setProcessEnvironment(environment);
        process.start(QCoreApplication::applicationFilePath(), koru::test::TestProgramArguments() << victim);
        QVERIFY(process.waitForFinished(30000));
        const QString output = QString::fromUtf8(process.readAllStandardOutput());
        QCOMPARE(process.exitCode() != 0, fails);
        QCOMPARE(output.contains(QLatin1String("FAIL!")), fails);
    }

    // The victims: each fails, or passes, only when run on its own.
    void unexpectedWarning()
    {
        if (!victimRun())
            QSKIP("run by surprisesFailTheTest");
        ScriptedDialogs dialogs;
        Dialogs().warning(QStringLiteral("surprise"));
    }
    void unexpectedInformation()
    {
        if (!victimRun())
            QSKIP("run by surprisesFailTheTest");
        ScriptedDialogs dialogs;
        Dialogs().information(QStringLiteral("surprise"));
    }
    void unansweredQuestion()
    {
        if (!victimRun())
            QSKIP("run by surprisesFailTheTest");
        ScriptedDialogs dialogs;
        Dialogs().question(QStringLiteral("surprise?"));
        dialogs.texts();
    }
    void missingExpectedMessage()
    {
        if (!victimRun())
            QSKIP("run by surprisesFailTheTest");
        ScriptedDialogs dialogs;
        dialogs.expectMessage(QStringLiteral("never shown"));
    }
    void wrongExpectedMessage()
    {
        if (!victimRun())
            QSKIP("run by surprisesFailTheTest");
        ScriptedDialogs dialogs;
        dialogs.expectMessage(QStringLiteral("this one"));
        Dialogs().warning(QStringLiteral("another one"));
    }
    void announcedWarning()
    {
        if (!victimRun())
            QSKIP("run by surprisesFailTheTest");
        ScriptedDialogs dialogs;
        dialogs.expectMessage(QStringLiteral("known"));
        Dialogs().warning(QStringLiteral("known"));
    }
    void checkedWarning()
    {
        if (!victimRun())
            QSKIP("run by surprisesFailTheTest");
        ScriptedDialogs dialogs;
        Dialogs().warning(QStringLiteral("known"));
        QCOMPARE(dialogs.lastText(), QStringLiteral("known"));
    }
};

KORU_TEST_GUILESS_MAIN(TstScriptedDialogs)
#include "tst_scripteddialogs.moc"
