// Which window each launcher button opens, and the shared windows created at
// start. Both are tables of factories so that a new window plugs in with one
// line in windowtable.cpp and start-up itself never changes.
#pragma once

#include "editor/ui/editorcontext.h"

#include <QString>
#include <functional>
#include <map>
#include <vector>

class QWidget;

namespace koru::flow {
class BlockParameterWindow;
}
namespace koru::melody {
class NoteChooser;
}

namespace koru {
class RecoveryStore;
}

namespace koru::shell {

// What the shell hands the windows it opens: its kit (link, reply router,
// clock) and the shared windows, filled in as the shared-window table makes
// them. The shell owns all of it; windows only keep pointers.
struct SharedWindows
{
    KitContext kit;
    TransferWindow *transferWindow = nullptr;
    SentDataViewer *viewer = nullptr;
    flow::BlockParameterWindow *blockParameters = nullptr;
    melody::NoteChooser *noteChooser = nullptr;
    RecoveryStore *recovery = nullptr; // the program's recovery copies

    EditorContext editorContext() const { return {kit, transferWindow, viewer, recovery}; }
};

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
// The windows are made on what shared holds when a button is pressed (shared
// must outlive the table).
using LauncherTable = std::map<LauncherTarget, WindowFactory>;
LauncherTable DefaultLauncherTable(const SharedWindows &shared);

// Windows that live from start to end and are shared by the editors, in the
// order they are created. Each factory gets what has been made so far (the
// kit first) and enters its own window there when the editors need it.
using SharedWindowFactory = std::function<QWidget *(SharedWindows &shared)>;
struct SharedWindowEntry
{
    QString name;
    SharedWindowFactory make;
};
using SharedWindowTable = std::vector<SharedWindowEntry>;
SharedWindowTable DefaultSharedWindows();

// The stand-in for a shared window whose subsystem is not there yet: an
// empty, never shown window with the given title.
QWidget *NewEmptyWindow(const QString &name);

} // namespace koru::shell
