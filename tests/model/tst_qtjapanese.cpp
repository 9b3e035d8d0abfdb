// Qt's own buttons and dialogs speak Japanese whatever the system's locale.
#include "model/qtjapanese.h"
#include "testmain.h"

#include <QCoreApplication>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

class TstQtJapanese : public QObject
{
    Q_OBJECT
private slots:
    void missingCatalogueStillStarts()
    {
        QTemporaryDir empty;
        QVERIFY(!koru::InstallQtJapanese(empty.path()));
        QCOMPARE(QCoreApplication::translate("QPlatformTheme", "&Yes"), QStringLiteral("&Yes"));
    }

    // The texts of a Yes/No question and of the save dialog, in the C locale
    // the tests run in.
    void standardTextsAreJapanese_data()
    {
        QTest::addColumn<QString>("context");
        QTest::addColumn<QString>("source");
        QTest::newRow("Yes") << "QPlatformTheme" << "&Yes";
        QTest::newRow("No") << "QPlatformTheme" << "&No";
        QTest::newRow("Cancel") << "QPlatformTheme" << "Cancel";
        QTest::newRow("Save As") << "QFileDialog" << "Save As";
        QTest::newRow("Look in") << "QFileDialog" << "Look in:";
    }
    void standardTextsAreJapanese()
    {
        QFETCH(QString, context);
        QFETCH(QString, source);
        static const bool installed = koru::InstallQtJapanese();
        QVERIFY2(installed, "Qt's translations are missing: ./dev installs qt6-translations-l10n");
        const QString shown = QCoreApplication::translate(context.toLatin1(), source.toLatin1());
        QVERIFY2(shown != source, qPrintable(shown));
        QVERIFY2(shown.contains(QRegularExpression(QStringLiteral("[\\x{3040}-\\x{30ff}\\x{4e00}-\\x{9fff}]"))),
                 qPrintable(shown));
    }
};

KORU_TEST_GUILESS_MAIN(TstQtJapanese)
#include "tst_qtjapanese.moc"
