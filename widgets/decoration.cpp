#include "widgets/decoration.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QVariant>
#include <QWidget>

namespace koru {

namespace {

constexpr char DecorationProperty[] = "koruDecoration";

QAccessibleInterface *DecorationFactory(const QString &, QObject *object)
{
    if (object && object->isWidgetType() && object->property(DecorationProperty).toBool())
        return new QAccessibleWidget(static_cast<QWidget *>(object), QAccessible::Client);
    return nullptr;
}

} // namespace

void MarkDecoration(QWidget *picture)
{
    static const bool installed = [] {
        QAccessible::installFactory(DecorationFactory);
        return true;
    }();
    Q_UNUSED(installed);
    picture->setProperty(DecorationProperty, true);
}

} // namespace koru
