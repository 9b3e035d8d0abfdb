// Which window each launcher button opens, and the shared windows created at
// start. Both are tables of factories so that a new window plugs in with one
// line in windowtable.cpp and start-up itself never changes.
#pragma once

#include <QString>
#include <functional>
#include <map>
#include <vector>

class QWidget;

namespace koru::shell {

// The windows page 2 of the launcher opens, one at a time.
enum class LauncherTarget {
    IconEditor,      // STEP1
    FlowchartEditor, // STEP2
    TextEditor,      // STEP3
    MelodyEditor,
    Measurement,
    KeywordSettings,
};

// Makes a new top-level window (not shown yet). The launcher takes care of
// destroying it on close and showing itself again.
using WindowFactory = std::function<QWidget *()>;

// A target without a factory is not available yet: its button says so.
using LauncherTable = std::map<LauncherTarget, WindowFactory>;
LauncherTable DefaultLauncherTable();

// Windows that live from start to end and are shared by the editors, in the
// order they are created.
struct SharedWindowEntry
{
    QString name;
    WindowFactory make;
};
using SharedWindowTable = std::vector<SharedWindowEntry>;
SharedWindowTable DefaultSharedWindows();

// The stand-in for a shared window whose subsystem is not there yet: an
// empty, never shown window with the given title.
QWidget *NewEmptyWindow(const QString &name);

} // namespace koru::shell
