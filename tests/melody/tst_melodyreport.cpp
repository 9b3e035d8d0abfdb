// From the melody window to the report: レポート作成 leaves the staff picture
// in the work folder and the program's report window shows it.
#include "tests/report/reportfixture.h"

#include "app/windowtable.h"
#include "fakesound.h"
#include "melody/ui/melodyparts.h"
#include "melody/ui/melodywindow.h"
#include "model/paths.h"
#include "scripteddialogs.h"
#include "shellrig.h"
#include "testmain.h"
#include "testutil.h"

#include <QAction>
#include <QMenuBar>
#include <QPushButton>
#include <QTest>

using namespace koru;

class TstMelodyReport : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { test::useTemporaryAppData(); }

    void staffPictureInThePreview()
    {
        test::ScriptedDialogs dialogs;
        test::ShellRig rig;
        auto *report = qobject_cast<report::ReportWindow *>(rig.window(QStringLiteral("Report")));
        QVERIFY(report);

        melody::MelodyWindow editor(rig.shared.editorContext(), *rig.shared.noteChooser, new test::FakeSound);
        editor.show();
        QVERIFY(QTest::qWaitForWindowExposed(&editor));
        for (const char *key : {"pw7", "pw9", "pB10", "pw148", "pw21"})
            editor.clickKey(QLatin1String(key));
        QAction *makeReport = nullptr;
        for (QAction *action : editor.menuBar()->actions())
            if (action->text() == QStringLiteral("レポート作成"))
                makeReport = action;
        QVERIFY(makeReport);
        makeReport->trigger();

        QVERIFY(QTest::qWaitForWindowExposed(report));
        QCOMPARE(report->kind(), SoundReportKind);
        test::typeInputs(*report);
        QTest::mouseClick(report->findChild<QPushButton *>("NextButton"), Qt::LeftButton);
        QVERIFY2(dialogs.shown().isEmpty(), qPrintable(dialogs.texts().join('|')));
        QVERIFY(report->previewShown());

        const QList<test::ShownPicture> pictures = test::shownPictures(*report->view());
        QCOMPARE(pictures.size(), 1);
        QCOMPARE(pictures.first().source, QStringLiteral("Img/Sound.bmp")); // beside the page in Report/
        // The view gets the staff already scaled, smoothly, to the size the page shows it at.
        const QImage staff = editor.staffArea()->picture();
        const QImage shown = pictures.first().image;
        QVERIFY(!shown.isNull() && shown.width() <= staff.width());
        QVERIFY(qAbs(double(shown.width()) / shown.height() - double(staff.width()) / staff.height()) < 0.05);

        dialogs.answerQuestion(true);
        editor.close();
    }
};

KORU_TEST_MAIN(TstMelodyReport)
#include "tst_melodyreport.moc"
