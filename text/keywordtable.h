// The keyword table of the STEP3 text language, read from a keyword file
// ("KORU.dat"): 28 lines, one per instruction role, each with five
// comma-separated fields:
//   1 argument form (0 none, 1 one number or a condition, 2 backlight,
//     3 three colours, 4 three colours and a duration)
//   2 free text (a label for people; never read)
//   3 the keyword (compared in lower case)
//   4 the kit's OpCode of the role ("0" on the condition line, "-1" for LED on)
//   5 the allowed durations, "-"-separated (LED on and backlight only)
//
// The shipped file lives in the data folder beside the executable; the
// keyword settings write a user copy into the work folder, which wins when
// it exists.
#pragma once

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

namespace koru {

inline constexpr int KeywordLineCount = 28;

// Shown when the keyword file cannot be read or is too short.
inline const QString KeywordReadErrorMessage = QStringLiteral("ファイル読み込みエラー");

// The file name of the user copy in the work folder and the shipped file's
// place among the assets.
inline const QString KeywordFileName = QStringLiteral("KORU.dat");
inline const QString ShippedKeywordFile = QStringLiteral("Data\\KORU.dat");

// Argument forms of field 1.
enum class ArgumentForm { None = 0, Number = 1, Backlight = 2, Fade = 3, LedOn = 4, Invalid = -1 };

// OpCode of the condition line (field 4 of "if").
inline constexpr int ConditionOpCode = 0;

// The "off" roles of the experiment board (lines 25 and 27). The kit has no
// instruction for them: its motor and lamp stop by themselves after their
// running time. In listings they are the viewer's "vexo" sub-kinds 1 and 3.
inline constexpr int MotorOffOpCode = 221;
inline constexpr int LampOffOpCode = 223;

struct KeywordLine
{
    int number = 0;     // 1 to 28
    QString text;       // the line as read
    ArgumentForm form = ArgumentForm::Invalid;
    QString keyword;    // field 3, lower-cased
    int opCode = -1;    // field 4; -1 when it is not a number
    // Field 5, keeping only entries a statement can use: the shortest decimal
    // form of a QuarterSecond count 1 to 31 ("0.25", "1", "1.5", "7.75";
    // not "1.0", ".5" or "8").
    QStringList durations;
    // Whether statements can use this line: its form and OpCode fit together
    // (a hand-edited line with, say, form 3 and OpCode 160 is unusable).
    bool usable = false;
};

class KeywordTable
{
public:
    // nullopt when there are fewer than 28 lines; lines after the 28th are
    // ignored.
    static std::optional<KeywordTable> fromLines(const QStringList &lines);

    // Line 1 to 28.
    const KeywordLine &line(int number) const;
    const QList<KeywordLine> &lines() const { return m_lines; }
    // The 28 keywords in line order, lower-cased.
    QStringList keywords() const;

    // The role a statement keyword names: "if" is the fixed word of the
    // condition line; any other keyword the first usable line that carries
    // it. nullptr when no role has it (empty keywords never match).
    const KeywordLine *roleOf(const QString &keyword) const;
    // First usable line with this OpCode, nullptr when none.
    const KeywordLine *lineWithOpCode(int opCode) const;
    // First usable line of form 4 (LED on).
    const KeywordLine *ledOnLine() const;

private:
    QList<KeywordLine> m_lines;
    QHash<QString, int> m_roleIndex; // keyword -> index into m_lines
    int m_conditionIndex = -1;
};

// A duration text in seconds -> QuarterSecond count, when it is the shortest
// form of a count 1 to 31 ("1.5" -> 6); nullopt otherwise.
std::optional<int> QuartersOfDuration(const QString &seconds);

// Where the keyword file is read from: the user copy in the work folder when
// it exists, otherwise the shipped file.
QString UserKeywordFilePath();
QString ShippedKeywordFilePath();
QString ActiveKeywordFilePath();

// Lines of a keyword file (Shift-JIS, CR LF or LF); nullopt when the file is
// missing, unreadable or has fewer than 28 lines. Callers show
// KeywordReadErrorMessage.
std::optional<QStringList> ReadKeywordLines(const QString &path);
// The table the text editor uses now (user copy first).
std::optional<KeywordTable> ReadKeywordTable();

// What the text editor says when the keyword file cannot be read:
// KeywordReadErrorMessage first, then which file and how to repair it (the
// user copy by 設定 → 初期状態に戻す → 適用, the shipped file only by
// installing again).
QString KeywordReadErrorText();

} // namespace koru
