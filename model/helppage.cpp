#include "model/helppage.h"

#include "model/dialogservice.h"
#include "model/paths.h"

#include <QFileInfo>

namespace koru {

namespace {
PageOpener &opener()
{
    static PageOpener installed;
    return installed;
}
} // namespace

void SetPageOpener(PageOpener opener_)
{
    opener() = std::move(opener_);
}

bool OpenHelpPage(const QString &relative)
{
    const QString path = QFileInfo(AssetPath(relative)).absoluteFilePath();
    if (opener() && opener()(QUrl::fromLocalFile(path)))
        return true;
    Dialogs().warning(PageNotOpenedMessage + QStringLiteral("\r\n") + path);
    return false;
}

} // namespace koru
