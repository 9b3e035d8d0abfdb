// What the panel beside the kit's picture says about a run, so a pupil sees
// why the program does what it does: the instruction running (or, stepping,
// the one to run next) in the editor's own words, the x and y the program
// uses, the loops under way and the wait being held with what it waits for.
#pragma once

#include "preview/previewrun.h"

#include <QString>
#include <QStringList>

#include <functional>

namespace koru::preview {

// The editor's name for the instruction at an address ("メインルーチン:
// フルカラーLED LED点灯 2秒", "3番目: タイマー 2秒", "5行目: timer(2);");
// empty leaves it to the preview.
using AddressDescriber = std::function<QString(int address)>;

struct RunStateView
{
    QString when;       // "実行中", "つぎに実行"; empty when idle
    QString what;       // the instruction, as the editor names it
    QStringList values; // "x = 25", "y = 50": only those the program uses
    QStringList loops;  // "くり返し 2回目／3回", the innermost last
    QString wait;       // "25℃になるのを待っています"; empty when none

    // One line per fact: "つぎに実行: …", then the values, loops and wait.
    QStringList lines() const;
    // The same for the panel, as rich text.
    QString html() const;
};

RunStateView ViewOf(const PreviewRun &run, const AddressDescriber &describe = {});

// The sentence for a pending wait; the set value is used by the temperature
// and humidity waits.
QString WaitSentence(kit::WaitKind kind, int setValue);

// The instruction at an address as the preview names it when the editor
// has no name for it ("開始", "終了", the keyword).
QString InstructionName(const DeviceImage &image, int address);

// Whether the instructions reachable from the start read or set x and y.
struct VariablesUsed
{
    bool x = false;
    bool y = false;
};
VariablesUsed VariablesOf(const DeviceImage &image);

} // namespace koru::preview
