// Report pages from the shipped templates: composing and writing
// "Report/print.html" for a full icon row, for a long text program with
// 10,000-character answers (many characters outside Shift-JIS), and saving
// a flowchart report with five routine pictures. Prints the median and the
// slowest of several runs.
//
//   bench_report [runs]      (default 21)
#include "benchmeasure.h"

#include "model/paths.h"
#include "model/reportrequest.h"
#include "report/reportpage.h"
#include "report/reportsave.h"

#include <QCoreApplication>
#include <QDir>
#include <QImage>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>

using namespace koru;
using namespace koru::report;

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, atoi(argv[1])) : 21;
    QTemporaryDir appData;
    SetAppDataFolder(appData.path());

    ReportInputs pupil;
    pupil.grade = QStringLiteral("3");
    pupil.className = QStringLiteral("2");
    pupil.number = QStringLiteral("15");
    pupil.name = QStringLiteral("テスト");
    ReportInputs long_ = pupil;
    const QString answer = QString::fromUtf8("音で光る<めざまし>&時計😀").repeated(10000 / 16);
    long_.title = long_.idea = long_.workings = long_.ingenuity = long_.impressions = answer;

    QStringList icons;
    for (int slot = 0; slot < 24; ++slot)
        icons << QStringLiteral("%1,フルカラーLED赤点灯%2秒").arg(slot % 17).arg(slot);
    QStringList text;
    for (int line = 0; line < 200; ++line)
        text << QStringLiteral("もし 音 なら 繰り返し %1 回 <テスト & 確認>").arg(line);

    QDir(ReportPictureFolder()).mkpath(QStringLiteral("."));
    QImage picture(480, 690, QImage::Format_RGB32);
    picture.fill(Qt::white);
    for (int n = 0; n < RoutineCount; ++n)
        picture.save(QDir(ReportPictureFolder()).filePath(RoutinePictureName(n)), "BMP");

    bool ok = true;
    auto compose = [&](const ReportInputs &in, int kind, const QStringList &content) {
        ok = WritePrintPage(in, kind, content).ok() && ok;
    };
    std::printf("report pages from the shipped templates, %d runs\n", runs);
    bench::measure("icon page, 24 icons", runs, [&] { compose(pupil, IconReportKind, icons); });
    bench::measure("text page, 200 lines, 5 x 10,000-char answers", runs,
                   [&] { compose(long_, WordReportKind, text); });
    compose(pupil, RoutineReportKind, {});
    const QString target = QDir(appData.path()).filePath(QStringLiteral("課題.html"));
    bench::measure("save flowchart report, 5 pictures", runs, [&] {
        ok = SaveReportPage(PrintPagePath(), ReportPictureFolder(), RoutineReportKind, target).isEmpty() && ok;
    });
    if (!ok) {
        std::fprintf(stderr, "bench_report: a page was not written (are the templates beside the program?)\n");
        return 1;
    }
    return 0;
}
