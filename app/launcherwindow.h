// The borderless launcher: page 1 chooses between this program and MERU,
// page 2 opens an editor, the measurement window, the keyword settings or a
// help page. Closing it ends the program.
#pragma once

#include "app/shellservices.h"
#include "app/splashwindow.h"
#include "app/windowtable.h"

#include <QPointer>
#include <QWidget>

class QStackedWidget;

namespace koru::shell {

class PictureLabel;

class LauncherWindow : public QWidget
{
    Q_OBJECT
public:
    static constexpr int Width = 555;
    static constexpr int Height = 419;

    // Shows the splash at once; it goes when events are next processed.
    explicit LauncherWindow(LauncherTable table,
                            ShellServices services = ShellServices::desktop(),
                            QWidget *parent = nullptr);
    ~LauncherWindow() override;

    int currentPage() const; // 1 or 2
    // Page 2's buttons exist from the first time it is shown.
    void showPage(int page);

    // The window a page-2 button opened and that is still open, if any.
    QWidget *openWindow(LauncherTarget target) const;

    void open(LauncherTarget target);
    void openGuide();
    void openQuestionsAndAnswers();
    void handOverToMeru();

    SplashWindow *splash() const { return m_splash; }

signals:
    void closed();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void buildPage1(QWidget *page);
    void buildPage2(QWidget *page);
    // caption stands in for a missing picture; spoken is what a screen
    // reader says for it, action what pressing it does.
    PictureLabel *button(QWidget *page, const QString &name, const QRect &geometry, const QString &asset,
                         const QString &caption, const QString &spoken, const QString &action);

    LauncherTable m_table;
    ShellServices m_services;
    QStackedWidget *m_pages = nullptr;
    QWidget *m_page2 = nullptr;
    bool m_page2Built = false;
    QPointer<SplashWindow> m_splash;
    std::map<LauncherTarget, QPointer<QWidget>> m_open;
    bool m_handingOver = false; // a second press during the wait starts nothing
};

} // namespace koru::shell
