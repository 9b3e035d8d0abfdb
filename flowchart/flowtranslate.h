// Translating a flowchart: the linear form (FlowItems, the program sequence
// with subroutines written in place of their calls, the CommandListing) and
// the kit's byte image built straight from the graph.
#pragma once

#include "flowchart/flowcheck.h"
#include "flowchart/flowdocument.h"
#include "model/encoder.h"
#include "model/sendable.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace koru {

struct FlowItem
{
    enum Type { Block, Else, Endif };
    Type type = Block;
    int routine = 0; // Block only
    int slot = 0;    // Block only
    int family = 0;  // Else and Endif: ConditionFamily of their if

    static FlowItem block(int routine, int slot) { return {Block, routine, slot, 0}; }
    static FlowItem marker(Type type, int family) { return {type, 0, 0, family}; }
    bool operator==(const FlowItem &other) const = default;
};

struct Linearisation
{
    int code = FlowOk;
    QList<FlowItem> items; // without the start block and the closing end block
    bool ok() const { return code == FlowOk; }
};

// One routine in if / else / endif order.
Linearisation LineariseRoutine(const FlowDocument &document, int routine);

struct ListingResult
{
    int code = FlowOk;
    QList<FlowItem> sequence;  // the program sequence, calls replaced by their subroutines
    QStringList listing;       // "START", records, "END"; empty on failure
    QString warning;           // the failing subroutine's message, if any
    bool ok() const { return code == FlowOk; }
    // "送信データ表示" stays silent after a cycle and refuses otherwise.
    bool failedOnCycle() const { return code == FlowCycle; }
};

// The program sequence of the main routine with every call replaced by the
// linearised subroutine, and its CommandListing.
ListingResult BuildCommandListing(const FlowDocument &document);

// The records of a program sequence between "START" and "END".
QStringList ListingOfSequence(const FlowDocument &document, const QList<FlowItem> &sequence);

struct ImageResult
{
    ProgramCheck check;
    DeviceImage image; // empty when the check failed
    bool ok() const { return check.ok(); }
};

// The checked image for a transfer or the preview.
ImageResult BuildDeviceImage(const FlowDocument &document);

// What F6 sends and the preview runs: BuildDeviceImage's image, or the
// check's message with the failing block as routine * SlotsPerRoutine +
// slot (-1 when no block is to blame, as for a routine without a start).
Sendable SendableImage(const FlowDocument &document);

// The block (routine * SlotsPerRoutine + slot) whose instruction starts at
// an address of the image, -1 for any other address.
int ElementAtAddress(const FlowDocument &document, int address);

// The image of every occupied slot without any check (routines 0-4, slots
// 0-29): addresses from ByteAddress, missing arrows as 0, a call as the
// address of slot 0 of the called subroutine, an end outside the main
// routine as 206.
DeviceImage EncodeFlowDocument(const FlowDocument &document);

} // namespace koru
