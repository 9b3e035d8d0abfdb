#include "textfixture.h"

#include "model/programfile.h"
#include "testmain.h"
#include "text/textfile.h"

#include <QTemporaryDir>
#include <QTest>

using namespace koru;
using namespace koru::test;

class TstTextFile : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        m_language = shippedLanguage();
        QVERIFY(m_language);
    }

    void savedTextReadsBack_data()
    {
        QTest::addColumn<QStringList>("program");
        QTest::addColumn<QStringList>("head");
        QTest::newRow("failing the check")
            << QStringList{"LedOn(255, 0, 0, 1); // 赤", "", "\tコメントではない"}
            << QStringList{"NG"};
        QTest::newRow("checked") << QStringList{"timer(3); // 待つ", "", "beep1();"}
                                 << QStringList{"OK", "START", "5,0,3,0,0,0,0", "4,3,0,0,0,0,0", "END"};
        QTest::newRow("empty") << QStringList() << QStringList{"OK", "START", "END"};
    }
    void savedTextReadsBack()
    {
        QFETCH(QStringList, program);
        QFETCH(QStringList, head);
        const QStringList file = TextProgramFileLines(program, *m_language);
        QCOMPARE(file, head + QStringList{"WORDDATA"} + program);

        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("prog(文字).koru"));
        QVERIFY(WriteProgramLines(path, file));
        const std::optional<QStringList> read = ReadProgramLines(path);
        QVERIFY(read);
        QVERIFY(IsTextProgramFile(*read));
        QCOMPARE(ProgramTextOfFile(*read, *m_language), std::optional<QStringList>(program));
    }

    void otherStepsFiles_data()
    {
        QTest::addColumn<QStringList>("file");
        QTest::addColumn<QStringList>("text"); // empty with "refused": nothing to show
        QTest::addColumn<bool>("refused");
        QTest::newRow("icon file")
            << QStringList{"OK", "START", "2,0,255,0,0,4,0", "2,1,0,0,255,4,0", "END", "DDDATA", "1", "3"}
            << QStringList{"ledon(255,0,0,1);", "fadein(0,0,255);"} << false;
        QTest::newRow("flowchart file")
            << QStringList{"OK", "START", "7,2,0,0,0,0,0", "12,1,0,0,0,0,0", "4,5,0,0,0,0,0", "13,1,0,0,0,0,0",
                           "END", "ROUTINE", "0"}
            << QStringList{"if(cds=on){", "}", "else{", "beep3();", "}"} << false;
        QTest::newRow("failed its check") << QStringList{"NG", "DDDATA", "1"} << QStringList() << true;
        QTest::newRow("melody") << QStringList{"SOUND", "1,2,3"} << QStringList() << true;
        QTest::newRow("empty file") << QStringList() << QStringList() << true;
        QTest::newRow("listing with a call")
            << QStringList{"OK", "START", "9,0,1,0,0,0,0", "END", "ROUTINE"} << QStringList() << true;
        // The listing in front of a text program plays no part in reading it.
        QTest::newRow("text file with a stale listing")
            << QStringList{"OK", "START", "5,0,9,0,0,0,0", "END", "WORDDATA", "beep1();"}
            << QStringList{"beep1();"} << false;
    }
    void otherStepsFiles()
    {
        QFETCH(QStringList, file);
        QFETCH(QStringList, text);
        QFETCH(bool, refused);
        const std::optional<QStringList> shown = ProgramTextOfFile(file, *m_language);
        QCOMPARE(!shown, refused);
        if (shown)
            QCOMPARE(*shown, text);
    }

private:
    std::optional<TextLanguage> m_language;
};

KORU_TEST_GUILESS_MAIN(TstTextFile)
#include "tst_textfile.moc"
