#include "model/previewrequest.h"

namespace koru {

namespace {
PreviewHandler &previewHandler()
{
    static PreviewHandler current;
    return current;
}
} // namespace

void SetPreviewHandler(PreviewHandler h)
{
    previewHandler() = std::move(h);
}

bool RequestPreview(const PreviewRequest &request)
{
    if (!previewHandler())
        return false;
    previewHandler()(request);
    return true;
}

} // namespace koru
