// The staff drawing: rows and wrapping, anchors and the hit test, ledger
// lines, LED bars, note heads on their lines, and a reference picture.
#include "melody/ui/staffdrawing.h"

#include "melody/staffglyphs.h"
#include "testmain.h"
#include "testutil.h"

#include <QDir>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QImage>
#include <QTest>

using namespace koru;

namespace {

bool darkPixel(const QImage &image, int x, int y)
{
    return qGray(image.pixel(x, y)) < 128;
}

// Notes appended in order: {key, black, len}.
struct NoteSpec
{
    int key;
    int black;
    int len;
};
Melody melodyOf(std::initializer_list<NoteSpec> notes)
{
    Melody melody;
    for (const NoteSpec &n : notes) {
        melody.setSelectedLength(n.len);
        melody.addNote(QString::number(n.key), n.black);
    }
    return melody;
}

// First and last inked rows near a head line in the columns of the head,
// leaving out the staff lines (a half note's head is hollow).
std::pair<int, int> headRows(const QImage &image, int fromX, int toX, int line, int rowTop)
{
    int first = -1, last = -1;
    for (int y = line - 7; y <= line + 7; ++y) {
        if (y >= rowTop && y <= rowTop + 32 && (y - rowTop) % 8 == 0)
            continue;
        for (int x = fromX; x <= toX; ++x) {
            if (darkPixel(image, x, y)) {
                if (first < 0)
                    first = y;
                last = y;
                break;
            }
        }
    }
    return {first, last};
}

} // namespace

Q_DECLARE_METATYPE(NoteSpec)

class TstStaffDrawing : public QObject
{
    Q_OBJECT

    std::unique_ptr<StaffFontLease> lease;

private slots:
    void initTestCase()
    {
        test::useTemporaryAppData();
        lease = std::make_unique<StaffFontLease>();
        QVERIFY(StaffFontLease::registered());
    }

    void theFontIsGivenBackWithTheLastLease()
    {
        QVERIFY(QFontDatabase::families().contains(StaffFontFamily));
        {
            StaffFontLease second;
            QVERIFY(QFontDatabase::families().contains(StaffFontFamily));
        }
        QVERIFY(QFontDatabase::families().contains(StaffFontFamily)); // the first still holds it
        lease.reset();
        QVERIFY(!QFontDatabase::families().contains(StaffFontFamily));
        QVERIFY(!StaffFontLease::registered());
        lease = std::make_unique<StaffFontLease>();
        QVERIFY(QFontDatabase::families().contains(StaffFontFamily));
    }

    void emptyMelodyIsOneRowWithTheClef()
    {
        const StaffPicture picture = DrawStaff(Melody{}, StaffInitialWidth);
        QCOMPARE(picture.image.size(), QSize(StaffInitialWidth, 160));
        QVERIFY(picture.anchors.empty());
        for (int i = 0; i < 5; ++i) {
            QVERIFY(darkPixel(picture.image, 0, 60 + 8 * i));
            QVERIFY(darkPixel(picture.image, StaffInitialWidth - 1, 60 + 8 * i));
        }
        // The clef reaches above and below the staff, within its box at x = 40.
        int ink = 0;
        for (int y = 40; y < 120; ++y)
            for (int x = 40; x < 70; ++x)
                ink += darkPixel(picture.image, x, y) && (y < 60 || y > 92) ? 1 : 0;
        QVERIFY(ink > 10);
    }

    void tapePositionsWrap_data()
    {
        QTest::addColumn<int>("x");
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("column");
        QTest::addColumn<int>("rowTop");
        QTest::newRow("700 stays on the first row") << 700 << 736 << 700 << 60;
        QTest::newRow("710 at column 4 of the second") << 710 << 736 << 4 << 160;
        QTest::newRow("706 starts the second row") << 706 << 736 << 0 << 160;
        QTest::newRow("third row") << 1500 << 736 << 88 << 260;
        QTest::newRow("collapsed area wraps every column") << 95 << 10 << 5 << 360;
    }
    void tapePositionsWrap()
    {
        QFETCH(int, x);
        QFETCH(int, width);
        QFETCH(int, column);
        QFETCH(int, rowTop);
        const StaffAnchor place = StaffPlace(x, width);
        QCOMPARE(place.column, column);
        QCOMPARE(place.rowTop, rowTop);
    }

    void anchorsAndRowsFollowTheNotes()
    {
        // 80 + 21 eighths = 710: the 22nd note opens the second row at column 4.
        Melody melody;
        melody.setSelectedLength(0);
        for (int i = 0; i < 22; ++i)
            melody.addNote(QStringLiteral("9"), 0);
        QCOMPARE(melody.note(21).x, 710);
        const StaffPicture picture = DrawStaff(melody, 736);
        QCOMPARE(picture.image.height(), 260);
        QCOMPARE(int(picture.anchors.size()), 22);
        QCOMPARE(picture.anchors[0].column, 80);
        QCOMPARE(picture.anchors[20].column, 680);
        QCOMPARE(picture.anchors[20].rowTop, 60);
        QCOMPARE(picture.anchors[21].column, 4);
        QCOMPARE(picture.anchors[21].rowTop, 160);
        QVERIFY(darkPixel(picture.image, 0, 160 + 32)); // the second row's staff
        QCOMPARE(StaffRowCount(melody, 736), 2);
        QCOMPARE(StaffRowCount(Melody{}, 736), 1);
    }

    void hitTest_data()
    {
        QTest::addColumn<QPoint>("point");
        QTest::addColumn<int>("slot");
        // Slot 0: E4 quarter at column 80 (glyph top 64); slot 1: rest at 140 (top 60).
        QTest::newRow("inside the first") << QPoint(95, 80) << 0;
        QTest::newRow("left edge misses") << QPoint(80, 80) << -1;
        QTest::newRow("one right of the edge") << QPoint(81, 80) << 0;
        QTest::newRow("right edge misses") << QPoint(110, 80) << -1;
        QTest::newRow("top edge misses") << QPoint(95, 64) << -1;
        QTest::newRow("last row inside") << QPoint(95, 98) << 0;
        QTest::newRow("bar and label miss") << QPoint(95, 99) << -1;
        QTest::newRow("rest") << QPoint(150, 61) << 1;
        QTest::newRow("between the notes") << QPoint(140, 80) << -1;
        QTest::newRow("beyond the last") << QPoint(300, 80) << -1;
    }
    void hitTest()
    {
        QFETCH(QPoint, point);
        QFETCH(int, slot);
        const Melody melody = melodyOf({{9, 0, 1}, {RestKey, 0, 1}});
        QCOMPARE(StaffHitTest(DrawStaff(melody, 736).anchors, point), slot);
    }

    void ledgerLines_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("black");
        QTest::addColumn<QList<int>>("lines"); // relative to the row's top line
        QTest::newRow("C3: four below") << 0 << 0 << QList<int>{40, 48, 56, 64};
        QTest::newRow("C#3 like C3") << 0 << 1 << QList<int>{40, 48, 56, 64};
        QTest::newRow("E3: three") << 2 << 0 << QList<int>{40, 48, 56};
        QTest::newRow("B3: one") << 6 << 0 << QList<int>{40};
        QTest::newRow("D4: none") << 8 << 0 << QList<int>{};
        QTest::newRow("A5: one above") << 19 << 0 << QList<int>{-8};
        QTest::newRow("C6: two above") << 21 << 0 << QList<int>{-8, -16};
        QTest::newRow("rest: none") << int(RestKey) << 0 << QList<int>{};
    }
    void ledgerLines()
    {
        QFETCH(int, key);
        QFETCH(int, black);
        QFETCH(QList<int>, lines);
        const QImage image = DrawStaff(melodyOf({{key, black, 1}}), 736).image;
        const int R = 60;
        // Right of the glyph, inside the note's column (80 .. 110), only
        // ledger lines and staff lines have ink.
        for (int dy = -24; dy <= 72; ++dy) {
            const bool staffLine = dy >= 0 && dy <= 32 && dy % 8 == 0;
            if (staffLine)
                continue;
            QVERIFY2(darkPixel(image, 108, R + dy) == lines.contains(dy),
                     qPrintable(QStringLiteral("row R%1%2").arg(dy < 0 ? "" : "+").arg(dy)));
        }
        // They run from c to c + 30, not across the staff.
        if (!lines.isEmpty()) {
            QVERIFY(darkPixel(image, 110, R + lines.first()));
            QVERIFY(!darkPixel(image, 111, R + lines.first()));
            QVERIFY(!darkPixel(image, 79, R + lines.first()));
        }
    }

    // Only with the LED link on; the bar has the colour of its pitch's slot.
    void ledBarsFollowTheColours()
    {
        Melody melody = melodyOf({{0, 0, 1}, {7, 0, 1}, {1, 0, 1}, {0, 1, 1}, {21, 0, 1}, {RestKey, 0, 1}});
        melody.setLedColour(0, 0);  // C red
        melody.setLedColour(12, 2); // rest blue
        const std::vector<StaffNoteRects> layout = StaffLayout(melody, 736);
        const auto barColour = [&](const StaffPicture &picture, int slot) {
            return QColor(picture.image.pixel(layout[size_t(slot)].bar.center()));
        };
        const StaffPicture off = DrawStaff(melody, 736);
        for (int slot = 0; slot < melody.count(); ++slot)
            QCOMPARE(barColour(off, slot), QColor(Qt::white));

        melody.setLedLink(true);
        const StaffPicture on = DrawStaff(melody, 736);
        const QColor red(255, 0, 0), off7(192, 192, 192), blue(0, 0, 255);
        QCOMPARE(barColour(on, 0), red);
        QCOMPARE(barColour(on, 1), red);
        QCOMPARE(barColour(on, 2), off7); // D
        QCOMPARE(barColour(on, 3), off7); // C sharp is slot 1
        QCOMPARE(barColour(on, 4), red);
        QCOMPARE(barColour(on, 5), blue);
        // Black outline around the bar.
        const QRect bar = layout[0].bar;
        QVERIFY(darkPixel(on.image, bar.left(), bar.center().y()));
        QVERIFY(darkPixel(on.image, bar.center().x(), bar.top()));
    }

    // Labels, bars and notes apart: no label or bar covers a note, another
    // label or bar, or a staff; melodies of eighths, so that `slot` and
    // `slot + 20` share a column on an area 630 wide (20 eighths a row).
    void labelsBarsAndNotesApart_data()
    {
        QTest::addColumn<QList<NoteSpec>>("notes");
        QTest::addColumn<int>("width");
        QList<NoteSpec> range; // every key, white and black, and the rest, side by side
        for (int key = 0; key < 22; ++key) {
            range << NoteSpec{key, 0, 0};
            if (HasBlackKey(key))
                range << NoteSpec{key, 1, 0};
        }
        range << NoteSpec{int(RestKey), 0, 0};
        QTest::newRow("every pitch side by side") << range << 736;
        const auto column = [](std::initializer_list<std::pair<int, int>> keys) { // slot -> key, E4 elsewhere
            QList<NoteSpec> notes(60, NoteSpec{9, 0, 0});
            for (const auto &[slot, key] : keys)
                notes[slot] = NoteSpec{key, 0, 0};
            return notes;
        };
        QTest::newRow("B3 over A5 in the next row") << column({{5, 6}, {25, 19}}) << 630;
        QTest::newRow("C4 over C6 in the next row") << column({{5, 7}, {25, 21}}) << 630;
        QTest::newRow("C3 over C6: label above its staff") << column({{5, 0}, {25, 21}}) << 630;
        QTest::newRow("high over low") << column({{5, 21}, {25, 0}, {45, 21}}) << 630;
    }
    void labelsBarsAndNotesApart()
    {
        QFETCH(QList<NoteSpec>, notes);
        QFETCH(int, width);
        Melody melody;
        for (const NoteSpec &n : notes) {
            melody.setSelectedLength(n.len);
            melody.addNote(QString::number(n.key), n.black);
        }
        melody.setLedLink(true);
        const StaffPicture picture = DrawStaff(melody, width);
        const std::vector<StaffNoteRects> layout = StaffLayout(melody, width);
        QCOMPARE(int(layout.size()), melody.count());
        QList<QRect> staffs;
        for (int r = 0; r < StaffRowCount(melody, width); ++r)
            staffs << QRect(0, StaffFirstLine + StaffRowDistance * r, width, 4 * StaffLineDistance + 1);
        const auto where = [](int slot, const char *part) { return QStringLiteral("slot %1 %2").arg(slot).arg(part); };
        for (size_t i = 0; i < layout.size(); ++i) {
            const StaffNoteRects &a = layout[i];
            QVERIFY(!a.note.isNull() && !a.bar.isNull());
            QCOMPARE(a.label.isNull(), notes[int(i)].key == int(RestKey));
            QVERIFY(picture.image.rect().contains(a.bar) && (a.label.isNull() || picture.image.rect().contains(a.label)));
            for (const QRect &staff : staffs) {
                QVERIFY2(!a.bar.intersects(staff), qPrintable(where(int(i), "bar in a staff")));
                QVERIFY2(!a.label.intersects(staff), qPrintable(where(int(i), "label in a staff")));
            }
            QVERIFY2(a.label.isNull() || a.label.top() > a.bar.bottom(), qPrintable(where(int(i), "label under its bar")));
            for (size_t j = 0; j < layout.size(); ++j) {
                const StaffNoteRects &b = layout[j];
                const QString pair = where(int(i), "") + QStringLiteral("against slot %1").arg(j);
                QVERIFY2(!a.bar.intersects(b.note) && !a.label.intersects(b.note), qPrintable(pair + " note"));
                if (i == j)
                    continue;
                QVERIFY2(!a.bar.intersects(b.bar) && !a.bar.intersects(b.label), qPrintable(pair + " bar"));
                QVERIFY2(!a.label.intersects(b.label), qPrintable(pair + " label"));
            }
        }
        const QString shots = qEnvironmentVariable("KORU_SHOTS_DIR"); // to look at
        if (!shots.isEmpty())
            picture.image.save(QDir(shots).filePath(QStringLiteral("staff-%1.png").arg(QTest::currentDataTag()).replace(' ', '-')));
    }

    // Where a low note has high notes in the next row below it and low
    // notes in the row above, neither place is free: its bar and label stay
    // under it and the notes are drawn over them.
    void noPlaceFreeKeepsTheLabelUnderItsNote()
    {
        Melody melody;
        melody.setSelectedLength(0);
        for (int slot = 0; slot < 60; ++slot)
            melody.addNote(QString::number(slot == 5 || slot == 25 ? 0 : slot == 45 ? 21 : 9), 0);
        const std::vector<StaffNoteRects> layout = StaffLayout(melody, 630);
        const StaffNoteRects &middle = layout[25];
        QVERIFY(middle.bar.top() > middle.note.bottom());
        QVERIFY(middle.label.intersects(layout[45].note)); // the case the rows are too close for
        QVERIFY(layout[5].bar.top() > layout[5].note.bottom());
    }

    // E4 sits on the bottom line, F5 on the top line, white or black, every length.
    void headsOnTheirLines_data()
    {
        QTest::addColumn<int>("len");
        QTest::addColumn<int>("black");
        for (int len = 0; len < 4; ++len)
            for (int black : {0, 1})
                QTest::addRow("len %d%s", len, black ? " sharp" : "") << len << black;
    }
    void headsOnTheirLines()
    {
        QFETCH(int, len);
        QFETCH(int, black);
        // E4 and F5 have no black key; D4 sharp and E5 sharp share their offsets
        // one key lower, so the sharps are checked one line-space up.
        const int lowKey = black ? 8 : 9, highKey = black ? 15 : 17;
        const Melody melody = melodyOf({{lowKey, black, len}, {highKey, black, len}});
        const StaffPicture picture = DrawStaff(melody, 736);
        const int from = black ? 14 : 10;
        for (int slot = 0; slot < 2; ++slot) {
            const StaffAnchor &a = picture.anchors[size_t(slot)];
            const int head = a.rowTop + a.offset + NoteHeadBelowBoxTop;
            const auto [first, last] = headRows(picture.image, a.column + from, a.column + from + 3, head, a.rowTop);
            QVERIFY2(qAbs((first + last) / 2.0 - head) <= 1.0 && last - first >= 6 && last - first <= 10,
                     qPrintable(QStringLiteral("slot %1: ink %2..%3, head line %4").arg(slot).arg(first).arg(last).arg(head)));
        }
        if (!black) {
            QCOMPARE(picture.anchors[0].offset + NoteHeadBelowBoxTop, 32); // bottom line
            QCOMPARE(picture.anchors[1].offset + NoteHeadBelowBoxTop, 0);  // top line
        }
    }

    void markedNoteIsHighlighted()
    {
        const Melody melody = melodyOf({{9, 0, 1}, {10, 0, 1}});
        const StaffPicture plain = DrawStaff(melody, 736);
        const StaffPicture marked = DrawStaff(melody, 736, 1);
        const StaffAnchor &a = plain.anchors[1];
        QCOMPARE(QColor(plain.image.pixel(a.column + 2, a.rowTop - 20)), QColor(Qt::white));
        QVERIFY(QColor(marked.image.pixel(a.column + 2, a.rowTop - 20)) != QColor(Qt::white));
        QCOMPARE(QColor(marked.image.pixel(plain.anchors[0].column + 2, a.rowTop - 20)), QColor(Qt::white));
    }

    // A two-row tune with the LED link on against the checked-in picture.
    // KORU_WRITE_REFERENCE=1 rewrites the picture (look at it first).
    void referencePicture()
    {
        Melody melody;
        int key = 0;
        for (int i = 0; i < 12; ++i) {
            melody.setSelectedLength(i % 4);
            const bool rest = i % 7 == 6;
            const bool black = !rest && i % 3 == 1 && HasBlackKey(key);
            melody.addNote(rest ? QStringLiteral("148") : QString::number(key), black ? 1 : 0);
            key = (key + 3) % 22;
        }
        for (int slot = 0; slot < LedSlotCount; ++slot)
            melody.setLedColour(slot, slot % LedColourCount);
        melody.setLedLink(true);
        const QImage image = DrawStaff(melody, 600).image;
        QCOMPARE(image.height(), 260);

        const QString path = test::testDataPath(QStringLiteral("melody/staff_two_rows.png"));
        if (qEnvironmentVariableIntValue("KORU_WRITE_REFERENCE")) {
            QVERIFY(image.save(path));
            QSKIP("reference picture written");
        }
        const QImage reference = QImage(path).convertToFormat(QImage::Format_RGB32);
        QVERIFY2(!reference.isNull(), qPrintable(path));
        QCOMPARE(image.size(), reference.size());
        // Font rasterisers may shade edges a little differently.
        int differing = 0;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                const QRgb a = image.pixel(x, y), b = reference.pixel(x, y);
                if (qAbs(qRed(a) - qRed(b)) > 64 || qAbs(qGreen(a) - qGreen(b)) > 64 || qAbs(qBlue(a) - qBlue(b)) > 64)
                    ++differing;
            }
        }
        QVERIFY2(differing <= image.width() * image.height() / 500,
                 qPrintable(QStringLiteral("%1 pixels differ").arg(differing)));
    }
};

KORU_TEST_MAIN(TstStaffDrawing)
#include "tst_staffdrawing.moc"
