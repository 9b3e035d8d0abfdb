// The melody document: positions, codes and files.
#include "melody/melody.h"
#include "melody/melodykeys.h"
#include "testmain.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace koru;

namespace {

// Every filled slot follows the one before it, and next x follows the last.
void verifyPositions(const Melody &m)
{
    int x = FirstNoteX;
    for (int i = 0; i < MelodySlotCount; ++i) {
        const S_Info &info = m.note(i);
        if (i >= m.count()) {
            QVERIFY2(info == S_Info{}, qPrintable(QStringLiteral("slot %1 not empty").arg(i)));
            continue;
        }
        QVERIFY2(!info.isEmpty(), qPrintable(QStringLiteral("slot %1 empty").arg(i)));
        QCOMPARE(info.x, x);
        x += LengthWidth(info.len);
    }
    QCOMPARE(m.nextX(), x);
    QCOMPARE(m.countNotes(), m.count());
}

// "12/1" = key 12 white as a quarter; "r/3" a half rest; "0b/0" black eighth.
Melody melodyOf(const QStringList &notes)
{
    Melody m;
    for (const QString &n : notes) {
        const QString key = n.section(QLatin1Char('/'), 0, 0);
        m.setSelectedLength(n.section(QLatin1Char('/'), 1, 1).toInt());
        const bool black = key.endsWith(QLatin1Char('b'));
        const QString text = key == QLatin1String("r") ? QStringLiteral("148") : QString(key).remove(QLatin1Char('b'));
        if (m.addNote(text, black ? 1 : 0) != MelodyEdit::Done)
            qFatal("bad test melody");
    }
    return m;
}

QStringList codes(const Melody &m)
{
    return m.deviceList().mid(16);
}

} // namespace

class TstMelody : public QObject
{
    Q_OBJECT
private slots:
    void pianoRow_data()
    {
        QTest::addColumn<QChar>("letter");
        QTest::addColumn<int>("octave");
        QTest::addColumn<QString>("key"); // "" none, "7" white, "7#" black
        QTest::newRow("middle do") << QChar('a') << 1 << "7";
        QTest::newRow("capital") << QChar('A') << 1 << "7";
        QTest::newRow("high do") << QChar('k') << 1 << "14";
        QTest::newRow("do sharp") << QChar('w') << 1 << "7#";
        QTest::newRow("la sharp") << QChar('u') << 1 << "12#";
        QTest::newRow("low so") << QChar('g') << 0 << "4";
        QTest::newRow("top of the staff") << QChar('k') << 2 << "21";
        QTest::newRow("rest") << QChar(' ') << 1 << "148";
        QTest::newRow("no black key after mi") << QChar('r') << 1 << "";
        QTest::newRow("other letter") << QChar('q') << 1 << "";
        QTest::newRow("octave out of range") << QChar('a') << 3 << "";
    }
    void pianoRow()
    {
        QFETCH(QChar, letter);
        QFETCH(int, octave);
        QFETCH(QString, key);
        const std::optional<Key> got = PianoKeyOf(letter, octave);
        QCOMPARE(got ? got->text() + (got->black ? "#" : "") : QString(), key);
    }

    // Inserting at the point keeps the tape positions sound and moves the
    // point past the new note; removing on either side; nothing past the ends.
    void insertionPoint()
    {
        Melody m;
        int point = 0;
        QCOMPARE(InsertAtPoint(m, point, {7, false}), MelodyEdit::Done);
        QCOMPARE(InsertAtPoint(m, point, {11, false}), MelodyEdit::Done);
        point = MovePoint(m, point, -1);
        QCOMPARE(point, 1);
        QCOMPARE(InsertAtPoint(m, point, {9, false}), MelodyEdit::Done);
        QCOMPARE(point, 2);
        QCOMPARE(m.note(1).key, QStringLiteral("9"));
        QCOMPARE(m.note(2).x, m.note(1).x + LengthWidth(m.note(1).len));
        QCOMPARE(MovePoint(m, point, 10), 3);
        QCOMPARE(MovePoint(m, point, -10), 0);

        QCOMPARE(DeleteBeforePoint(m, point), MelodyEdit::Done); // the 9 again
        QCOMPARE(point, 1);
        QCOMPARE(DeleteAfterPoint(m, point), MelodyEdit::Done); // the 11
        QCOMPARE(m.count(), 1);
        QCOMPARE(m.nextX(), FirstNoteX + LengthWidth(DefaultLength));
        QCOMPARE(DeleteAfterPoint(m, point), MelodyEdit::Refused);
        point = 0;
        QCOMPARE(DeleteBeforePoint(m, point), MelodyEdit::Refused);
        QCOMPARE(point, 0);

        while (!m.isFull())
            m.addNote(QStringLiteral("7"), 0);
        point = 3;
        QCOMPARE(InsertAtPoint(m, point, {9, false}), MelodyEdit::Full);
        QCOMPARE(point, 3);
    }
    void keysAndSemitones_data()
    {
        QTest::addColumn<QString>("control");
        QTest::addColumn<int>("semitone");
        QTest::addColumn<int>("ledSlot");
        QTest::addColumn<int>("y");
        QTest::newRow("pw0 C3") << "pw0" << 0 << 0 << 40;
        QTest::newRow("pB0 C#3") << "pB0" << 1 << 1 << 40;
        QTest::newRow("pw2 E3") << "pw2" << 4 << 4 << 32;
        QTest::newRow("pB5 A#3") << "pB5" << 10 << 10 << 20;
        QTest::newRow("pw6 B3") << "pw6" << 11 << 11 << 16;
        QTest::newRow("pw12 A4") << "pw12" << 21 << 9 << -8;
        QTest::newRow("pB19 A#5") << "pB19" << 34 << 10 << -36;
        QTest::newRow("pw21 C6") << "pw21" << 36 << 0 << -44;
    }
    void keysAndSemitones()
    {
        QFETCH(QString, control);
        QFETCH(int, semitone);
        QFETCH(int, ledSlot);
        QFETCH(int, y);
        const std::optional<Key> key = KeyOfControlName(control);
        QVERIFY(key);
        QCOMPARE(SemitoneOf(*key), semitone);
        QCOMPARE(LedSlotOf(*key), ledSlot);
        QCOMPARE(StaffOffsetOf(*key), y);
    }

    void ledPictures()
    {
        QCOMPARE(LedPictureFile(0, 0), QStringLiteral("Img\\Icon\\Melo\\White\\0.jpg"));
        QCOMPARE(LedPictureFile(10, 7), QStringLiteral("Img\\Icon\\Melo\\Black\\7.jpg"));
        QCOMPARE(LedPictureFile(RestLedSlot, 3), QStringLiteral("Img\\Icon\\Melo\\White\\3.jpg"));
        QCOMPARE(LedColourCaptions().last(), QStringLiteral("消灯"));
    }

    void refusesKeysNoKeyboardHas_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<int>("black");
        QTest::newRow("above C6") << "22" << 0;
        QTest::newRow("negative") << "-1" << 0;
        QTest::newRow("no black above E") << "2" << 1;
        QTest::newRow("no black above C6") << "21" << 1;
        QTest::newRow("black rest") << "148" << 1;
        QTest::newRow("flag 2") << "0" << 2;
        QTest::newRow("text") << "do" << 0;
        QTest::newRow("empty") << "" << 0;
    }
    void refusesKeysNoKeyboardHas()
    {
        QFETCH(QString, key);
        QFETCH(int, black);
        QVERIFY(!KeyOf(key, black));
        Melody m = melodyOf({"0/1"});
        QCOMPARE(m.addNote(key, black), MelodyEdit::Refused);
        QCOMPARE(m.editNote(0, key, black, 1), MelodyEdit::Refused);
        QCOMPARE(m.insertNote(0, key, black, 1), MelodyEdit::Refused);
        QCOMPARE(m.count(), 1);
        QCOMPARE(m.note(0).key, QStringLiteral("0"));
    }

    void noteCodes_data()
    {
        QTest::addColumn<QString>("control");
        QTest::addColumn<int>("len");
        QTest::addColumn<int>("code");
        QTest::newRow("pw0 eighth") << "pw0" << 0 << 0;
        QTest::newRow("pw0 half") << "pw0" << 3 << 111;
        QTest::newRow("pB0 quarter") << "pB0" << 1 << 38;
        QTest::newRow("pw21 half") << "pw21" << 3 << 147;
        QTest::newRow("pw12 quarter") << "pw12" << 1 << 58;
        QTest::newRow("rest eighth") << "pw148" << 0 << 148;
        QTest::newRow("rest dotted") << "pw148" << 2 << 150;
        QTest::newRow("rest half") << "pw148" << 3 << 151;
    }
    void noteCodes()
    {
        QFETCH(QString, control);
        QFETCH(int, len);
        QFETCH(int, code);
        QCOMPARE(NoteCode(*KeyOfControlName(control), len), code);
    }

    void newDocument()
    {
        const Melody m;
        QCOMPARE(m.count(), 0);
        QCOMPARE(m.nextX(), FirstNoteX);
        QCOMPARE(m.selectedLength(), 1);
        QCOMPARE(m.speed(), MelodySpeed::Standard);
        QVERIFY(!m.ledLink());
        QCOMPARE(m.deviceList(), (QStringList(13, "169") + QStringList{"161", "3", "0"}));
    }

    void appendPlacesNotesEndToEnd()
    {
        Melody m = melodyOf({"7/1", "8/0"});
        QCOMPARE(m.note(0).x, 80);
        QCOMPARE(m.note(1).x, 140);
        QCOMPARE(m.nextX(), 170);
        QCOMPARE(m.note(1).len, 0);
        QCOMPARE(m.note(1).y, 40 - 32);
        verifyPositions(m);
    }

    void insertBeforeFirstNote()
    {
        Melody m = melodyOf({"7/1", "8/0", "r/2"});
        QCOMPARE(m.insertNote(0, "12", 0, 3), MelodyEdit::Done);
        QCOMPARE(m.count(), 4);
        QCOMPARE(m.note(0).key, QStringLiteral("12"));
        QCOMPARE(m.note(0).x, 80);
        QCOMPARE(m.note(1).key, QStringLiteral("7"));
        QCOMPARE(m.note(1).x, 200);
        QCOMPARE(m.note(3).key, QStringLiteral("148"));
        QCOMPARE(m.note(3).x, 80 + 120 + 60 + 30);
        verifyPositions(m);
    }

    void insertInTheMiddleKeepsTheOrder()
    {
        Melody m = melodyOf({"0/0", "1/1", "2/2"});
        QCOMPARE(m.insertNote(1, "0", 1, 0), MelodyEdit::Done);
        QCOMPARE(m.note(1).key, QStringLiteral("0"));
        QCOMPARE(m.note(1).black, 1);
        QCOMPARE(m.note(2).key, QStringLiteral("1"));
        verifyPositions(m);
        // Only filled slots can be inserted before.
        QCOMPARE(m.insertNote(4, "0", 0, 0), MelodyEdit::Refused);
        QCOMPARE(m.insertNote(-1, "0", 0, 0), MelodyEdit::Refused);
        QCOMPARE(m.count(), 4);
    }

    void deleteFirstNoteMovesTheRestLeft()
    {
        Melody m = melodyOf({"3/3", "4/0", "r/1"});
        QCOMPARE(m.deleteNote(0), MelodyEdit::Done);
        QCOMPARE(m.count(), 2);
        QCOMPARE(m.note(0).key, QStringLiteral("4"));
        QCOMPARE(m.note(0).x, 80);
        QCOMPARE(m.note(1).x, 110);
        QCOMPARE(m.nextX(), 170);
        verifyPositions(m);
        QCOMPARE(m.deleteNote(2), MelodyEdit::Refused);
    }

    void deleteLastAndOnlyNotes()
    {
        Melody m = melodyOf({"3/3", "4/0"});
        QCOMPARE(m.deleteNote(1), MelodyEdit::Done);
        verifyPositions(m);
        QCOMPARE(m.deleteNote(0), MelodyEdit::Done);
        QCOMPARE(m.nextX(), 80);
        verifyPositions(m);
    }

    void editAndChangeLengthMoveLaterNotes()
    {
        Melody m = melodyOf({"3/1", "4/1", "5/1"});
        QCOMPARE(m.editNote(0, "0", 1, 3), MelodyEdit::Done);
        QCOMPARE(m.note(0).key, QStringLiteral("0"));
        QCOMPARE(m.note(0).black, 1);
        QCOMPARE(m.note(0).y, 40);
        QCOMPARE(m.note(1).x, 200);
        verifyPositions(m);
        QCOMPARE(m.changeLength(1, 0), MelodyEdit::Done);
        QCOMPARE(m.note(1).key, QStringLiteral("4"));
        QCOMPARE(m.note(2).x, 230);
        verifyPositions(m);
        QCOMPARE(m.changeLength(1, 4), MelodyEdit::Refused);
        QCOMPARE(m.changeLength(3, 0), MelodyEdit::Refused);
    }

    void fullMelodyRefusesMore()
    {
        Melody m;
        m.setSelectedLength(3);
        for (int i = 0; i < MelodySlotCount; ++i)
            QCOMPARE(m.addNote(QString::number(i % 22), 0), MelodyEdit::Done);
        QVERIFY(m.isFull());
        const auto before = m.notes();
        QCOMPARE(m.addNote("0", 0), MelodyEdit::Full);
        QCOMPARE(m.insertNote(0, "0", 0, 0), MelodyEdit::Full);
        QCOMPARE(m.count(), 110);
        QVERIFY(m.notes() == before);
        QCOMPARE(m.nextX(), 80 + 110 * 120);
        QCOMPARE(m.deviceList().size(), 126);
        // Room again after a delete: the insert goes to the front.
        QCOMPARE(m.deleteNote(109), MelodyEdit::Done);
        QCOMPARE(m.insertNote(0, "148", 0, 0), MelodyEdit::Done);
        verifyPositions(m);
    }

    void clearKeepsTheSpeed()
    {
        Melody m = melodyOf({"3/3"});
        m.setSpeed(MelodySpeed::Quadruple);
        m.setLedLink(true);
        m.setLedColour(4, 0);
        m.setSelectedLength(0);
        m.clear();
        QCOMPARE(m.count(), 0);
        QCOMPARE(m.nextX(), 80);
        QCOMPARE(m.ledColour(4), 7);
        QVERIFY(!m.ledLink());
        QCOMPARE(m.selectedLength(), 1);
        QCOMPARE(m.speed(), MelodySpeed::Quadruple);
        verifyPositions(m);
    }

    void deviceListExample()
    {
        const Melody m = melodyOf({"0/1", "1/0", "r/3"});
        QCOMPARE(m.deviceList(), (QStringList(13, "169") + QStringList{"161", "3", "0", "37", "2", "151"}));
    }

    void deviceListColoursLinkAndSpeed()
    {
        Melody m = melodyOf({"0b/1"});
        m.setLedColour(0, 0);
        m.setLedColour(12, 6);
        m.setLedColour(3, 9); // not a colour: ignored
        m.setLedLink(true);
        m.setSpeed(MelodySpeed::Double);
        const QStringList list = m.deviceList();
        QCOMPARE(list.first(), QStringLiteral("162"));
        QCOMPARE(list[3], QStringLiteral("169"));
        QCOMPARE(list[12], QStringLiteral("168"));
        QCOMPARE(list.mid(13), (QStringList{"160", "2", "0", "38"}));
    }

    void savesAndLoadsTheFile()
    {
        Melody m = melodyOf({"12/1", "0b/0", "r/1", "21/3"});
        m.setLedColour(9, 2);
        m.setLedLink(true);
        m.setSpeed(MelodySpeed::Quadruple);
        const QStringList lines = m.fileLines();
        QCOMPARE(lines.size(), 128);
        QCOMPARE(lines.mid(0, 2), (QStringList{"SOUND", "ON"}));
        QCOMPARE(lines[11], QStringLiteral("2"));
        QCOMPARE(lines.mid(15, 3), (QStringList{"SPEED", "3", "DATA"}));
        QCOMPARE(lines.mid(18, 5),
                 (QStringList{"12,1,0,80,-8", "0,0,1,140,40", "148,1,0,170,0", "21,3,0,230,-44", ""}));

        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("tune(メロディ).koru"));
        QVERIFY(m.save(path));
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QVERIFY(file.readAll().startsWith("SOUND\r\nON\r\n7\r\n"));

        Melody back;
        QCOMPARE(back.loadFile(path), Melody::MelodyLoad::Loaded);
        QVERIFY(back.notes() == m.notes());
        QCOMPARE(back.count(), 4);
        QCOMPARE(back.nextX(), m.nextX());
        QCOMPARE(back.ledColour(9), 2);
        QVERIFY(back.ledLink());
        QCOMPARE(back.speed(), MelodySpeed::Quadruple);
        QCOMPARE(back.fileLines(), lines);
    }

    void loadsFilesWithoutSpeed()
    {
        QStringList lines{"SOUND", "OFF"};
        lines << QStringList(13, "7");
        lines << "DATA" << "5,2,1,80,20" << "148,0,0,170,0";
        lines << QStringList(108, QString());
        Melody m;
        m.setSpeed(MelodySpeed::Double);
        QVERIFY(m.load(lines));
        QCOMPARE(m.speed(), MelodySpeed::Standard);
        QCOMPARE(m.count(), 2);
        QCOMPARE(codes(m), (QStringList{QString::number(74 + 9 + 1), "148"}));
        verifyPositions(m);
    }

    void otherStepAndUnreadableFiles()
    {
        QTemporaryDir dir;
        const QString flow = dir.filePath(QStringLiteral("flow.koru"));
        QFile file(flow);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("OK\r\nSTART\r\nEND\r\n");
        file.close();
        Melody m = melodyOf({"1/1"});
        QCOMPARE(m.loadFile(flow), Melody::MelodyLoad::OtherStep);
        QCOMPARE(m.count(), 1); // the melody stays
        QCOMPARE(m.loadFile(dir.filePath(QStringLiteral("missing.koru"))),
                 Melody::MelodyLoad::Unreadable);
        QCOMPARE(m.count(), 1);
    }

    // Damaged files are refused; what was read before the fault stays.
    void refusesDamagedFiles_data()
    {
        QTest::addColumn<int>("line");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("notesKept");
        QTest::newRow("colour 8") << 2 << "8" << 0;
        QTest::newRow("colour -1") << 14 << "-1" << 0;
        QTest::newRow("colour text") << 5 << "赤" << 0;
        QTest::newRow("speed 4") << 16 << "4" << 0;
        QTest::newRow("length 4") << 19 << "3,4,0,140,28" << 1;
        QTest::newRow("length -1") << 18 << "3,-1,0,80,28" << 0;
        QTest::newRow("key 22") << 19 << "22,0,0,140,-48" << 1;
        QTest::newRow("black E") << 19 << "2,0,1,140,32" << 1;
        QTest::newRow("black rest") << 19 << "148,0,1,140,0" << 1;
        QTest::newRow("x not a number") << 19 << "3,0,0,abc,28" << 1;
        QTest::newRow("four fields") << 19 << "3,0,0,140" << 1;
        QTest::newRow("six fields") << 19 << "3,0,0,140,28,1" << 1;
        QTest::newRow("a 111th note") << 128 << "3,0,0,80,28" << 2;
        QTest::newRow("cut short") << -1 << "" << 2;
    }
    void refusesDamagedFiles()
    {
        QFETCH(int, line);
        QFETCH(QString, text);
        QFETCH(int, notesKept);
        QStringList lines = melodyOf({"3/1", "4/1"}).fileLines();
        if (line < 0)
            lines = lines.mid(0, 60);
        else if (line < lines.size())
            lines[line] = text;
        else
            lines << text;
        Melody m;
        QVERIFY(!m.load(lines));
        QCOMPARE(m.count(), notesKept);
        verifyPositions(m);
    }

    // Positions come from the order: stored ones that disagree (a file
    // edited by hand) cannot put notes off the staff.
    void rebuildsPositionsAndSkipsGaps()
    {
        QStringList lines = melodyOf({}).fileLines();
        lines[18] = "3,1,0,2000000000,999";
        lines[19] = "FF";
        lines[21] = "0,0,1,-50,0";
        Melody m;
        QVERIFY(m.load(lines));
        QCOMPARE(m.count(), 2);
        QCOMPARE(m.note(0).x, 80);
        QCOMPARE(m.note(0).y, 28);
        QCOMPARE(m.note(1).key, QStringLiteral("0"));
        QCOMPARE(m.note(1).x, 140);
        QCOMPARE(m.note(1).y, 40);
        verifyPositions(m);
        // Adding goes after the last note, never over it.
        QCOMPARE(m.addNote("1", 0), MelodyEdit::Done);
        QCOMPARE(m.note(2).key, QStringLiteral("1"));
        verifyPositions(m);
    }
};

KORU_TEST_GUILESS_MAIN(TstMelody)
#include "tst_melody.moc"
