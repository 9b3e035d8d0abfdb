#include "widgets/qtdialogservice.h"

#include "model/caption.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QMessageBox>

namespace koru {

namespace {

QString shown(const QString &text)
{
    QString result = text;
    return result.replace(QLatin1String("\r\n"), QLatin1String("\n"));
}

QMessageBox::StandardButton ask(QMessageBox::Icon icon, const QString &text,
                                QMessageBox::StandardButtons buttons,
                                QMessageBox::StandardButton defaultButton = QMessageBox::NoButton)
{
    QMessageBox box(icon, ProgramName, shown(text), buttons,
                    QApplication::activeWindow());
    if (defaultButton != QMessageBox::NoButton)
        box.setDefaultButton(defaultButton);
    return QMessageBox::StandardButton(box.exec());
}

} // namespace

void QtDialogService::warning(const QString &text)
{
    ask(QMessageBox::Warning, text, QMessageBox::Ok);
}

void QtDialogService::information(const QString &text)
{
    ask(QMessageBox::Information, text, QMessageBox::Ok);
}

bool QtDialogService::question(const QString &text)
{
    return ask(QMessageBox::Information, text, QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
}

bool QtDialogService::destructiveQuestion(const QString &text)
{
    return ask(QMessageBox::Information, text, QMessageBox::Yes | QMessageBox::No, QMessageBox::No)
           == QMessageBox::Yes;
}

bool QtDialogService::confirmOverwrite(const QString &text)
{
    return ask(QMessageBox::Question, text, QMessageBox::Yes | QMessageBox::No, QMessageBox::No)
           == QMessageBox::Yes;
}

QString QtDialogService::qtFilter(const QString &filter)
{
    // Pairs of description|pattern, as the program's texts write them.
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString description = parts[i];
        const qsizetype paren = description.indexOf(QLatin1Char('('));
        if (paren > 0)
            description = description.left(paren);
        filters << description + QStringLiteral(" (") + parts[i + 1] + QLatin1Char(')');
    }
    return filters.isEmpty() ? filter : filters.join(QStringLiteral(";;"));
}

QString QtDialogService::openFileName(const QString &filter, const QString &folder)
{
    return QFileDialog::getOpenFileName(QApplication::activeWindow(), {}, folder, qtFilter(filter));
}

QString QtDialogService::saveFileName(const QString &filter, const QString &folder,
                                      const QString &proposedName)
{
    // The program asks its own overwrite question after adding the suffix.
    const QString start = proposedName.isEmpty() ? folder : QDir(folder).filePath(proposedName);
    return QFileDialog::getSaveFileName(QApplication::activeWindow(), {}, start, qtFilter(filter),
                                        nullptr, QFileDialog::DontConfirmOverwrite);
}

} // namespace koru
