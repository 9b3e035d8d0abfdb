#include "model/notecode.h"

#include "model/textutil.h"

#include <array>
#include <cmath>

namespace koru {

namespace {

// Semitone of each degree within the octave, for white keys and for the
// black key above degrees 0, 1, 3, 4, 5 (-1: none).
constexpr std::array<int, 7> WhiteSemitone{0, 2, 4, 5, 7, 9, 11};
constexpr std::array<int, 7> BlackSemitone{1, 3, -1, 6, 8, 10, -1};

// The other way round: the degree of each pitch class and whether it is black.
constexpr std::array<int, 12> DegreeOfPitchClass{0, 0, 1, 1, 2, 3, 3, 4, 4, 5, 5, 6};
constexpr std::array<bool, 12> PitchClassIsBlack{false, true,  false, true,  false, false,
                                                 true,  false, true,  false, true,  false};

} // namespace

bool HasBlackKey(int whiteKey)
{
    return whiteKey >= 0 && whiteKey < HighestWhiteKey && BlackSemitone[size_t(whiteKey % 7)] >= 0;
}

std::optional<int> SemitoneOfKey(int whiteKey, bool black)
{
    if (whiteKey < 0 || whiteKey > HighestWhiteKey || (black && !HasBlackKey(whiteKey)))
        return std::nullopt;
    const size_t degree = size_t(whiteKey % 7);
    return 12 * (whiteKey / 7) + (black ? BlackSemitone[degree] : WhiteSemitone[degree]);
}

std::optional<KeyPlace> KeyPlaceOfSemitone(int semitone)
{
    if (semitone < 0 || semitone > HighestSemitone)
        return std::nullopt;
    const size_t pitchClass = size_t(semitone % 12);
    return KeyPlace{7 * (semitone / 12) + DegreeOfPitchClass[pitchClass], PitchClassIsBlack[pitchClass]};
}

int PitchClassOf(int semitone)
{
    return ((semitone % 12) + 12) % 12;
}

QString PitchName(int semitone)
{
    static const std::array<QString, 12> names{
        QStringLiteral("ド"),     QStringLiteral("ド♯"), QStringLiteral("レ"),     QStringLiteral("レ♯"),
        QStringLiteral("ミ"),     QStringLiteral("ファ"), QStringLiteral("ファ♯"), QStringLiteral("ソ"),
        QStringLiteral("ソ♯"),   QStringLiteral("ラ"),   QStringLiteral("ラ♯"),   QStringLiteral("シ")};
    return names[size_t(PitchClassOf(semitone))];
}

bool IsNoteCode(int code)
{
    return code >= 0 && code <= LastNoteCode;
}

bool IsRestCode(int code)
{
    return code >= RestCodeBase && code <= LastRestCode;
}

int NoteCodeOf(int semitone, int len)
{
    return CodesPerLength * len + semitone;
}

int RestCodeOf(int len)
{
    return RestCodeBase + len;
}

CodeParts SplitCode(int code)
{
    return {code % CodesPerLength, code / CodesPerLength};
}

std::optional<int> SemitoneOfCode(int code)
{
    if (!IsNoteCode(code))
        return std::nullopt;
    return SplitCode(code).semitone;
}

std::optional<int> LengthOfCode(int code)
{
    if (IsNoteCode(code))
        return SplitCode(code).len;
    if (IsRestCode(code))
        return code - RestCodeBase;
    return std::nullopt;
}

int FrequencyOfSemitone(int semitone)
{
    static const std::array<int, HighestSemitone + 1> table = [] {
        std::array<int, HighestSemitone + 1> t{};
        for (int s = 0; s <= HighestSemitone; ++s)
            t[size_t(s)] = RoundHalfEven(440.0 * std::pow(2.0, (s - 21) / 12.0));
        return t;
    }();
    if (semitone < 0 || semitone > HighestSemitone)
        return 0;
    return table[size_t(semitone)];
}

std::optional<int> FrequencyOfCode(int code)
{
    const std::optional<int> semitone = SemitoneOfCode(code);
    if (!semitone)
        return std::nullopt;
    return FrequencyOfSemitone(*semitone);
}

} // namespace koru
