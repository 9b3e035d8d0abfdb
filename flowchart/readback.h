// Rebuilding a flowchart from the kit's program memory: every instruction
// becomes a block, its addresses become arrows, called subroutines become
// subroutines 1, 2 ... in the order their first call is met.
#pragma once

#include "flowchart/flowdocument.h"
#include "model/encoder.h"

#include <QString>
#include <QStringList>

namespace koru {

inline constexpr int ReadbackStepLimit = 128;
inline constexpr int MemoryEndByte = 250;
// Memory the kit was never given a program in holds FF.
inline constexpr int UnwrittenByte = 255;

// Said when the kit's memory holds no program (it begins with FF).
inline const QString NoProgramInKitMessage = QStringLiteral("本体にはプログラムが入っていません。");

// "転送済みデータを取得します。\r\n作成中のプログラムは削除されます。よろしいですか？"
QString ReadbackQuestion();

struct ReadbackResult
{
    enum Status {
        Complete,      // the walk ended (also for an empty memory)
        NoProgram,     // the memory begins with FF, never programmed: document
                       // cleared, the message says so
        TooManySteps,  // 128 steps did not finish the walk: document cleared
        Unconvertible, // a reply line is not hexadecimal: blocks built so far kept
        Unusable,      // the memory holds no flowchart program (more than four
                       // subroutines, a call inside a subroutine, a start inside
                       // a routine, a routine of more than 30 blocks): document
                       // cleared
    };
    Status status = Complete;
    QString message; // "変換できません" for Unconvertible, NoProgramInKitMessage
                     // for NoProgram, empty otherwise
    int steps = 0;
    bool ok() const { return status == Complete; }
};

// Clears the document and rebuilds it from reply lines (line k = the byte at
// address k, two hexadecimal digits and a blank).
ReadbackResult RebuildFromMemory(FlowDocument &document, const QStringList &replyLines);

// The reply lines the kit sends for an image: "E6 ", "02 ", ..., then "FA ".
QStringList MemoryLinesOfImage(const DeviceImage &image);

} // namespace koru
