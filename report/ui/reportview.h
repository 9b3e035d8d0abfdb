// The HTML view of the report window: shows a report page from disk with
// its pictures (sources relative to the page or file URLs), and says when a
// page is ready to be shown, printed or written as PDF.
#pragma once

#include <QTextBrowser>

namespace koru::report {

class ReportView : public QTextBrowser
{
    Q_OBJECT
public:
    explicit ReportView(QWidget *parent = nullptr);

    // Loads the page (again, also when it is the one shown) and lays it out
    // with its pictures; pageReady follows once that is done.
    void showPage(const QString &path);

signals:
    void pageReady();

protected:
    // Pages are read as the program writes them: Shift-JIS.
    QVariant loadResource(int type, const QUrl &name) override;

private:
    QVariant shownSmoothly(const QVariant &loaded, const QUrl &name) const;
};

} // namespace koru::report
