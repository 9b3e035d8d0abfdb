// A program file means one program in every step: the image a step builds
// for a file that another step wrote (STEP2 from a STEP1 or STEP3 file,
// STEP3 from a STEP1 or STEP2 file, and back again) makes the virtual kit do
// exactly what the image of the step that wrote it does, whatever the
// switch, the light, the temperature and the humidity it can branch on.
//
// Programs are generated (seeded, a few hundred per step); each image runs in
// the kit's interpreter over a manual clock, and the effect traces (without
// the time stamps, since an instruction more or less shifts them by the
// interpreter's busy time; holds carry their length) are compared.
#include "flowchart/flowtranslate.h"
#include "flowchart/listingimport.h"
#include "icons/iconprogram.h"
#include "testmain.h"
#include "tests/flowchart/programgenerator.h"
#include "tests/kit/kittestutil.h"
#include "tests/text/textfixture.h"
#include "text/textfile.h"

#include <QRandomGenerator>
#include <QTest>

#include <set>

using namespace koru;

namespace {

// Every world whose sensors could make a difference to the listing's ifs and
// waits: switch and light either way, and for temperature and humidity each
// set value, one below and one above.
QList<kit::World> WorldsFor(const QStringList &listing)
{
    std::set<int> temperatures{25};
    std::set<int> humidities{50};
    for (const QString &record : listing) {
        const QStringList f = record.split(QLatin1Char(','));
        if (f.size() != 7)
            continue;
        const int kind = f[0].toInt();
        const int sub = f[1].toInt();
        const int value = f[2].toInt();
        const bool temperature = (kind == 6 && sub == 4) || (kind == 7 && sub >= 4 && sub <= 6);
        const bool humidity = (kind == 6 && sub == 5) || (kind == 7 && sub >= 10 && sub <= 12);
        for (int v : {value - 1, value, value + 1}) {
            if (temperature && v >= 0)
                temperatures.insert(v);
            if (humidity && v >= 0)
                humidities.insert(v);
        }
    }
    QList<kit::World> worlds;
    for (bool pressed : {false, true})
        for (bool bright : {false, true})
            for (int t : temperatures)
                for (int h : humidities)
                    worlds.append({pressed, bright, t, h});
    return worlds;
}

// What the kit does with an image in a world, until the program ends or
// stays waiting (a wait the world never releases) or ten hours have passed.
QStringList TraceOf(const DeviceImage &image, const kit::World &world)
{
    kit::test::Rig rig;
    rig.interpreter.setWorld(world);
    rig.start(image);
    rig.runFor(10LL * 3600 * 1000);
    QStringList trace;
    for (const kit::Effect &e : rig.recorder.effects)
        trace << kit::DescribeEffect(e);
    return trace;
}

// The first world in which the two images differ, described; empty when
// they agree everywhere.
QString Difference(const DeviceImage &a, const DeviceImage &b, const QStringList &listing)
{
    for (const kit::World &w : WorldsFor(listing)) {
        const QStringList ta = TraceOf(a, w);
        const QStringList tb = TraceOf(b, w);
        if (ta != tb)
            return QStringLiteral("switch %1 bright %2 temperature %3 humidity %4\n  %5\n  %6")
                .arg(w.switchPressed)
                .arg(w.bright)
                .arg(w.temperature)
                .arg(w.humidity)
                .arg(ta.join(QStringLiteral(" | ")), tb.join(QStringLiteral(" | ")));
    }
    return {};
}

QStringList ListingFile(const QStringList &listing)
{
    return QStringList{QStringLiteral("OK")} + listing;
}

// STEP2's image of another step's file; nullopt when STEP2 refuses it.
std::optional<DeviceImage> FlowImageOfFile(const QStringList &fileLines, FlowDocument &doc)
{
    if (ImportListing(doc, fileLines).status != ImportResult::Built)
        return std::nullopt;
    const ImageResult result = BuildDeviceImage(doc);
    if (!result.ok())
        return std::nullopt;
    return result.image;
}

// STEP3's program text and image of another step's file; nullopt when STEP3
// refuses it or the text does not pass its checks.
std::optional<std::pair<QStringList, DeviceImage>> TextOfFile(const QStringList &fileLines,
                                                               const TextLanguage &language)
{
    const std::optional<QStringList> text = ProgramTextOfFile(fileLines, language);
    if (!text || !language.check(*text).passed())
        return std::nullopt;
    const TextImage image = language.toBytes(*text);
    if (!image.sendable())
        return std::nullopt;
    return std::pair(*text, image.image);
}

// A row of icons whose loops pair up.
icons::IconProgram RandomRow(QRandomGenerator &rng)
{
    static const QList<int> kinds{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 18, 19};
    while (true) {
        icons::IconProgram row;
        const int used = 1 + int(rng.bounded(icons::SlotCount));
        for (int n = 0; n < used; ++n) {
            if (rng.bounded(5) == 0)
                continue; // gaps mean nothing
            const int kind = kinds.at(int(rng.bounded(int(kinds.size()))));
            row.place(n, kind);
            const QStringList choices = icons::ChoicesOf(kind);
            if (!choices.isEmpty())
                row.setMode(n, int(rng.bounded(int(choices.size()))));
            const icons::IconSlot &slot = row.slot(n);
            if (slot.value) {
                const icons::SliderSpec spec = icons::SliderSpecOf(slot.slider());
                // counts and seconds kept small so that runs stay short
                row.setValue(n, spec.min + int(rng.bounded(std::min(spec.max - spec.min, 40) + 1)));
            }
        }
        if (row.loopsAreValid())
            return row;
    }
}

} // namespace

class TstOneFileEveryStep : public QObject
{
    Q_OBJECT

private:
    std::optional<TextLanguage> m_language;
    static constexpr int Programs = 300;

    // At least most of the generated programs must be ones both steps take,
    // or the property says little.
    static void requireCoverage(int compared, const char *what)
    {
        QVERIFY2(compared >= Programs / 2, qPrintable(QStringLiteral("only %1 %2").arg(compared).arg(what)));
    }

private slots:
    void initTestCase()
    {
        m_language = test::shippedLanguage();
        QVERIFY(m_language);
    }

    // The case that started it: STEP3's motor-off and lamp-off statements
    // have no instruction, and STEP2 must not invent one for them.
    void experimentBoardOffMeansNothingInEveryStep()
    {
        const QStringList file{"OK",
                               "START",
                               "11,0,2,0,0,0,0",
                               "11,1,0,0,0,0,0",
                               "11,2,1,0,0,0,0",
                               "11,3,0,0,0,0,0",
                               "5,0,1,0,0,0,0",
                               "END"};
        FlowDocument doc;
        const auto flow = FlowImageOfFile(file, doc);
        QVERIFY(flow);
        const auto text = TextOfFile(file, *m_language);
        QVERIFY(text);
        QCOMPARE(doc.occupiedSlots(0).size(), 5); // start, motor, lamp, timer, end
        for (int s : doc.occupiedSlots(0))
            QVERIFY(!doc.block(0, s).is("vexo") || doc.block(0, s).params.startsWith(QLatin1String("0,"))
                    || doc.block(0, s).params.startsWith(QLatin1String("2,")));
        const QString difference = Difference(*flow, text->second, file);
        QVERIFY2(difference.isEmpty(), qPrintable(difference));
    }

    void flowchartFilesInTextAndBack()
    {
        test::ProgramGenerator generator(20261213);
        int compared = 0;
        for (int i = 0; i < Programs; ++i) {
            const auto program = generator.next();
            const ImageResult original = BuildDeviceImage(program.document);
            QVERIFY(original.ok());
            const ListingResult listing = BuildCommandListing(program.document);
            QVERIFY(listing.ok());
            const auto text = TextOfFile(ListingFile(listing.listing), *m_language);
            if (!text)
                continue; // longer than STEP3 allows
            FlowDocument back;
            const auto again = FlowImageOfFile(TextProgramFileLines(text->first, *m_language), back);
            QVERIFY2(again, qPrintable(text->first.join(QLatin1Char('\n'))));
            const QString toText = Difference(original.image, text->second, listing.listing);
            QVERIFY2(toText.isEmpty(), qPrintable(QStringLiteral("program %1 in STEP3: %2\n%3")
                                                      .arg(i)
                                                      .arg(toText, listing.listing.join(QLatin1Char(' ')))));
            const QString andBack = Difference(original.image, *again, listing.listing);
            QVERIFY2(andBack.isEmpty(), qPrintable(QStringLiteral("program %1 back in STEP2: %2\n%3")
                                                       .arg(i)
                                                       .arg(andBack, listing.listing.join(QLatin1Char(' ')))));
            ++compared;
        }
        requireCoverage(compared, "flowcharts fit STEP3");
    }

    void textFilesInFlowchartAndBack()
    {
        // Flowchart-shaped listings with the experiment board's "off"
        // statements sprinkled in, written as STEP3 program text.
        test::ProgramGenerator generator(1313);
        QRandomGenerator rng(42);
        int compared = 0;
        for (int i = 0; i < Programs; ++i) {
            QStringList listing = generator.next().listing;
            for (int k = int(rng.bounded(4)); k > 0; --k)
                listing.insert(1 + int(rng.bounded(int(listing.size()) - 1)),
                               rng.bounded(2) ? QStringLiteral("11,1,0,0,0,0,0") : QStringLiteral("11,3,0,0,0,0,0"));
            const auto text = TextOfFile(ListingFile(listing), *m_language);
            if (!text)
                continue;
            const QStringList file = TextProgramFileLines(text->first, *m_language);
            FlowDocument doc;
            const auto flow = FlowImageOfFile(file, doc);
            if (!flow)
                continue; // more blocks than a routine holds
            const ListingResult flowListing = BuildCommandListing(doc);
            QVERIFY(flowListing.ok());
            const auto back = TextOfFile(ListingFile(flowListing.listing), *m_language);
            QVERIFY(back);
            const QString inFlow = Difference(text->second, *flow, listing);
            QVERIFY2(inFlow.isEmpty(), qPrintable(QStringLiteral("program %1 in STEP2: %2\n%3")
                                                      .arg(i)
                                                      .arg(inFlow, text->first.join(QLatin1Char('\n')))));
            const QString andBack = Difference(text->second, back->second, listing);
            QVERIFY2(andBack.isEmpty(), qPrintable(QStringLiteral("program %1 back in STEP3: %2\n%3")
                                                       .arg(i)
                                                       .arg(andBack, text->first.join(QLatin1Char('\n')))));
            ++compared;
        }
        requireCoverage(compared, "texts fit STEP2");
    }

    void iconFilesInFlowchartAndText()
    {
        QRandomGenerator rng(20261213);
        int compared = 0;
        for (int i = 0; i < Programs; ++i) {
            const icons::IconProgram row = RandomRow(rng);
            const DeviceImage original = row.toImage();
            const QStringList listing = row.toRecords();
            FlowDocument doc;
            const auto flow = FlowImageOfFile(ListingFile(listing), doc);
            const auto text = TextOfFile(ListingFile(listing), *m_language);
            if (flow) {
                const QString difference = Difference(original, *flow, listing);
                QVERIFY2(difference.isEmpty(), qPrintable(QStringLiteral("row %1 in STEP2: %2\n%3")
                                                              .arg(i)
                                                              .arg(difference, listing.join(QLatin1Char(' ')))));
            }
            if (text) {
                const QString difference = Difference(original, text->second, listing);
                QVERIFY2(difference.isEmpty(), qPrintable(QStringLiteral("row %1 in STEP3: %2\n%3")
                                                              .arg(i)
                                                              .arg(difference, listing.join(QLatin1Char(' ')))));
            }
            if (flow && text)
                ++compared;
        }
        requireCoverage(compared, "rows fit STEP2 and STEP3");
    }
};

KORU_TEST_GUILESS_MAIN(TstOneFileEveryStep)
#include "tst_onefileeverystep.moc"
