// What an editor window is handed by the shell: the kit it talks to and the
// shared windows it shows (the transfer progress over it, the sent-data
// viewer) and the folder of recovery copies. The shell owns them all; an
// editor only keeps the pointers.
#pragma once

#include "link/kitcontext.h"

namespace koru {

class RecoveryStore;
class SentDataViewer;
class TransferWindow;

struct EditorContext
{
    KitContext kit;
    TransferWindow *transferWindow = nullptr;
    SentDataViewer *viewer = nullptr;
    RecoveryStore *recovery = nullptr; // null: no autosave
};

} // namespace koru
