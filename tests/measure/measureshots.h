// Screenshots of the measurement window for the notes of a change: taken
// only when KORU_SHOTS_DIR names a folder. Under Xvfb with
// QT_QPA_PLATFORM=xcb the whole screen, otherwise the window as drawn.
#pragma once

#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>
#include <QTest>
#include <QWidget>

namespace koru::test {

inline void MeasureShot(QWidget *window, const QString &name)
{
    const QString folder = qEnvironmentVariable("KORU_SHOTS_DIR");
    if (folder.isEmpty())
        return;
    QTest::qWait(400);
    const QPixmap picture = QGuiApplication::platformName() == QLatin1String("xcb")
                                ? window->screen()->grabWindow(0)
                                : window->grab();
    QVERIFY(picture.save(folder + QLatin1Char('/') + name + QStringLiteral(".png")));
}

} // namespace koru::test
