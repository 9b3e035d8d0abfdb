// Autosave's cost to the pupil, per editor, for its largest demo (the
// melody: all 110 notes): the lines asked for on every tick, and the write
// of the recovery copy with its record (both on the user-interface thread).
#include "benchmeasure.h"

#include "editor/recovery.h"
#include "flowchart/flowfile.h"
#include "icons/iconfile.h"
#include "melody/melody.h"
#include "model/paths.h"
#include "model/programfile.h"
#include "text/ui/textfilecommands.h"

#include <QCoreApplication>
#include <QTemporaryDir>

#include <cstdio>

using namespace koru;

namespace {

qsizetype Bytes(const QStringList &lines)
{
    return EncodeProgramText(lines).value_or(QByteArray()).size();
}

// The largest of an editor's demos as the lines a save writes.
QStringList Largest(const std::function<std::optional<QStringList>(int)> &demo, int count)
{
    QStringList largest;
    for (int n = 1; n <= count; ++n) {
        const std::optional<QStringList> lines = demo(n);
        if (lines && Bytes(*lines) > Bytes(largest))
            largest = *lines;
    }
    return largest;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, atoi(argv[1])) : 201;
    QTemporaryDir appData;
    SetAppDataFolder(appData.path());

    struct Case
    {
        const char *key;
        std::function<QStringList()> lines;
    };
    const Case cases[] = {
        {"STEP1", [] {
             return Largest([](int n) -> std::optional<QStringList> {
                 icons::IconProgram program;
                 if (!icons::LoadDemo(n, program).ok)
                     return std::nullopt;
                 return icons::IconFileLines(program);
             }, 2);
         }},
        {"STEP2", [] {
             return Largest([](int n) -> std::optional<QStringList> {
                 FlowDocument doc;
                 if (!LoadFlowDemo(doc, n).toFileResult().ok)
                     return std::nullopt;
                 return FlowFileLines(doc);
             }, FlowDemoCount);
         }},
        {"STEP3", [] { return Largest([](int n) { return ReadProgramLines(text::TextDemoPath(n)); }, 4); }},
        {"MELODY", [] {
             Melody melody;
             for (int i = 0; i < MelodySlotCount; ++i) {
                 melody.setSelectedLength(i % 4);
                 melody.addNote(QString::number((i * 5) % 22), 0);
             }
             return melody.fileLines();
         }},
    };

    RecoveryStore store(appData.filePath(QStringLiteral("Recovery")));
    for (const Case &c : cases) {
        const QStringList lines = c.lines();
        std::printf("%s: %lld bytes\n", c.key, static_cast<long long>(Bytes(lines)));
        bench::measure(qPrintable(QStringLiteral("%1 lines on a tick").arg(QLatin1String(c.key))), runs,
                       [&] { (void)c.lines(); });
        bench::measure(qPrintable(QStringLiteral("%1 recovery copy written").arg(QLatin1String(c.key))), runs,
                       [&] { store.write(QLatin1String(c.key), lines, QStringLiteral("/home/pupil/lesson.koru")); });
    }
    return 0;
}
