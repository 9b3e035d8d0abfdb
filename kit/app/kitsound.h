// The kit's speaker on the PC: square-wave tones for the notes of the
// melody and the confirmation beeps, through the default audio output.
// Silent (and harmless) when the PC has no audio output.
#pragma once

#include "kit/effect.h"

#include <QObject>

class QAudioSink;

namespace koru::kit {

class ToneSource;

class KitSound : public QObject
{
    Q_OBJECT
public:
    explicit KitSound(QObject *parent = nullptr);
    ~KitSound() override;

    bool available() const { return m_sink != nullptr; }
    void setEnabled(bool enabled);

    // Follows the kit's effects: notes, beeps, the end of a melody or run.
    void onEffect(const Effect &effect);

private:
    QAudioSink *m_sink = nullptr;
    ToneSource *m_source = nullptr;
    bool m_enabled = true;
};

} // namespace koru::kit
