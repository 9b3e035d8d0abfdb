// STEP3's save through the shared file commands with what Japanese input
// methods type: the wave dash and the minus sign are written as Windows
// writes them, and a character no PC's Shift-JIS holds is named with its
// line in the program before anything is asked or written.
#include "model/dialogservice.h"
#include "model/programfile.h"
#include "scripteddialogs.h"
#include "testmain.h"
#include "testutil.h"
#include "text/textfile.h"
#include "text/ui/textfilecommands.h"
#include "textfixture.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace koru;
using namespace koru::text;

class TstTextSave : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { test::useTemporaryAppData(); }

    void waveDashAndMinusAreSaved()
    {
        const std::optional<TextLanguage> language = test::shippedLanguage();
        QVERIFY(language);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("a(文字).koru"));
        test::ScriptedDialogs dialogs;
        dialogs.answerFileName(path);
        const QStringList program{QStringLiteral("// 1\u301C3 \u2212 \u2016 \u2014"), QStringLiteral("// end")};
        QCOMPARE(SaveTextProgram(program, *language), std::optional<QString>(path));
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QVERIFY(file.readAll().contains("// 1\x81\x60" "3 \x81\x7c \x81\x61 \x81\x5c\r\n"));
        // Read back as the Windows forms, which look the same.
        QStringList reread;
        QVERIFY(ReadTextProgramFile(path, *language, reread).ok);
        QCOMPARE(reread.value(0), QStringLiteral("// 1\uFF5E3 \uFF0D \u2225 \u2015"));
    }

    void whatCannotBeSavedIsNamed()
    {
        const std::optional<TextLanguage> language = test::shippedLanguage();
        QVERIFY(language);
        test::ScriptedDialogs dialogs;
        const QString emoji = QString::fromUtf8("\xF0\x9F\x98\x80");
        QVERIFY(!SaveTextProgram({QStringLiteral("// a\u301C"), QStringLiteral("// b"), "// " + emoji}, *language));
        QCOMPARE(dialogs.texts(), QStringList{SaveFailed + "\r\n3行目の「" + emoji + "」は保存出来ない文字です。"});
    }
};

KORU_TEST_MAIN(TstTextSave)
#include "tst_textsave.moc"
