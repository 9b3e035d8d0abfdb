#include "widgets/decoration.h"
#include "widgets/paintedaccessible.h"

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
    InstallAccessibleFactory(DecorationFactory);
    picture->setProperty(DecorationProperty, true);
}

} // namespace koru
