// The source editor: which characters are coloured as a comment, the
// lines it hands out, the error mark and word completion.
#include "testmain.h"
#include "widgets/sourceeditor.h"

#include <QAbstractItemView>
#include <QCompleter>
#include <QImage>
#include <QTest>
#include <QTextBlock>
#include <QTextLayout>

using namespace koru;

class TstSourceEditor : public QObject
{
    Q_OBJECT

    // (start, length, colour) of each format range the highlighter gave.
    static QList<QList<int>> colouredRanges(const SourceEditor &editor, int line)
    {
        QList<QList<int>> ranges;
        const QTextBlock block = editor.document()->findBlockByNumber(line);
        for (const QTextLayout::FormatRange &range : block.layout()->formats())
            ranges.append({range.start, range.length, int(range.format.foreground().color().rgb() & 0xffffff)});
        return ranges;
    }

private slots:
    void commentColouring_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<int>("start"); // -1: nothing coloured
        QTest::newRow("comment at start") << "// start" << 0;
        QTest::newRow("comment after a statement") << "beep1(); // ring" << 9;
        QTest::newRow("slashes twice") << "timer(1); // a // b" << 10;
        QTest::newRow("no comment") << "timer(1);" << -1;
        QTest::newRow("single slash") << "timer(1); / not a comment" << -1;
        QTest::newRow("full-width text before") << QString::fromUtf8("ｌｅｄ　点灯//あか") << 6;
        QTest::newRow("empty line") << "" << -1;
    }

    void commentColouring()
    {
        QFETCH(QString, line);
        QFETCH(int, start);
        SourceEditor editor;
        editor.setLines({QStringLiteral("beep2();"), line});
        const QList<QList<int>> ranges = colouredRanges(editor, 1);
        if (start < 0) {
            QVERIFY(ranges.isEmpty());
        } else {
            const QList<int> expected{start, int(line.size()) - start, 0x008000};
            QCOMPARE(ranges, QList<QList<int>>{expected});
        }
        QVERIFY(colouredRanges(editor, 0).isEmpty());
    }

    void colouringFollowsEdits()
    {
        SourceEditor editor;
        editor.setLines({QStringLiteral("beep1();")});
        QVERIFY(colouredRanges(editor, 0).isEmpty());
        QTextCursor cursor(editor.document());
        cursor.movePosition(QTextCursor::End);
        cursor.insertText(QStringLiteral("//x"));
        QCOMPARE(colouredRanges(editor, 0), (QList<QList<int>>{{8, 3, 0x008000}}));
    }

    void linesInAndOut()
    {
        SourceEditor editor;
        const QStringList lines{QStringLiteral("\tif(sw=on){"), QString(), QString::fromUtf8("beep1();　"), QStringLiteral("}")};
        editor.setLines(lines);
        QCOMPARE(editor.lines(), lines);
        QCOMPARE(editor.lineCount(), 4);
        QCOMPARE(editor.lineAt(2), lines[2]);
        QCOMPARE(editor.lineAt(9), QString());
        editor.undo();
        QCOMPARE(editor.lines(), QStringList{QString()});
        // Redo by the keys pupils know from the flowchart editor, and the platform's.
        QTest::keyClick(&editor, Qt::Key_Y, Qt::ControlModifier);
        QCOMPARE(editor.lines(), lines);
        editor.undo();
        QTest::keyClick(&editor, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(editor.lines(), lines);
        editor.setLines({});
        QCOMPARE(editor.lines(), QStringList{QString()});
        QCOMPARE(FullWidthSpaces(lines[2]), QList<qsizetype>{8});
    }

    // Blanks that fail the check but cannot be seen get a dashed box: the
    // full-width space and the tab, not the half-width blank.
    void invisibleBlanksAreBoxed_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QList<qsizetype>>("marked");
        QTest::newRow("tab") << QStringLiteral("\tbeep1();") << QList<qsizetype>{0};
        QTest::newRow("full-width blank") << QString::fromUtf8("beep1();　") << QList<qsizetype>{8};
        QTest::newRow("both") << QString::fromUtf8("a\tb　c") << QList<qsizetype>{1, 3};
        QTest::newRow("half-width blanks") << QStringLiteral("    beep1();") << QList<qsizetype>{};
    }
    void invisibleBlanksAreBoxed()
    {
        QFETCH(QString, line);
        QFETCH(QList<qsizetype>, marked);
        QCOMPARE(MarkedBlanks(line), marked);
        SourceEditor editor;
        editor.resize(300, 100);
        editor.setLines({line});
        editor.show();
        QVERIFY(QTest::qWaitForWindowExposed(&editor));
        const QImage shown = editor.viewport()->grab().toImage();
        int boxPixels = 0;
        for (int y = 0; y < shown.height(); ++y)
            for (int x = 0; x < shown.width(); ++x)
                boxPixels += (shown.pixel(x, y) & 0xffffff) == 0xe07a00;
        QCOMPARE(boxPixels > 0, !marked.isEmpty());
    }

    void markedLineGoesWithAnEdit()
    {
        SourceEditor editor;
        editor.setLines({QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")});
        editor.markLine(2);
        QCOMPARE(editor.markedLine(), 2);
        QCOMPARE(editor.textCursor().blockNumber(), 2);
        QCOMPARE(editor.extraSelections().size(), 1);
        editor.insertPlainText(QStringLiteral("x"));
        QCOMPARE(editor.markedLine(), -1);
        QVERIFY(editor.extraSelections().isEmpty());
        editor.markLine(7); // no such line
        QCOMPARE(editor.markedLine(), -1);
    }

    void completion()
    {
        SourceEditor editor;
        editor.setCompletionWords({QStringLiteral("beep1"), QStringLiteral("beep2"), QStringLiteral("timer"), QString()});
        editor.show();
        QVERIFY(QTest::qWaitForWindowExposed(&editor));
        // Several matches: the list opens with them.
        editor.setLines({QStringLiteral("be")});
        editor.moveCursor(QTextCursor::End);
        QTest::keyClick(&editor, Qt::Key_Space, Qt::ControlModifier);
        QVERIFY(editor.completer()->popup()->isVisible());
        QCOMPARE(editor.completer()->completionCount(), 2);
        emit editor.completer()->activated(QStringLiteral("beep2"));
        QCOMPARE(editor.lines(), QStringList{"beep2"});
        editor.completer()->popup()->hide();
        // One match is written at once, keeping what follows the cursor.
        editor.setLines({QStringLiteral("Ti(3);")});
        QTextCursor cursor = editor.textCursor();
        cursor.setPosition(2);
        editor.setTextCursor(cursor);
        QTest::keyClick(&editor, Qt::Key_Space, Qt::ControlModifier);
        QCOMPARE(editor.lines(), QStringList{"timer(3);"});
        // Nothing matches: no list, no change.
        editor.setLines({QStringLiteral("zz")});
        editor.moveCursor(QTextCursor::End);
        QTest::keyClick(&editor, Qt::Key_Space, Qt::ControlModifier);
        QVERIFY(!editor.completer()->popup()->isVisible());
        QCOMPARE(editor.lines(), QStringList{"zz"});
        QCOMPARE(WordBefore(QStringLiteral("if(temp"), 7), QStringLiteral("temp"));
    }
};

KORU_TEST_MAIN(TstSourceEditor)
#include "tst_sourceeditor.moc"
