// Texts that do not fit their controls at the font the window uses: every
// item of every choice list (against the list's text field), every label
// line (against its contents) and every button (against its size hint).
// Widgets only: include it in tests that link QtWidgets.
#pragma once

#include <QAbstractButton>
#include <QComboBox>
#include <QFontMetrics>
#include <QLabel>
#include <QStyle>
#include <QStyleOptionComboBox>
#include <QWidget>

namespace koru::test {

// One line per clipped text: the control's name, the text, needed and
// available width.
inline QStringList ClippedTexts(QWidget *root)
{
    QStringList clipped;
    auto report = [&](const QWidget *w, const QString &text, int needed, int available) {
        clipped << QStringLiteral("%1 「%2」: %3 > %4").arg(w->objectName(), text).arg(needed).arg(available);
    };
    QList<QWidget *> widgets = root->findChildren<QWidget *>();
    widgets.prepend(root);
    for (QWidget *w : widgets) {
        if (!w->isVisibleTo(root) && w != root)
            continue;
        const QFontMetrics metrics(w->font());
        if (auto *combo = qobject_cast<QComboBox *>(w)) {
            QStyleOptionComboBox option;
            option.initFrom(combo);
            option.editable = combo->isEditable();
            option.frame = combo->hasFrame();
            const QRect field =
                combo->style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, combo);
            for (int i = 0; i < combo->count(); ++i) {
                const int needed = metrics.horizontalAdvance(combo->itemText(i));
                if (needed > field.width())
                    report(combo, combo->itemText(i), needed, field.width());
            }
        } else if (auto *label = qobject_cast<QLabel *>(w)) {
            if (label->text().isEmpty() || label->wordWrap() || !label->pixmap().isNull()
                || label->textFormat() == Qt::RichText)
                continue;
            const int margin = label->margin();
            const QRect room = label->contentsRect().adjusted(margin, margin, -margin, -margin);
            const QStringList lines = label->text().split(QLatin1Char('\n'));
            for (const QString &line : lines) {
                const int needed = metrics.horizontalAdvance(line);
                if (needed > room.width())
                    report(label, line, needed, room.width());
            }
            const int height = metrics.height() + metrics.lineSpacing() * int(lines.size() - 1);
            if (height > room.height())
                report(label, label->text() + QStringLiteral(" (height)"), height, room.height());
        } else if (auto *button = qobject_cast<QAbstractButton *>(w)) {
            if (button->text().isEmpty())
                continue;
            if (button->sizeHint().width() > button->width())
                report(button, button->text(), button->sizeHint().width(), button->width());
        }
    }
    return clipped;
}

} // namespace koru::test
