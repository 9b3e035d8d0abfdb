// The measurement window against the headless virtual kit, in real time:
// the kit's temperature set through its sensor commands, the fan and the
// lamp switched at the kit, the CSV file at the end byte for byte.
// With KORU_SHOTS_DIR set it also takes the window's screenshots (run under
// Xvfb with QT_QPA_PLATFORM=xcb for pictures of the screen).
#include "../link/kitprocess.h"
#include "measure/ui/loadedmeasurecharts.h"
#include "measure/ui/measurewindow.h"
#include "measureshots.h"
#include "model/programfile.h"
#include "scripteddialogs.h"
#include "testmain.h"
#include "testutil.h"

#include <QCheckBox>
#include <QComboBox>
#include <QRegularExpression>
#include <QTest>

using namespace koru;
using namespace koru::measure;

class TstMeasureKit : public QObject
{
    Q_OBJECT

    QStringList m_kitLines;

    bool kitSaid(const QString &text) const
    {
        return std::any_of(m_kitLines.begin(), m_kitLines.end(), [&](const QString &l) { return l.endsWith(text); });
    }

private slots:
    void initTestCase() { test::useTemporaryAppData(); }
    void thermostatAgainstKit();
};

void TstMeasureKit::thermostatAgainstKit()
{
    if (!test::KitProcess::available())
        QSKIP("koru-kit is not built beside the tests");
    test::KitProcess kit;
    QString why;
    QVERIFY2(kit.start(&why), qPrintable(why));
    QProcess &process = kit.process();
    connect(&process, &QProcess::readyReadStandardOutput, this, [&] {
        while (process.canReadLine())
            m_kitLines.append(QString::fromUtf8(process.readLine()).trimmed());
    });
    const auto command = [&](const QByteArray &line) {
        process.write(line + '\n');
        process.waitForBytesWritten(2000);
    };
    std::unique_ptr<DeviceLink> link = kit.makeLink();
    QTRY_VERIFY_WITH_TIMEOUT(link->KitPresent(), 5000);

    test::ScriptedDialogs dialogs;
    QTemporaryDir folder;
    command("temperature 30");
    command("humidity 45");
    auto window = std::make_unique<MeasureWindow>(*link, LoadedMeasureCharts());
    window->setAttribute(Qt::WA_DeleteOnClose, false);
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    test::MeasureShot(window.get(), "idle");

    window->csvBox()->setChecked(true);
    window->intervalBox()->setCurrentIndex(0); // 3秒
    QTest::mouseClick(window->startButton(), Qt::LeftButton);
    QCOMPARE(window->stateLabel()->text(), QStringLiteral("計測中"));

    // Warmer than the set 25 ℃: the fan.
    QTRY_VERIFY_WITH_TIMEOUT(window->fanTurning(), 8000);
    QCOMPARE(window->temperatureLabel()->text(), QStringLiteral("30"));
    QCOMPARE(window->humidityLabel()->text(), QStringLiteral("45"));
    QTRY_VERIFY_WITH_TIMEOUT(kitSaid(QStringLiteral("fan on")), 3000);
    test::MeasureShot(window.get(), "cooling");

    // Colder: the lamp, and the fan stops.
    command("temperature 20");
    QTRY_VERIFY_WITH_TIMEOUT(window->lampOn(), 10000);
    QVERIFY(!window->fanTurning());
    QTRY_VERIFY_WITH_TIMEOUT(kitSaid(QStringLiteral("lamp on")), 3000);
    QVERIFY(kitSaid(QStringLiteral("fan off")));
    test::MeasureShot(window.get(), "heating");

    // At the set temperature: both off.
    command("temperature 25");
    QTRY_VERIFY_WITH_TIMEOUT(window->temperatureLabel()->text() == QLatin1String("25") && !window->lampOn(), 10000);
    QVERIFY(!window->fanTurning());
    QTRY_VERIFY_WITH_TIMEOUT(kitSaid(QStringLiteral("lamp off")), 3000);

    if (!qEnvironmentVariableIsEmpty("KORU_SHOTS_DIR")) {
        // A dozen points on both charts, the room moved by hand and by itself.
        const QList<QByteArray> steps{"temperature 27", "humidity 52", "temperature 24", "humidity 58",
                                      "temperature 22", "humidity 61", "temperature 26", "humidity 55",
                                      "temperature 28", "humidity 50"};
        for (int i = 0; window->session().log().size() < 12; ++i) {
            const qsizetype before = window->session().log().size();
            command(steps[i % steps.size()]);
            QTRY_VERIFY_WITH_TIMEOUT(window->session().log().size() > before, 10000);
        }
        test::MeasureShot(window.get(), "measuring");
    }

    QTest::mouseClick(window->endButton(), Qt::LeftButton);
    QVERIFY(window->keisokuPanel()->isVisible());
    test::MeasureShot(window.get(), "ending");
    const QString csv = folder.filePath(QStringLiteral("class"));
    dialogs.answerFileName(csv);
    QTRY_VERIFY_WITH_TIMEOUT(!window->keisokuPanel()->isVisible(), 10000);
    QCOMPARE(window->stateLabel()->text(), QStringLiteral("待機中"));
    QCOMPARE(dialogs.texts(), QStringList{MeasureWindow::CsvFilter}); // no warning on the way
    QCOMPARE(dialogs.unexpected(), 0);

    const QStringList lines = window->session().logLines();
    QVERIFY(lines.size() >= 3);
    const QRegularExpression form(QStringLiteral("^\\d+,[^,]+,\\d{2,3},\\d{2,3}$"));
    for (int i = 0; i < lines.size(); ++i) {
        QVERIFY2(form.match(lines[i]).hasMatch(), qPrintable(lines[i]));
        QVERIFY(lines[i].startsWith(QString::number(i + 1) + QLatin1Char(',')));
    }
    QFile file(csv + QStringLiteral(".csv"));
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    QCOMPARE(bytes, EncodeProgramText(lines).value());
    QFile journal(window->session().journalPath());
    QVERIFY(journal.open(QIODevice::ReadOnly));
    QCOMPARE(journal.readAll(), bytes);

    window->close();
    window.reset();
}

KORU_TEST_MAIN(TstMeasureKit)
#include "tst_measurekit.moc"
