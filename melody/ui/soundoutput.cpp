#include "melody/ui/soundoutput.h"

#include <QAudioDevice>
#include <QAudioOutput>
#include <QMediaDevices>
#include <QMediaPlayer>
#include <QTimer>
#include <QUrl>

namespace koru {

MultimediaSound::MultimediaSound(QObject *parent) : SoundOutput(parent) {}

MultimediaSound::~MultimediaSound()
{
    if (m_player)
        m_player->stop();
}

bool MultimediaSound::play(const QString &path)
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
    m_source = path;
    // The same name may hold a new sound: load it afresh.
    m_player->setSource(QUrl());
    m_player->setSource(QUrl::fromLocalFile(path));
    m_player->play();
    m_playing = true;
    m_follow->start();
    return true;
}

void MultimediaSound::stop()
{
    if (m_player)
        m_player->stop();
    finish();
}

bool MultimediaSound::isPlaying() const
{
    return m_playing;
}

void MultimediaSound::finish()
{
    if (m_follow)
        m_follow->stop();
    if (!m_playing)
        return;
    m_playing = false;
    emit stopped();
}

} // namespace koru
