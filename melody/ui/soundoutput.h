// The PC's loudspeaker for the melody window: plays a WAV file without
// waiting for it; a new sound ends the one playing. The window talks to this
// interface so that tests can put a recording stand-in in its place.
#pragma once

#include <QObject>
#include <QString>

namespace koru {

class SoundOutput : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;

    // Starts the file from its beginning, ending any sound playing. False
    // when the machine has no audio output (nothing plays).
    virtual bool play(const QString &path) = 0;
    virtual void stop() = 0;
    virtual bool isPlaying() const = 0;
    virtual QString source() const = 0; // the file playing or last played

signals:
    // Milliseconds into the sound, a few times a second while it plays.
    void positionChanged(qint64 ms);
    // The sound ended, was stopped or could not be played.
    void stopped();
    // The sound could not be played after all (no device, broken output).
    void failed();
};

// The PC's loudspeaker: Qt Multimedia in the module koru-sound
// (melody/ui/sound/), loaded on the first sound, so that the program starts
// without the audio libraries and a window that never plays never touches
// them. Without the module nothing plays (play() is false, as without an
// audio output).
class LoadedSound final : public SoundOutput
{
    Q_OBJECT
public:
    explicit LoadedSound(QObject *parent = nullptr);
    ~LoadedSound() override;

    bool play(const QString &path) override;
    void stop() override;
    bool isPlaying() const override { return m_playing; }
    QString source() const override { return m_source; }
    // Whether the module was found (known from the first sound on).
    bool loaded() const { return m_player; }

private slots:
    void onStopped();

private:
    QObject *player();

    QObject *m_player = nullptr;
    bool m_loaded = false;
    QString m_source;
    bool m_playing = false;
};

} // namespace koru
