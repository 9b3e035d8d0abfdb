// The preview: processor time of a run that loops for ever without holding
// (real time, two seconds), and the cost of one fade step on screen (the
// glow layer made anew through the mask, then the seven pictures drawn).
#include "model/paths.h"
#include "preview/previewrun.h"
#include "preview/previewscene.h"
#include "widgets/layeredpicture.h"

#include "benchmeasure.h"

#include <QGuiApplication>
#include <QTimer>

#include <cstdio>
#include <ctime>

using namespace koru;
using namespace koru::preview;

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);

    {
        PreviewRun run;
        run.start({230, 0});
        const std::clock_t before = std::clock();
        QTimer::singleShot(2000, &app, &QCoreApplication::quit);
        app.exec();
        const double cpu = double(std::clock() - before) / CLOCKS_PER_SEC;
        std::printf("endless loop, 2 s of real time: %.2f s processor time\n", cpu);
        run.close();
    }

    LayeredPicture picture(QSize(SceneWidth, SceneHeight), LayerCount);
    const QImage mask(AssetPath(pictures::Mask));
    picture.setBase(QImage(AssetPath(pictures::Base)));
    picture.setLayer(BackLayer, QImage(AssetPath(pictures::Back)), QColor(255, 255, 255));
    picture.setLayer(BodyLayer, QImage(AssetPath(pictures::Body)), QColor(102, 102, 102));
    picture.setLayer(ClockLayer, QImage(AssetPath(pictures::Clock)), QColor(102, 102, 102));
    picture.setLayer(RadioLayer, QImage(AssetPath(pictures::Radio)), QColor(102, 102, 102));
    int level = 255;
    bench::measure("fade step: glow through the mask + compose", 200, [&] {
        picture.setMaskedColour(GlowLayer, QColor(255, 0, 0), mask, level);
        const QImage shown = picture.composed();
        level = level > 150 ? level - 5 : 255;
        Q_UNUSED(shown);
    });
    bench::measure("picture with a transparent colour (a layer)", 50, [&] {
        picture.setLayer(StatusLayer, QImage(AssetPath(WaitPicture(2))), QColor(102, 102, 102));
    });
    return 0;
}
