// The STEP3 language on what a pupil presses F6 with, and on text that is
// not a program: check, translation and image of a full 28-statement
// program, and the check as typed (what STEP3 runs a second after typing); check of 10,000 lines and of one 1 MB line; rendering a listing.
// Prints the median and the slowest of several runs, in microseconds.
//
//   bench_textlanguage [runs]      (default 51)
#include "model/paths.h"
#include "text/keywordtable.h"
#include "text/livecheck.h"
#include "text/textlanguage.h"

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

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, atoi(argv[1])) : 51;
    const std::optional<QStringList> lines = ReadKeywordLines(ShippedKeywordFilePath());
    const std::optional<KeywordTable> table = lines ? KeywordTable::fromLines(*lines) : std::nullopt;
    if (!table) {
        std::fprintf(stderr, "bench_textlanguage: %s not readable\n", qPrintable(ShippedKeywordFilePath()));
        return 1;
    }
    const TextLanguage language(*table);

    QStringList program{QStringLiteral("gettempx(); // 温度を測る")};
    for (int i = 0; i < 4; ++i) {
        program << QStringLiteral("if(temp>x){") << QStringLiteral("  LedOn(255, 0, 0, 1.5);")
                << QStringLiteral("  timer(3);") << QStringLiteral("}") << QStringLiteral("else{")
                << QStringLiteral("  fadein(0,0,255);") << QStringLiteral("}");
    }
    program << QStringLiteral("beep1();");
    if (!language.check(program).passed() || !language.toBytes(program).sendable()) {
        std::fprintf(stderr, "bench_textlanguage: the sample program does not pass\n");
        return 1;
    }
    const QStringList listing = language.toRecords(program);
    const QStringList manyLines(10000, QStringLiteral("beep1();"));
    const QStringList longLine{QStringLiteral("timer(") + QString(1 << 20, QLatin1Char('9')) + QStringLiteral(");")};

    measure("check, 30 lines", runs, [&] { language.check(program); });
    measure("check + toRecords + toBytes, 30 lines", runs, [&] {
        language.check(program);
        language.toBytes(program);
    });
    measure("check as typed (one line under the editor), 30 lines", runs, [&] { CheckAsTyped(language, program); });
    program[5] = QStringLiteral("  timer(3;"); // fails on line 6
    measure("check as typed, 30 lines failing on line 6", runs, [&] { CheckAsTyped(language, program); });
    program[5] = QStringLiteral("  timer(3);");
    measure("renderRecords, 25 records", runs, [&] { language.renderRecords(listing); });
    measure("check, 10,000 lines", runs, [&] { language.check(manyLines); });
    measure("toBytes, 10,000 lines (refused)", runs, [&] { language.toBytes(manyLines); });
    measure("check, one 1 MB line", runs, [&] { language.check(longLine); });
    return 0;
}
