// The flowchart editor between the canvas, the window and the document:
// what is shown (routine, selection, the block in the parameter panel, the
// order the blocks are drawn in), the clipboard, and every edit command.
// Each command that changes the document reports one undo step holding the
// document before and after it; the window keeps the undo stack and hands
// a step back through restore(). Widgets only read from the editor and
// call its commands, so no widget writes the document.
#pragma once

#include "flowchart/flowdocument.h"
#include "flowchart/flowedit.h"
#include "flowchart/flowkeys.h"

#include <QList>
#include <QObject>
#include <QPoint>
#include <QRect>
#include <QString>

#include <array>
#include <functional>
#include <optional>

namespace koru {

// One undo step: steps with the same non-negative mergeId that follow each
// other count as one (the emptying and the filling of a read-back).
struct FlowStep
{
    QString text;
    FlowDocument before;
    FlowDocument after;
    int routine = 0; // shown again when the step is undone or redone
    int mergeId = -1;
};

class FlowEditor : public QObject
{
    Q_OBJECT
public:
    explicit FlowEditor(QObject *parent = nullptr);

    const FlowDocument &document() const { return m_doc; }
    // Tests build their documents here; edits that pupils make go through
    // the commands below.
    FlowDocument &editableDocument() { return m_doc; }

    int routine() const { return m_routine; }
    void showRoutine(int routine);

    // ---- Selection and the block last pressed
    const QList<int> &selection() const { return m_selection; }
    void setSelection(const QList<int> &slotList);
    int currentBlock() const { return m_currentBlock; }
    // A press on a block: a block outside the selection becomes the only
    // one selected, a selected block keeps the group; it becomes the current block.
    void pressBlock(int slot);
    // A press on the empty canvas: the panel closes and nothing stays selected.
    void pressBackground();
    // The rubber band's release: the blocks it overlaps, in slot order.
    void selectWithin(const QRect &band);

    // ---- The keyboard
    // An arrow key: the block it reaches (BlockInDirection) from the one
    // selected becomes the only one selected and the current block; from
    // none, the start block. Nothing changes when no block lies that way.
    void selectInDirection(KeyDirection direction);
    // Enter: the parameter panel shows the one selected block.
    void openSelected();
    // Insert: a palette item placed below the one selected block
    // (PlaceBelow; the routine's top corner when none is selected) and
    // joined to it by its bottom arrow; the arrow that left the block
    // before goes on from the new one. Refused as a drop is (slots, start,
    // subroutine, bytes) and when there is no room below; the parameters
    // are asked as for a drop, and the new block becomes the selection.
    void placeBelow(int paletteIndex);
    // Ctrl+arrow: the selected blocks move by shift, each kept on the
    // canvas; one undo step.
    void nudgeSelection(QPoint shift);

    // ---- Drawing order and hit test
    // The occupied slots of the shown routine in drawing order, bottom to
    // top: slot order, then the blocks placed, pasted or moved since, the
    // latest last.
    QList<int> drawingOrder() const;
    // The topmost drawn block that strictly contains a canvas point; NoSlot when none.
    int blockAt(QPoint canvasPoint) const;

    // ---- The parameter panel (the block whose parameters it shows)
    int panelSlot() const { return m_panelSlot; }
    int panelOwner() const; // kind index of that block; -1 when the panel is closed
    // A click on a block releases here: with exactly one block selected the
    // panel shows it (start and end have no parameters).
    void clickBlock(int slot);
    void closePanel();
    // "OK" in the panel.
    void confirmPanel(const QString &params);

    // ---- Commands, one undo step each
    // A palette item dropped at a canvas point: on a block it replaces the
    // block's instruction, elsewhere it places a new block. Kinds with
    // parameters wait for confirmDrop (parametersWanted is emitted); the
    // new block stands on the canvas meanwhile.
    void dropPalette(int paletteIndex, QPoint canvasPoint);
    bool awaitingParameters() const { return m_pending.has_value(); }
    void confirmDrop(const QString &params);
    // The parameter window closed without "OK": the drop is taken back.
    void cancelDrop();

    void deleteSelection();
    void removeArrows();  // of the current block
    void copySelection(); // no document change: no step
    void paste();
    void align(Alignment alignment);
    void linkArrow(bool side, int source, QPoint canvasPoint);
    // A move: the selection follows the mouse (each block kept right of 0
    // and below `top`, the visible area's top) and becomes one step at the end.
    void beginMove();
    void moveSelection(QPoint shift, int top);
    void finishMove();
    // A change of the whole document (loading, clearing, read-back): the
    // main routine is shown afterwards with nothing selected and the
    // clipboard empty. A change that returns false and leaves the document
    // as it was (a cancelled or refused load) changes nothing else either.
    void replaceDocument(const QString &text, const std::function<bool(FlowDocument &)> &change, int mergeId = -1);

    // An undo or redo: the document as it was, showing the routine the change was made in.
    void restore(const FlowDocument &document, int routine);

signals:
    void changed();                // anything drawn on the canvas
    void routineShown(int routine);
    void panelOpened(const QString &kind, const QString &params);
    void panelClosed();
    void parametersWanted(int slot, const QString &kind);
    void stepMade(const koru::FlowStep &step);
    // An edit was refused over a budget (after its warning and its step,
    // if any): the part and the figure the edit would have reached.
    void budgetExceeded(const koru::BudgetPart &wouldBe);

private:
    struct PendingDrop
    {
        bool replacing = false;
        int routine = 0;
        int slot = NoSlot;
        int paletteIndex = 0;
        FlowDocument before;
        bool byKey = false;    // placed by key: selected once placed
        int joinFrom = NoSlot; // placed by key below this block: joined to it
    };

    void newBlock(int paletteIndex, QPoint canvasPoint, bool byKey = false, int joinFrom = NoSlot);
    void replaceBlock(int slot, int paletteIndex);
    void finishDrop(const PendingDrop &drop, const QString &params);
    void commit(const QString &text, const FlowDocument &before, int mergeId = -1);
    void raise(int routine, const QList<int> &slotList);
    void forgetFreeSlots();

    FlowDocument m_doc;
    int m_routine = 0;
    QList<int> m_selection; // slots of the shown routine, in selection order
    int m_currentBlock = NoSlot;
    int m_panelSlot = NoSlot;
    QList<int> m_clipboard;
    int m_clipboardRoutine = 0;
    std::optional<PendingDrop> m_pending;
    std::optional<FlowDocument> m_moveStart;
    std::array<QList<int>, RoutineCount> m_raised; // drawn above slot order, latest last
};

} // namespace koru
