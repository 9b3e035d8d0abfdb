// The staff font: every letter has a glyph, note heads sit where the staff
// expects them, labels stay clear of the LED bar, and the shipped file is
// what its sources build.
#include "melody/notes.h"
#include "melody/staffglyphs.h"
#include "model/paths.h"
#include "testmain.h"
#include "testutil.h"

#include <QFile>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QProcess>
#include <QRawFont>
#include <QTemporaryDir>
#include <QTest>

using namespace koru;

namespace {

constexpr int Top = 60; // a staff row's top line, as on the first row

QFont staffFont()
{
    QFont font(StaffFontFamily);
    font.setPixelSize(StaffFontPixelSize);
    return font;
}

// One letter drawn as the staff draws it: in the box from (0, top), 30 wide,
// as high as the font, centred and aligned at the top.
QImage drawn(QChar letter, int top)
{
    QImage image(StaffGlyphWidth, 200, QImage::Format_Grayscale8);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setFont(staffFont());
    const int height = QFontMetrics(painter.font()).height();
    painter.drawText(QRect(0, top, StaffGlyphWidth, height), Qt::AlignHCenter | Qt::AlignTop,
                     QString(letter));
    return image;
}

bool dark(const QImage &image, int x, int y)
{
    return qGray(image.pixel(x, y)) < 128;
}

// First and last rows with ink in the given columns; {-1, -1} without ink.
std::pair<int, int> inkRows(const QImage &image, int fromX, int toX)
{
    int first = -1, last = -1;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = fromX; x <= toX; ++x) {
            if (dark(image, x, y)) {
                if (first < 0)
                    first = y;
                last = y;
                break;
            }
        }
    }
    return {first, last};
}

QString pythonWithFontTools()
{
    for (const QString &candidate : {QStringLiteral("/usr/bin/python3"), QStringLiteral("python3")}) {
        QProcess probe;
        probe.start(candidate, {QStringLiteral("-c"), QStringLiteral("import fontTools")});
        if (probe.waitForFinished(20000) && probe.exitStatus() == QProcess::NormalExit && probe.exitCode() == 0)
            return candidate;
    }
    return QString();
}

} // namespace

class TstMelodyFont : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        test::useTemporaryAppData();
        const QString path = AssetPath(StaffFontFile);
        QVERIFY2(QFile::exists(path), qPrintable(path));
        const int id = QFontDatabase::addApplicationFont(path);
        QVERIFY(id >= 0);
        QCOMPARE(QFontDatabase::applicationFontFamilies(id), QStringList{StaffFontFamily});
        QCOMPARE(QFontMetrics(staffFont()).height(), 40);
    }

    void everyLetterHasAGlyph()
    {
        const QRawFont raw(AssetPath(StaffFontFile), StaffFontPixelSize);
        QVERIFY(raw.isValid());
        const QString letters = QStringLiteral("abcdefghijklmopqrstuvwxyz");
        for (QChar letter : letters) {
            QVERIFY2(raw.supportsCharacter(letter), qPrintable(QString(letter)));
            const QList<quint32> indexes = raw.glyphIndexesForString(QString(letter));
            QCOMPARE(indexes.size(), 1);
            QVERIFY(indexes.first() != 0);
            QVERIFY2(!raw.pathForGlyph(indexes.first()).isEmpty(), qPrintable(QString(letter)));
        }
        // The letters the staff asks for are all among them.
        for (int len = 0; len < 4; ++len) {
            QVERIFY(letters.contains(NoteGlyph(len, false, false)));
            QVERIFY(letters.contains(NoteGlyph(len, true, false)));
            QVERIFY(letters.contains(NoteGlyph(len, false, true)));
        }
        for (int s = 0; s < 12; ++s)
            QVERIFY(letters.contains(NameLabelGlyph(s)));
    }

    // E4 on the bottom line, F5 on the top line, for every note glyph.
    void headsSitOnTheirLines_data()
    {
        QTest::addColumn<int>("len");
        QTest::addColumn<bool>("black");
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("line");
        for (int len = 0; len < 4; ++len) {
            for (bool black : {false, true}) {
                const QByteArray name = QByteArray(black ? "black " : "white ") + QByteArray::number(len);
                // Keys 9 (E4) and 17 (F5) have no black key; their sharp
                // glyphs sit where the raised white key is, checked the same.
                QTest::newRow(name + " E4") << len << black << 9 << Top + 32;
                QTest::newRow(name + " F5") << len << black << 17 << Top;
            }
        }
    }
    void headsSitOnTheirLines()
    {
        QFETCH(int, len);
        QFETCH(bool, black);
        QFETCH(int, key);
        QFETCH(int, line);
        const int y = StaffOffsetOf(Key{key, false});
        const QImage image = drawn(NoteGlyph(len, black, false), Top + y);
        // Columns inside the head: right of the sharp, left of the stem.
        const int from = black ? 14 : 10;
        const auto [first, last] = inkRows(image, from, from + 3);
        QVERIFY(first >= 0);
        const double centre = (first + last) / 2.0;
        QVERIFY2(qAbs(centre - line) <= 1.0,
                 qPrintable(QStringLiteral("head centre %1, line %2").arg(centre).arg(line)));
        QVERIFY2(last - first >= 6 && last - first <= 10, "a head about one staff space high");
    }

    // The name label hangs under the LED bar (35 to 40 below the note's box).
    void labelsStayBelowTheLedBar()
    {
        for (int s = 0; s < 12; ++s) {
            const int noteTop = Top;
            const QImage image = drawn(NameLabelGlyph(s), noteTop + NameLabelBelowNote);
            const auto [first, last] = inkRows(image, 0, StaffGlyphWidth - 1);
            QVERIFY(first >= 0);
            QVERIFY2(first > noteTop + 40, qPrintable(QStringLiteral("label %1 starts at %2").arg(s).arg(first - noteTop)));
            QVERIFY(last < noteTop + NameLabelBelowNote + 40);
        }
    }

    // Rests stand in the staff: between the top and the bottom line.
    void restsStandInTheStaff()
    {
        for (int len = 0; len < 4; ++len) {
            const QImage image = drawn(NoteGlyph(len, false, true), Top);
            const auto [first, last] = inkRows(image, 0, StaffGlyphWidth - 1);
            QVERIFY(first >= Top && last <= Top + 32);
        }
    }

    void shippedFileIsBuiltFromItsSources()
    {
        const QString python = pythonWithFontTools();
        if (python.isEmpty())
            QSKIP("python3 with fontTools is not installed");
        QTemporaryDir dir;
        const QString built = dir.filePath(QStringLiteral("velmora.ttf"));
        QProcess process;
        process.start(python, {QStringLiteral(KORU_SOURCE_DIR "/assets/font/build_font.py"), built});
        QVERIFY(process.waitForFinished(60000));
        QCOMPARE(process.exitCode(), 0);
        QFile fresh(built), shipped(QStringLiteral(KORU_SOURCE_DIR "/assets/Data/velmora.ttf"));
        QVERIFY(fresh.open(QIODevice::ReadOnly) && shipped.open(QIODevice::ReadOnly));
        QVERIFY2(fresh.readAll() == shipped.readAll(),
                 "assets/Data/velmora.ttf differs from what assets/font/build_font.py builds");
    }
};

KORU_TEST_MAIN(TstMelodyFont)
#include "tst_melodyfont.moc"
