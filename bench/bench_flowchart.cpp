// The STEP2 flowchart logic on the largest documents it meets: check,
// listing, image, save lines, load and read-back of a full main routine of
// merging branches (the walks' worst case) and of a demo with
// subroutines. Prints the median and the slowest of several runs, in
// microseconds.
//
//   bench_flowchart [runs]      (default 51)
#include "flowchart/flowdemos.h"
#include "flowchart/flowfile.h"
#include "flowchart/readback.h"
#include "model/budget.h"

#include "bench/benchmeasure.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

using namespace koru;
using koru::bench::measure;

namespace {

// start, then nine if blocks whose two paths (a timer and a sound) meet at
// the next if, then the end block: 29 blocks, 75 bytes.
FlowDocument Branchy()
{
    FlowDocument doc;
    FlowBuilder b(doc, 0);
    const int start = b.add("start", "0,0,0,0,0,0", 0, 0);
    QList<int> ifs, yes, no;
    for (int i = 0; i < 9; ++i) {
        ifs << b.add("if", "0,0,0,0,0,0", 0, 1 + 3 * i);
        yes << b.add("timer", "0,1,0,0,0,0", 0, 2 + 3 * i);
        no << b.add("sound", "3,0,0,0,0,0", 1, 2 + 3 * i);
    }
    const int end = b.add("end", "0,0,0,0,0,0", 0, 28);
    b.chain({start, ifs.first()});
    for (int i = 0; i < 9; ++i) {
        const int meet = i + 1 < 9 ? ifs.at(i + 1) : end;
        b.chain({ifs.at(i), yes.at(i), meet});
        b.side(ifs.at(i), no.at(i));
        b.chain({no.at(i), meet});
    }
    return doc;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, atoi(argv[1])) : 51;
    const struct {
        const char *name;
        FlowDocument doc;
    } cases[] = {{"9 merging branches in a row", Branchy()}, {"demo 4 (two subroutines)", DemoFlowchart(4)}};

    for (const auto &c : cases) {
        const FlowDocument &doc = c.doc;
        if (!CheckProgram(doc).ok() || BuildCommandListing(doc).listing.isEmpty()) {
            std::fprintf(stderr, "bench_flowchart: %s does not translate\n", c.name);
            return 1;
        }
        std::printf("%s: %d blocks, %d bytes\n", c.name, doc.blockCount(), doc.byteTotal());
        measure("  check", runs, [&] { CheckProgram(doc); });
        // What the status line's budget costs on every change.
        measure("  budget line", runs, [&] {
            const QList<BudgetPart> parts{{InstructionBudget, doc.blockCount(0), SlotsPerRoutine},
                                          {ByteBudget, doc.byteTotal(), MaxImageBytes}};
            LevelOf(parts);
            BudgetText(parts);
        });
        measure("  CommandListing", runs, [&] { BuildCommandListing(doc); });
        measure("  DeviceImage (with check)", runs, [&] { BuildDeviceImage(doc); });
        const QStringList lines = FlowFileLines(doc);
        measure("  file lines (with listing)", runs, [&] { FlowFileLines(doc); });
        measure("  load file lines", runs, [&] {
            FlowDocument loaded;
            LoadFlowLines(loaded, lines);
        });
        const QStringList memory = MemoryLinesOfImage(BuildDeviceImage(doc).image);
        measure("  read-back walk", runs, [&] {
            FlowDocument rebuilt;
            RebuildFromMemory(rebuilt, memory);
        });
    }
    return 0;
}
