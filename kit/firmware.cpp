#include "kit/firmware.h"

#include "model/decoder.h"

namespace koru::kit {

KitFirmware::KitFirmware(const Clock &clock, EffectSink &out)
    : m_clock(clock), m_out(out), m_interpreter(clock, *this, Profile::kit())
{
}

int KitFirmware::InstructionLengthOf(int firstByte)
{
    const DecodedInstruction d = DecodeInstructionFrom(
        [firstByte](int address) -> std::optional<int> { return address == 0 ? firstByte : 0; }, 0);
    return d.complete() && d.length > 0 ? d.length : 1;
}

void KitFirmware::effect(const Effect &e)
{
    m_out.effect(e);
    if (e.kind == EffectKind::Ended)
        reply(ReadyReply);
}

void KitFirmware::reply(int value)
{
    m_out.effect(Effect{EffectKind::Reply, m_clock.nowMs(), value & 0xFF});
}

MelodyScore KitFirmware::storedMelody() const
{
    return MelodyScore::fromBytes([this](int address) { return m_memory.written(address); });
}

// ---- Values from the PC ----------------------------------------------------

void KitFirmware::receive(int value)
{
    value &= 0xFF;
    if (m_frameOpen) {
        takeFrameValue(value);
        advance();
        return;
    }
    switch (value) {
    case request::ProgramFrame:
    case request::MelodyFrame:
        m_interpreter.stop(); // a new program or melody ends the one playing
        openFrame(value == request::ProgramFrame ? FrameArea::Program : FrameArea::Melody);
        break;
    case request::Run:
        if (!m_interpreter.running()) {
            m_interpreter.startProgram(
                [this](int address) -> std::optional<int> {
                    if (!KitMemory::ProgramArea.contains(address))
                        return std::nullopt;
                    return m_memory.written(address);
                },
                storedMelody());
        }
        break;
    case request::Play:
        if (!m_interpreter.running())
            m_interpreter.startMelody(storedMelody());
        break;
    case request::Measure:
        reply(qBound(0, m_interpreter.world().temperature, 255));
        reply(qBound(0, m_interpreter.world().humidity, 255));
        break;
    case request::SendMemory:
        for (int address = 0; address < KitMemory::Size; ++address)
            reply(m_memory.readBack(address));
        break;
    case request::Stop:
        m_interpreter.stop();
        break;
    case request::Output1:
        m_interpreter.setLamp(false);
        m_interpreter.setFan(true);
        break;
    case request::Output2:
        m_interpreter.setFan(false);
        m_interpreter.setLamp(true);
        break;
    case request::OutputsOff:
        m_interpreter.setFan(false);
        m_interpreter.setLamp(false);
        break;
    default: // a stray value outside a frame
        break;
    }
    advance();
}

// ---- Frames -------------------------------------------------------------------

void KitFirmware::openFrame(FrameArea area)
{
    m_frameOpen = true;
    m_frameArea = area;
    m_frame.clear();
    m_frameOverlong = false;
    m_instructionLeft = 0;
    m_endCandidate = false;
    m_lastValueAt = m_clock.nowMs();
}

// A program frame is read instruction by instruction, so that a 250 standing
// as a parameter or address is not taken for the frame end. Melody codes are
// single bytes and never 250.
void KitFirmware::takeFrameValue(int value)
{
    m_lastValueAt = m_clock.nowMs();
    m_endCandidate = false;
    if (m_instructionLeft == 0 && value == request::FrameEnd) {
        endFrame();
        return;
    }
    // 240 and 242 are never the first byte of an instruction (op-codes stop
    // below them, colour words below 128) nor a melody code: where an
    // instruction would begin they can only be the start of a new transfer
    // after one that was cut off. The cut-off frame is dropped unstored.
    if (m_instructionLeft == 0 && (value == request::ProgramFrame || value == request::MelodyFrame)) {
        openFrame(value == request::ProgramFrame ? FrameArea::Program : FrameArea::Melody);
        return;
    }
    if (m_instructionLeft > 0) {
        --m_instructionLeft;
        m_endCandidate = value == request::FrameEnd;
    } else if (m_frameArea == FrameArea::Program) {
        m_instructionLeft = InstructionLengthOf(value) - 1;
    }
    // Keep at most one byte more than the area holds: enough to know the
    // frame is too long, never more memory than that.
    if (m_frame.size() <= KitMemory::areaOf(m_frameArea).size)
        m_frame.append(value);
    else
        m_frameOverlong = true;
}

void KitFirmware::endFrame()
{
    m_frameOpen = false;
    m_endCandidate = false;
    QList<int> stored = m_frame;
    stored.append(request::FrameEnd);
    const bool fits = !m_frameOverlong && m_memory.replaceArea(m_frameArea, stored);
    if (!fits)
        m_memory.eraseArea(m_frameArea); // never run or read back half a program
    m_out.effect(Effect{EffectKind::Frame, m_clock.nowMs(), int(m_frameArea), fits ? int(m_frame.size()) : 0,
                        fits ? 1 : 0});
    m_frame.clear();
    reply(ReadyReply);
}

void KitFirmware::abandonFrame()
{
    m_frameOpen = false;
    m_frame.clear();
    m_endCandidate = false;
}

// ---- Time -------------------------------------------------------------------

void KitFirmware::advance()
{
    if (m_frameOpen) {
        const qint64 now = m_clock.nowMs();
        if (m_endCandidate && now >= m_lastValueAt + DataEndQuietMs) {
            // The 250 was the frame end after all: it is stored as the end
            // mark in the same place.
            if (!m_frameOverlong && !m_frame.isEmpty())
                m_frame.removeLast();
            endFrame();
        } else if (now >= m_lastValueAt + AbandonQuietMs) {
            abandonFrame();
        }
    }
    m_interpreter.advance();
}

std::optional<qint64> KitFirmware::nextDueMs() const
{
    std::optional<qint64> due = m_interpreter.nextDueMs();
    if (m_frameOpen) {
        const qint64 frameDue = m_lastValueAt + (m_endCandidate ? DataEndQuietMs : AbandonQuietMs);
        due = due ? qMin(*due, frameDue) : frameDue;
    }
    return due;
}

} // namespace koru::kit
