// Qt's own texts in Japanese: the buttons, file dialogs and context menus
// that Qt draws itself ("はい", "キャンセル", "名前を付けて保存" ...), whatever
// the system's language, because the whole interface is Japanese.
#pragma once

#include <QString>

namespace koru {

// Loads Qt's Japanese catalogue from the folder (by default Qt's
// translations folder) into the running application. Without it the program
// still starts: the first miss is said once on stderr and false returned.
bool InstallQtJapanese(const QString &folder = {});

} // namespace koru
