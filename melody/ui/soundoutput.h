// The PC's loudspeaker for the melody window: plays a WAV file without
// waiting for it; a new sound ends the one playing. The window talks to this
// interface so that tests can put a recording stand-in in its place.
#pragma once

#include <QObject>
#include <QString>

class QAudioOutput;
class QMediaPlayer;
class QTimer;

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

// Qt Multimedia behind the interface. The player is made on the first
// sound, so a window that never plays never touches the audio system.
class MultimediaSound final : public SoundOutput
{
    Q_OBJECT
public:
    explicit MultimediaSound(QObject *parent = nullptr);
    ~MultimediaSound() override;

    bool play(const QString &path) override;
    void stop() override;
    bool isPlaying() const override;
    QString source() const override { return m_source; }

private:
    void finish();

    QMediaPlayer *m_player = nullptr;
    QAudioOutput *m_output = nullptr;
    QTimer *m_follow = nullptr;
    QString m_source;
    bool m_playing = false;
};

} // namespace koru
