#include "melody/ui/soundoutput.h"

#include "widgets/loadedmodule.h"

#include <utility>

namespace koru {

LoadedSound::LoadedSound(QObject *parent) : SoundOutput(parent) {}

LoadedSound::~LoadedSound()
{
    // Before this object stops being a LoadedSound, so that the player's
    // last "stopped" still reaches onStopped(). The module stays loaded.
    delete m_player;
}

QObject *LoadedSound::player()
{
    if (m_loaded)
        return m_player;
    m_loaded = true;
    using Make = QObject *(*)(QObject *);
    const auto make = ModuleFunctionAs<Make>(QStringLiteral("koru-sound"), "KoruNewSoundPlayer");
    if (!make)
        return nullptr;
    m_player = make(this);
    // By name: the player's class is the module's own.
    connect(m_player, SIGNAL(positionChanged(qint64)), this, SIGNAL(positionChanged(qint64)));
    connect(m_player, SIGNAL(failed()), this, SIGNAL(failed()));
    connect(m_player, SIGNAL(stopped()), this, SLOT(onStopped()));
    return m_player;
}

bool LoadedSound::play(const QString &path)
{
    QObject *sound = player();
    bool started = false;
    if (sound)
        QMetaObject::invokeMethod(sound, "play", Q_RETURN_ARG(bool, started), Q_ARG(QString, path));
    if (!started) {
        stop();
        return false;
    }
    m_source = path;
    m_playing = true;
    return true;
}

void LoadedSound::stop()
{
    if (m_player)
        QMetaObject::invokeMethod(m_player, "stop");
    onStopped();
}

void LoadedSound::onStopped()
{
    if (!std::exchange(m_playing, false))
        return;
    emit stopped();
}

} // namespace koru
