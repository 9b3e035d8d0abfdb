// The line under an editor that shows how much of the kit a program uses:
// its words, its colour near and at the limit, and that it follows edits.
#include "editor/ui/editorframe.h"
#include "icons/ui/iconwindow.h"
#include "model/budget.h"

#include "editorrig.h"
#include "scripteddialogs.h"
#include "testmain.h"
#include "testutil.h"

#include <QLabel>
#include <QTest>

using namespace koru;

Q_DECLARE_METATYPE(BudgetLevel)

class TstBudget : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { test::useTemporaryAppData(); }

    void level_data()
    {
        QTest::addColumn<int>("instructions");
        QTest::addColumn<int>("bytes");
        QTest::addColumn<BudgetLevel>("level");
        QTest::newRow("empty") << 0 << 0 << BudgetLevel::Room;
        QTest::newRow("just under 80 %") << 23 << 95 << BudgetLevel::Room;
        QTest::newRow("bytes at 80 %") << 1 << 96 << BudgetLevel::Near;
        QTest::newRow("instructions at 80 %") << 24 << 10 << BudgetLevel::Near;
        QTest::newRow("bytes at the limit") << 3 << 120 << BudgetLevel::Full;
        QTest::newRow("over") << 31 << 10 << BudgetLevel::Full;
    }
    void level()
    {
        QFETCH(int, instructions);
        QFETCH(int, bytes);
        QFETCH(BudgetLevel, level);
        const QList<BudgetPart> parts{{QStringLiteral("命令"), instructions, 30}, {QStringLiteral("バイト"), bytes, 120}};
        QCOMPARE(LevelOf(parts), level);
        QCOMPARE(BudgetText(parts), QStringLiteral("命令 %1/30　バイト %2/120").arg(instructions).arg(bytes));
    }

    void lineFollowsTheRow()
    {
        test::ScriptedDialogs dialogs;
        test::EditorRig rig;
        auto *window = new icons::IconWindow(rig.context());
        window->show();
        QLabel *line = window->frame()->budgetLine();
        QVERIFY(line);
        QCOMPARE(line->text(), QStringLiteral("アイコン 0/24　バイト 4/120"));
        window->dropOnSlot(0, icons::Timer);
        QCOMPARE(line->text(), QStringLiteral("アイコン 1/24　バイト 7/120"));
        QVERIFY(!line->styleSheet().contains(QLatin1String("bold")));
        for (int n = 1; n < 20; ++n)
            window->dropOnSlot(n, icons::Timer);
        QVERIFY(line->styleSheet().contains(QLatin1String("#d46b00"))); // 20 of 24: orange
        dialogs.answerQuestion(true);
        window->frame()->clearDocument();
        QCOMPARE(line->text(), QStringLiteral("アイコン 0/24　バイト 4/120"));
        delete window;
    }
};

KORU_TEST_MAIN(TstBudget)
#include "tst_budget.moc"
