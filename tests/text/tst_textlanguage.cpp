#include "textfixture.h"

#include "model/encoder.h"
#include "testmain.h"
#include "text/keywordhelp.h"
#include "text/livecheck.h"

#include <QTest>

#include <limits>

using namespace koru;
using namespace koru::test;

namespace {

QStringList listing(const QString &records)
{
    return QStringList{QStringLiteral("START")} + lines(records) + QStringList{QStringLiteral("END")};
}

QString repeated(const QString &statement, int times)
{
    QStringList result;
    for (int i = 0; i < times; ++i)
        result << statement;
    return result.join(QLatin1Char('\n'));
}

} // namespace

class TstTextLanguage : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        m_language = shippedLanguage();
        QVERIFY(m_language);
    }

    void normalise_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("expected");
        QTest::newRow("blanks and capitals") << "LedOn( 255, 0 ,0, 1 ) ;" << "ledon(255,0,0,1);";
        QTest::newRow("comment") << "beep1(); // 音 // again" << "beep1();";
        QTest::newRow("comment only") << "   // 説明" << "";
        QTest::newRow("tab stays") << "\tbeep1();" << "\tbeep1();";
        QTest::newRow("full-width blank stays") << "beep1();　" << "beep1();　";
        QTest::newRow("empty") << "" << "";
    }
    void normalise()
    {
        QFETCH(QString, line);
        QFETCH(QString, expected);
        QCOMPARE(TextLanguage::normalise(line), expected);
    }

    // Which check fails first (0: the program passes). Lines are separated
    // by " · ".
    void checks_data()
    {
        QTest::addColumn<QString>("program");
        QTest::addColumn<int>("failedCheck");

        QTest::newRow("empty program") << "" << 0;
        QTest::newRow("spaces and capitals") << "LedOn( 255, 0 ,0, 1 ) ;" << 0;
        QTest::newRow("tab-indented line") << "\tbeep1();" << 2;
        QTest::newRow("full-width blank") << "beep1();　" << 2;

        // Ranges of the one-number roles and of the conditions.
        QTest::newRow("timer 0") << "timer(0);" << 2;
        QTest::newRow("timer 1") << "timer(1);" << 0;
        QTest::newRow("timer 255") << "timer(255);" << 0;
        QTest::newRow("timer 256") << "timer(256);" << 2;
        QTest::newRow("tempwait 0") << "tempwait(0);" << 0;
        QTest::newRow("tempwait 40") << "tempwait(40);" << 0;
        QTest::newRow("tempwait 41") << "tempwait(41);" << 2;
        QTest::newRow("humiwait 100") << "humiwait(100);" << 0;
        QTest::newRow("humiwait 101") << "humiwait(101);" << 2;
        QTest::newRow("motoron 255 lampon 1") << "motoron(255); · lampon(1);" << 0;
        QTest::newRow("if temp>40") << "if(temp>40){ · }" << 0;
        QTest::newRow("if temp>41") << "if(temp>41){ · }" << 2;
        QTest::newRow("if temp>abc") << "if(temp>abc){ · }" << 2;
        QTest::newRow("if temp= nothing") << "if(temp=){ · }" << 2;
        QTest::newRow("if humi<100") << "if(humi<100){ · }" << 0;
        QTest::newRow("if humi=101") << "if(humi=101){ · }" << 2;
        QTest::newRow("every fixed condition")
            << "gettempx(); · gethumiy(); · if(sw=on){ · } · if(sw=off){ · } · if(cds=on){ · } · "
               "if(cds=off){ · } · if(temp>x){ · } · if(temp<x){ · } · if(temp=x){ · } · "
               "if(humi>y){ · } · if(humi<y){ · } · if(humi=y){ · }"
            << 0;
        QTest::newRow("unknown condition") << "if(sw=maybe){ · }" << 2;
        QTest::newRow("text before a condition") << "if(xtemp>5){ · }" << 2;
        QTest::newRow("text after a condition") << "if(temp>5>3){ · }" << 2;

        // Integers: an optional sign, nothing else, 32 bits at most.
        QTest::newRow("plus sign") << "timer(+3);" << 0;
        QTest::newRow("minus zero") << "tempwait(-0);" << 2;
        QTest::newRow("fraction") << "timer(2.5);" << 2;
        QTest::newRow("beyond 32 bits") << "timer(4294967299);" << 2;
        QTest::newRow("huge") << "timer(99999999999999999999999);" << 2;

        // Argument lists by form.
        QTest::newRow("backlight") << "backlight(0,0.25); · backlight(100,7.75);" << 0;
        QTest::newRow("backlight 101") << "backlight(101,1);" << 2;
        QTest::newRow("duration not in the list") << "backlight(50,8);" << 2;
        QTest::newRow("duration 1.0") << "ledon(255,0,0,1.0);" << 2;
        QTest::newRow("duration 0") << "ledon(255,0,0,0);" << 2;
        QTest::newRow("fade 256") << "fadein(0,0,256);" << 2;
        QTest::newRow("fade with duration") << "fadeout(1,2,3,1);" << 2;
        QTest::newRow("ledon without duration") << "ledon(255,0,0);" << 2;
        QTest::newRow("five arguments") << "ledon(1,2,3,1,5);" << 2;
        QTest::newRow("empty argument") << "backlight(50,);" << 2;
        QTest::newRow("argument for a no-argument role") << "beep1(1);" << 2;
        QTest::newRow("no argument for a number role") << "timer();" << 2;
        QTest::newRow("motor and lamp off") << "motoroff(); · lampoff();" << 0;

        // Shapes of a statement line.
        QTest::newRow("unknown keyword") << "beep9();" << 2;
        QTest::newRow("missing semicolon") << "beep1()" << 2;
        QTest::newRow("two semicolons") << "beep1();;" << 2;
        QTest::newRow("text after the statement") << "beep1();)beep2();" << 2;
        QTest::newRow("two statements on a line") << "beep1();beep2();" << 2;
        QTest::newRow("no parentheses") << "beep1;" << 2;
        QTest::newRow("if with a semicolon") << "if(sw=on); · }" << 2;
        QTest::newRow("statement with a brace") << "beep1(){" << 2;
        QTest::newRow("brace on the next line") << "if(sw=on) · { · }" << 2;
        QTest::newRow("brace beside else") << "if(sw=on){ · }else{ · }" << 2;
        QTest::newRow("else without brace") << "if(sw=on){ · } · else · { · }" << 2;

        // Structure of the ifs.
        QTest::newRow("if and else") << "if(sw=on){ · beep1(); · } · else{ · beep2(); · }" << 0;
        QTest::newRow("ten deep")
            << repeated(QStringLiteral("if(sw=on){"), 10) + "\nbeep1();\n" + repeated(QStringLiteral("}"), 10)
            << 0;
        QTest::newRow("if left open") << "if(sw=on){ · beep1();" << 3;
        QTest::newRow("brace with nothing open") << "beep1(); · }" << 3;
        QTest::newRow("else as the first line") << "else{ · }" << 3;
        QTest::newRow("else not after the then-part")
            << "if(sw=on){ · } · beep1(); · else{ · }" << 3;
        QTest::newRow("else after an else part") << "if(sw=on){ · } · else{ · } · else{ · }" << 3;
        QTest::newRow("else closed twice") << "if(sw=on){ · } · else{ · } · }" << 3;
        QTest::newRow("syntax comes before structure") << "if(sw=on){ · beep9();" << 2;

        // Loops.
        QTest::newRow("loop") << "loopstart(2); · beep1(); · loopend();" << 0;
        QTest::newRow("loop holding an if")
            << "loopstart(2); · if(sw=on){ · beep1(); · } · loopend();" << 0;
        QTest::newRow("loop inside a then-part")
            << "if(sw=on){ · loopstart(2); · beep1(); · loopend(); · }" << 0;
        QTest::newRow("loop inside an else part")
            << "if(sw=on){ · } · else{ · loopstart(2); · loopend(); · }" << 0;
        QTest::newRow("two loops in turn") << "loopstart(2); · loopend(); · loopstart(3); · loopend();" << 0;
        QTest::newRow("nested loops") << "loopstart(2); · loopstart(3); · loopend();" << 4;
        QTest::newRow("nested loops inside an if")
            << "if(sw=on){ · loopstart(2); · loopstart(3); · loopend(); · }" << 4;
        QTest::newRow("loop end alone") << "loopend();" << 4;
        QTest::newRow("loop never ended") << "loopstart(2); · beep1();" << 4;
        QTest::newRow("loop ends inside an if") << "loopstart(2); · if(sw=on){ · loopend(); · }" << 4;
        QTest::newRow("loop leaves its then-part")
            << "if(sw=on){ · loopstart(2); · } · loopend();" << 4;
        QTest::newRow("loop from then-part into else part")
            << "if(sw=on){ · loopstart(2); · } · else{ · loopend(); · }" << 4;

        // Variables, in text order whatever the branch taken.
        QTest::newRow("x set in one part, used later")
            << "if(sw=on){ · gettempx(); · } · if(temp>x){ · }" << 0;
        QTest::newRow("x used before it is set") << "if(temp>x){ · } · gettempx();" << 5;
        QTest::newRow("y used with only x set") << "gettempx(); · if(humi=y){ · }" << 5;
        QTest::newRow("x and y set") << "gethumiy(); · gettempx(); · if(humi<y){ · } · if(temp=x){ · }" << 0;

        // Counts: comments and blank lines are not counted, braces are.
        const QString twentyEight = repeated(QStringLiteral("beep1();"), 28);
        QTest::newRow("28 statements") << twentyEight << 0;
        QTest::newRow("28 statements among comments and blank lines")
            << "// 説明\n\n" + twentyEight + "\n   // おわり\n\n" << 0;
        QTest::newRow("29 statements") << repeated(QStringLiteral("beep1();"), 29) << 1;
        QTest::newRow("30 lines with braces")
            << "if(sw=on){\n" + repeated(QStringLiteral("beep1();"), 25) + "\n}\nelse{\n// x\n}\nbeep2();" << 0;
        QTest::newRow("31 lines with braces")
            << "if(sw=on){\n" + repeated(QStringLiteral("beep1();"), 26) + "\n}\nelse{\n}\nbeep2();" << 1;
        QTest::newRow("count comes before syntax") << repeated(QStringLiteral("nonsense"), 31) << 1;
    }
    void checks()
    {
        QFETCH(QString, program);
        QFETCH(int, failedCheck);
        const CheckResult result = m_language->check(lines(program));
        QCOMPARE(result.failedCheck, failedCheck);
        QCOMPARE(result.passed(), failedCheck == 0);
        QCOMPARE(result.message.isEmpty(), failedCheck == 0);
    }

    void messages_data()
    {
        QTest::addColumn<QString>("program");
        QTest::addColumn<QString>("message");
        QTest::newRow("count") << repeated(QStringLiteral("beep1();"), 31)
                               << "プログラムの総命令数が最大値を超えております。\r\nプログラムを確認して下さい。";
        QTest::newRow("syntax") << "timer(0);"
                                << "プログラムの構文が間違っております。\r\nプログラムを確認して下さい。";
        QTest::newRow("if") << "}"
                            << "条件分岐の命令が間違っております。\r\nプログラムを確認して下さい。";
        QTest::newRow("loop") << "loopend();"
                              << "繰り返し命令の位置関係が間違っております。\r\nプログラムを確認して下さい。";
        QTest::newRow("x") << "if(temp<x){ · }"
                           << "変数xを使った条件分岐命令は事前に変数xに代入する命令が必要です。\r\n"
                              "プログラムを確認して下さい。";
        // The pupil is told about the variable the program actually uses.
        QTest::newRow("y") << "if(humi>y){ · }"
                           << "変数yを使った条件分岐命令は事前に変数yに代入する命令が必要です。\r\n"
                              "プログラムを確認して下さい。";
    }
    void messages()
    {
        QFETCH(QString, program);
        QFETCH(QString, message);
        QCOMPARE(m_language->check(lines(program)).message, message);
    }

    void translation_data()
    {
        QTest::addColumn<QString>("program");
        QTest::addColumn<QString>("records");

        QTest::newRow("if without else")
            << "if(sw=on){ · beep1(); · }"
            << "7,0,0,0,0,0,0 · 4,3,0,0,0,0,0 · 12,0,0,0,0,0,0 · 13,0,0,0,0,0,0";
        QTest::newRow("led on 1.5 s") << "ledon(255,0,0,1.5);" << "2,0,255,0,0,6,0";
        QTest::newRow("if with else")
            << "if(temp>25){ · timer(5); · } · else{ · beep2(); · }"
            << "7,4,25,0,0,0,0 · 5,0,5,0,0,0,0 · 12,2,0,0,0,0,0 · 4,4,0,0,0,0,0 · 13,2,0,0,0,0,0";
        QTest::newRow("empty program") << "" << "";
        QTest::newRow("comments only") << "// a · · // b" << "";
        QTest::newRow("fades keep the fade time")
            << "fadein(0,0,255); · fadeout(10,20,30);" << "2,1,0,0,255,11,0 · 2,2,10,20,30,11,0";
        QTest::newRow("backlight") << "backlight(80,1.5);" << "3,0,80,6,0,0,0";
        QTest::newRow("waits")
            << "soundwait(); · swwait(); · lightwait(); · darkwait(); · tempwait(30); · humiwait(60);"
            << "6,0,0,0,0,0,0 · 6,1,0,0,0,0,0 · 6,2,0,0,0,0,0 · 6,3,0,0,0,0,0 · 6,4,30,0,0,0,0 · "
               "6,5,60,0,0,0,0";
        QTest::newRow("sounds")
            << "radioplay(); · radiostop(); · melodydata(); · beep1(); · beep2(); · beep3();"
            << "4,0,0,0,0,0,0 · 4,1,0,0,0,0,0 · 4,2,0,0,0,0,0 · 4,3,0,0,0,0,0 · 4,4,0,0,0,0,0 · "
               "4,5,0,0,0,0,0";
        QTest::newRow("backlight link, variables")
            << "linkstart(); · linkend(); · gettempx(); · gethumiy();"
            << "3,1,0,0,0,0,0 · 3,2,0,0,0,0,0 · 10,0,0,0,0,0,0 · 10,1,0,0,0,0,0";
        QTest::newRow("loop") << "loopstart(3); · loopend();" << "8,0,3,0,0,0,0 · 8,1,0,0,0,0,0";
        QTest::newRow("experiment board")
            << "motoron(5); · motoroff(); · lampon(7); · lampoff();"
            << "11,0,5,0,0,0,0 · 11,1,0,0,0,0,0 · 11,2,7,0,0,0,0 · 11,3,0,0,0,0,0";
        QTest::newRow("numbers written plainly") << "timer(+007);" << "5,0,7,0,0,0,0";
        QTest::newRow("humidity condition")
            << "if(humi<70){ · } · else{ · }" << "7,11,70,0,0,0,0 · 12,3,0,0,0,0,0 · 13,3,0,0,0,0,0";
        QTest::newRow("nested ifs close in order")
            << "if(sw=on){ · if(cds=off){ · beep1(); · } · } · else{ · beep2(); · }"
            << "7,0,0,0,0,0,0 · 7,3,0,0,0,0,0 · 4,3,0,0,0,0,0 · 12,1,0,0,0,0,0 · 13,1,0,0,0,0,0 · "
               "12,0,0,0,0,0,0 · 4,4,0,0,0,0,0 · 13,0,0,0,0,0,0";
    }
    void translation()
    {
        QFETCH(QString, program);
        QFETCH(QString, records);
        QCOMPARE(m_language->toRecords(lines(program)), listing(records));
    }

    // Images worked out by hand: addresses count from the start instruction
    // at 0; the end is 231 followed by one 0.
    void images_data()
    {
        QTest::addColumn<QString>("program");
        QTest::addColumn<QList<int>>("image");

        QTest::newRow("empty") << "" << QList<int>{230, 2, 231, 0};
        QTest::newRow("timer") << "timer(3);" << QList<int>{230, 2, 160, 3, 5, 231, 0};
        QTest::newRow("red for a second")
            << "ledon(255,0,0,1);" << QList<int>{230, 2, 126, 0, 4, 6, 231, 0};
        // if at 2 (180, then, else), beep1 at 5, end at 7.
        QTest::newRow("if without else")
            << "if(sw=on){ · beep1(); · }" << QList<int>{230, 2, 180, 5, 7, 153, 7, 231, 0};
        // if at 2 (184, 25, then, else), timer at 6, beep2 at 9, end at 11.
        QTest::newRow("if with else")
            << "if(temp>25){ · timer(5); · } · else{ · beep2(); · }"
            << QList<int>{230, 2, 184, 25, 6, 9, 160, 5, 11, 154, 11, 231, 0};
        // Empty parts lead on to what follows the if.
        QTest::newRow("empty parts")
            << "if(cds=on){ · } · else{ · } · beep1();" << QList<int>{230, 2, 182, 5, 5, 153, 7, 231, 0};
        QTest::newRow("empty then-part")
            << "if(sw=off){ · } · else{ · beep1(); · }" << QList<int>{230, 2, 181, 7, 5, 153, 7, 231, 0};
        // An else-less if ending a then-part: both of its ways out lead to
        // what follows the enclosing if (beep2 at 10).
        QTest::newRow("else-less if ending a then-part")
            << "if(sw=on){ · if(cds=on){ · beep1(); · } · } · beep2();"
            << QList<int>{230, 2, 180, 5, 10, 182, 8, 10, 153, 10, 154, 12, 231, 0};
        // ... and to the end when nothing follows.
        QTest::newRow("else-less if ending the program's then-part")
            << "if(sw=on){ · if(cds=on){ · beep1(); · } · }"
            << QList<int>{230, 2, 180, 5, 10, 182, 8, 10, 153, 10, 231, 0};
        // Inner if ending the then-part of an if with an else: to the
        // outer if's successor, not into the else part.
        QTest::newRow("inner if before an else part")
            << "if(sw=on){ · if(cds=on){ · beep1(); · } · } · else{ · beep2(); · } · beep3();"
            << QList<int>{230, 2, 180, 5, 10, 182, 8, 12, 153, 12, 154, 12, 155, 14, 231, 0};
        QTest::newRow("loop")
            << "loopstart(3); · beep1(); · loopend();" << QList<int>{230, 2, 200, 3, 5, 153, 7, 201, 9, 231, 0};
        // The off statements have no instruction on the kit.
        QTest::newRow("motor off") << "motoron(3); · motoroff(); · lampoff();"
                                   << QList<int>{230, 2, 220, 3, 5, 231, 0};
        QTest::newRow("green fade-in")
            << "fadein(0,255,0);" << QList<int>{230, 2, 131, 1, 248, 11, 7, 231, 0};
        QTest::newRow("backlight 80% 1.5 s")
            << "backlight(80,1.5);" << QList<int>{230, 2, 145, 80, 6, 6, 231, 0};
    }
    void images()
    {
        QFETCH(QString, program);
        QFETCH(QList<int>, image);
        QVERIFY(m_language->check(lines(program)).passed());
        const TextImage result = m_language->toBytes(lines(program));
        QVERIFY(result.sendable());
        QCOMPARE(result.image, image);
    }

    void oversizedImageIsRefused()
    {
        // 28 fades pass every check but take 2 + 28 * 5 + 2 = 144 bytes.
        const QStringList fades = lines(repeated(QStringLiteral("fadein(1,2,3);"), 28));
        QVERIFY(m_language->check(fades).passed());
        const TextImage refused = m_language->toBytes(fades);
        QCOMPARE(refused.refusal, ImageTooLargeMessage);
        QCOMPARE(refused.image.size(), 144);

        // 22 fades and two timers fill the 120 bytes exactly; one byte more
        // is refused.
        const QString fades22 = repeated(QStringLiteral("fadein(1,2,3);"), 22);
        const TextImage full = m_language->toBytes(lines(fades22 + "\ntimer(1);\ntimer(2);"));
        QVERIFY(full.sendable());
        QCOMPARE(full.image.size(), MaxImageBytes);
        const TextImage over = m_language->toBytes(lines(fades22 + "\ntimer(1);\nbacklight(5,1);"));
        QCOMPARE(over.image.size(), MaxImageBytes + 1);
        QCOMPARE(over.refusal, ImageTooLargeMessage);
    }

    // Each instruction's address leads back to the line that wrote it:
    // comments, blank lines, braces and the experiment board's "off"
    // statements take no address.
    void linesByAddress()
    {
        const QStringList program = lines("// x · if(sw=on){ ·  · beep1(); · } · else{ · motoroff(); · timer(2); · } · "
                                          "ledon(0,0,255,1);");
        QVERIFY(m_language->check(program).passed());
        // 230,2 · if at 2: 180,5,7 · beep1 at 5: 153,10 · timer at 7: 160,2,10 · LED at 10 · 231,0 at 14
        const QList<int> image = m_language->toBytes(program).image;
        QCOMPARE(image.mid(2, 1) + image.mid(5, 1) + image.mid(7, 1) + image.mid(14, 1), (QList<int>{180, 153, 160, 231}));
        const QHash<int, int> expected{{2, 1}, {5, 3}, {7, 7}, {10, 9}};
        QCOMPARE(m_language->linesByAddress(program), expected);
        QVERIFY(m_language->linesByAddress(QStringList(29, "beep1();")).isEmpty()); // does not link
        // The preview's name for what runs: the line as written, counted from 1.
        QCOMPARE(LineAtAddressName(*m_language, program, 5), QStringLiteral("4行目: beep1();"));
        QVERIFY(LineAtAddressName(*m_language, program, 14).isEmpty());
    }

    // F6 and the preview send SendableImage: the image, or the first
    // refusal with the line the window marks.
    void sendableImage_data()
    {
        QTest::addColumn<QString>("program");
        QTest::addColumn<QString>("message");
        QTest::addColumn<int>("element");
        QTest::addColumn<QList<int>>("image");
        QTest::newRow("sendable")
            << "// x ·  · if(temp>25){ · timer(5); · } · else{ · beep2(); · }" << QString() << -1
            << QList<int>{230, 2, 184, 25, 6, 9, 160, 5, 11, 154, 11, 231, 0};
        QTest::newRow("empty: start and end") << "" << QString() << -1 << QList<int>{230, 2, 231, 0};
        // Lines count from 0, blank and comment lines included.
        QTest::newRow("syntax on line 3") << "// x ·  · beep1(); · timer(0);" << SyntaxMessage << 3 << QList<int>{};
        QTest::newRow("loop end on line 1") << "beep1(); · loopend();" << LoopMessage << 1 << QList<int>{};
        QTest::newRow("total count has no line")
            << repeated(QStringLiteral("beep1();"), 31) << TotalCountMessage << -1 << QList<int>{};
        QTest::newRow("image too large has no line")
            << repeated(QStringLiteral("fadein(1,2,3);"), 28) << ImageTooLargeMessage << -1 << QList<int>{};
        // The check comes first.
        QTest::newRow("syntax in a program too large")
            << repeated(QStringLiteral("fadein(1,2,3);"), 27) + "\ntimer(0);" << SyntaxMessage << 27 << QList<int>{};
    }
    void sendableImage()
    {
        QFETCH(QString, program);
        QFETCH(QString, message);
        QFETCH(int, element);
        QFETCH(QList<int>, image);
        const Sendable sendable = SendableImage(*m_language, lines(program));
        QCOMPARE(sendable.message, message);
        QCOMPARE(sendable.element, element);
        QCOMPARE(sendable.image, image);
        QCOMPARE(sendable.ok(), message.isEmpty());
        if (!message.isEmpty() && element >= 0)
            QCOMPARE(m_language->check(lines(program)).line, element); // the line the window marks
    }

    void elementAtAddress_data()
    {
        QTest::addColumn<int>("address");
        QTest::addColumn<int>("line");
        // The program of linesByAddress: if at 2, beep1 at 5, timer at 7,
        // LED at 10, end at 14.
        QTest::newRow("if") << 2 << 1;
        QTest::newRow("beep after a blank line") << 5 << 3;
        QTest::newRow("timer after an off statement") << 7 << 7;
        QTest::newRow("LED") << 10 << 9;
        QTest::newRow("start") << 0 << -1;
        QTest::newRow("inside the if") << 3 << -1;
        QTest::newRow("end") << 14 << -1;
        QTest::newRow("past the image") << 16 << -1;
        QTest::newRow("negative") << -1 << -1;
        QTest::newRow("lowest int") << std::numeric_limits<int>::min() << -1;
        QTest::newRow("highest int") << std::numeric_limits<int>::max() << -1;
    }
    void elementAtAddress()
    {
        QFETCH(int, address);
        QFETCH(int, line);
        const QStringList program = lines("// x · if(sw=on){ ·  · beep1(); · } · else{ · motoroff(); · timer(2); · } · "
                                          "ledon(0,0,255,1);");
        QCOMPARE(ElementAtAddress(*m_language, program, address), line);
        QCOMPARE(ElementAtAddress(*m_language, {}, address), -1);
        QCOMPARE(ElementAtAddress(*m_language, QStringList(29, "beep1();"), address), -1); // does not link
    }

    void listingsNeedingMoreThanThirtyEntriesAreRefused()
    {
        const QString records = repeated(QStringLiteral("4,3,0,0,0,0,0"), 29);
        QVERIFY(!InstructionTableOf(listing(records)));
        QCOMPARE(ImageOfListing(listing(records)).refusal, TotalCountMessage);
        QCOMPARE(InstructionTableOf(listing(repeated(QStringLiteral("4,3,0,0,0,0,0"), 28)))->size(), 30);
    }

    void render_data()
    {
        QTest::addColumn<QStringList>("listing");
        QTest::addColumn<QString>("program");

        QTest::newRow("icon program")
            << listing("2,0,255,0,0,4,0 · 2,1,0,0,255,4,0") << "ledon(255,0,0,1); · fadein(0,0,255);";
        QTest::newRow("green for a second") << listing("2,0,0,255,0,4,0") << "ledon(0,255,0,1);";
        QTest::newRow("if without else")
            << listing("7,0,0,0,0,0,0 · 4,3,0,0,0,0,0 · 12,0,0,0,0,0,0 · 13,0,0,0,0,0,0")
            << "if(sw=on){ · beep1(); · }";
        QTest::newRow("if with else")
            << listing("7,4,25,0,0,0,0 · 5,0,5,0,0,0,0 · 12,2,0,0,0,0,0 · 4,4,0,0,0,0,0 · 13,2,0,0,0,0,0")
            << "if(temp>25){ · timer(5); · } · else{ · beep2(); · }";
        QTest::newRow("conditions")
            << listing("7,12,55,0,0,0,0 · 12,3,0,0,0,0,0 · 13,3,0,0,0,0,0 · "
                       "7,8,0,0,0,0,0 · 12,2,0,0,0,0,0 · 13,2,0,0,0,0,0")
            << "if(humi=55){ · } · if(temp<x){ · }";
        QTest::newRow("every other role")
            << listing("2,2,1,2,3,11,0 · 3,0,80,6,0,0,0 · 3,1,0,0,0,0,0 · 4,2,0,0,0,0,0 · 6,5,60,0,0,0,0 · "
                       "8,0,4,0,0,0,0 · 8,1,0,0,0,0,0 · 10,1,0,0,0,0,0 · 11,0,9,0,0,0,0 · 11,1,0,0,0,0,0 · "
                       "11,2,8,0,0,0,0 · 11,3,0,0,0,0,0")
            << "fadeout(1,2,3); · backlight(80,1.5); · linkstart(); · melodydata(); · humiwait(60); · "
               "loopstart(4); · loopend(); · gethumiy(); · motoron(9); · motoroff(); · lampon(8); · lampoff();";
        // Values are shown as they are, even when the check will refuse them.
        QTest::newRow("out of range") << listing("5,0,0,0,0,0,0 · 2,0,1,2,3,40,0") << "timer(0); · ledon(1,2,3,10);";
        QTest::newRow("empty listing") << listing("") << "";
        QTest::newRow("records around the listing ignored")
            << QStringList{"OK", "5,0,1,0,0,0,0", "START", "5,0,2,0,0,0,0", "END", "5,0,3,0,0,0,0"}
            << "timer(2);";
        QTest::newRow("no START") << QStringList{"5,0,2,0,0,0,0", "END"} << "";
        QTest::newRow("no END") << QStringList{"START", "5,0,2,0,0,0,0"} << "timer(2);";
    }
    void render()
    {
        QFETCH(QStringList, listing);
        QFETCH(QString, program);
        QCOMPARE(m_language->renderRecords(listing), std::optional<QStringList>(lines(program)));
    }

    // Records that have no statement refuse the whole listing.
    void renderRefuses_data()
    {
        QTest::addColumn<QString>("record");
        QTest::newRow("routine call") << "9,0,1,0,0,0,0";
        QTest::newRow("unknown kind") << "99,0,0,0,0,0,0";
        QTest::newRow("start as a number") << "0,0,0,0,0,0,0";
        QTest::newRow("condition 16") << "7,16,0,0,0,0,0";
        QTest::newRow("sound 6") << "4,6,0,0,0,0,0";
        QTest::newRow("wait -1") << "6,-1,0,0,0,0,0";
        QTest::newRow("full-colour 3") << "2,3,0,0,0,0,0";
        QTest::newRow("six fields") << "5,0,3,0,0,0";
        QTest::newRow("not a number") << "5,0,abc,0,0,0,0";
        QTest::newRow("beyond 32 bits") << "5,0,9999999999,0,0,0,0";
        QTest::newRow("empty field") << "5,,3,0,0,0,0";
    }
    void renderRefuses()
    {
        QFETCH(QString, record);
        QCOMPARE(m_language->renderRecords(listing("4,3,0,0,0,0,0 · " + record)), std::nullopt);
    }

    // The text STEP3 shows for a listing reads back into the same listing.
    void roundTrip_data()
    {
        QTest::addColumn<QString>("program");
        QTest::newRow("worked if") << "if(sw=on){ · beep1(); · }";
        QTest::newRow("worked led") << "LedOn( 255, 0 ,0, 1.5 ) ; // 赤";
        QTest::newRow("worked if-else") << "if(temp>25){ · timer(5); · } · else{ · beep2(); · }";
        QTest::newRow("empty else") << "if(sw=on){ · beep1(); · } · else{ · }";
        QTest::newRow("empty then") << "if(sw=on){ · } · else{ · beep1(); · }";
        QTest::newRow("nested")
            << "gettempx(); · if(sw=on){ · if(temp=x){ · loopstart(2); · beep1(); · loopend(); · } · } · "
               "else{ · if(humi>+30){ · } · else{ · motoroff(); · } · }";
        QTest::newRow("everything")
            << "ledon(1,2,3,7.75); · fadein(4,5,6); · fadeout(7,8,9); · soundwait(); · swwait(); · "
               "lightwait(); · darkwait(); · tempwait(0); · humiwait(100); · timer(255); · radioplay(); · "
               "radiostop(); · melodydata(); · beep1(); · beep2(); · beep3(); · backlight(0,0.25); · "
               "linkstart(); · linkend(); · gethumiy(); · motoron(1); · lampon(2); · lampoff();";
    }
    void roundTrip()
    {
        QFETCH(QString, program);
        QVERIFY(m_language->check(lines(program)).passed());
        const QStringList records = m_language->toRecords(lines(program));
        const std::optional<QStringList> rendered = m_language->renderRecords(records);
        QVERIFY(rendered);
        QVERIFY(m_language->check(*rendered).passed());
        QCOMPARE(m_language->toRecords(*rendered), records);
    }

    // Text that is not a program at all gives a message and never breaks
    // translation, linking or rendering.
    void hostileText_data()
    {
        QTest::addColumn<QStringList>("program");
        QTest::addColumn<int>("failedCheck");
        QTest::newRow("10,000 lines") << QStringList(10000, QStringLiteral("beep1();")) << 1;
        QTest::newRow("10,000 blank lines") << QStringList(10000, QString()) << 0;
        QTest::newRow("very long line") << QStringList{"timer(" + QString(200000, QLatin1Char('9')) + ");"} << 2;
        QTest::newRow("very long keyword") << QStringList{QString(200000, QLatin1Char('a')) + "();"} << 2;
        QString binary;
        for (int c = 0; c < 0x3000; c += 7)
            binary += QChar(c);
        QTest::newRow("binary") << QStringList{binary, QString(QChar(0)), "\xff\xfe"} << 2;
        QTest::newRow("unbalanced braces") << lines("} · } · { · {") << 2;
        QTest::newRow("only closing braces") << lines("} · } · }") << 3;
        QTest::newRow("open ifs") << lines(repeated(QStringLiteral("if(sw=on){"), 25)) << 3;
        QTest::newRow("parentheses only") << lines("( · ) · (); · )(") << 2;
    }
    void hostileText()
    {
        QFETCH(QStringList, program);
        QFETCH(int, failedCheck);
        QCOMPARE(m_language->check(program).failedCheck, failedCheck);
        const QStringList records = m_language->toRecords(program);
        QCOMPARE(records.first(), QStringLiteral("START"));
        QCOMPARE(records.last(), QStringLiteral("END"));
        const TextImage image = m_language->toBytes(program);
        QVERIFY(ImageHoldsOnlyBytes(image.image));
        m_language->renderRecords(records);
        m_language->renderRecords(program);
    }

    // The check as typed says what F6 would, on one line, with the line to
    // underline; nothing for a program F6 sends or one with no statement.
    void checkAsTyped_data()
    {
        QTest::addColumn<QStringList>("program");
        QTest::addColumn<int>("line");
        QTest::addColumn<QString>("message");
        QTest::newRow("passes") << QStringList{"beep1();", "timer(1);"} << -1 << QString();
        QTest::newRow("empty") << QStringList{} << -1 << QString();
        QTest::newRow("comments and blanks only") << QStringList{"// まだ", "   "} << -1 << QString();
        QTest::newRow("syntax") << QStringList{"beep1();", "// x", "beep9();"} << 2 << SyntaxMessage;
        QTest::newRow("else without if") << QStringList{"beep1();", "else{", "}"} << 1 << IfStructureMessage;
        QTest::newRow("x before set") << QStringList{"beep1();", "if(temp>x){", "}"} << 1 << VariableXMessage;
        QTest::newRow("too many") << QStringList(31, "beep1();") << -1 << TotalCountMessage;
    }
    void checkAsTyped()
    {
        QFETCH(QStringList, program);
        QFETCH(int, line);
        QFETCH(QString, message);
        const LiveFinding finding = CheckAsTyped(*m_language, program);
        QCOMPARE(finding.line, line);
        QCOMPARE(finding.ok(), message.isEmpty());
        QVERIFY2(!finding.message.contains(QLatin1Char('\n')), qPrintable(finding.message));
        QString flat = message;
        flat.replace(QLatin1String("\r\n"), QStringLiteral("　")).replace(QLatin1Char('\n'), QStringLiteral("　"));
        QCOMPARE(finding.message, flat.trimmed());
        if (line >= 0)
            QVERIFY(LiveFindingText(finding).startsWith(QStringLiteral("%1行目: ").arg(line + 1)));
    }

    // The help under the cursor is read from the pages by role: every
    // shipped keyword with a heading gets its arguments and summary; odd
    // headings are passed over.
    void keywordHelpFromThePages()
    {
        const KeywordTable &shipped = m_language->keywords();
        const QHash<int, KeywordHelp> pages = KeywordHelpOfPages(shipped, ShippedHelpPageTexts());
        const int ledOn = 1, timer = 10;
        QCOMPARE(pages.value(ledOn).arguments, QStringLiteral("赤,緑,青,秒"));
        QCOMPARE(pages.value(ledOn).summary, QStringLiteral("LEDを点灯する"));
        QVERIFY(pages.value(ledOn).paragraph.startsWith(QStringLiteral("赤・緑・青の明るさをまぜて")));
        QCOMPARE(KeywordSignature(QStringLiteral("hikari"), pages.value(ledOn)), QStringLiteral("hikari(赤,緑,青,秒)"));
        QVERIFY(pages.contains(timer));
        for (const KeywordLine &line : shipped.lines()) {
            // Every statement is described but the board's "off" ones, which
            // the kit does by itself.
            const bool described = line.opCode != ConditionOpCode && line.opCode != MotorOffOpCode
                                   && line.opCode != LampOffOpCode;
            if (line.usable && described)
                QVERIFY2(pages.contains(line.number), qPrintable(line.keyword));
        }

        const QStringList odd{QStringLiteral("<h2>nosuchword(a);　何か</h2><p>x</p>"
                                             "<h2>BEEP1();　確認音</h2>"
                                             "<h2>timer(秒</h2><p>閉じていない</p>"
                                             "<h2>timer( 秒 );　待つ</h2>\n<p>1 &lt; 2 <b>秒</b></p>")};
        const QHash<int, KeywordHelp> read = KeywordHelpOfPages(shipped, odd);
        QCOMPARE(read.size(), 2);
        QCOMPARE(read.value(16).summary, QStringLiteral("確認音")); // beep1, no paragraph
        QCOMPARE(read.value(16).paragraph, QString());
        QCOMPARE(read.value(timer).arguments, QStringLiteral("秒"));
        QCOMPARE(read.value(timer).paragraph, QStringLiteral("1 < 2 秒"));
    }

private:
    std::optional<TextLanguage> m_language;
};

KORU_TEST_GUILESS_MAIN(TstTextLanguage)
#include "tst_textlanguage.moc"
