// The canvas's editing rules on the document, without the widgets: dropping
// palette items, confirming parameters within the byte budget, pasting and
// aligning. Each operation returns the message the window shows (empty when
// there is none), so the canvas only wires mouse events and dialogs to them.
#pragma once

#include "flowchart/flowdocument.h"
#include "model/budget.h"

#include <QList>
#include <QPoint>
#include <QString>

#include <optional>

namespace koru {

// "配置できる命令数は30個までです。これ以上命令を追加できません。"
QString BlockLimitMessage();
// "スタート命令はすでに配置しております。"
QString StartPlacedMessage();
// "サブルーチン命令はメインルーチン以外には配置出来ません。"
QString CallOutsideMainMessage();
// "これ以上命令を追加できません。(バイト数オーバー)"
QString ByteOverflowMessage();
// "開始命令が含まれている為コピー出来ません。"
QString PasteStartMessage();

// What the line under the canvas adds after a refusal over a budget:
// "バイト 121/120 となり上限を超えるため追加できません", or, when the
// routine's last free slot is the start block's, that this is why.
QString BudgetRefusalText(const BudgetPart &wouldBe);

struct EditResult
{
    int slot = NoSlot;  // the block concerned
    QString message;    // the warning to show; empty when the edit went through
    // A refusal over the routine's instructions or the program's bytes: the
    // part with the figure the edit would have reached.
    std::optional<BudgetPart> exceeded;
    bool ok() const { return message.isEmpty(); }
};

// A palette item (index 0-11) dropped on the empty canvas at a canvas point:
// the block is placed and its slot returned. Start and end blocks are
// complete; for the other kinds the caller opens the parameter window and
// hands its result to ConfirmNewBlock.
EditResult DropNewBlock(FlowDocument &document, int routine, int paletteIndex, QPoint canvasPoint);
// Stores a new block's parameters; a block that takes the program over the
// byte budget is removed again and the overflow message returned.
EditResult ConfirmNewBlock(FlowDocument &document, int routine, int slot, const QString &params);

// Checks a palette item dropped on an existing block before the parameter
// window opens (start and call rules); empty when it may go ahead.
QString ReplaceRefusal(const FlowDocument &document, int routine, int paletteIndex);
// Gives the block the dropped kind and its parameters (start and end:
// "0,0,0,0,0,0"); refused with the overflow message when the byte budget
// would be exceeded, the block then keeps its kind and parameters. A block
// that becomes the start block moves to slot 0 (result slot).
EditResult ReplaceBlock(FlowDocument &document, int routine, int slot, int paletteIndex, const QString &params);

// "OK" in the parameter panel: new parameters, refused over the budget.
EditResult ChangeParams(FlowDocument &document, int routine, int slot, const QString &params);

struct PasteResult
{
    QList<int> pasted; // the copies, in clipboard order: the new selection
    QString message;
    std::optional<BudgetPart> exceeded; // as in EditResult
};
// Copies the clipboard's blocks 100 pixels right and 50 down, with the
// arrows among them; stops at the slot limit or the byte budget (copies made
// so far stay). The blocks are those of fromRoutine, the routine they were
// copied in (the pasting routine when it is -1), so blocks copied in one
// routine can be pasted into another; a subroutine call pasted outside the
// main routine is refused with its warning.
PasteResult PasteBlocks(FlowDocument &document, int routine, const QList<int> &clipboard, int fromRoutine = -1);

enum class Alignment { Left, CentreHorizontal, Right, SpreadHorizontal, Top, CentreVertical, Bottom, SpreadVertical };
// Aligns the selected blocks. Spreading needs three blocks; blocks at the
// same coordinate keep their selection order.
void AlignBlocks(FlowDocument &document, int routine, const QList<int> &selection, Alignment alignment);

} // namespace koru
