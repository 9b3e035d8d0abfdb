#include "melody/melody.h"

#include "model/programfile.h"
#include "model/textutil.h"

namespace koru {

namespace {

const QString SoundLine = QStringLiteral("SOUND");
const QString SpeedLine = QStringLiteral("SPEED");
const QString DataLine = QStringLiteral("DATA");
const QString UnusedSlotLine = QStringLiteral("FF");

const S_Info &emptyRecord()
{
    static const S_Info empty;
    return empty;
}

// A slot line "key,len,black,x,y": key and length as checked values. x and y
// must be numbers but are rebuilt by the caller.
std::optional<std::pair<Key, int>> parseSlotLine(const QString &line)
{
    if (FieldCount(line, QLatin1Char(',')) != 5)
        return std::nullopt;
    std::array<int, 4> numbers{};
    for (int i = 0; i < 4; ++i) {
        const std::optional<int> n = ToInteger(FieldOf(line, i + 2, QLatin1Char(',')));
        if (!n)
            return std::nullopt;
        numbers[i] = *n;
    }
    const int len = numbers[0];
    const std::optional<Key> key = KeyOf(FieldOf(line, 1, QLatin1Char(',')), numbers[1]);
    if (!key || !IsLengthClass(len))
        return std::nullopt;
    return std::make_pair(*key, len);
}

} // namespace

Melody::Melody()
{
    clear();
}

const S_Info &Melody::note(int slot) const
{
    if (slot < 0 || slot >= MelodySlotCount)
        return emptyRecord();
    return m_notes[slot];
}

int Melody::countNotes() const
{
    int n = 0;
    for (const S_Info &info : m_notes)
        n += info.isEmpty() ? 0 : 1;
    return n;
}

int Melody::ledColour(int ledSlot) const
{
    if (ledSlot < 0 || ledSlot >= LedSlotCount)
        return LedOffColour;
    return m_ledColours[ledSlot];
}

void Melody::setLedColour(int ledSlot, int colour)
{
    if (ledSlot < 0 || ledSlot >= LedSlotCount || colour < 0 || colour >= LedColourCount)
        return;
    m_ledColours[ledSlot] = colour;
}

void Melody::setSelectedLength(int len)
{
    if (IsLengthClass(len))
        m_selectedLength = len;
}

void Melody::place(int slot, const Key &key, int len)
{
    S_Info &info = m_notes[slot];
    info.key = key.text();
    info.black = key.black ? 1 : 0;
    info.len = len;
    info.y = StaffOffsetOf(key);
}

MelodyEdit Melody::addNote(const QString &keyText, int black)
{
    if (isFull())
        return MelodyEdit::Full;
    const std::optional<Key> key = KeyOf(keyText, black);
    if (!key)
        return MelodyEdit::Refused;
    place(m_count, *key, m_selectedLength);
    m_notes[m_count].x = m_nextX;
    m_nextX += LengthWidth(m_selectedLength);
    ++m_count;
    return MelodyEdit::Done;
}

MelodyEdit Melody::insertNote(int slot, const QString &keyText, int black, int len)
{
    if (isFull())
        return MelodyEdit::Full;
    const std::optional<Key> key = KeyOf(keyText, black);
    if (slot < 0 || slot >= m_count || !key || !IsLengthClass(len))
        return MelodyEdit::Refused;
    for (int j = m_count - 1; j >= slot; --j)
        m_notes[j + 1] = m_notes[j];
    place(slot, *key, len); // keeps the x of the note it now precedes
    const int width = LengthWidth(len);
    for (int j = slot + 1; j <= m_count; ++j)
        m_notes[j].x += width;
    ++m_count;
    m_nextX += width;
    return MelodyEdit::Done;
}

MelodyEdit Melody::editNote(int slot, const QString &keyText, int black, int len)
{
    const std::optional<Key> key = KeyOf(keyText, black);
    if (slot < 0 || slot >= m_count || !key || !IsLengthClass(len))
        return MelodyEdit::Refused;
    const int delta = LengthWidth(len) - LengthWidth(m_notes[slot].len);
    place(slot, *key, len);
    for (int j = slot + 1; j < m_count; ++j)
        m_notes[j].x += delta;
    m_nextX += delta;
    return MelodyEdit::Done;
}

MelodyEdit Melody::changeLength(int slot, int len)
{
    if (slot < 0 || slot >= m_count)
        return MelodyEdit::Refused;
    return editNote(slot, m_notes[slot].key, m_notes[slot].black, len);
}

MelodyEdit Melody::deleteNote(int slot)
{
    if (slot < 0 || slot >= m_count)
        return MelodyEdit::Refused;
    const int width = LengthWidth(m_notes[slot].len);
    for (int j = slot; j < m_count - 1; ++j) {
        m_notes[j] = m_notes[j + 1];
        m_notes[j].x -= width;
    }
    m_notes[m_count - 1] = S_Info{};
    --m_count;
    m_nextX -= width;
    if (m_selected >= m_count)
        m_selected = -1;
    return MelodyEdit::Done;
}

void Melody::clear()
{
    m_notes.fill(S_Info{});
    m_count = 0;
    m_nextX = FirstNoteX;
    m_selected = -1;
    m_ledColours.fill(LedOffColour);
    m_ledLink = false;
    m_selectedLength = DefaultLength;
}

QStringList Melody::deviceList() const
{
    QStringList list;
    list.reserve(16 + m_count);
    for (int colour : m_ledColours)
        list << QString::number(LedColours()[colour].deviceCode);
    list << QString::number(m_ledLink ? LedLinkOnCode : LedLinkOffCode);
    list << QString::number(SpeedDeviceCode(m_speed));
    list << QStringLiteral("0");
    for (int i = 0; i < m_count; ++i) {
        const S_Info &info = m_notes[i];
        const std::optional<Key> key = KeyOf(info.key, info.black);
        list << QString::number(key ? NoteCode(*key, info.len) : RestCodeBase + info.len);
    }
    return list;
}

QStringList Melody::fileLines() const
{
    QStringList lines;
    lines.reserve(18 + MelodySlotCount);
    lines << SoundLine << (m_ledLink ? QStringLiteral("ON") : QStringLiteral("OFF"));
    for (int colour : m_ledColours)
        lines << QString::number(colour);
    lines << SpeedLine << QString::number(SpeedFileValue(m_speed)) << DataLine;
    for (const S_Info &info : m_notes) {
        if (info.isEmpty()) {
            lines << QString();
            continue;
        }
        lines << QStringLiteral("%1,%2,%3,%4,%5")
                     .arg(info.key)
                     .arg(info.len)
                     .arg(info.black)
                     .arg(info.x)
                     .arg(info.y);
    }
    return lines;
}

bool Melody::save(const QString &path) const
{
    return WriteProgramLines(path, fileLines());
}

bool Melody::load(const QStringList &lines)
{
    clear();
    if (lines.size() < 2)
        return false;
    m_ledLink = lines[1] == QLatin1String("ON");

    for (int i = 0; i < LedSlotCount; ++i) {
        const std::optional<int> colour = ToInteger(lines.value(2 + i));
        if (!colour || *colour < 0 || *colour >= LedColourCount)
            return false;
        m_ledColours[i] = *colour;
    }

    int first = 16;
    if (lines.value(15) == SpeedLine) {
        const std::optional<MelodySpeed> speed = SpeedOfFileValue(IntegerOr(lines.value(16), 0));
        if (!speed)
            return false;
        m_speed = *speed;
        first = 18;
    } else {
        m_speed = MelodySpeed::Standard;
    }

    // Notes go to the next free slot, at the position their order gives:
    // stored positions are only checked to be numbers.
    for (int i = 0; i < MelodySlotCount; ++i) {
        if (first + i >= lines.size())
            return false;
        const QString &line = lines[first + i];
        if (line.isEmpty() || line == UnusedSlotLine)
            continue;
        const auto parsed = parseSlotLine(line);
        if (!parsed)
            return false;
        place(m_count, parsed->first, parsed->second);
        m_notes[m_count].x = m_nextX;
        m_nextX += LengthWidth(parsed->second);
        ++m_count;
    }

    // Anything but blank lines after the last slot would be a 111th note.
    for (int i = first + MelodySlotCount; i < lines.size(); ++i) {
        if (!lines[i].isEmpty() && lines[i] != UnusedSlotLine)
            return false;
    }
    return true;
}

Melody::MelodyLoad Melody::loadFile(const QString &path)
{
    const std::optional<QStringList> lines = ReadProgramLines(path);
    if (!lines)
        return MelodyLoad::Unreadable;
    if (lines->value(0) != SoundLine)
        return MelodyLoad::OtherStep;
    return load(*lines) ? MelodyLoad::Loaded : MelodyLoad::Damaged;
}

bool IsMelodyFile(const QStringList &fileLines)
{
    return fileLines.value(0) == QLatin1String("SOUND");
}

Sendable SendableImage(const Melody &melody)
{
    Sendable sendable;
    const QStringList codes = melody.deviceList();
    sendable.image.reserve(codes.size());
    for (const QString &code : codes)
        sendable.image.append(code.toInt()); // every entry is a QString::number
    return sendable;
}

} // namespace koru
