#include "model/catalogue.h"
#include "testmain.h"

#include <QTest>

using namespace koru;

class TstCatalogue : public QObject
{
    Q_OBJECT
private slots:
    void familyLookups_data()
    {
        // palette text, KindNameOf, KindPictureFile
        QTest::addColumn<QString>("palette");
        QTest::addColumn<QString>("keyword");
        QTest::addColumn<QString>("picture");
        QTest::newRow("0") << "0" << "start" << "start.bmp";
        QTest::newRow("1") << "1" << "end" << "end.bmp";
        QTest::newRow("2") << "2" << "full_led" << "full_led.bmp";
        QTest::newRow("3") << "3" << "light_led" << "light_led.bmp";
        QTest::newRow("4") << "4" << "sound" << "sound.bmp";
        QTest::newRow("5") << "5" << "timer" << "timer.bmp";
        QTest::newRow("6") << "6" << "wait" << "wait.bmp";
        QTest::newRow("7") << "7" << "if" << "if.bmp";
        QTest::newRow("8") << "8" << "loop" << "loop.bmp";
        QTest::newRow("9") << "9" << "routine" << "routine.bmp";
        QTest::newRow("10") << "10" << "dainyuu" << "input.bmp";
        QTest::newRow("11") << "11" << "vexo" << "exp.bmp";
        QTest::newRow("12") << "12" << "vexo" << "exp.bmp";
        QTest::newRow("empty") << "" << "vexo" << "exp.bmp";
        QTest::newRow("leading zero") << "01" << "vexo" << "exp.bmp";
        QTest::newRow("blank") << " 1" << "vexo" << "exp.bmp";
        QTest::newRow("negative") << "-1" << "vexo" << "exp.bmp";
    }
    void familyLookups()
    {
        QFETCH(QString, palette);
        QFETCH(QString, keyword);
        QFETCH(QString, picture);
        QCOMPARE(KindNameOf(palette), keyword);
        QCOMPARE(KindPictureFile(palette), picture);
    }

    void paletteCaptionsOnlyForThePalette()
    {
        QCOMPARE(PaletteCaption(0), QStringLiteral("開始"));
        QCOMPARE(PaletteCaption(11), QStringLiteral("実験"));
        // Unlike the other look-ups there is no fallback: the markers and
        // unknown indices are on no picture.
        for (int index : {-1, 12, 13, 100})
            QVERIFY(PaletteCaption(index).isEmpty());
    }

    void kindNumberAndClass_data()
    {
        QTest::addColumn<QString>("keyword");
        QTest::addColumn<QString>("kindNumber");
        QTest::addColumn<int>("parameterClass");
        QTest::newRow("start") << "start" << "13" << 255;
        QTest::newRow("end") << "end" << "13" << 255;
        QTest::newRow("full_led") << "full_led" << "2" << 2;
        QTest::newRow("light_led") << "light_led" << "3" << 3;
        QTest::newRow("sound") << "sound" << "4" << 4;
        QTest::newRow("timer") << "timer" << "5" << 5;
        QTest::newRow("wait") << "wait" << "6" << 6;
        QTest::newRow("if") << "if" << "7" << 7;
        QTest::newRow("loop") << "loop" << "8" << 8;
        QTest::newRow("routine") << "routine" << "9" << 9;
        QTest::newRow("dainyuu") << "dainyuu" << "10" << 10;
        QTest::newRow("vexo") << "vexo" << "11" << 11;
        QTest::newRow("else") << "else" << "12" << 11;
        QTest::newRow("endif") << "endif" << "13" << 11;
        QTest::newRow("unknown") << "lamp" << "13" << 11;
        QTest::newRow("case matters") << "Timer" << "13" << 11;
        QTest::newRow("empty") << "" << "13" << 11;
    }
    void kindNumberAndClass()
    {
        QFETCH(QString, keyword);
        QFETCH(QString, kindNumber);
        QFETCH(int, parameterClass);
        QCOMPARE(KindNumberOf(keyword), kindNumber);
        QCOMPARE(ParameterClassOf(keyword), parameterClass);
    }

    void keywordOfKindNumber()
    {
        for (int n = 2; n <= 13; ++n)
            QCOMPARE(KindNumberOf(KeywordOfKindNumber(n)), QString::number(n));
        QCOMPARE(KeywordOfKindNumber(0), QString());
        QCOMPARE(KeywordOfKindNumber(1), QString());
        QCOMPARE(KeywordOfKindNumber(14), QString());
        QCOMPARE(ProgramKeywords().size(), 12);
        QVERIFY(IsProgramKeyword(QStringLiteral("dainyuu")));
        QVERIFY(!IsProgramKeyword(QStringLiteral("else")));
    }

    void parameterCount_data()
    {
        QTest::addColumn<int>("parameterClass");
        QTest::addColumn<int>("subKind");
        QTest::addColumn<int>("count");
        QTest::newRow("full_led 0") << 2 << 0 << 4;
        QTest::newRow("full_led fade") << 2 << 1 << 4;
        QTest::newRow("full_led unknown") << 2 << 9 << 4;
        QTest::newRow("light_led 0") << 3 << 0 << 2;
        QTest::newRow("light_led 1") << 3 << 1 << 0;
        QTest::newRow("light_led 5") << 3 << 5 << 0;
        QTest::newRow("sound") << 4 << 2 << 0;
        QTest::newRow("timer") << 5 << 0 << 1;
        QTest::newRow("timer other") << 5 << 3 << 1;
        QTest::newRow("wait 3") << 6 << 3 << 0;
        QTest::newRow("wait 4") << 6 << 4 << 1;
        QTest::newRow("wait 9") << 6 << 9 << 1;
        QTest::newRow("wait negative") << 6 << -1 << 0;
        QTest::newRow("if 3") << 7 << 3 << 0;
        QTest::newRow("if 4") << 7 << 4 << 1;
        QTest::newRow("if 6") << 7 << 6 << 1;
        QTest::newRow("if 9") << 7 << 9 << 0;
        QTest::newRow("if 10") << 7 << 10 << 1;
        QTest::newRow("if 12") << 7 << 12 << 1;
        QTest::newRow("if 13") << 7 << 13 << 0;
        QTest::newRow("if 20") << 7 << 20 << 0;
        QTest::newRow("loop 0") << 8 << 0 << 1;
        QTest::newRow("loop 1") << 8 << 1 << 0;
        QTest::newRow("loop 5") << 8 << 5 << 1;
        QTest::newRow("routine") << 9 << 0 << 1;
        QTest::newRow("dainyuu") << 10 << 1 << 0;
        QTest::newRow("vexo 0") << 11 << 0 << 1;
        QTest::newRow("vexo 1") << 11 << 1 << 1;
        QTest::newRow("vexo 2") << 11 << 2 << 1;
        QTest::newRow("start/end") << 255 << 0 << 0;
        QTest::newRow("class 0") << 0 << 0 << 0;
        QTest::newRow("class 12") << 12 << 0 << 0;
        QTest::newRow("class 42") << 42 << 0 << 0;
    }
    void parameterCount()
    {
        QFETCH(int, parameterClass);
        QFETCH(int, subKind);
        QFETCH(int, count);
        QCOMPARE(ParameterCountOf(parameterClass, subKind), count);
    }

    // The ranges handed to the parameter window must match the count that
    // builds the ParameterString, for every family and sub-kind.
    void rangesAgreeWithCount()
    {
        for (const QString &keyword : ProgramKeywords()) {
            for (int sub = -2; sub <= 20; ++sub) {
                const QList<ParameterRange> ranges = ParameterRangesOf(keyword, sub);
                QCOMPARE(ranges.size(), ParameterCountOf(ParameterClassOf(keyword), sub));
                for (const ParameterRange &range : ranges) {
                    QVERIFY(range.min <= range.defaultValue && range.defaultValue <= range.max);
                    QVERIFY(range.min >= 0 && range.max <= 255);
                }
            }
        }
    }

    void ranges_data()
    {
        QTest::addColumn<QString>("keyword");
        QTest::addColumn<int>("subKind");
        QTest::addColumn<int>("index");
        QTest::addColumn<int>("min");
        QTest::addColumn<int>("max");
        QTest::addColumn<int>("defaultValue");
        QTest::newRow("led red") << "full_led" << 0 << 1 << 0 << 255 << 0;
        QTest::newRow("led time") << "full_led" << 0 << 4 << 1 << 31 << 1;
        QTest::newRow("fade time fixed") << "full_led" << 2 << 4 << 11 << 11 << 11;
        QTest::newRow("backlight brightness") << "light_led" << 0 << 1 << 1 << 100 << 100;
        QTest::newRow("backlight time") << "light_led" << 0 << 2 << 1 << 31 << 1;
        QTest::newRow("timer") << "timer" << 0 << 1 << 1 << 255 << 1;
        QTest::newRow("wait temperature") << "wait" << 4 << 1 << 0 << 40 << 25;
        QTest::newRow("wait humidity") << "wait" << 5 << 1 << 0 << 100 << 50;
        QTest::newRow("if temperature") << "if" << 6 << 1 << 0 << 40 << 25;
        QTest::newRow("if humidity") << "if" << 11 << 1 << 0 << 100 << 50;
        QTest::newRow("loop") << "loop" << 0 << 1 << 1 << 255 << 1;
        QTest::newRow("routine") << "routine" << 0 << 1 << 1 << 4 << 1;
        QTest::newRow("bulb") << "vexo" << 2 << 1 << 1 << 255 << 1;
        QTest::newRow("no such parameter") << "timer" << 0 << 2 << 0 << 0 << 0;
        QTest::newRow("index 0") << "timer" << 0 << 0 << 0 << 0 << 0;
    }
    void ranges()
    {
        QFETCH(QString, keyword);
        QFETCH(int, subKind);
        QFETCH(int, index);
        QFETCH(int, min);
        QFETCH(int, max);
        QFETCH(int, defaultValue);
        const ParameterRange range = ParameterRangeOf(keyword, subKind, index);
        QCOMPARE(range.min, min);
        QCOMPARE(range.max, max);
        QCOMPARE(range.defaultValue, defaultValue);
    }

    void blockCaption_data()
    {
        QTest::addColumn<QString>("keyword");
        QTest::addColumn<QString>("parameters");
        QTest::addColumn<QString>("caption");
        QTest::newRow("led 7.75 s") << "full_led" << "0,0,255,0,31,0" << "LED点灯 7.75秒";
        QTest::newRow("led 1 s") << "full_led" << "0,255,0,0,4,0" << "LED点灯 1秒";
        QTest::newRow("fade in") << "full_led" << "1,0,255,0,11,0" << "フェードイン";
        QTest::newRow("full_led other") << "full_led" << "5,0,0,0,0,0" << "フェードアウト";
        QTest::newRow("backlight") << "light_led" << "0,80,6,0,0,0" << "バックライト点灯 80% 1.5秒";
        QTest::newRow("backlight link") << "light_led" << "1,0,0,0,0,0" << "ﾊﾞｯｸﾗｲﾄﾘﾝｸ開始";
        QTest::newRow("light_led other") << "light_led" << "3,0,0,0,0,0" << "";
        QTest::newRow("radio") << "sound" << "0,0,0,0,0,0" << "AM/FM 再生";
        QTest::newRow("sound other") << "sound" << "7,0,0,0,0,0" << "確認音３";
        QTest::newRow("timer") << "timer" << "0,3,0,0,0,0" << "タイマー 3秒";
        QTest::newRow("wait humidity") << "wait" << "5,60,0,0,0,0" << "湿度が60％になるまで停止";
        QTest::newRow("wait temperature") << "wait" << "4,30,0,0,0,0" << "温度が30度になるまで停止";
        QTest::newRow("wait other") << "wait" << "8,70,0,0,0,0" << "湿度が70％になるまで停止";
        QTest::newRow("if temperature") << "if" << "4,30,0,0,0,0" << "温度 > 30度？";
        QTest::newRow("if humidity") << "if" << "12,45,0,0,0,0" << "湿度 = 45％？";
        QTest::newRow("if x") << "if" << "8,0,0,0,0,0" << "温度 < 変数x？";
        QTest::newRow("if other") << "if" << "16,0,0,0,0,0" << "湿度=変数y？";
        QTest::newRow("loop") << "loop" << "0,5,0,0,0,0" << "繰り返し 5回";
        QTest::newRow("loop other") << "loop" << "2,0,0,0,0,0" << "繰返終了位置";
        QTest::newRow("routine") << "routine" << "0,2,0,0,0,0" << "サブルーチン 2";
        QTest::newRow("dainyuu x") << "dainyuu" << "0,0,0,0,0,0" << "温度を変数 x に代入";
        QTest::newRow("dainyuu other") << "dainyuu" << "3,0,0,0,0,0" << "湿度を変数 y に代入";
        QTest::newRow("motor") << "vexo" << "0,12,0,0,0,0" << "DCモータON 12秒";
        QTest::newRow("bulb") << "vexo" << "2,4,0,0,0,0" << "豆球点灯 4秒";
        QTest::newRow("vexo 1") << "vexo" << "1,4,0,0,0,0" << "";
        QTest::newRow("unknown keyword as vexo") << "lamp" << "0,9,0,0,0,0" << "DCモータON 9秒";
        QTest::newRow("garbage fields") << "timer" << "x,y" << "タイマー 0秒";
    }
    void blockCaption()
    {
        QFETCH(QString, keyword);
        QFETCH(QString, parameters);
        QFETCH(QString, caption);
        QCOMPARE(BlockCaption(keyword, parameters), caption);
    }

    void offeredVariants()
    {
        // The offered position is the SubKind, except for the bulb.
        for (const QString &keyword : ProgramKeywords()) {
            const QStringList texts = OfferedTexts(keyword);
            for (int position = 0; position < texts.size(); ++position) {
                const int sub = SubKindOfOffered(keyword, position);
                if (keyword != QLatin1String("vexo"))
                    QCOMPARE(sub, position);
                QCOMPARE(OfferedPositionOf(keyword, sub), position);
                QCOMPARE(OfferedText(keyword, sub), texts[position]);
            }
        }
        QCOMPARE(OfferedTexts(QStringLiteral("vexo")),
                 QStringList({QStringLiteral("DCモータ ON"), QStringLiteral("豆球 点灯")}));
        QCOMPARE(SubKindOfOffered(QStringLiteral("vexo"), 1), 2);
        QCOMPARE(OfferedPositionOf(QStringLiteral("vexo"), 2), 1);
        QCOMPARE(OfferedPositionOf(QStringLiteral("vexo"), 1), -1);
        QCOMPARE(OfferedTexts(QStringLiteral("if")).size(), 16);
        QCOMPARE(OfferedTexts(QStringLiteral("sound")).at(0), QStringLiteral("AM/FM　再生"));
        QVERIFY(OfferedTexts(QStringLiteral("start")).isEmpty());
        QVERIFY(OfferedTexts(QStringLiteral("lamp")).isEmpty());
    }

    void viewerTexts()
    {
        QCOMPARE(ViewerText(QStringLiteral("timer"), 0), QStringLiteral("動作停止"));
        QCOMPARE(ViewerText(QStringLiteral("wait"), 2), QStringLiteral("明るければ停止"));
        QCOMPARE(ViewerText(QStringLiteral("vexo"), 1), QStringLiteral("モーターOFF"));
        QCOMPARE(ViewerText(QStringLiteral("vexo"), 3), QStringLiteral("豆球OFF"));
        QCOMPARE(ViewerText(QStringLiteral("else"), 3), QStringLiteral("else"));
        QCOMPARE(ViewerText(QStringLiteral("endif"), 0), QStringLiteral("endif"));
        QCOMPARE(ViewerText(QStringLiteral("endif"), 4), QString());
        QCOMPARE(ViewerText(QStringLiteral("sound"), 9), QString());
    }

    void quarterSeconds_data()
    {
        QTest::addColumn<int>("quarters");
        QTest::addColumn<QString>("text");
        QTest::newRow("1") << 1 << "0.25";
        QTest::newRow("2") << 2 << "0.5";
        QTest::newRow("3") << 3 << "0.75";
        QTest::newRow("4") << 4 << "1";
        QTest::newRow("6") << 6 << "1.5";
        QTest::newRow("11") << 11 << "2.75";
        QTest::newRow("31") << 31 << "7.75";
        QTest::newRow("0") << 0 << "0";
        QTest::newRow("large") << 400000001 << "100000000.25";
    }
    void quarterSeconds()
    {
        QFETCH(int, quarters);
        QFETCH(QString, text);
        QCOMPARE(QuarterSecondText(quarters), text);
    }

    void colours_data()
    {
        QTest::addColumn<QString>("index");
        QTest::addColumn<QString>("name");
        QTest::newRow("0") << "0" << "赤色";
        QTest::newRow("3") << "3" << "黄色";
        QTest::newRow("6") << "6" << "白色";
        QTest::newRow("7") << "7" << "消灯";
        QTest::newRow("9") << "9" << "消灯";
        QTest::newRow("empty") << "" << "消灯";
        QTest::newRow("leading zero") << "01" << "消灯";
    }
    void colours()
    {
        QFETCH(QString, index);
        QFETCH(QString, name);
        QCOMPARE(ColourNameOf(index), name);
    }

    void colourPresets()
    {
        QCOMPARE(ColourPresets().size(), ColourPresetCount);
        const ColourPreset purple = ColourPresetAt(4);
        QCOMPARE(purple.name, QStringLiteral("紫色"));
        QCOMPARE(QList<int>({purple.red, purple.green, purple.blue}), QList<int>({255, 0, 255}));
        QCOMPARE(ColourPresetAt(DefaultColourPreset).name, QStringLiteral("消灯"));
        QCOMPARE(ColourPresetAt(-1).name, QStringLiteral("消灯"));
        QCOMPARE(ColourPresetAt(8).name, QStringLiteral("消灯"));
        QCOMPARE(ColourPresetIndexOf(0, 255, 255), 5);
        QCOMPARE(ColourPresetIndexOf(0, 0, 0), 7);
        QCOMPARE(ColourPresetIndexOf(128, 0, 0), -1);
    }

    void conditionFamilies_data()
    {
        QTest::addColumn<int>("subKind");
        QTest::addColumn<int>("family");
        QTest::addColumn<QString>("name");
        QTest::newRow("0") << 0 << 0 << "sw";
        QTest::newRow("1") << 1 << 0 << "sw";
        QTest::newRow("2") << 2 << 1 << "cds";
        QTest::newRow("3") << 3 << 1 << "cds";
        QTest::newRow("4") << 4 << 2 << "temp";
        QTest::newRow("9") << 9 << 2 << "temp";
        QTest::newRow("10") << 10 << 3 << "Hum";
        QTest::newRow("15") << 15 << 3 << "Hum";
        QTest::newRow("99") << 99 << 3 << "Hum";
        QTest::newRow("negative") << -1 << 3 << "Hum";
    }
    void conditionFamilies()
    {
        QFETCH(int, subKind);
        QFETCH(int, family);
        QFETCH(QString, name);
        QCOMPARE(ConditionFamilyOf(subKind), family);
        QCOMPARE(ConditionFamilyName(family), name);
    }

    void parameterStrings()
    {
        QCOMPARE(BuildParameterString(0, {80, 6}), QStringLiteral("0,80,6,0,0,0"));
        QCOMPARE(BuildParameterString(3), QStringLiteral("3,0,0,0,0,0"));
        QCOMPARE(BuildParameterString(0, {1, 2, 3, 4, 5, 6, 7}), QStringLiteral("0,1,2,3,4,5"));

        QCOMPARE(DefaultParameterString(QStringLiteral("full_led")), QStringLiteral("0,0,0,0,1,0"));
        QCOMPARE(DefaultParameterString(QStringLiteral("light_led")), QStringLiteral("0,100,1,0,0,0"));
        QCOMPARE(DefaultParameterString(QStringLiteral("wait"), 5), QStringLiteral("5,50,0,0,0,0"));
        QCOMPARE(DefaultParameterString(QStringLiteral("if"), 4), QStringLiteral("4,25,0,0,0,0"));
        QCOMPARE(DefaultParameterString(QStringLiteral("if"), 7), QStringLiteral("7,0,0,0,0,0"));
        QCOMPARE(DefaultParameterString(QStringLiteral("vexo"), 2), QStringLiteral("2,1,0,0,0,0"));
        QCOMPARE(DefaultParameterString(QStringLiteral("start")), QStringLiteral("0,0,0,0,0,0"));

        QCOMPARE(SubKindOf(QStringLiteral("4,25,0,0,0,0")), 4);
        QCOMPARE(ParameterOf(QStringLiteral("4,25,0,0,0,0"), 1), 25);
        QCOMPARE(ParameterOf(QStringLiteral("4,25"), 3), 0);
        QCOMPARE(SubKindOf(QString()), 0);
    }

    void parameterStringFromWindow_data()
    {
        QTest::addColumn<QString>("keyword");
        QTest::addColumn<int>("position");
        QTest::addColumn<QList<int>>("sliders");
        QTest::addColumn<QString>("parameters");
        QTest::newRow("backlight 80 % 1.5 s") << "light_led" << 0 << QList<int>{80, 6, 9, 9} << "0,80,6,0,0,0";
        QTest::newRow("backlight link ignores sliders") << "light_led" << 1 << QList<int>{80, 6} << "1,0,0,0,0,0";
        QTest::newRow("bulb stores 2") << "vexo" << 1 << QList<int>{7} << "2,7,0,0,0,0";
        QTest::newRow("motor") << "vexo" << 0 << QList<int>{7} << "0,7,0,0,0,0";
        QTest::newRow("red light") << "full_led" << 0 << QList<int>{255, 0, 0, 4} << "0,255,0,0,4,0";
        QTest::newRow("fade keeps its time") << "full_led" << 1 << QList<int>{0, 255, 0, 4} << "1,0,255,0,11,0";
        QTest::newRow("if humidity") << "if" << 10 << QList<int>{60} << "10,60,0,0,0,0";
        QTest::newRow("if x has none") << "if" << 7 << QList<int>{60} << "7,0,0,0,0,0";
        QTest::newRow("missing sliders") << "timer" << 0 << QList<int>{} << "0,0,0,0,0,0";
    }
    void parameterStringFromWindow()
    {
        QFETCH(QString, keyword);
        QFETCH(int, position);
        QFETCH(QList<int>, sliders);
        QFETCH(QString, parameters);
        QCOMPARE(ParameterStringFromOffered(keyword, position, sliders), parameters);
    }

    void recordsAndListing()
    {
        QCOMPARE(CommandRecord(QStringLiteral("timer"), QStringLiteral("0,3,0,0,0,0")),
                 QStringLiteral("5,0,3,0,0,0,0"));
        QCOMPARE(CommandRecord(QStringLiteral("full_led"), QStringLiteral("0,255,0,0,4,0")),
                 QStringLiteral("2,0,255,0,0,4,0"));
        for (int f = 0; f <= 3; ++f) {
            QCOMPARE(ElseRecord(f), QStringLiteral("12,%1,0,0,0,0,0").arg(f));
            QCOMPARE(EndifRecord(f), QStringLiteral("13,%1,0,0,0,0,0").arg(f));
        }
        QCOMPARE(CommandListing({QStringLiteral("5,0,3,0,0,0,0")}),
                 QStringList({QStringLiteral("START"), QStringLiteral("5,0,3,0,0,0,0"), QStringLiteral("END")}));
        QCOMPARE(CommandListing({}), QStringList({QStringLiteral("START"), QStringLiteral("END")}));
    }
};

KORU_TEST_GUILESS_MAIN(TstCatalogue)
#include "tst_catalogue.moc"
