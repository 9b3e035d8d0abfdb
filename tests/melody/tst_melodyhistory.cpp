// Undo and redo of the melody: every kind of change goes back and comes
// again exactly, and only changes of what a file keeps are steps.
#include "melody/melodyhistory.h"
#include "testmain.h"

#include <QTest>

using namespace koru;

namespace {

// Three notes, two LED colours set, link off, standard speed.
Melody fixture()
{
    Melody m;
    m.addNote(QStringLiteral("12"), 0);
    m.setSelectedLength(3);
    m.addNote(QStringLiteral("0"), 1);
    m.setSelectedLength(0);
    m.addNote(QStringLiteral("148"), 0);
    m.setSelectedLength(DefaultLength);
    m.setLedColour(0, 1);
    m.setLedColour(5, 4);
    return m;
}

Melody other()
{
    Melody m;
    m.setLedLink(true);
    m.setSpeed(MelodySpeed::Quadruple);
    m.addNote(QStringLiteral("21"), 0);
    return m;
}

void change(const QString &kind, Melody &m)
{
    MelodyEdit result = MelodyEdit::Done;
    if (kind == QLatin1String("add"))
        result = m.addNote(QStringLiteral("7"), 0);
    else if (kind == QLatin1String("insert"))
        result = m.insertNote(1, QStringLiteral("5"), 1, 2);
    else if (kind == QLatin1String("delete"))
        result = m.deleteNote(0);
    else if (kind == QLatin1String("pitch"))
        result = m.editNote(1, QStringLiteral("3"), 0, m.note(1).len);
    else if (kind == QLatin1String("length"))
        result = m.changeLength(0, 3);
    else if (kind == QLatin1String("colour"))
        m.setLedColour(5, 2);
    else if (kind == QLatin1String("link"))
        m.setLedLink(!m.ledLink());
    else if (kind == QLatin1String("speed"))
        m.setSpeed(MelodySpeed::Double);
    else if (kind == QLatin1String("clear"))
        m.clear();
    else if (kind == QLatin1String("load"))
        QVERIFY(m.load(other().fileLines()));
    else
        QFAIL("unknown change");
    QCOMPARE(result, MelodyEdit::Done);
}

// Slots and positions as the document's own operations keep them.
void verifyKeptPositions(const Melody &m)
{
    int x = FirstNoteX;
    for (int i = 0; i < m.count(); ++i) {
        QCOMPARE(m.note(i).x, x);
        x += LengthWidth(m.note(i).len);
    }
    QCOMPARE(m.nextX(), x);
    QCOMPARE(m.countNotes(), m.count());
}

} // namespace

class TstMelodyHistory : public QObject
{
    Q_OBJECT
private slots:
    void eachChangeGoesBackAndComesAgain_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<bool>("linkOn");
        QTest::newRow("note added") << "add" << false;
        QTest::newRow("note inserted") << "insert" << false;
        QTest::newRow("note deleted") << "delete" << false;
        QTest::newRow("pitch changed") << "pitch" << false;
        QTest::newRow("length changed") << "length" << false;
        QTest::newRow("LED colour") << "colour" << false;
        QTest::newRow("LED link set") << "link" << false;
        QTest::newRow("LED link cleared") << "link" << true;
        QTest::newRow("speed") << "speed" << false;
        QTest::newRow("clear") << "clear" << true;
        QTest::newRow("file loaded") << "load" << false;
    }
    void eachChangeGoesBackAndComesAgain()
    {
        QFETCH(QString, kind);
        QFETCH(bool, linkOn);
        Melody m = fixture();
        m.setLedLink(linkOn);
        MelodyHistory history(m);
        const QStringList before = m.fileLines();

        change(kind, m);
        QVERIFY(history.commit(kind, m));
        const QStringList after = m.fileLines();
        QVERIFY(after != before);
        QCOMPARE(history.undoText(), kind);

        QVERIFY(history.undo(m));
        QCOMPARE(m.fileLines(), before);
        verifyKeptPositions(m);
        QVERIFY(!history.canUndo());
        QCOMPARE(history.redoText(), kind);

        QVERIFY(history.redo(m));
        QCOMPARE(m.fileLines(), after);
        verifyKeptPositions(m);
        QVERIFY(!history.canRedo());

        // Editing goes on from the restored document as from any other.
        QVERIFY(history.undo(m));
        QCOMPARE(m.addNote(QStringLiteral("9"), 0), MelodyEdit::Done);
        QVERIFY(history.commit(QStringLiteral("add"), m));
        QVERIFY(!history.canRedo());
        QVERIFY(history.undo(m));
        QCOMPARE(m.fileLines(), before);
    }

    void changesAFileWouldNotKeepAreNoStep_data()
    {
        QTest::addColumn<int>("what");
        QTest::newRow("delete of an empty slot") << 0;
        QTest::newRow("edit to a key the keyboard lacks") << 1;
        QTest::newRow("colour it already has") << 2;
        QTest::newRow("length picked on the keyboard") << 3;
        QTest::newRow("note picked") << 4;
        QTest::newRow("111th note") << 5;
    }
    void changesAFileWouldNotKeepAreNoStep()
    {
        QFETCH(int, what);
        Melody m = fixture();
        MelodyHistory history(m);
        switch (what) {
        case 0: QCOMPARE(m.deleteNote(40), MelodyEdit::Refused); break;
        case 1: QCOMPARE(m.editNote(0, QStringLiteral("2"), 1, 1), MelodyEdit::Refused); break;
        case 2: m.setLedColour(0, 1); break;
        case 3: m.setSelectedLength(0); break;
        case 4: m.setSelected(2); break;
        case 5:
            while (!m.isFull())
                m.addNote(QStringLiteral("4"), 0);
            history.forget(m);
            QCOMPARE(m.addNote(QStringLiteral("4"), 0), MelodyEdit::Full);
            break;
        }
        QVERIFY(!history.commit(QStringLiteral("x"), m));
        QVERIFY(!history.canUndo());
        QVERIFY(!history.undo(m));
    }

    // Undo hands back the melody, not the keyboard's length or a pick that
    // may point past the last note.
    void undoKeepsThePickedLengthAndDropsThePick()
    {
        Melody m = fixture();
        MelodyHistory history(m);
        QCOMPARE(m.addNote(QStringLiteral("7"), 0), MelodyEdit::Done);
        history.commit(QStringLiteral("add"), m);
        m.setSelectedLength(3);
        m.setSelected(3);
        QVERIFY(history.undo(m));
        QCOMPARE(m.count(), 3);
        QCOMPARE(m.selectedLength(), 3);
        QCOMPARE(m.selected(), -1);
        m.setSelectedLength(0);
        QVERIFY(history.redo(m));
        QCOMPARE(m.count(), 4);
        QCOMPARE(m.selectedLength(), 0);
    }

    // A read-back empties the document, then fills it: one step, and the
    // next read-back is a step of its own.
    void readBackIsOneStep_data()
    {
        QTest::addColumn<bool>("startEmpty");
        QTest::newRow("over a melody") << false;
        QTest::newRow("into an empty document") << true;
    }
    void readBackIsOneStep()
    {
        QFETCH(bool, startEmpty);
        Melody m = startEmpty ? Melody() : fixture();
        MelodyHistory history(m);
        const QStringList start = m.fileLines();
        const auto readBack = [&](const Melody &kit) {
            m.clear();
            history.commit(QStringLiteral("read"), m, MelodyHistory::Join::Opens);
            m = kit;
            history.commit(QStringLiteral("read"), m, MelodyHistory::Join::Continues);
        };
        readBack(other());
        QCOMPARE(history.steps(), 1);
        Melody second = other();
        second.addNote(QStringLiteral("1"), 0);
        readBack(second);
        QCOMPARE(history.steps(), 2);
        QVERIFY(history.undo(m));
        QCOMPARE(m.fileLines(), other().fileLines());
        QVERIFY(history.undo(m));
        QCOMPARE(m.fileLines(), start);

        // Reading back what the document already holds is no step.
        history.forget(m);
        readBack(Melody(m));
        QVERIFY(!history.canUndo());
        QCOMPARE(m.fileLines(), start);
    }

    // A lone continuing commit (its opening changed nothing, or was undone)
    // is an ordinary step and never folds into an older one.
    void continuingWithoutAnOpeningIsAStep()
    {
        Melody m = fixture();
        MelodyHistory history(m);
        m.setLedLink(true);
        history.commit(QStringLiteral("link"), m, MelodyHistory::Join::Opens);
        history.undo(m);
        m.setSpeed(MelodySpeed::Double);
        QVERIFY(history.commit(QStringLiteral("read"), m, MelodyHistory::Join::Continues));
        QCOMPARE(history.steps(), 1);
        QCOMPARE(history.undoText(), QStringLiteral("read"));
        QVERIFY(history.undo(m));
        QCOMPARE(m.fileLines(), fixture().fileLines());
    }

    // The oldest steps go; the rest still undo to the right documents.
    void keepsTheLastStepsOnly()
    {
        Melody m;
        MelodyHistory history(m);
        const int total = MelodyHistory::Limit + 10;
        for (int i = 1; i <= total; ++i) {
            m.setLedColour(0, i % LedColourCount);
            m.setLedColour(1, (i / LedColourCount) % LedColourCount);
            QVERIFY(history.commit(QStringLiteral("colour"), m));
        }
        QCOMPARE(history.steps(), MelodyHistory::Limit);
        while (history.undo(m)) {
        }
        QCOMPARE(m.ledColour(0), 10 % LedColourCount);
        QCOMPARE(m.ledColour(1), (10 / LedColourCount) % LedColourCount);
    }
};

KORU_TEST_APPLESS_MAIN(TstMelodyHistory)
#include "tst_melodyhistory.moc"
