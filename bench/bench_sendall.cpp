// koru-tool send --all to 1, 3 and 8 headless virtual kits against one plain
// send, each a whole koru-tool run (start, finding the kits, the paced
// transfer, the kits' FF, the read-back of --verify). Sending to every kit
// at once should take about the time of one transfer: target, 8 kits within
// 1.5 times one plain send --verify.
#include "melody/melody.h"
#include "tests/link/kitprocess.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

using namespace koru;

namespace {

QProcessEnvironment environmentFor(const QString &runtime)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime);
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    return env;
}

bool startKit(QProcess &kit, const QString &runtime)
{
    kit.setProcessEnvironment(environmentFor(runtime));
    kit.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    kit.start(test::KitProcess::executable(), {QStringLiteral("--headless")});
    while (kit.waitForReadyRead(5000))
        if (kit.canReadLine())
            return kit.readLine().startsWith("kit ");
    return false;
}

// The median wall time of rounds koru-tool runs, in ms; -1 when one failed.
double timeTool(const QString &runtime, const QStringList &args, int rounds)
{
    std::vector<double> times;
    for (int round = 0; round < rounds; ++round) {
        QProcess tool;
        tool.setProcessEnvironment(environmentFor(runtime));
        QElapsedTimer wall;
        wall.start();
        tool.start(QCoreApplication::applicationDirPath() + QStringLiteral("/koru-tool"), args);
        if (!tool.waitForFinished(120000) || tool.exitCode() != 0) {
            std::fprintf(stderr, "bench_sendall: koru-tool %s failed: %s\n", qPrintable(args.join(QLatin1Char(' '))),
                         tool.readAllStandardError().constData());
            return -1;
        }
        times.push_back(wall.nsecsElapsed() / 1e6);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (!test::KitProcess::available()) {
        std::fprintf(stderr, "bench_sendall: koru-kit is not built, skipped\n");
        return 0;
    }
    const int rounds = argc > 1 ? qBound(1, atoi(argv[1]), 10) : 1;
    QTemporaryDir runtime, files;
    QFile::setPermissions(runtime.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    Melody melody;
    for (int n = 0; n < 40; ++n)
        melody.addNote(n % 2 ? "12" : "148", 0);
    const QString file = files.filePath(QStringLiteral("bench(メロディ).koru"));
    if (!melody.save(file)) {
        std::fprintf(stderr, "bench_sendall: cannot write %s\n", qPrintable(file));
        return 1;
    }

    std::vector<std::unique_ptr<QProcess>> kits;
    const auto plugIn = [&](int upTo) {
        while (int(kits.size()) < upTo) {
            kits.push_back(std::make_unique<QProcess>());
            if (!startKit(*kits.back(), runtime.path()))
                return false;
        }
        return true;
    };
    if (!plugIn(1)) {
        std::fprintf(stderr, "bench_sendall: a virtual kit did not start\n");
        return 1;
    }
    const double one = timeTool(runtime.path(), {"send", file, "--verify"}, rounds);
    if (one < 0)
        return 1;
    std::printf("bench_sendall: a %d-note melody, median of %d run(s)\n", 40, rounds);
    std::printf("  send --verify, 1 kit:        %7.0f ms\n", one);
    double eight = -1;
    for (const int count : {1, 3, 8}) {
        if (!plugIn(count)) {
            std::fprintf(stderr, "bench_sendall: a virtual kit did not start\n");
            return 1;
        }
        const double all = timeTool(runtime.path(), {"send", file, "--verify", "--all"}, rounds);
        if (all < 0)
            return 1;
        std::printf("  send --verify --all, %d kit%s: %7.0f ms (%.2f x one send)\n", count, count == 1 ? " " : "s",
                    all, all / one);
        eight = all;
    }
    std::printf("bench_sendall: 8 kits in %.2f x the time of one send (target 1.5) %s\n", eight / one,
                eight / one <= 1.5 ? "OK" : "MISSED");
    for (const auto &kit : kits) {
        kit->closeWriteChannel(); // the headless kit ends with its input
        if (!kit->waitForFinished(3000))
            kit->kill();
    }
    return 0;
}
