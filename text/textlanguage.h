// The STEP3 text language: one statement per line, if/else parts in braces,
// comments after "//". This is the language without its window: normalising
// lines, the five program checks with their messages, the translation into
// an instruction listing, the byte image for the kit, and the way back from
// any listing to program text (so STEP3 can open the other steps' files).
//
// Every entry point takes arbitrary text: lines that do not read as the
// language give a check message, never a failure.
#pragma once

#include "model/encoder.h"
#include "model/sendable.h"
#include "text/keywordtable.h"

#include <QHash>
#include <QString>
#include <QStringList>
#include <optional>

namespace koru {

// At most 30 non-empty program lines (braces included) ...
inline constexpr int MaxProgramLines = 30;
// ... and at most 30 instruction-table entries, start and end included, so
// at most 28 statements.
inline constexpr int MaxInstructionEntries = 30;

inline const QString TotalCountMessage =
    QStringLiteral("プログラムの総命令数が最大値を超えております。\r\nプログラムを確認して下さい。");
inline const QString SyntaxMessage =
    QStringLiteral("プログラムの構文が間違っております。\r\nプログラムを確認して下さい。");
inline const QString IfStructureMessage =
    QStringLiteral("条件分岐の命令が間違っております。\r\nプログラムを確認して下さい。");
inline const QString LoopMessage =
    QStringLiteral("繰り返し命令の位置関係が間違っております。\r\nプログラムを確認して下さい。");
inline const QString VariableXMessage = QStringLiteral(
    "変数xを使った条件分岐命令は事前に変数xに代入する命令が必要です。\r\nプログラムを確認して下さい。");
// The same message for the humidity variable names y, not x, so the pupil
// is told which assignment is missing.
inline const QString VariableYMessage = QStringLiteral(
    "変数yを使った条件分岐命令は事前に変数yに代入する命令が必要です。\r\nプログラムを確認して下さい。");
// A program that passes the checks but whose image would not fit the kit's
// program memory (MaxImageBytes) is refused before it is sent.
inline const QString ImageTooLargeMessage = QStringLiteral(
    "プログラムのデータ量が本体の最大値(120バイト)を超えております。\r\nプログラムを確認して下さい。");

struct CheckResult
{
    int failedCheck = 0; // 0 when every check passed, else 1 to 5
    QString message;     // the warning to show when a check failed
    // The program line (from 0, counting every line of the text) the
    // failure was found at; -1 for the total count, which has no one line.
    int line = -1;

    bool passed() const { return failedCheck == 0; }
};

struct TextImage
{
    DeviceImage image; // always built, also when refused
    QString refusal;   // empty when the image may be sent

    bool sendable() const { return refusal.isEmpty(); }
};

class TextLanguage
{
public:
    explicit TextLanguage(KeywordTable keywords);

    const KeywordTable &keywords() const { return m_keywords; }

    // Comment from the first "//" removed, half-width blanks removed (tabs
    // and full-width blanks stay), lower-cased. Lines that become empty take
    // no part in anything.
    static QString normalise(const QString &line);

    // Runs checks 1 to 5 in order and reports the first failure.
    CheckResult check(const QStringList &programText) const;

    // The instruction listing: "START", the records (with else and endif
    // records), "END". Meant for text that passed check(); other text gives
    // a listing of what it can read.
    QStringList toRecords(const QStringList &programText) const;

    // The kit's image of a program that passed check(): the listing linked
    // into an instruction table and encoded. Refused when it exceeds
    // MaxImageBytes or needs more than MaxInstructionEntries entries.
    TextImage toBytes(const QStringList &programText) const;

    // Program text of a listing (any step's), one statement per line, no
    // indentation. nullopt when a record has no statement in the keyword
    // table (its kind or sub-kind has no role, or it is not seven integers):
    // such a listing is refused as a whole rather than shown with parts
    // silently missing.
    std::optional<QStringList> renderRecords(const QStringList &listing) const;

    // The program line (from 0) of each instruction of toBytes()'s image,
    // by its address, so that a run can be followed in the text. Start and
    // end have no line; empty when the program does not link.
    QHash<int, int> linesByAddress(const QStringList &programText) const;

private:
    KeywordTable m_keywords;
};

// What F6 sends and the preview runs: the image of program text that
// passes the checks, or the first failed check's message with its line
// (CheckResult::line), or the refusal of an image too large for the kit.
Sendable SendableImage(const TextLanguage &language, const QStringList &programText);

// The program line (from 0, every line of the text counted) whose
// statement starts at an address of the image, -1 for any other address
// (start and end included).
int ElementAtAddress(const TextLanguage &language, const QStringList &programText, int address);
// The line of the statement at an image address as the preview names it
// ("5行目: timer(2);"); empty for any other address.
QString LineAtAddressName(const TextLanguage &language, const QStringList &programText, int address);

// The instruction table of a listing, in the order the encoder takes it:
// start, the records without their else and endif records, end; with the
// links of the if structure (see textlinker.cpp). nullopt when it would hold
// more than MaxInstructionEntries entries.
std::optional<QList<EncoderEntry>> InstructionTableOf(const QStringList &listing);

// The image of a listing: the table encoded in text order (the end as 231
// and one 0), refused like toBytes().
TextImage ImageOfListing(const QStringList &listing);

} // namespace koru
