// The kit's firmware: what it does with each value the PC sends (one value
// per output report) and which bytes it replies. Frames 240/242 ... 250 fill
// the program or melody area, requests 241 and 243-249 run, play, measure,
// read back, stop and drive the measurement outputs. Everything the kit does
// goes to one EffectSink, the reply bytes included (EffectKind::Reply).
#pragma once

#include "kit/clock.h"
#include "kit/effect.h"
#include "kit/interpreter.h"
#include "kit/kitmemory.h"

#include <QList>
#include <optional>

namespace koru::kit {

namespace request {
inline constexpr int ProgramFrame = 240;
inline constexpr int Run = 241;
inline constexpr int MelodyFrame = 242;
inline constexpr int Play = 243;
inline constexpr int Measure = 244;
inline constexpr int SendMemory = 245;
inline constexpr int Stop = 246;
inline constexpr int Output1 = 247; // fan
inline constexpr int Output2 = 248; // lamp
inline constexpr int OutputsOff = 249;
inline constexpr int FrameEnd = 250;
} // namespace request

inline constexpr int ReadyReply = 0xFF;

class KitFirmware : private EffectSink
{
public:
    // A 250 that arrives inside an instruction of a program frame may be a
    // parameter (a 250-second timer) or the frame end; it ends the frame
    // when no further value follows within this time.
    static constexpr int DataEndQuietMs = 300;
    // A frame that receives nothing for this long is given up: the area
    // keeps what it held, and no reply is sent.
    static constexpr int AbandonQuietMs = 5000;

    KitFirmware(const Clock &clock, EffectSink &out);

    // One value from the PC (byte 1 of an output report).
    void receive(int value);
    // Gives up an open frame unstored, without a reply (the sender went away).
    void abandonFrame();
    // Lets time pass: frame time-outs, the running program.
    void advance();
    std::optional<qint64> nextDueMs() const;

    Interpreter &interpreter() { return m_interpreter; }
    const Interpreter &interpreter() const { return m_interpreter; }
    const KitMemory &memory() const { return m_memory; }
    bool receivingFrame() const { return m_frameOpen; }
    FrameArea frameArea() const { return m_frameArea; }

    // Bytes of an instruction that begins with the value; 1 for end codes.
    static int InstructionLengthOf(int firstByte);

private:
    void effect(const Effect &effect) override;
    void reply(int value);
    void openFrame(FrameArea area);
    void takeFrameValue(int value);
    void endFrame();
    MelodyScore storedMelody() const;

    const Clock &m_clock;
    EffectSink &m_out;
    KitMemory m_memory;
    Interpreter m_interpreter;

    bool m_frameOpen = false;
    FrameArea m_frameArea = FrameArea::Program;
    QList<int> m_frame;
    bool m_frameOverlong = false;
    int m_instructionLeft = 0;   // bytes still to come of the current instruction
    bool m_endCandidate = false; // the last value was a 250 inside an instruction
    qint64 m_lastValueAt = 0;
};

} // namespace koru::kit
