#include "kitfuzzstream.h"

#include "kit/firmware.h"

#include <QList>
#include <cstdio>
#include <cstdlib>

namespace koru::kit::test {

namespace {

void check(bool condition, const char *what)
{
    if (!condition) {
        std::fprintf(stderr, "kit fuzz: %s\n", what);
        std::abort();
    }
}

bool byte(int v) { return v >= 0 && v <= 255; }

struct CheckingSink : EffectSink
{
    void effect(const Effect &e) override
    {
        switch (e.kind) {
        case EffectKind::Led:
            check(byte(e.a) && byte(e.b) && byte(e.c) && byte(e.d), "LED value out of range");
            break;
        case EffectKind::Reply:
            check(byte(e.a), "reply out of range");
            break;
        case EffectKind::Hold:
            check(e.a >= 0 && e.a <= 255 * 1000 + 1000, "hold out of range");
            break;
        default:
            break;
        }
        // Replies and frames are stamped with the clock, everything else with the
        // interpreter's time; each goes forward on its own.
        const bool byClock = e.kind == EffectKind::Reply || e.kind == EffectKind::Frame;
        qint64 &last = byClock ? lastReplyAt : lastRunAt;
        check(e.atMs >= last, "time went backwards");
        last = e.atMs;
    }
    qint64 lastReplyAt = 0;
    qint64 lastRunAt = 0;
};

QList<int> snapshot(const KitMemory &memory, MemoryArea area)
{
    QList<int> bytes;
    for (int a = area.first; a < area.end(); ++a)
        bytes.append(memory.written(a).value_or(-1));
    return bytes;
}

// Memory may change only in the area of a frame that was open before the
// step (it can end during the step); everything else stays as it was.
class Guard
{
public:
    explicit Guard(const KitFirmware &firmware)
        : m_firmware(firmware), m_open(firmware.receivingFrame()), m_area(firmware.frameArea()),
          m_program(snapshot(firmware.memory(), KitMemory::ProgramArea)),
          m_melody(snapshot(firmware.memory(), KitMemory::MelodyArea))
    {
    }
    ~Guard()
    {
        const bool programChanged = snapshot(m_firmware.memory(), KitMemory::ProgramArea) != m_program;
        const bool melodyChanged = snapshot(m_firmware.memory(), KitMemory::MelodyArea) != m_melody;
        check(!programChanged || (m_open && m_area == FrameArea::Program), "program area changed outside its frame");
        check(!melodyChanged || (m_open && m_area == FrameArea::Melody), "melody area changed outside its frame");
    }

private:
    const KitFirmware &m_firmware;
    bool m_open;
    FrameArea m_area;
    QList<int> m_program;
    QList<int> m_melody;
};

} // namespace

void FuzzKitStream(const std::uint8_t *data, std::size_t size)
{
    ManualClock clock;
    CheckingSink sink;
    KitFirmware firmware(clock, sink);
    std::size_t i = 0;
    while (i < size) {
        const int op = data[i++] & 7;
        const int arg = i < size ? data[i++] : 0;
        Guard guard(firmware);
        switch (op) {
        case 5:
            clock.advanceBy(arg * 4);
            firmware.advance();
            break;
        case 6:
            clock.advanceBy(qint64(arg) * 1000);
            firmware.advance();
            break;
        case 7: {
            Interpreter &run = firmware.interpreter();
            switch (arg & 7) {
            case 0: run.setSwitch(arg & 8); break;
            case 1: run.setBright(arg & 8); break;
            case 2: run.setTemperature(arg >> 3); break;
            case 3: run.setHumidity(arg >> 2); break;
            case 4: run.hearSound(); break;
            case 5: run.stop(); break;
            default: run.pressWaitButton(WaitKind(arg >> 3)); break;
            }
            firmware.advance();
            break;
        }
        default:
            firmware.receive(arg);
            break;
        }
        const std::optional<qint64> due = firmware.nextDueMs();
        check(!due || *due >= clock.nowMs() - 300 * 1000, "the kit fell far behind its clock");
    }
    // Whatever was going on ends when stopped, within bounded work.
    firmware.interpreter().stop();
    for (int n = 0; n < 100 && firmware.interpreter().running(); ++n) {
        clock.advanceBy(1000);
        firmware.advance();
    }
    check(!firmware.interpreter().running(), "a stopped run went on");
}

} // namespace koru::kit::test
