// What an editor window is handed by the shell: the kit it talks to and the
// shared windows it shows (the transfer progress over it, the sent-data
// viewer). The shell owns them all; an editor only keeps the pointers.
#pragma once

#include "link/kitcontext.h"

namespace koru {

class SentDataViewer;
class TransferWindow;

struct EditorContext
{
    KitContext kit;
    TransferWindow *transferWindow = nullptr;
    SentDataViewer *viewer = nullptr;
};

} // namespace koru
