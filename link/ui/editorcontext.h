// What an editor window is handed by the shell: its kit and the shared
// windows it shows.
#pragma once

#include "link/kitcontext.h"

namespace koru {

class TransferWindow;
class SentDataViewer;

struct EditorContext
{
    KitContext kit;
    TransferWindow *transferWindow = nullptr;
    SentDataViewer *viewer = nullptr;
};

} // namespace koru
