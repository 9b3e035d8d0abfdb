#include "model/qtjapanese.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

#include <cstdio>

namespace koru {

bool InstallQtJapanese(const QString &folder)
{
    const QString from = folder.isEmpty() ? QLibraryInfo::path(QLibraryInfo::TranslationsPath) : folder;
    auto *translator = new QTranslator(QCoreApplication::instance());
    // "qt_ja" gathers the catalogues of every Qt module (qtbase_ja, ...).
    if (translator->load(QStringLiteral("qt_ja"), from) && QCoreApplication::installTranslator(translator))
        return true;
    delete translator;
    static bool said = false;
    if (!said) {
        said = true;
        std::fprintf(stderr,
                     "%s: Qt's Japanese translations (qt_ja.qm) are missing in %s; standard buttons and "
                     "dialogs show English texts (install the package qt6-translations-l10n)\n",
                     qPrintable(QCoreApplication::applicationName()), qPrintable(from));
    }
    return false;
}

} // namespace koru
