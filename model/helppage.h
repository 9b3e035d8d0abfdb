// Help pages ("HTML\Navi\KORUnavi.html", "HTML\QA\index.html", ...) open in
// the desktop's viewer through one page opener, which the launcher installs
// from its shell services; every window's help command goes through here and
// says so in the same words when the page cannot be shown.
#pragma once

#include <QString>
#include <QUrl>

#include <functional>

namespace koru {

inline const QString PageNotOpenedMessage = QStringLiteral("ページを開くことが出来ません。");

// Opens a local page; false when the desktop could not.
using PageOpener = std::function<bool(const QUrl &page)>;

// Installs the opener (an empty one removes it).
void SetPageOpener(PageOpener opener);

// Opens the page at a path relative to the program's folder (written as the
// data names it). Without an opener, or when it fails, warns
// PageNotOpenedMessage with the page's full path and answers false.
bool OpenHelpPage(const QString &relative);

} // namespace koru
