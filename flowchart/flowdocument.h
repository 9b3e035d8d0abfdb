// The flowchart document: five routines (the main routine and four
// subroutines), each a fixed table of 30 block slots joined by arrows.
//
// Every editing path (canvas, parameter panel, files, import, read-back)
// changes the document only through these operations, so the arrows and the
// `incoming` lists always agree: a block's `incoming` names exactly the blocks
// whose bottom or side arrow ends in it.
#pragma once

#include <QList>
#include <QPoint>
#include <QString>
#include <QStringList>

namespace koru {

inline constexpr int RoutineCount = 5;      // 0 = main routine, 1-4 = subroutines
inline constexpr int SlotsPerRoutine = 30;
inline constexpr int FlowByteBudget = 120;  // the kit's program memory
inline constexpr int BlockWidth = 100;
inline constexpr int BlockHeight = 50;
// The drawing surface: 3100 pixels high, and as wide as the window shows it
// (730 at least); no screen makes it wider than it is high. Every block
// lies within it, so no drawing or report picture is larger.
inline constexpr int CanvasHeight = 3100;
inline constexpr int CanvasMaxWidth = 3100;
inline constexpr int MaxBlockX = CanvasMaxWidth - BlockWidth;
inline constexpr int MaxBlockY = CanvasHeight - BlockHeight;
inline constexpr int ArrowPenWidth = 3;
inline constexpr int NoSlot = -1;
// Where a chart the program lays out itself (read back from the kit, made
// from a listing) puts its blocks: columns from x 50, 150 apart; rows from
// y 10, 80 apart.
inline constexpr int LaidOutFirstX = 50;
inline constexpr int LaidOutFirstY = 10;
inline constexpr int LaidOutColumnStep = 150;
inline constexpr int LaidOutRowStep = 80;

// Whether a kind is that of a start or an end block.
inline bool IsStartOrEnd(const QString &kind)
{
    return kind == QLatin1String("start") || kind == QLatin1String("end");
}

// Captions of the routine selector, in RoutineNo order.
QStringList RoutineNames();

struct FlowBlock
{
    int slotNo = 0;    // the slot's own number; 0 in a free slot
    QString kind;      // CommandKind keyword; empty = free slot
    int x = 0;         // top-left corner on the canvas, never negative
    int y = 0;
    QList<int> incoming; // sources of the arrows ending here, in drawing order
    int next = NoSlot;   // bottom arrow
    int branch = NoSlot; // side arrow (if blocks only)
    QString params;      // ParameterString

    bool isOccupied() const { return !kind.isEmpty(); }
    bool is(const char *keyword) const { return kind == QLatin1String(keyword); }
    // The text forms the file holds: "2,5", "4", "" for none.
    QString incomingText() const;
    QString nextText() const;
    QString branchText() const;

    bool operator==(const FlowBlock &other) const = default;
};

class FlowDocument
{
public:
    FlowDocument();

    static bool isValidRoutine(int routine) { return routine >= 0 && routine < RoutineCount; }
    static bool isValidSlot(int slot) { return slot >= 0 && slot < SlotsPerRoutine; }
    static bool isValid(int routine, int slot) { return isValidRoutine(routine) && isValidSlot(slot); }

    // The block in a slot; a free block for positions out of range.
    const FlowBlock &block(int routine, int slot) const;
    bool isOccupied(int routine, int slot) const { return block(routine, slot).isOccupied(); }
    // The occupied slots of a routine in slot order.
    QList<int> occupiedSlots(int routine) const;

    // Lowest free slot among 1-29 (slot 0 is kept for the start block), or
    // NoSlot when all 29 are taken.
    int freeSlot(int routine) const;

    // Puts a block into a slot: SlotNo, kind and position (negative
    // coordinates become 0); parameters start as "0,0,0,0,0,0" for start and
    // end and empty for the others until they are confirmed. Refuses (false)
    // positions out of range, unknown keywords, an occupied slot, a start
    // block outside slot 0 and a subroutine call outside the main routine.
    bool place(int routine, int slot, const QString &kind, int x, int y);
    void setParams(int routine, int slot, const QString &params);
    void setPosition(int routine, int slot, int x, int y);

    // Gives an occupied block another kind and parameters, keeping its slot,
    // position and arrows as far as the new kind allows: a block that stops
    // being an if loses its side arrow, an end block loses its bottom arrow,
    // and a start block loses the arrows that end in it. Slot 0 is the start
    // block's place (subroutine calls and the kit enter a routine there): a
    // block that becomes the start block moves to slot 0 (refused when slot 0
    // holds another block or the routine has a start block), and a start
    // block that becomes another kind moves to the lowest free slot (refused
    // when there is none). Returns the block's slot afterwards, or NoSlot.
    int changeKind(int routine, int slot, const QString &kind, const QString &params);

    // Moves a block to a free slot of its routine; every arrow and incoming
    // entry follows it. False when `from` is free or `to` is taken.
    bool moveBlock(int routine, int from, int to);

    // Empties a slot (SlotNo, x and y back to 0) without touching the
    // arrows of other blocks; removeBlocks keeps the arrows consistent.
    void clearSlot(int routine, int slot);
    // Clears the slots and removes every arrow from or to them.
    void removeBlocks(int routine, const QList<int> &slotList);

    // Bottom arrow source -> target; side arrow likewise (if blocks only).
    // Refused (false) when either slot is free, the target is a start block
    // or the source cannot carry that arrow (an end block has no bottom
    // arrow). An earlier arrow of the same kind is replaced. Self-links and
    // links back to earlier blocks are accepted: the check decides.
    bool linkBottom(int routine, int source, int target);
    bool linkSide(int routine, int source, int target);
    // The block that strictly contains the canvas point and is drawn on top
    // when the blocks are drawn in slot order (the last such slot); NoSlot
    // when none.
    int blockAt(int routine, QPoint canvasPoint) const;
    bool linkBottomAt(int routine, int source, QPoint canvasPoint);
    bool linkSideAt(int routine, int source, QPoint canvasPoint);

    // Removes the bottom and side arrows of a block.
    void removeArrows(int routine, int slot);

    // Every slot cleared.
    void clear();

    int blockCount() const;
    int blockCount(int routine) const;
    // Sum of InstructionLength over the occupied slots of every routine.
    int byteTotal() const;
    bool fitsBudget() const { return byteTotal() <= FlowByteBudget; }
    // Byte offset of a slot in the image: the length of every occupied block
    // before it, routines 0-4 and slots 0-29 in order.
    int byteAddress(int routine, int slot) const;

    // Broken invariants, one line each; empty for a sound document. Used by
    // tests and by the loaders' own checks.
    QStringList invariantViolations() const;

    bool operator==(const FlowDocument &other) const { return m_blocks == other.m_blocks; }

    // Direct access for loaders that validate whole documents before they
    // hand them out (files, import, read-back). They call
    // rebuildIncoming() afterwards.
    FlowBlock &rawBlock(int routine, int slot);
    // Drops arrows that name free slots, end in a start block, leave an end
    // block or are side arrows of other kinds, then rebuilds every incoming
    // list: entries that match an arrow keep their order, missing ones are
    // appended in slot order.
    void repairArrows();

private:
    bool link(int routine, int source, int target, bool side);
    int relocate(int routine, int from, int to);
    void unlinkTarget(int routine, int source, int oldTarget);
    static int indexOf(int routine, int slot) { return routine * SlotsPerRoutine + slot; }

    QList<FlowBlock> m_blocks;
};

} // namespace koru
