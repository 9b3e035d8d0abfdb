// A loudspeaker for tests: records what it was asked to play and lets the
// test move the playing position or end the sound.
#pragma once

#include "melody/ui/soundoutput.h"

namespace koru::test {

class FakeSound final : public SoundOutput
{
    Q_OBJECT
public:
    bool hasOutput = true;
    QStringList played;

    bool play(const QString &path) override
    {
        if (!hasOutput) {
            stop();
            return false;
        }
        m_source = path;
        played.append(path);
        m_playing = true;
        return true;
    }
    void stop() override
    {
        if (!m_playing)
            return;
        m_playing = false;
        emit stopped();
    }
    bool isPlaying() const override { return m_playing; }
    QString source() const override { return m_source; }

    void moveTo(qint64 ms) { emit positionChanged(ms); }

private:
    QString m_source;
    bool m_playing = false;
};

} // namespace koru::test
