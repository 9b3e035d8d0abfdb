// Reading a CommandListing that another editor wrote at the head of its
// program file, and laying it out as a flowchart in the main routine.
//
// ReadListing is the one reader of a file's listing for every editor that
// opens other steps' files: it finds "START" and "END" and parses each
// record, refusing damaged records instead of guessing.
#pragma once

#include "flowchart/flowdocument.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace koru {

struct ListingLine
{
    enum Type { Start, End, Instruction, Else, Endif };
    Type type = Instruction;
    int kindNumber = 0;  // Instruction, Else, Endif
    QString keyword;     // Instruction: CommandKind of the KindNumber
    QString params;      // Instruction: the six fields after the KindNumber
    int family = 0;      // Else, Endif: the SubKind field
    int lineIndex = 0;   // position in the file's lines
};

// One CommandRecord: seven comma-separated integers, each 0-255, with a
// KindNumber of an instruction family (2-11) or a marker (12, 13). nullopt
// for anything else ("START" and "END" included).
std::optional<ListingLine> ParseCommandRecord(const QString &line);

// The experiment board's "off" records (vexo 1 motor off, vexo 3 lamp off).
// STEP3 writes them for its motoroff and lampoff statements but gives them no
// instruction: the kit stops motor and lamp by itself when their running time
// is over. Every step that turns records into blocks skips them, so that a
// file means the same program in every step.
bool IsKitSideStop(const ListingLine &line);

struct ListingSection
{
    enum Status {
        Found,      // lines holds "START", the records and "END"
        NoEnd,      // no "END" among the searched lines: nothing to read
        Damaged,    // a line between them is not a record
    };
    Status status = NoEnd;
    QList<ListingLine> lines; // empty lines skipped
};

// The listing within lines[first .. last] (inclusive): the first "END" ends
// the search, the last "START" before it opens the listing. Without "START"
// before the "END" the section counts as NoEnd.
ListingSection ReadListing(const QStringList &lines, int first = 0, int last = 30);

struct ImportResult
{
    enum Status {
        Built,    // the main routine holds the program
        Empty,    // no listing within the first 31 lines: empty flowchart, no message
        TooLarge, // more than 120 bytes or 30 blocks: empty flowchart, message
        Damaged,  // unreadable records or unpaired else / endif: empty flowchart, message
    };
    Status status = Empty;
    QString message; // the warning to show, empty for Built and Empty
    bool ok() const { return status == Built || status == Empty; }
};

// "読み込む命令数が最大数を超えている為開けません。(バイト数オーバー)"
QString ImportTooLargeMessage();

// Clears the document and lays the listing of a file's lines out in the
// main routine: one block per instruction from slot 0, yes-paths below their
// if, no-paths one column to the right, arrows joining the paths again after
// each endif. The document is left empty whenever the result is not Built.
ImportResult ImportListing(FlowDocument &document, const QStringList &fileLines);

} // namespace koru
