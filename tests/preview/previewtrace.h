// Shared by the preview tests: a preview run over a manual clock that writes
// down what the pupil would see, one line per change ("1000 run Melody.gif",
// "0 run glow(255,0,0)/150 Back.gif Hontai.gif Tokei.gif", "2000 idle"), and
// the addresses the run reported.
#pragma once

#include "kit/clock.h"
#include "preview/previewrun.h"

#include <QList>
#include <QStringList>

namespace koru::preview::test {

inline QString StateName(PreviewRun::State state)
{
    switch (state) {
    case PreviewRun::State::Idle: return QStringLiteral("idle");
    case PreviewRun::State::Running: return QStringLiteral("run");
    case PreviewRun::State::Waiting: return QStringLiteral("wait");
    case PreviewRun::State::Stopping: return QStringLiteral("stopping");
    }
    return QString();
}

inline QString DescribeScene(const PreviewScene &scene)
{
    QStringList parts;
    if (scene.glow)
        parts.append(QStringLiteral("glow(%1,%2,%3)/%4")
                         .arg(scene.glowColour.red)
                         .arg(scene.glowColour.green)
                         .arg(scene.glowColour.blue)
                         .arg(scene.glowLevel));
    for (const QString &picture : scene.layers) {
        if (!picture.isEmpty())
            parts.append(picture.section(QLatin1Char('\\'), -1));
    }
    return parts.join(QLatin1Char(' '));
}

// The three bytes of an LED colour: levels 0-63, time in quarter seconds.
inline QList<int> Colour(int red, int green, int blue, int quarters)
{
    const int word = red << 17 | green << 11 | blue << 5 | quarters;
    return {word >> 16 & 0xFF, word >> 8 & 0xFF, word & 0xFF};
}

inline QStringList Texts(const QList<int> &bytes)
{
    QStringList texts;
    for (int b : bytes)
        texts.append(QString::number(b));
    return texts;
}

// A run over a manual clock with its trace.
struct Rig
{
    Rig()
    {
        QObject::connect(&run, &PreviewRun::changed, [this] { note(); });
        QObject::connect(&run, &PreviewRun::reached, [this](int a) { addresses.append(a); });
    }
    void start(const QList<int> &image, PreviewRun::Pace pace = PreviewRun::Pace::Continuous)
    {
        run.start(image, pace);
    }
    // "1ステップ", then on until the run holds again or ends.
    void step(qint64 limitMs = 600000)
    {
        run.step();
        runFor(limitMs, true);
    }
    void note()
    {
        QString line = run.held() ? QStringLiteral("held") : StateName(run.state());
        const QString scene = DescribeScene(run.scene());
        if (!scene.isEmpty())
            line += QLatin1Char(' ') + scene;
        if (line != last)
            lines.append(QString::number(clock.nowMs()) + QLatin1Char(' ') + line);
        last = line;
    }
    // Moves the clock on, stopping at every moment the run has something due.
    // With untilHeld, time stops where the run holds or ends.
    void runFor(qint64 ms, bool untilHeld = false)
    {
        const qint64 until = clock.nowMs() + ms;
        for (int guard = 0; guard < 1000000; ++guard) {
            const std::optional<qint64> due = run.nextDueMs();
            if (!due || *due > until)
                break;
            clock.set(*due);
            run.advance();
        }
        if (untilHeld && (run.held() || !run.playing()))
            return;
        clock.set(until);
        run.advance();
    }

    kit::ManualClock clock;
    PreviewRun run{&clock};
    QStringList lines;
    QString last;
    QList<int> addresses;
};

} // namespace koru::preview::test
