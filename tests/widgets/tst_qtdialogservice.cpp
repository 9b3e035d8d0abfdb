// The Qt dialog service as the pupil meets it: which button Enter presses.
// A question whose Yes destroys work must keep the work on Enter.
#include "testmain.h"
#include "widgets/qtdialogservice.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

using namespace koru;

class TstQtDialogService : public QObject
{
    Q_OBJECT

private slots:
    void defaultButtonOfEachQuestion_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<int>("defaultButton"); // -1: none set, Qt takes the first (Yes)
        QTest::addColumn<bool>("enterSaysYes");
        QTest::newRow("question") << "question" << -1 << true;
        QTest::newRow("destructive question") << "destructive" << int(QMessageBox::No) << false;
        QTest::newRow("overwrite") << "overwrite" << int(QMessageBox::No) << false;
    }

    void defaultButtonOfEachQuestion()
    {
        QFETCH(QString, kind);
        QFETCH(int, defaultButton);
        QFETCH(bool, enterSaysYes);
        QtDialogService service;
        int seenDefault = -1;
        QString seenText;
        // The box runs its own loop: look at it from a timer, then press
        // Enter as a pupil would.
        QTimer::singleShot(0, this, [&] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            QVERIFY(box);
            seenText = box->text();
            if (QPushButton *button = box->defaultButton())
                seenDefault = int(box->standardButton(button));
            QTest::keyClick(box, Qt::Key_Return);
        });
        const QString text = QStringLiteral("消去します。\r\nよろしいですか？");
        const bool yes = kind == QLatin1String("question")      ? service.question(text)
                         : kind == QLatin1String("destructive") ? service.destructiveQuestion(text)
                                                                : service.confirmOverwrite(text);
        QCOMPARE(seenText, QStringLiteral("消去します。\nよろしいですか？"));
        QCOMPARE(seenDefault, defaultButton);
        QCOMPARE(yes, enterSaysYes);
    }
};

KORU_TEST_MAIN(TstQtDialogService)
#include "tst_qtdialogservice.moc"
