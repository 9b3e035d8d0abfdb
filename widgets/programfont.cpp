#include "widgets/programfont.h"

#include <QApplication>

namespace koru {

namespace {

const QString ProgramFamily = QStringLiteral("ＭＳ Ｐゴシック");

void RegisterStandIns()
{
    static const bool registered = [] {
        QFont::insertSubstitutions(ProgramFamily, {QStringLiteral("IPAPGothic"), QStringLiteral("IPAGothic")});
        QFont::insertSubstitutions(QStringLiteral("FixedSys"), {QStringLiteral("IPAGothic")});
        return true;
    }();
    Q_UNUSED(registered);
}

} // namespace

QFont ProgramFont()
{
    RegisterStandIns();
    QFont font(ProgramFamily);
    font.setPixelSize(12);
    return font;
}

void UseProgramFont()
{
    QApplication::setFont(ProgramFont());
}

QFont PixelFont(const QFont &base, int pixels)
{
    QFont font = base;
    font.setPixelSize(pixels);
    return font;
}

} // namespace koru
