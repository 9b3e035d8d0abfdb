// From the STEP1 window to the report: the program's shared report window
// takes the icon window's レポート作成 and previews the icon list.
#include "reportfixture.h"

#include "app/windowtable.h"
#include "icons/ui/iconwindow.h"
#include "scripteddialogs.h"
#include "shellrig.h"
#include "testmain.h"
#include "testutil.h"

#include <QAction>
#include <QMenuBar>
#include <QPushButton>
#include <QTest>

using namespace koru;

class TstReportIcons : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { test::useTemporaryAppData(); }

    void iconListInThePreview()
    {
        test::ScriptedDialogs dialogs;
        test::ShellRig rig;
        auto *report = qobject_cast<report::ReportWindow *>(rig.window(QStringLiteral("Report")));
        QVERIFY(report);
        QVERIFY(!report->isVisible());

        icons::IconWindow editor(rig.shared.editorContext());
        editor.show();
        QVERIFY(QTest::qWaitForWindowExposed(&editor));
        editor.dropOnSlot(0, icons::WaitSound);
        editor.dropOnSlot(1, icons::Timer);
        editor.dropOnSlot(2, icons::Beep);
        QAction *makeReport = nullptr;
        for (QAction *action : editor.menuBar()->actions())
            if (action->text() == QStringLiteral("レポート作成"))
                makeReport = action;
        QVERIFY(makeReport);
        makeReport->trigger();

        QVERIFY(QTest::qWaitForWindowExposed(report));
        QCOMPARE(report->kind(), IconReportKind);
        QCOMPARE(report->content(), editor.program().toReportLines());
        test::typeInputs(*report);
        QTest::mouseClick(report->findChild<QPushButton *>("NextButton"), Qt::LeftButton);
        QVERIFY2(dialogs.shown().isEmpty(), qPrintable(dialogs.texts().join('|')));
        QVERIFY(report->previewShown());

        const QString text = report->view()->toPlainText();
        for (const QString &line : editor.program().toReportLines())
            QVERIFY2(text.contains(line.section(',', 1)), qPrintable(line));
        const QList<test::ShownPicture> pictures = test::shownPictures(*report->view());
        QCOMPARE(pictures.size(), 3);
        for (const test::ShownPicture &picture : pictures) {
            QVERIFY2(!picture.image.isNull(), qPrintable(picture.source));
            QCOMPARE(picture.image.size(), QSize(32, 25)); // the palette's own picture, scaled smoothly to its shown size
        }
        QVERIFY(pictures.first().source.endsWith("/Img/Icon/DD/8.bmp"));

        dialogs.answerQuestion(true);
        editor.close();
    }
};

KORU_TEST_MAIN(TstReportIcons)
#include "tst_reporticons.moc"
