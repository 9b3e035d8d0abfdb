// Preview sound of a full melody: 110 half notes across the keyboard, built
// in memory and written to the work folder as the window does it. Prints the
// median and the slowest of several runs.
//
//   bench_melody_wav [runs]      (default 21)
#include "melody/preview.h"
#include "model/paths.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

using namespace koru;

namespace {

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, atoi(argv[1])) : 21;
    QTemporaryDir appData;
    SetAppDataFolder(appData.path());

    Melody melody;
    melody.setSelectedLength(3);
    for (int i = 0; i < MelodySlotCount; ++i)
        melody.addNote(QString::number(i % 22), 0);

    std::vector<double> inMemory, toFile;
    qsizetype bytes = 0;
    for (int r = 0; r < runs; ++r) {
        QElapsedTimer timer;
        timer.start();
        const QByteArray wave = PreviewWave(PreviewCodes(melody, PreviewRange::All), melody.speed());
        inMemory.push_back(timer.nsecsElapsed() / 1e6);
        bytes = wave.size();

        timer.restart();
        const QString path = BuildPreview(melody, PreviewRange::All);
        toFile.push_back(timer.nsecsElapsed() / 1e6);
        if (path.isEmpty() || QFileInfo(path).size() != bytes) {
            std::fprintf(stderr, "bench_melody_wav: the preview was not written\n");
            return 1;
        }
    }
    std::printf("melody wav, 110 half notes (%lld bytes, %.1f s of sound), %d runs\n",
                static_cast<long long>(bytes), (bytes - 44) / double(PreviewSampleRate), runs);
    std::printf("  build in memory : median %.2f ms, slowest %.2f ms\n", median(inMemory),
                *std::max_element(inMemory.begin(), inMemory.end()));
    std::printf("  build and write : median %.2f ms, slowest %.2f ms\n", median(toFile),
                *std::max_element(toFile.begin(), toFile.end()));
    return 0;
}
