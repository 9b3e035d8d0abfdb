// Random documents, files, listings and memories thrown at every entry
// point: nothing may crash or hang, and whatever a loader accepts must be a
// sound document. Seeds are fixed so a failure repeats.
#include "flowchart/flowdemos.h"
#include "flowchart/flowedit.h"
#include "flowchart/flowfile.h"
#include "flowchart/listingimport.h"
#include "flowchart/readback.h"
#include "model/catalogue.h"
#include "programgenerator.h"
#include "testmain.h"

#include <QRandomGenerator>
#include <QTest>

using namespace koru;

namespace {

class Fuzz
{
public:
    explicit Fuzz(quint32 seed) : rng(seed) {}
    int pick(int n) { return int(rng.bounded(n)); }
    int range(int low, int high) { return low + pick(high - low + 1); }
    bool chance(int percent) { return pick(100) < percent; }

    QString kind()
    {
        const QStringList &keywords = ProgramKeywords();
        return keywords.at(pick(int(keywords.size())));
    }
    QString params()
    {
        if (chance(5))
            return QStringLiteral("x,,9");
        QStringList fields;
        for (int i = 0; i < 6; ++i)
            fields << QString::number(chance(10) ? range(-5, 999) : range(0, i == 0 ? 16 : 6));
        return fields.join(QLatin1Char(','));
    }

    QRandomGenerator rng;
};

// Everything the editor may do with a document, none of which may fail.
void Exercise(const FlowDocument &doc)
{
    const ProgramCheck check = CheckProgram(doc);
    for (int r = 0; r < RoutineCount; ++r) {
        CheckRoutine(doc, r);
        LineariseRoutine(doc, r);
        doc.byteAddress(r, 0);
        doc.blockAt(r, QPoint(100, 100));
    }
    const ListingResult listing = BuildCommandListing(doc);
    if (!listing.listing.isEmpty()) {
        QCOMPARE(listing.listing.first(), QStringLiteral("START"));
        QCOMPARE(listing.listing.last(), QStringLiteral("END"));
    }
    const ImageResult image = BuildDeviceImage(doc);
    QCOMPARE(image.ok(), check.ok());
    if (image.ok())
        QCOMPARE(image.image.size(), doc.byteTotal());
    QCOMPARE(EncodeFlowDocument(doc).size(), doc.byteTotal());
}

// A document a loader accepted: sound, and saved and loaded unchanged.
void ExpectSound(const FlowDocument &doc)
{
    QVERIFY2(doc.invariantViolations().isEmpty(), qPrintable(doc.invariantViolations().join('\n')));
    Exercise(doc);
    FlowDocument again;
    QVERIFY(LoadFlowLines(again, FlowFileLines(doc)).ok());
    QVERIFY(again == doc);
}

} // namespace

class TstFlowFuzz : public QObject
{
    Q_OBJECT
private slots:
    // Arbitrary graphs straight in the slots: free-slot targets, arrows out
    // of range, self-links, calls of any number, start blocks anywhere.
    void randomGraphs()
    {
        Fuzz f(1);
        for (int i = 0; i < 1500; ++i) {
            FlowDocument doc;
            for (int r = 0; r < RoutineCount; ++r) {
                const int blocks = f.chance(30) ? 0 : f.range(1, 12);
                for (int k = 0; k < blocks; ++k) {
                    const int s = f.chance(25) ? 0 : f.pick(SlotsPerRoutine);
                    FlowBlock &b = doc.rawBlock(r, s);
                    b.slotNo = s;
                    b.kind = f.chance(20) ? QStringLiteral("if") : f.kind();
                    b.params = b.kind == QLatin1String("routine") ? QStringLiteral("0,%1,0,0,0,0").arg(f.range(-1, 6))
                                                                  : f.params();
                    b.next = f.chance(85) ? f.range(-3, 33) : NoSlot;
                    b.branch = f.chance(70) ? f.range(-3, 33) : NoSlot;
                    if (f.chance(50))
                        b.incoming = {f.range(-2, 31), f.range(0, 29)};
                }
            }
            Exercise(doc);
            doc.repairArrows();
            Exercise(doc);
        }
    }

    // Random editing through the document's operations keeps it sound.
    void randomEditing()
    {
        Fuzz f(2);
        FlowDocument doc;
        for (int i = 0; i < 6000; ++i) {
            const int r = f.pick(RoutineCount);
            const int s = f.pick(SlotsPerRoutine);
            const int t = f.pick(SlotsPerRoutine);
            switch (f.pick(14)) {
            case 0:
            case 1:
                doc.place(r, f.chance(10) ? 0 : doc.freeSlot(r), f.kind(), f.range(-50, 900), f.range(-50, 900));
                doc.setParams(r, s, f.params());
                break;
            case 10: {
                const EditResult dropped = DropNewBlock(doc, r, f.pick(12), QPoint(f.range(-50, 900), f.range(-50, 900)));
                if (dropped.ok())
                    ConfirmNewBlock(doc, r, dropped.slot, f.params());
                break;
            }
            case 11:
                ReplaceBlock(doc, r, s, f.pick(12), f.params());
                break;
            case 12:
                PasteBlocks(doc, r, {s, t, f.pick(SlotsPerRoutine)});
                break;
            case 13:
                AlignBlocks(doc, r, {s, t, f.pick(SlotsPerRoutine)}, Alignment(f.pick(8)));
                break;
            case 2:
            case 3:
                doc.linkBottom(r, s, t);
                break;
            case 4:
                doc.linkSide(r, s, t);
                break;
            case 5:
                doc.linkBottomAt(r, s, QPoint(f.range(0, 900), f.range(0, 900)));
                break;
            case 6:
                doc.removeBlocks(r, {s, t});
                break;
            case 7:
                doc.removeArrows(r, s);
                break;
            case 8:
                doc.changeKind(r, s, f.kind(), f.params());
                break;
            default:
                if (f.chance(3))
                    doc.clear();
                doc.setPosition(r, s, f.range(-50, 900), f.range(-50, 900));
                break;
            }
            QStringList problems = doc.invariantViolations();
            problems.removeIf([](const QString &p) { return p.startsWith(QLatin1String("byte total")); });
            QVERIFY2(problems.isEmpty(), qPrintable(QStringLiteral("step %1: ").arg(i) + problems.join('\n')));
            if (i % 20 == 0)
                Exercise(doc);
        }
    }

    // Saved flowcharts with random damage.
    void damagedFiles()
    {
        Fuzz f(3);
        QList<QStringList> seeds;
        for (int n = 1; n <= FlowDemoCount; ++n)
            seeds << FlowFileLines(DemoFlowchart(n));
        test::ProgramGenerator generator(3);
        for (int i = 0; i < 8; ++i)
            seeds << FlowFileLines(generator.next().document);
        const QString alphabet = QStringLiteral("-,0123456789 abcdefghilnoprstuxy");
        int accepted = 0;
        for (int i = 0; i < 2000; ++i) {
            QStringList lines = seeds.at(f.pick(int(seeds.size())));
            const int edits = f.range(1, 4);
            for (int e = 0; e < edits && !lines.isEmpty(); ++e) {
                const int at = f.pick(int(lines.size()));
                switch (f.pick(6)) {
                case 0:
                    lines.removeAt(at);
                    break;
                case 1:
                    lines.insert(at, lines.at(f.pick(int(lines.size()))));
                    break;
                case 2:
                    lines[at] = QString();
                    break;
                case 3:
                    lines = lines.mid(0, at);
                    break;
                default: {
                    QString &line = lines[at];
                    const int pos = line.isEmpty() ? 0 : f.pick(int(line.size()));
                    line.insert(pos, alphabet.at(f.pick(int(alphabet.size()))));
                    if (f.chance(50) && pos + 1 < line.size())
                        line.remove(pos + 1, 1);
                    break;
                }
                }
            }
            FlowDocument doc;
            const FlowLoadResult result = LoadFlowLines(doc, lines);
            if (result.ok()) {
                ++accepted;
                ExpectSound(doc);
            } else {
                QCOMPARE(doc.blockCount(), 0);
                QVERIFY(!result.message.isEmpty());
            }
        }
        QVERIFY(accepted > 100); // the damage is not always fatal
    }

    // Listings of other steps with random records and markers.
    void randomListings()
    {
        Fuzz f(4);
        const QStringList pool{"7,0,0,0,0,0,0", "7,8,0,0,0,0,0", "12,0,0,0,0,0,0", "13,0,0,0,0,0,0",
                               "5,0,3,0,0,0,0", "8,0,2,0,0,0,0", "8,1,0,0,0,0,0", "9,0,1,0,0,0,0",
                               "2,1,255,0,0,11,0", "10,0,0,0,0,0,0", "START", "END", "", "4,3", "7,0,0,0,0,0,x"};
        int built = 0;
        for (int i = 0; i < 3000; ++i) {
            QStringList lines{"OK", "START"};
            const int n = f.range(0, 32);
            for (int k = 0; k < n; ++k)
                lines << pool.at(f.chance(85) ? f.pick(10) : f.pick(int(pool.size())));
            lines << QStringLiteral("END");
            FlowDocument doc;
            const ImportResult result = ImportListing(doc, lines);
            if (result.status == ImportResult::Built) {
                ++built;
                ExpectSound(doc);
            } else {
                QCOMPARE(doc.blockCount(), 0);
            }
        }
        QVERIFY(built > 100);
    }

    // Kit memories with random bytes and lines.
    void randomMemories()
    {
        Fuzz f(5);
        const QList<int> codes{230, 231, 206, 131, 145, 146, 150, 160, 170, 174, 180, 184, 200, 201, 205, 210, 220, 250};
        int complete = 0;
        for (int i = 0; i < 3000; ++i) {
            QList<int> bytes;
            const int n = f.range(1, 80);
            for (int k = 0; k < n; ++k) {
                if (k == 0 && f.chance(80))
                    bytes << 230;
                else if (f.chance(40))
                    bytes << codes.at(f.pick(int(codes.size())));
                else
                    bytes << f.range(0, n + 2);
            }
            QStringList lines = MemoryLinesOfImage(bytes);
            if (f.chance(10))
                lines[f.pick(int(lines.size()))] = QStringLiteral("G7 ");
            if (f.chance(10))
                lines.removeLast();
            FlowDocument doc;
            const ReadbackResult result = RebuildFromMemory(doc, lines);
            QVERIFY(result.steps <= ReadbackStepLimit);
            if (result.status == ReadbackResult::Complete)
                ++complete;
            if (result.status == ReadbackResult::TooManySteps || result.status == ReadbackResult::Unusable
                || result.status == ReadbackResult::NoProgram)
                QCOMPARE(doc.blockCount(), 0);
            ExpectSoundExceptBudget(doc);
        }
        QVERIFY(complete > 100);
    }

private:
    static void ExpectSoundExceptBudget(const FlowDocument &doc)
    {
        QStringList problems = doc.invariantViolations();
        problems.removeIf([](const QString &p) { return p.startsWith(QLatin1String("byte total")); });
        QVERIFY2(problems.isEmpty(), qPrintable(problems.join('\n')));
        Exercise(doc);
    }
};

KORU_TEST_GUILESS_MAIN(TstFlowFuzz)
#include "tst_flowfuzz.moc"
