// Screenshots of the melody window for people to look at (not a test):
// run on a real display, e.g.
//   xvfb-run -a -s "-screen 0 1280x1024x24" build/main/bin/melody-shots build/shots/melody
// It composes through the window's own gestures and saves the whole screen
// after each step.
#include "link/devicelink.h"
#include "melody/ui/melodyparts.h"
#include "melody/ui/melodywindow.h"
#include "model/paths.h"
#include "model/dialogservice.h"
#include "widgets/kitpanels.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QMenu>
#include <QRadioButton>
#include <QScreen>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>
#include <functional>

using namespace koru;
using namespace koru::melody;

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QFont font(QStringLiteral("ＭＳ Ｐゴシック"));
    QFont::insertSubstitutions(font.family(), {QStringLiteral("IPAPGothic"), QStringLiteral("IPAGothic")});
    font.setPixelSize(12);
    QApplication::setFont(font);
    const QString out = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("shots");
    QDir().mkpath(out);
    QTemporaryDir appData;
    SetAppDataFolder(appData.path());

    // No kit: only the window is shown.
    ManualPaceClock pace;
    DeviceLink link(pace, {});
    NoteChooser chooser;
    auto *window = new MelodyWindow(EditorContext{link.context()}, chooser);
    window->show();
    const auto shot = [&](const char *name) {
        const QString path = out + QLatin1Char('/') + QLatin1String(name) + QStringLiteral(".png");
        QGuiApplication::primaryScreen()->grabWindow(0).save(path);
        std::printf("%s\n", qPrintable(path));
    };
    const auto child = [window](const char *name) { return window->findChild<QWidget *>(name); };

    // One step after another, each given time to be drawn.
    std::vector<std::function<void()>> steps = {
        [&] { shot("01-empty-staff"); },
        [&] {
            const char *keys[] = {"pw7", "pw9", "pw11", "pB12", "pw14", "pw148", "pw16", "pw18",
                                  "pw21", "pw4", "pB0", "pw0", "pw2", "pw148", "pw7", "pw11", "pw14", "pw19"};
            int i = 0;
            for (const char *key : keys) {
                qobject_cast<QRadioButton *>(child(qPrintable(QStringLiteral("radio_Len%1").arg((i++ * 3) % 4 + 1))))->click();
                window->clickKey(QLatin1String(key));
            }
            const int colours[LedSlotCount] = {0, 4, 3, 6, 1, 5, 0, 2, 4, 3, 6, 5, 7};
            for (int slot = 0; slot < LedSlotCount; ++slot)
                qobject_cast<QComboBox *>(child(qPrintable(QStringLiteral("LED_Combo%1").arg(slot))))->setCurrentIndex(colours[slot]);
            qobject_cast<QRadioButton *>(child("Linl_Radio0"))->click();
        },
        [&] { shot("02-two-rows-led-bars"); },
        [&] {
            const StaffAnchor a = window->anchors()[3];
            const QPoint at(a.column + 15, a.rowTop + a.offset + 17);
            window->rightClickStaff(at, window->staffArea()->mapToGlobal(at));
        },
        [&] { shot("03-context-menu"); },
        [&] {
            window->noteMenu()->hide();
            window->editSelected();
        },
        [&] { shot("04-insert-edit-window"); },
        [&] {
            chooser.reject();
            qobject_cast<QTabWidget *>(child("Tabs"))->setCurrentIndex(1);
        },
        [&] { shot("05-led-link-tab"); },
        [&] {
            PlayingPanel *panel = window->frame()->playingPanel();
            panel->move((window->width() - panel->width()) / 2, (window->height() - panel->height()) / 2);
            panel->show();
            panel->raise();
        },
        [&] { shot("06-running-panel"); },
        [&] {
            window->frame()->playingPanel()->hide();
            GetDataPanel *panel = window->frame()->getDataPanel();
            panel->move((window->width() - panel->width()) / 2, (window->height() - panel->height()) / 2);
            panel->show();
            panel->raise();
        },
        [&] { shot("07-get-data-panel"); },
        [&] {
            window->frame()->getDataPanel()->hide();
            qobject_cast<QTabWidget *>(child("Tabs"))->setCurrentIndex(0);
            window->preview(PreviewRange::All); // on a machine without sound: the quiet line
        },
        [&] { shot("08-playing"); },
        [&] { QCoreApplication::exit(0); },
    };
    int next = 0;
    QTimer timer;
    timer.setInterval(700);
    QObject::connect(&timer, &QTimer::timeout, [&] {
        if (next < int(steps.size()))
            steps[size_t(next++)]();
    });
    timer.start();
    const int code = QApplication::exec();
    window->frame()->getDataPanel()->hide();
    delete window;
    return code;
}
