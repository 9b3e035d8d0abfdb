#include "model/previewrequest.h"

namespace koru {

namespace {
PreviewHandler &handler()
{
    static PreviewHandler current;
    return current;
}
} // namespace

void SetPreviewHandler(PreviewHandler h)
{
    handler() = std::move(h);
}

bool RequestPreview(const PreviewRequest &request)
{
    if (!handler())
        return false;
    handler()(request);
    return true;
}

} // namespace koru
