// The loudspeaker module (koru-sound): Qt Multimedia behind a plain QObject,
// so that the program loads Qt Multimedia and the audio libraries only when
// the melody window first plays a sound (melody/ui/soundoutput.h,
// LoadedSound). The program reaches it through its meta-object alone: the
// invokable methods and signals below are its whole interface.
#include <QAudioDevice>
#include <QAudioOutput>
#include <QMediaDevices>
#include <QMediaPlayer>
#include <QTimer>
#include <QUrl>

namespace {

class MultimediaPlayer final : public QObject
{
    Q_OBJECT
public:
    explicit MultimediaPlayer(QObject *parent) : QObject(parent) {}
    ~MultimediaPlayer() override
    {
        if (m_player)
            m_player->stop();
    }

    // Starts the file from its beginning, ending any sound playing. False
    // when the machine has no audio output (nothing plays).
    Q_INVOKABLE bool play(const QString &path)
    {
        if (QMediaDevices::audioOutputs().isEmpty()) {
            stop();
            return false;
        }
        if (!m_player) {
            m_player = new QMediaPlayer(this);
            m_output = new QAudioOutput(this);
            m_player->setAudioOutput(m_output);
            m_follow = new QTimer(this);
            m_follow->setInterval(40);
            connect(m_follow, &QTimer::timeout, this, [this] { emit positionChanged(m_player->position()); });
            connect(m_player, &QMediaPlayer::mediaStatusChanged, this, [this](QMediaPlayer::MediaStatus status) {
                if (status == QMediaPlayer::EndOfMedia || status == QMediaPlayer::InvalidMedia)
                    finish();
            });
            connect(m_player, &QMediaPlayer::errorOccurred, this, [this](QMediaPlayer::Error error) {
                if (error == QMediaPlayer::NoError)
                    return;
                finish();
                emit failed();
            });
        }
        m_output->setDevice(QMediaDevices::defaultAudioOutput());
        m_player->stop();
        // The same name may hold a new sound: load it afresh.
        m_player->setSource(QUrl());
        m_player->setSource(QUrl::fromLocalFile(path));
        m_player->play();
        m_playing = true;
        m_follow->start();
        return true;
    }

    Q_INVOKABLE void stop()
    {
        if (m_player)
            m_player->stop();
        finish();
    }

signals:
    void positionChanged(qint64 ms);
    void stopped();
    void failed();

private:
    void finish()
    {
        if (m_follow)
            m_follow->stop();
        if (!m_playing)
            return;
        m_playing = false;
        emit stopped();
    }

    QMediaPlayer *m_player = nullptr;
    QAudioOutput *m_output = nullptr;
    QTimer *m_follow = nullptr;
    bool m_playing = false;
};

} // namespace

extern "C" Q_DECL_EXPORT QObject *KoruNewSoundPlayer(QObject *parent)
{
    return new MultimediaPlayer(parent);
}

#include "multimediaplayer.moc"
