// The parameter controls' contents: sub-kind lists, sliders, captions and
// the ParameterString composed on "OK".
#include "flowchart/blockparams.h"
#include "testmain.h"

#include <QTest>

using namespace koru;

class TstBlockParams : public QObject
{
    Q_OBJECT
private slots:
    void newBlockDefaults_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<int>("item");
        QTest::addColumn<QStringList>("captions"); // of the visible sliders
        QTest::addColumn<QString>("params");
        QTest::newRow("full_led") << "full_led" << 0
                                  << QStringList{"Red  : 0", "Green: 0", "Blue : 0", "点灯時間（秒）： 0.25秒"}
                                  << "0,0,0,0,1,0";
        QTest::newRow("fade keeps 11") << "full_led" << 1 << QStringList{"Red  : 0", "Green: 0", "Blue : 0"}
                                       << "1,0,0,0,11,0";
        QTest::newRow("light_led") << "light_led" << 0
                                   << QStringList{"明るさ（％）　：100％", "点灯時間（秒）：0.25秒"} << "0,100,1,0,0,0";
        QTest::newRow("backlight link") << "light_led" << 1 << QStringList{} << "1,0,0,0,0,0";
        QTest::newRow("timer") << "timer" << 0 << QStringList{"待機時間（秒）：1"} << "0,1,0,0,0,0";
        QTest::newRow("wait temperature") << "wait" << 4 << QStringList{"設定温度(度)　： 25度"} << "4,25,0,0,0,0";
        QTest::newRow("wait humidity") << "wait" << 5 << QStringList{"設定湿度(％)　： 50％"} << "5,50,0,0,0,0";
        QTest::newRow("if temperature") << "if" << 6 << QStringList{"設定温度(度)　： 25度"} << "6,25,0,0,0,0";
        QTest::newRow("if humidity") << "if" << 10 << QStringList{"設定湿度(％)　： 50％"} << "10,50,0,0,0,0";
        QTest::newRow("if variable") << "if" << 13 << QStringList{} << "13,0,0,0,0,0";
        QTest::newRow("loop start") << "loop" << 0 << QStringList{"繰り返し回数　：1"} << "0,1,0,0,0,0";
        QTest::newRow("loop end") << "loop" << 1 << QStringList{} << "1,0,0,0,0,0";
        QTest::newRow("routine") << "routine" << 0 << QStringList{"サブルーチン名：1"} << "0,1,0,0,0,0";
        QTest::newRow("sound") << "sound" << 3 << QStringList{} << "3,0,0,0,0,0";
        QTest::newRow("dainyuu") << "dainyuu" << 1 << QStringList{} << "1,0,0,0,0,0";
        QTest::newRow("motor") << "vexo" << 0 << QStringList{"動作時間（秒）：1"} << "0,1,0,0,0,0";
        QTest::newRow("lamp stores 2") << "vexo" << 1 << QStringList{"動作時間（秒）：1"} << "2,1,0,0,0,0";
    }
    void newBlockDefaults()
    {
        QFETCH(QString, kind);
        QFETCH(int, item);
        QFETCH(QStringList, captions);
        QFETCH(QString, params);
        const ParameterForm form = DefaultForm(kind, item);
        QStringList shown;
        for (const SliderSetup &s : form.sliders) {
            if (s.visible)
                shown << s.caption;
        }
        QCOMPARE(shown, captions);
        QCOMPARE(ComposeParams(form), params);
        QCOMPARE(form.colourControls, kind == QLatin1String("full_led"));
    }

    void sliders()
    {
        const ParameterForm led = DefaultForm("full_led", 0);
        QCOMPARE(led.sliders[0].thumb, SliderThumb::Red);
        QCOMPARE(led.sliders[1].thumb, SliderThumb::Green);
        QCOMPARE(led.sliders[2].thumb, SliderThumb::Blue);
        QCOMPARE(led.sliders[3].thumb, SliderThumb::Fuchsia);
        QCOMPARE(led.sliders[3].min, 1);
        QCOMPARE(led.sliders[3].max, 31);
        QCOMPARE(DefaultForm("wait", 4).sliders[0].max, 40);
        QCOMPARE(DefaultForm("if", 11).sliders[0].max, 100);
        QCOMPARE(DefaultForm("routine", 0).sliders[0].max, 4);
        QCOMPARE(DefaultForm("light_led", 0).sliders[0].min, 1);
    }

    void storedBlocks_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("params");
        QTest::addColumn<int>("item");
        QTest::addColumn<QStringList>("captions");
        QTest::newRow("led") << "full_led" << "0,255,128,0,6,0" << 0
                             << QStringList{"Red  : 255", "Green: 128", "Blue : 0", "点灯時間（秒）：1.5秒"};
        QTest::newRow("backlight") << "light_led" << "0,80,4,0,0,0" << 0
                                   << QStringList{"明るさ（％）　：80", "点灯時間（秒）：1秒"};
        QTest::newRow("temperature") << "if" << "5,30,0,0,0,0" << 5 << QStringList{"設定温度(度)　： 30"};
        QTest::newRow("lamp reopens on item 1") << "vexo" << "2,5,0,0,0,0" << 1 << QStringList{"動作時間（秒）：5"};
        QTest::newRow("out of range is held in") << "timer" << "0,0,0,0,0,0" << 0 << QStringList{"待機時間（秒）：1"};
    }
    void storedBlocks()
    {
        QFETCH(QString, kind);
        QFETCH(QString, params);
        QFETCH(int, item);
        QFETCH(QStringList, captions);
        const ParameterForm form = StoredForm(kind, params);
        QCOMPARE(form.item, item);
        QStringList shown;
        for (const SliderSetup &s : form.sliders) {
            if (s.visible)
                shown << s.caption;
        }
        QCOMPARE(shown, captions);
    }

    void subKindChangedInPanel()
    {
        // Loop start switched to loop end: no parameters left.
        QCOMPARE(ComposeParams(StoredForm("loop", "0,3,0,0,0,0", 1)), QStringLiteral("1,0,0,0,0,0"));
        // The stored values stay the positions under another sub-kind.
        QCOMPARE(ComposeParams(StoredForm("full_led", "0,10,20,30,6,0", 2)), QStringLiteral("2,10,20,30,11,0"));
    }

    void movedSliderCaptions()
    {
        const SliderSetup time = DefaultForm("full_led", 0).sliders[3];
        QCOMPARE(SliderCaption(ParameterPlace::Window, time, 6), QStringLiteral("点灯時間（秒）： 1.5秒"));
        QCOMPARE(SliderCaption(ParameterPlace::Panel, time, 31), QStringLiteral("点灯時間（秒）：7.75秒"));
        const SliderSetup blue = DefaultForm("full_led", 0).sliders[2];
        QCOMPARE(SliderCaption(ParameterPlace::Window, blue, 200), QStringLiteral("Blue : 200"));
        const SliderSetup temperature = DefaultForm("wait", 4).sliders[0];
        QCOMPARE(SliderCaption(ParameterPlace::Window, temperature, 30), QStringLiteral("設定温度(度)　： 30"));
        QCOMPARE(SliderCaption(ParameterPlace::Panel, temperature, 30), QStringLiteral("設定温度(度)　：30"));
        const SliderSetup timer = DefaultForm("timer", 0).sliders[0];
        QCOMPARE(SliderCaption(ParameterPlace::Window, timer, 7), QStringLiteral("待機時間（秒）： 7"));
    }

    void subKindLists()
    {
        const QStringList window = SubKindItems("if", ParameterPlace::Window);
        const QStringList panel = SubKindItems("if", ParameterPlace::Panel);
        QCOMPARE(window.size(), 16);
        QCOMPARE(window.mid(2, 2), (QStringList{"周囲が明るければ", "周囲が暗ければ"}));
        QCOMPARE(panel.mid(2, 2), (QStringList{"明るければ", "暗ければ"}));
        QCOMPARE(panel.mid(4), window.mid(4));
        QCOMPARE(SubKindItems("sound", ParameterPlace::Panel).first(), QStringLiteral("AM/FM　再生"));
        QCOMPARE(SubKindItems("vexo", ParameterPlace::Window), (QStringList{"DCモータ ON", "豆球 点灯"}));
        QVERIFY(SubKindItems("start", ParameterPlace::Window).isEmpty());
    }
};

KORU_TEST_GUILESS_MAIN(TstBlockParams)
#include "tst_blockparams.moc"
