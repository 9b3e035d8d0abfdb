// Round trips that every program must survive: the saved file gives the
// same image, the image read back gives the same listing, and another
// step's copy of the listing opens as the same program.
#include "flowchart/flowdemos.h"
#include "flowchart/flowfile.h"
#include "flowchart/listingimport.h"
#include "flowchart/readback.h"
#include "model/paths.h"
#include "model/programfile.h"
#include "programgenerator.h"
#include "scripteddialogs.h"
#include "testmain.h"

#include <QTest>

using namespace koru;

namespace {

// Returns an empty text when every property holds, else what failed.
QString RoundTripFailure(const FlowDocument &doc, const QStringList &expectedListing)
{
    if (!doc.invariantViolations().isEmpty())
        return "invariants: " + doc.invariantViolations().join("; ");
    if (!CheckProgram(doc).ok())
        return QStringLiteral("check code %1").arg(CheckProgram(doc).code);
    const ListingResult listing = BuildCommandListing(doc);
    if (listing.listing != expectedListing)
        return "listing " + listing.listing.join(" ") + " instead of " + expectedListing.join(" ");

    const DeviceImage image = BuildDeviceImage(doc).image;
    if (image.size() != doc.byteTotal() || image.size() > MaxImageBytes || !ImageHoldsOnlyBytes(image))
        return "image " + ImageCommaText(image);
    FlowDocument loaded;
    if (!LoadFlowLines(loaded, FlowFileLines(doc)).ok() || !(loaded == doc))
        return QStringLiteral("saved file does not load as the same document");
    if (BuildDeviceImage(loaded).image != image)
        return QStringLiteral("image of the saved file differs");

    FlowDocument readBack;
    const ReadbackResult result = RebuildFromMemory(readBack, MemoryLinesOfImage(image));
    if (!result.ok())
        return QStringLiteral("read-back status %1").arg(result.status);
    if (!readBack.invariantViolations().isEmpty())
        return "read-back invariants: " + readBack.invariantViolations().join("; ");
    if (BuildCommandListing(readBack).listing != expectedListing)
        return "read-back listing " + BuildCommandListing(readBack).listing.join(" ");

    // Another step's file holding this listing opens as the same program,
    // as long as the listing fits in the lines the import reads. (Written
    // out in one routine, a loop around a call of a subroutine with a loop
    // nests two loops, which the check refuses.)
    if (expectedListing.size() <= 30) {
        FlowDocument imported;
        const ImportResult importResult = ImportListing(imported, QStringList{"OK"} + expectedListing);
        if (importResult.status == ImportResult::Built) {
            const int code = CheckProgram(imported).code;
            if (code == FlowOk && BuildCommandListing(imported).listing != expectedListing)
                return "imported listing " + BuildCommandListing(imported).listing.join(" ");
            if (code != FlowOk && code != FlowLoopMisplaced)
                return QStringLiteral("imported listing fails the check with %1").arg(code);
        }
    }
    return {};
}

} // namespace

class TstFlowProperties : public QObject
{
    Q_OBJECT
private slots:
    void demos_data()
    {
        QTest::addColumn<int>("number");
        for (int n = 1; n <= FlowDemoCount; ++n)
            QTest::addRow("demo%d", n) << n;
    }
    void demos()
    {
        QFETCH(int, number);
        const FlowDocument demo = DemoFlowchart(number);
        QVERIFY(demo.blockCount() > 0);
        const ListingResult listing = BuildCommandListing(demo);
        QVERIFY(listing.ok());
        const QString failure = RoundTripFailure(demo, listing.listing);
        QVERIFY2(failure.isEmpty(), qPrintable(failure));

        // The shipped file is the document built in code.
        const QString source = QStringLiteral(KORU_SOURCE_DIR "/assets/Data/Demo/fro/demo%1(フロー).koru").arg(number);
        if (qEnvironmentVariableIsSet("KORU_WRITE_DEMOS"))
            QVERIFY(WriteProgramLines(source, FlowFileLines(demo)));
        QCOMPARE(ReadProgramLines(source), FlowFileLines(demo));

        SetAssetRoot(QStringLiteral(KORU_SOURCE_DIR "/assets"));
        FlowDocument opened;
        const FlowLoadResult loaded = LoadFlowDemo(opened, number);
        SetAssetRoot(QString());
        QVERIFY(loaded.ok());
        QVERIFY(loaded.message.isEmpty());
        QCOMPARE(opened, demo);
    }

    void demosAreTheLessonsTheyClaimToBe()
    {
        auto records = [](int n) { return BuildCommandListing(DemoFlowchart(n)).listing.join(' '); };
        QVERIFY(records(1).contains("8,0,3,")); // light show in a loop
        QVERIFY(records(2).contains("6,3,"));   // waits for the dark
        QVERIFY(records(3).contains("10,0,"));  // measures into x ...
        QVERIFY(records(3).contains("7,7,"));   // ... and branches on it
        const FlowDocument four = DemoFlowchart(4);
        QVERIFY(four.blockCount(1) > 0 && four.blockCount(2) > 0);

        // Laid out neatly: no two blocks of a routine overlap.
        for (int n = 1; n <= FlowDemoCount; ++n) {
            const FlowDocument demo = DemoFlowchart(n);
            for (int r = 0; r < RoutineCount; ++r) {
                const QList<int> taken = demo.occupiedSlots(r);
                for (int i = 0; i < taken.size(); ++i) {
                    for (int j = i + 1; j < taken.size(); ++j) {
                        const FlowBlock &a = demo.block(r, taken.at(i));
                        const FlowBlock &b = demo.block(r, taken.at(j));
                        QVERIFY2(qAbs(a.x - b.x) >= BlockWidth || qAbs(a.y - b.y) >= BlockHeight,
                                 qPrintable(QStringLiteral("demo %1 routine %2").arg(n).arg(r)));
                    }
                }
            }
        }
    }

    void generatedProgramsSurviveRoundTrips()
    {
        test::ProgramGenerator generator(20261210);
        for (int i = 0; i < 300; ++i) {
            const auto program = generator.next();
            const QString failure = RoundTripFailure(program.document, program.listing);
            if (!failure.isEmpty()) {
                QStringList main;
                for (int r = 0; r < RoutineCount; ++r)
                    for (int s : program.document.occupiedSlots(r))
                        main << QStringLiteral("%1:%2").arg(r).arg(SlotLine(program.document.block(r, s)));
                QFAIL(qPrintable(QStringLiteral("program %1: %2\n%3\n%4")
                                     .arg(i)
                                     .arg(failure, program.listing.join(' '), main.join('\n'))));
            }
        }
    }
};

KORU_TEST_GUILESS_MAIN(TstFlowProperties)
#include "tst_flowproperties.moc"
