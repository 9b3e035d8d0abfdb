#include "kit/app/kitsound.h"

#include <QAudioFormat>
#include <QAudioSink>
#include <QCoreApplication>
#include <QIODevice>
#include <QMediaDevices>
#include <QMutex>

#include <cstdio>
#include <deque>

namespace koru::kit {

namespace {
constexpr int SampleRate = 22050;
constexpr int BeepHz = 2000;
constexpr int BeepToneMs = 150;
constexpr int BeepGapMs = 100;
constexpr char High = char(168);
constexpr char Low = char(88);
constexpr char Silence = char(128);

// The audio back end's own complaint about a missing sound server is said
// once in the kit's words instead (see KitSound's constructor).
QtMessageHandler outerHandler = nullptr;
void quietAudioProbe(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (message.startsWith(QLatin1String("PulseAudioService:")))
        return;
    outerHandler(type, context, message);
}

void sayNoSound()
{
    static bool said = false;
    if (!said)
        std::fprintf(stderr, "%s: no sound output on this computer (no audio device or sound server): "
                             "the kit plays its notes and beeps silently\n",
                     qPrintable(QCoreApplication::applicationName()));
    said = true;
}
} // namespace

// Produces samples on demand from a queue of (frequency, length) segments;
// silence when the queue is empty.
class ToneSource : public QIODevice
{
public:
    void play(std::deque<std::pair<int, int>> segments)
    {
        QMutexLocker lock(&m_mutex);
        m_segments.clear();
        for (const auto &[hz, ms] : segments)
            m_segments.emplace_back(hz, qint64(ms) * SampleRate / 1000);
        m_phase = 0;
    }
    void silence() { play({}); }

    bool isSequential() const override { return true; }
    qint64 bytesAvailable() const override { return 4096 + QIODevice::bytesAvailable(); }

protected:
    qint64 readData(char *data, qint64 maxSize) override
    {
        QMutexLocker lock(&m_mutex);
        for (qint64 i = 0; i < maxSize; ++i) {
            while (!m_segments.empty() && m_segments.front().second <= 0)
                m_segments.pop_front();
            if (m_segments.empty()) {
                data[i] = Silence;
                continue;
            }
            auto &[hz, left] = m_segments.front();
            --left;
            if (hz <= 0) {
                data[i] = Silence;
                continue;
            }
            const qint64 period = qMax<qint64>(2, SampleRate / hz);
            data[i] = (m_phase++ % period) < period / 2 ? High : Low;
        }
        return maxSize;
    }
    qint64 writeData(const char *, qint64) override { return -1; }

private:
    QMutex m_mutex;
    std::deque<std::pair<int, qint64>> m_segments;
    qint64 m_phase = 0;
};

KitSound::KitSound(QObject *parent) : QObject(parent)
{
    outerHandler = qInstallMessageHandler(quietAudioProbe);
    const QAudioDevice device = QMediaDevices::defaultAudioOutput();
    qInstallMessageHandler(outerHandler);
    QAudioFormat format;
    format.setSampleRate(SampleRate);
    format.setChannelCount(1);
    format.setSampleFormat(QAudioFormat::UInt8);
    if (device.isNull() || !device.isFormatSupported(format)) {
        sayNoSound();
        return;
    }
    m_source = new ToneSource;
    m_source->open(QIODevice::ReadOnly);
    m_sink = new QAudioSink(device, format, this);
    m_sink->setBufferSize(SampleRate / 10); // about 0.1 s behind the kit
    m_sink->start(m_source);
}

KitSound::~KitSound()
{
    if (m_sink)
        m_sink->stop();
    delete m_source;
}

void KitSound::setEnabled(bool enabled)
{
    m_enabled = enabled;
    if (!enabled && m_source)
        m_source->silence();
}

void KitSound::onEffect(const Effect &e)
{
    if (!m_source || !m_enabled)
        return;
    switch (e.kind) {
    case EffectKind::Note:
        m_source->play({{e.b, e.c}});
        break;
    case EffectKind::Beep: {
        std::deque<std::pair<int, int>> tones;
        for (int n = 0; n < e.a; ++n) {
            if (n > 0)
                tones.emplace_back(0, BeepGapMs);
            tones.emplace_back(BeepHz, BeepToneMs);
        }
        m_source->play(tones);
        break;
    }
    case EffectKind::Melody:
        if (!e.a)
            m_source->silence();
        break;
    case EffectKind::Ended:
        m_source->silence();
        break;
    default:
        break;
    }
}

} // namespace koru::kit
