// Hand-over of a program to the on-screen preview. An editor fills a request
// (its unframed image, its window to centre over, and optionally a callback
// that follows the run) and hands it on; the preview window installs the
// handler when it exists. The handler returns at once: the preview is a
// modal window, not a nested event loop.
#pragma once

#include "model/encoder.h"

#include <QRect>
#include <QStringList>

#include <functional>

namespace koru {

struct PreviewRequest
{
    DeviceImage image; // unframed
    QRect over;        // the caller's window, to centre the preview over
    // Called with the image address of each instruction as the run reaches
    // it, and with -1 when the run stops or the preview closes, so an editor
    // can mark the running block or icon. May be empty.
    std::function<void(int address)> running;
    // The editor's name for the instruction at an address, for the state
    // shown beside the kit ("3番目: タイマー 2秒"). May be empty.
    std::function<QString(int address)> describe;
};

using PreviewHandler = std::function<void(const PreviewRequest &)>;

// Installs the preview (an empty handler removes it).
void SetPreviewHandler(PreviewHandler handler);
// Hands the request to the preview; false when none is installed.
bool RequestPreview(const PreviewRequest &request);

} // namespace koru
