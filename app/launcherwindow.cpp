#include "app/launcherwindow.h"

#include "app/handover.h"
#include "app/picturelabel.h"
#include "app/splashwindow.h"
#include "model/caption.h"
#include "model/dialogservice.h"
#include "model/helppage.h"
#include "model/messages.h"
#include "model/paths.h"
#include "model/wait.h"

#include <QCloseEvent>
#include <QFileInfo>
#include <QPixmapCache>
#include <QStackedWidget>
#include <QTimer>

#ifdef __GLIBC__
#include <malloc.h>
#endif

namespace koru::shell {

namespace {

// A closed editor leaves its pictures in Qt's pixmap cache and its freed
// heap inside the process; a pupil who has visited every window would keep
// paying for all of them.
void ReleaseFreedMemory()
{
    QPixmapCache::clear();
#ifdef __GLIBC__
    malloc_trim(0);
#endif
}

} // namespace

LauncherWindow::LauncherWindow(LauncherTable table, ShellServices services, QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint),
      m_table(std::move(table)),
      m_services(std::move(services))
{
    // The launcher lives as long as the program: every window's help pages
    // open through its shell services.
    SetPageOpener(m_services.openPage);

    // The splash goes as soon as the program starts processing events.
    m_splash = new SplashWindow;
    m_splash->show();
    // Painted at once, before the launcher is built. Most platforms have Qt
    // paint a window as it shows it; a second paint would only delay the
    // launcher.
    if (!m_splash->painted())
        m_splash->repaint();
    m_splash->deleteLater();

    setObjectName(QStringLiteral("LauncherWindow"));
    setWindowTitle(ProgramName);
    setFixedSize(Width, Height);
    m_pages = new QStackedWidget(this);
    m_pages->setGeometry(rect());
    auto *page1 = new QWidget;
    m_page2 = new QWidget;
    page1->setObjectName(QStringLiteral("Page1"));
    m_page2->setObjectName(QStringLiteral("Page2"));
    buildPage1(page1);
    // Page 2's pictures are decoded when the pupil first goes there, not
    // while the launcher is awaited.
    m_pages->addWidget(page1);
    m_pages->addWidget(m_page2);
    CentreOnScreen(this);
}

LauncherWindow::~LauncherWindow()
{
    for (auto &[target, window] : m_open) {
        if (window) {
            window->disconnect(this);
            delete window.data();
        }
    }
    delete m_splash.data();
    SetPageOpener({});
}

PictureLabel *LauncherWindow::button(QWidget *page, const QString &name, const QRect &geometry,
                                     const QString &asset, const QString &caption, const QString &spoken,
                                     const QString &action)
{
    auto *picture = new PictureLabel(name, geometry, asset, caption, PictureLabel::Role::Pressable, page);
    // The pictures' words are pixels: a screen reader reads these instead.
    picture->setAccessibleName(spoken);
    picture->setAccessibleDescription(action);
    return picture;
}

void LauncherWindow::buildPage1(QWidget *page)
{
    auto *background = new PictureLabel(QStringLiteral("Image9"), QRect(0, 0, Width, Height),
                                        QStringLiteral("Img\\Menu\\Page1.jpg"), QString(),
                                        PictureLabel::Role::DragHandle, page);
    background->setAccessibleName(QStringLiteral("メニュー"));
    connect(button(page, QStringLiteral("Image10"), QRect(32, 128, 500, 110), QStringLiteral("Img\\Menu\\Banner.png"),
                   QStringLiteral("KORU\n") + ProgramName, QStringLiteral("KORU ") + ProgramName,
                   QStringLiteral("STEP1からSTEP3、メロディ、計測を選ぶページへ進みます")),
            &PictureLabel::clicked, this, [this] { showPage(2); });
    connect(button(page, QStringLiteral("Image11"), QRect(32, 256, 500, 110), QStringLiteral("Img\\Menu\\BannerMeru.png"),
                   QStringLiteral("MERU"), QStringLiteral("MERU パネルデザインソフト"),
                   QStringLiteral("MERUを起動し、このソフトを終了します")),
            &PictureLabel::clicked, this, &LauncherWindow::handOverToMeru);
    connect(button(page, QStringLiteral("Image2"), QRect(480, 12, 50, 35), QStringLiteral("Img\\Menu\\Close.png"),
                   QStringLiteral("×"), QStringLiteral("閉じる"), QStringLiteral("ソフトを終了します")),
            &PictureLabel::clicked, this, &QWidget::close);

    auto *version = new QLabel(QStringLiteral("ver 1.5　"), page);
    version->setObjectName(QStringLiteral("Label1"));
    QFont font = version->font();
    font.setPixelSize(27);
    font.setBold(true);
    font.setItalic(true);
    version->setFont(font);
    version->setEnabled(false);
    version->setAttribute(Qt::WA_TransparentForMouseEvents); // the banner below stays pressable
    version->adjustSize();
    version->move(272, 148);
}

void LauncherWindow::buildPage2(QWidget *page)
{
    auto *background = new PictureLabel(QStringLiteral("Image1"), QRect(0, 0, Width, Height),
                                        QStringLiteral("Img\\Menu\\Page2.jpg"), QString(),
                                        PictureLabel::Role::DragHandle, page);
    background->setAccessibleName(QStringLiteral("メニュー LED制御 SOUND制御 計測"));
    struct Entry
    {
        const char *name;
        QRect geometry;
        const char *asset;
        QString caption;
        QString spoken;
        LauncherTarget target;
    };
    const Entry entries[] = {
        {"Image14", {27, 124, 80, 150}, "Img\\Menu\\Step1.png", QStringLiteral("STEP1"),
         QStringLiteral("STEP1 アイコンでプログラム"), LauncherTarget::IconEditor},
        {"Image15", {134, 124, 80, 150}, "Img\\Menu\\Step2.png", QStringLiteral("STEP2"),
         QStringLiteral("STEP2 フローチャートでプログラム"), LauncherTarget::FlowchartEditor},
        {"Image16", {242, 124, 80, 150}, "Img\\Menu\\Step3.png", QStringLiteral("STEP3"),
         QStringLiteral("STEP3 命令語でプログラム"), LauncherTarget::TextEditor},
        {"Image17", {346, 124, 80, 150}, "Img\\Menu\\Melody.png", QStringLiteral("メロディ"),
         QStringLiteral("メロディ 楽譜とけん盤でプログラム"), LauncherTarget::MelodyEditor},
        {"Image21", {452, 124, 80, 150}, "Img\\Menu\\Measure.png", QStringLiteral("計測"),
         QStringLiteral("温度計測"), LauncherTarget::Measurement},
        {"Image18", {314, 307, 100, 71}, "Img\\Menu\\Setup.png", QStringLiteral("設定"),
         QStringLiteral("命令語の設定"), LauncherTarget::KeywordSettings},
    };
    for (const Entry &e : entries) {
        const LauncherTarget target = e.target;
        connect(button(page, QLatin1String(e.name), e.geometry, QLatin1String(e.asset), e.caption, e.spoken,
                       QStringLiteral("画面を開きます")),
                &PictureLabel::clicked, this, [this, target] { open(target); });
    }
    connect(button(page, QStringLiteral("Image22"), QRect(196, 308, 100, 70), QStringLiteral("Img\\Menu\\QA.png"),
                   QStringLiteral("Q＆A"), QStringLiteral("Q＆A よくある質問"),
                   QStringLiteral("ブラウザでページを開きます")),
            &PictureLabel::clicked, this, &LauncherWindow::openQuestionsAndAnswers);
    connect(button(page, QStringLiteral("Image19"), QRect(432, 307, 100, 71), QStringLiteral("Img\\Menu\\Guide.png"),
                   QStringLiteral("使い方"), QStringLiteral("学習ガイドと操作説明"),
                   QStringLiteral("ブラウザでページを開きます")),
            &PictureLabel::clicked, this, &LauncherWindow::openGuide);
    connect(button(page, QStringLiteral("Image12"), QRect(480, 12, 50, 35), QStringLiteral("Img\\Menu\\Close.png"),
                   QStringLiteral("×"), QStringLiteral("閉じる"), QStringLiteral("ソフトを終了します")),
            &PictureLabel::clicked, this, [this] {
                hide();
                close();
            });
}

int LauncherWindow::currentPage() const
{
    return m_pages->currentIndex() + 1;
}

void LauncherWindow::showPage(int page)
{
    if (page == 2 && !m_page2Built) {
        m_page2Built = true;
        buildPage2(m_page2);
    }
    m_pages->setCurrentIndex(page == 2 ? 1 : 0);
}

QWidget *LauncherWindow::openWindow(LauncherTarget target) const
{
    const auto it = m_open.find(target);
    return it == m_open.end() ? nullptr : it->second.data();
}

void LauncherWindow::open(LauncherTarget target)
{
    const auto factory = m_table.find(target);
    if (factory == m_table.end() || !factory->second) {
        Dialogs().information(NotAvailableMessage); // never a button that does nothing
        return;
    }
    hide();
    QPointer<QWidget> &window = m_open[target];
    if (!window) {
        QWidget *made = nullptr;
        try {
            made = factory->second();
        } catch (...) {
            made = nullptr;
        }
        if (!made) {
            show();
            Dialogs().warning(UnexpectedError);
            return;
        }
        made->setAttribute(Qt::WA_DeleteOnClose);
        connect(made, &QObject::destroyed, this, [this] {
            show();
            // Once the window's children are gone too (they go after this
            // signal), what it held is handed back to the system.
            QTimer::singleShot(0, this, &ReleaseFreedMemory);
        });
        window = made;
    }
    window->show();
    window->raise();
    window->activateWindow();
}

void LauncherWindow::openGuide()
{
    OpenHelpPage(QStringLiteral("HTML\\Navi\\KORUnavi.html"));
}

void LauncherWindow::openQuestionsAndAnswers()
{
    OpenHelpPage(QStringLiteral("HTML\\QA\\index.html"));
}

void LauncherWindow::handOverToMeru()
{
    if (m_handingOver)
        return;
    // Without MERU the program would vanish into nothing: say so and stay.
    const QString program = MeruProgramPath();
    const QFileInfo info(program);
    if (!info.isFile() || !info.isExecutable()) {
        Dialogs().warning(MeruMissing);
        return;
    }
    if (!WriteHandOverFile(SpecialFolderPath(AppDataFolderId))) {
        Dialogs().warning(SaveFailed);
        return;
    }
    m_handingOver = true;
    WaitMs(500);
    const bool started = m_services.startProgram && m_services.startProgram(program, AssetRoot());
    m_handingOver = false;
    if (!started) {
        Dialogs().warning(MeruNotStarted);
        return;
    }
    close();
}

void LauncherWindow::closeEvent(QCloseEvent *event)
{
    QWidget::closeEvent(event);
    if (event->isAccepted())
        emit closed();
}

} // namespace koru::shell
