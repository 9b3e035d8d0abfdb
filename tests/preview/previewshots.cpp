// Shows the preview in one state for a screenshot (tests/preview/shots.sh):
// previewshots idle|glow|wait|radio|step1|stepping. The clock stands still, so the
// state stays until the program is ended.
#include "flowchart/ui/flowwindow.h"
#include "flowchart/ui/parametereditor.h"
#include "icons/ui/iconwindow.h"
#include "link/devicelink.h"
#include "preview/ui/previewwindow.h"
#include "widgets/sentdataviewer.h"

#include "previewtrace.h"

#include <QApplication>
#include <QTimer>

using namespace koru;

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    const QString state = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("idle");
    kit::ManualClock clock;
    preview::PreviewWindow preview(&clock);
    preview.installAsPreview();
    const QRect screen(0, 0, 1280, 1024);
    QList<int> image{230, 2, 231};
    if (state == QLatin1String("glow"))
        image = QList<int>{230, 2} + preview::test::Colour(63, 8, 20, 31) + QList<int>{6, 231};
    else if (state == QLatin1String("wait"))
        image = {230, 2, 171, 4, 231};
    else if (state == QLatin1String("radio"))
        image = {230, 2, 146, 4, 150, 6, 231};
    // No kit: only the preview is shown.
    ManualPaceClock pace;
    DeviceLink link(pace, {});
    SentDataViewer viewer;
    std::unique_ptr<icons::IconWindow> icons;
    flow::BlockParameterWindow parameters;
    std::unique_ptr<flow::FlowWindow> flowchart;
    if (state == QLatin1String("stepping")) {
        // The demo with two subroutines, stepped to the second pass of its
        // loop, into the first subroutine's LED: the panel and the mark agree.
        flowchart = std::make_unique<flow::FlowWindow>(EditorContext{link.context(), nullptr, &viewer}, parameters);
        flowchart->setGeometry(10, 30, 760, 720);
        flowchart->show();
        flowchart->frame()->loadDemo(4);
        QTimer::singleShot(300, [&] {
            flowchart->frame()->preview();
            preview.move(790, 30); // beside the editor, whose mark follows the steps
            preview.step();
            for (int k = 0; k < 14; ++k) {
                preview.step();
                for (int guard = 0; guard < 100 && !preview.run().held() && preview.run().playing(); ++guard) {
                    if (const std::optional<qint64> due = preview.run().nextDueMs())
                        clock.set(*due);
                    preview.run().advance();
                }
            }
        });
    } else if (state == QLatin1String("step1")) {
        icons = std::make_unique<icons::IconWindow>(EditorContext{link.context(), nullptr, &viewer});
        icons->setGeometry(20, 40, 1100, 560);
        icons->show();
        for (auto [slot, kind] : {std::pair{0, int(icons::Beep)}, {1, int(icons::Timer)}, {2, int(icons::Beep)}})
            icons->dropOnSlot(slot, kind);
        QTimer::singleShot(300, [&] {
            icons->frame()->preview();
            preview.play();
            clock.set(2000); // the beep is over: the timer in slot 1 runs
            preview.run().advance();
        });
    } else {
        preview.preview({image, screen, {}, {}});
        if (state != QLatin1String("idle"))
            preview.play();
    }
    return app.exec();
}
