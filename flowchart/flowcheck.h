// Checking a flowchart before it goes to the kit: the walk over one
// routine's arrows and the check of the whole program (the main routine and
// every subroutine it calls).
//
// The walks terminate on any graph: every block is entered at most once and
// every queued branch is taken at most once, whatever the arrows look like
// (cycles, self-links, arrows to free slots, an if pointing at itself).
#pragma once

#include "flowchart/flowdocument.h"

#include <QList>
#include <QString>

namespace koru {

enum FlowCode : int {
    FlowOk = 0,
    FlowNotConnected = -1,  // a reached block lacks an arrow it needs
    FlowNoStart = -2,       // the routine has no start block
    FlowLoopMisplaced = -3, // loop start and end do not pair up
    FlowVariableUnset = -4, // x or y compared before it was measured; also a no-path that never rejoins
    FlowCycle = -5,         // an arrow leads back to a block that precedes it (listing only)
};

// The message the program check shows for a code; empty for FlowOk and FlowCycle.
QString FlowCodeMessage(int code);
// "サブルーチン" + n + "のプログラムを確認して下さい。"
QString SubroutineCheckMessage(int routine);
// Shown by "送信データ表示" when there is no listing and the reason was not a cycle.
QString ListingUnavailableMessage();

struct RoutineCheck
{
    int code = FlowOk;
    // The block to blame when the check fails: the one lacking an arrow (or
    // whose arrow leads to a free slot), the misplaced loop block or the loop
    // start left open, the if that compares an unset variable. NoSlot when
    // the routine has no start block.
    int slot = NoSlot;
    bool cycle = false;             // an arrow closes a cycle (the check still passes)
    QList<int> calledSubroutines;   // one entry per call block reached, repeats kept
    QList<int> reached;             // slots the walk entered, in walk order
};

// The walk over one routine from its start block.
RoutineCheck CheckRoutine(const FlowDocument &document, int routine);

struct ProgramCheck
{
    int code = FlowOk;
    int routine = 0;    // the routine that failed
    int slot = NoSlot;  // its block to blame (RoutineCheck::slot)
    QString message;    // FlowCodeMessage(code), empty on success
    bool ok() const { return code == FlowOk; }
};

// The main routine, then every subroutine called from it (once per call).
// An arrow cycle does not fail it: such a program runs on the kit.
ProgramCheck CheckProgram(const FlowDocument &document);

} // namespace koru
