// Start-up, the launcher's two pages, opening windows, help pages and the
// hand-over to MERU.
#include "app/handover.h"
#include "app/launcherwindow.h"
#include "app/picturelabel.h"
#include "app/shell.h"
#include "app/splashwindow.h"
#include "clippedtext.h"
#include "keyboard.h"
#include "link/devicelink.h"
#include "model/messages.h"
#include "model/paths.h"
#include "scripteddialogs.h"
#include "shellrig.h"
#include "spokenname.h"
#include "testmain.h"
#include "testutil.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFontInfo>
#include <QLabel>
#include <QPointer>
#include <QSet>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using namespace koru;
using namespace koru::shell;

namespace {

struct Recorder
{
    QList<QUrl> pages;
    QStringList programs;
    bool pageResult = true;
    bool startResult = true;

    ShellServices services()
    {
        ShellServices s;
        s.openPage = [this](const QUrl &url) {
            pages << url;
            return pageResult;
        };
        s.startProgram = [this](const QString &program, const QString &) {
            programs << program;
            return startResult;
        };
        return s;
    }
};

void click(QWidget *parent, const char *name)
{
    auto *picture = parent->findChild<PictureLabel *>(QLatin1String(name));
    QVERIFY2(picture, name);
    QTest::mouseClick(picture, Qt::LeftButton, {}, QPoint(5, 5));
}

void processEvents()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
}

} // namespace

class TstLauncher : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        test::useTemporaryAppData();
        SetAssetRoot(QCoreApplication::applicationDirPath());
    }

    // The launcher puts up the splash; as it is shown, the shared windows
    // follow in their order before any event is processed; then the splash
    // goes and the launcher shows page 1.
    void startUp()
    {
        QStringList made;
        SharedWindowTable shared;
        for (const char *name : {"Preview", "BlockParameters", "TransferWindow", "SentDataViewer", "Report",
                                 "SecondSplash", "NoteChooser"}) {
            const QString n = QLatin1String(name);
            shared.push_back({n, [&made, n](SharedWindows &) {
                                  made << n;
                                  return NewEmptyWindow(n);
                              }});
        }
        Recorder recorder;
        Shell shell(LauncherTable{}, shared, recorder.services());
        QPointer<SplashWindow> splash = shell.launcher().splash();
        QVERIFY(splash);
        QVERIFY(splash->isVisible());
        QCOMPARE(splash->size(), QSize(445, 314));
        QVERIFY(made.isEmpty());
        // The shell's own kit, handed to every window it opens.
        const KitContext kit = shell.shared().kit;
        QVERIFY(kit.link && kit.router && kit.clock);
        QCOMPARE(kit.router, &kit.link->router());

        shell.start();
        QVERIFY(splash);
        QCOMPARE(made, shell.sharedWindowNames());
        QCOMPARE(made.size(), 7);
        QCOMPARE(made.first(), QStringLiteral("Preview"));
        QVERIFY(!shell.sharedWindow("TransferWindow")->isVisible());
        processEvents();
        QVERIFY(!splash);
        LauncherWindow &launcher = shell.launcher();
        QVERIFY(launcher.isVisible());
        QCOMPARE(launcher.currentPage(), 1);
        QCOMPARE(launcher.size(), QSize(555, 419));
        QVERIFY(launcher.windowFlags() & Qt::FramelessWindowHint);
        // Only the launcher's closing ends the program, not the moment when
        // an editor has closed and the launcher is not back yet.
        QVERIFY(!QGuiApplication::quitOnLastWindowClosed());
    }

    // The splash shows its picture, or the program's name without it.
    void splashPicture_data()
    {
        QTest::addColumn<bool>("assets");
        QTest::newRow("picture") << true;
        QTest::newRow("picture missing") << false;
    }
    void splashPicture()
    {
        QFETCH(bool, assets);
        QTemporaryDir empty;
        const QString root = AssetRoot();
        if (!assets)
            SetAssetRoot(empty.path());
        SplashWindow splash;
        const QImage shown = splash.grab().toImage().convertToFormat(QImage::Format_RGB32);
        SetAssetRoot(root);
        const QImage picture(AssetPath(QStringLiteral("Img\\Menu\\Splash.jpg")));
        QVERIFY(!picture.isNull());
        QCOMPARE(shown == picture.convertToFormat(QImage::Format_RGB32), assets);
        if (!assets) {
            QCOMPARE(shown.pixelColor(2, 2), QColor(Qt::white));
            bool text = false;
            for (int y = 0; y < shown.height() && !text; ++y)
                for (int x = 0; x < shown.width() && !text; ++x)
                    text = shown.pixelColor(x, y) != QColor(Qt::white);
            QVERIFY(text);
        }
    }

    void defaultSharedWindowsInOrder()
    {
        QStringList names;
        for (const auto &entry : DefaultSharedWindows())
            names << entry.name;
        QCOMPARE(names, (QStringList{"Preview", "BlockParameters", "TransferWindow", "SentDataViewer", "Report",
                                     "SecondSplash", "NoteChooser"}));
    }

    void controls_data()
    {
        QTest::addColumn<int>("page");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QRect>("geometry");
        QTest::addColumn<bool>("hand");
        QTest::newRow("Image9") << 1 << "Image9" << QRect(0, 0, 555, 419) << false;
        QTest::newRow("Image10") << 1 << "Image10" << QRect(32, 128, 500, 110) << true;
        QTest::newRow("Image11") << 1 << "Image11" << QRect(32, 256, 500, 110) << true;
        QTest::newRow("Image2") << 1 << "Image2" << QRect(480, 12, 50, 35) << true;
        QTest::newRow("Image1") << 2 << "Image1" << QRect(0, 0, 555, 419) << false;
        QTest::newRow("Image14") << 2 << "Image14" << QRect(27, 124, 80, 150) << true;
        QTest::newRow("Image15") << 2 << "Image15" << QRect(134, 124, 80, 150) << true;
        QTest::newRow("Image16") << 2 << "Image16" << QRect(242, 124, 80, 150) << true;
        QTest::newRow("Image17") << 2 << "Image17" << QRect(346, 124, 80, 150) << true;
        QTest::newRow("Image21") << 2 << "Image21" << QRect(452, 124, 80, 150) << true;
        QTest::newRow("Image22") << 2 << "Image22" << QRect(196, 308, 100, 70) << true;
        QTest::newRow("Image18") << 2 << "Image18" << QRect(314, 307, 100, 71) << true;
        QTest::newRow("Image19") << 2 << "Image19" << QRect(432, 307, 100, 71) << true;
        QTest::newRow("Image12") << 2 << "Image12" << QRect(480, 12, 50, 35) << true;
    }
    void controls()
    {
        QFETCH(int, page);
        QFETCH(QString, name);
        QFETCH(QRect, geometry);
        QFETCH(bool, hand);
        LauncherWindow launcher(LauncherTable{}, Recorder().services());
        launcher.showPage(page);
        auto *pageWidget = launcher.findChild<QWidget *>(QStringLiteral("Page%1").arg(page));
        QVERIFY(pageWidget);
        auto *picture = pageWidget->findChild<PictureLabel *>(name);
        QVERIFY(picture);
        QCOMPARE(picture->geometry(), geometry);
        QVERIFY2(picture->hasPicture(), "the picture asset is missing");
        QCOMPARE(picture->pixmap().size(), geometry.size());
        QCOMPARE(picture->cursor().shape() == Qt::PointingHandCursor, hand);
    }

    // The pictures' words are pixels: a screen reader says these names.
    void spokenNames_data()
    {
        QTest::addColumn<QString>("control");
        QTest::addColumn<QString>("name");
        QTest::newRow("Image10") << "Image10" << "KORU コントロールラジオ制御ソフト";
        QTest::newRow("Image11") << "Image11" << "MERU パネルデザインソフト";
        QTest::newRow("Image2") << "Image2" << "閉じる";
        QTest::newRow("Image14") << "Image14" << "STEP1 アイコンでプログラム";
        QTest::newRow("Image15") << "Image15" << "STEP2 フローチャートでプログラム";
        QTest::newRow("Image16") << "Image16" << "STEP3 命令語でプログラム";
        QTest::newRow("Image17") << "Image17" << "メロディ 楽譜とけん盤でプログラム";
        QTest::newRow("Image21") << "Image21" << "温度計測";
        QTest::newRow("Image22") << "Image22" << "Q＆A よくある質問";
        QTest::newRow("Image18") << "Image18" << "命令語の設定";
        QTest::newRow("Image19") << "Image19" << "学習ガイドと操作説明";
        QTest::newRow("Image12") << "Image12" << "閉じる";
    }
    void spokenNames()
    {
        QFETCH(QString, control);
        QFETCH(QString, name);
        LauncherWindow launcher(LauncherTable{}, Recorder().services());
        launcher.showPage(2); // its buttons are made when it is first shown
        auto *picture = launcher.findChild<PictureLabel *>(control);
        QVERIFY(picture);
        QCOMPARE(test::spokenName(picture), name);
        QVERIFY(!test::spokenText(picture, QAccessible::Description).isEmpty()); // what pressing does
    }

    // However the pictures are found, no picture on either page goes unnamed,
    // and no two buttons of a page sound alike.
    void noUnnamedPicture_data()
    {
        QTest::addColumn<bool>("assets");
        QTest::newRow("pictures") << true;
        QTest::newRow("pictures missing") << false;
    }
    void noUnnamedPicture()
    {
        QFETCH(bool, assets);
        QTemporaryDir empty;
        const QString root = AssetRoot();
        if (!assets)
            SetAssetRoot(empty.path());
        LauncherWindow launcher(LauncherTable{}, Recorder().services());
        launcher.showPage(2);
        if (!assets)
            SetAssetRoot(root);
        for (int page : {1, 2}) {
            QSet<QString> buttons;
            auto *pageWidget = launcher.findChild<QWidget *>(QStringLiteral("Page%1").arg(page));
            const QList<PictureLabel *> pictures = pageWidget->findChildren<PictureLabel *>();
            QCOMPARE(pictures.size(), page == 1 ? 4 : 10);
            for (PictureLabel *picture : pictures) {
                QCOMPARE(picture->hasPicture(), assets);
                const QString name = test::spokenName(picture);
                QVERIFY2(!name.isEmpty(), qPrintable(picture->objectName()));
                if (picture->cursor().shape() == Qt::PointingHandCursor) {
                    QVERIFY2(!buttons.contains(name), qPrintable(name));
                    buttons.insert(name);
                }
            }
        }
    }

    // Pressable pictures light up under the pointer; backgrounds do not.
    void hover()
    {
        LauncherWindow launcher(LauncherTable{}, Recorder().services());
        auto *banner = launcher.findChild<PictureLabel *>(QStringLiteral("Image10"));
        auto *background = launcher.findChild<PictureLabel *>(QStringLiteral("Image9"));
        const QImage before = banner->pixmap().toImage();
        const QImage backgroundBefore = background->pixmap().toImage();
        QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), QPointF(5, 5));
        QApplication::sendEvent(banner, &enter);
        QApplication::sendEvent(background, &enter);
        QVERIFY(banner->pixmap().toImage() != before);
        QCOMPARE(background->pixmap().toImage(), backgroundBefore);
        QEvent leave(QEvent::Leave);
        QApplication::sendEvent(banner, &leave);
        QCOMPARE(banner->pixmap().toImage(), before);
    }

    void versionLabel()
    {
        LauncherWindow launcher(LauncherTable{}, Recorder().services());
        auto *label = launcher.findChild<QLabel *>(QStringLiteral("Label1"));
        QVERIFY(label);
        QCOMPARE(label->text(), QStringLiteral("ver 1.5　"));
        QCOMPARE(label->pos(), QPoint(272, 148));
        QCOMPARE(label->font().pixelSize(), 27);
        QVERIFY(label->font().bold() && label->font().italic());
        QVERIFY(!label->isEnabled());
        QVERIFY(!label->autoFillBackground());
        QVERIFY(label->testAttribute(Qt::WA_TransparentForMouseEvents));
    }

    // A damaged installation without pictures still shows usable captions.
    void missingPicturesLeaveCaptions()
    {
        QTemporaryDir empty;
        SetAssetRoot(empty.path());
        LauncherWindow launcher(LauncherTable{}, Recorder().services());
        auto *banner = launcher.findChild<PictureLabel *>(QStringLiteral("Image10"));
        QVERIFY(!banner->hasPicture());
        QVERIFY(banner->text().contains(QStringLiteral("コントロールラジオ制御ソフト")));
        launcher.show();
        click(&launcher, "Image10"); // page 2 is made now, still without pictures
        SetAssetRoot(QCoreApplication::applicationDirPath());
        QCOMPARE(launcher.currentPage(), 2);
        QVERIFY(!launcher.findChild<PictureLabel *>(QStringLiteral("Image14"))->text().isEmpty());
    }

    void bannerShowsPage2()
    {
        LauncherWindow launcher(LauncherTable{}, Recorder().services());
        launcher.show();
        click(&launcher, "Image10");
        QCOMPARE(launcher.currentPage(), 2);
    }

    // A button opens its window once, the launcher hides; closing the window
    // destroys it and brings the launcher back; the next press makes a new one.
    void opensOneWindowAtATime()
    {
        test::ScriptedDialogs dialogs;
        int made = 0;
        LauncherTable table;
        table[LauncherTarget::FlowchartEditor] = [&made] {
            ++made;
            return NewEmptyWindow(QStringLiteral("Flow"));
        };
        LauncherWindow launcher(table, Recorder().services());
        launcher.show();
        launcher.showPage(2);
        click(&launcher, "Image15");
        QPointer<QWidget> window = launcher.openWindow(LauncherTarget::FlowchartEditor);
        QVERIFY(window);
        QVERIFY(window->isVisible());
        QVERIFY(!launcher.isVisible());
        QCOMPARE(made, 1);

        launcher.open(LauncherTarget::FlowchartEditor); // already open: shown again, not remade
        QCOMPARE(made, 1);

        window->close();
        processEvents();
        QVERIFY(!window);
        QVERIFY(launcher.isVisible());
        QVERIFY(!launcher.openWindow(LauncherTarget::FlowchartEditor));
        click(&launcher, "Image15");
        QCOMPARE(made, 2);
        QVERIFY(dialogs.shown().isEmpty());
    }

    // Without a mouse: Tab walks the pressable pictures of the page shown
    // (the background is left out), Enter and Space press them, and a
    // screen reader finds buttons it can press.
    void keyboardPressesThePictures()
    {
        test::ScriptedDialogs dialogs;
        QList<LauncherTarget> opened;
        LauncherTable table;
        for (LauncherTarget target : {LauncherTarget::IconEditor, LauncherTarget::FlowchartEditor})
            table[target] = [&opened, target] {
                opened << target;
                return NewEmptyWindow(QStringLiteral("Editor"));
            };
        LauncherWindow launcher(table, Recorder().services());
        launcher.show();
        QVERIFY(test::tabTo(&launcher, launcher.findChild<PictureLabel *>(QStringLiteral("Image10"))));
        QTest::keyClick(launcher.focusWidget(), Qt::Key_Space);
        QCOMPARE(launcher.currentPage(), 2);
        auto *step1 = launcher.findChild<PictureLabel *>(QStringLiteral("Image14")); // page 2 is built when shown
        QVERIFY(test::tabTo(&launcher, step1));
        QStringList order; // page 2's pressable pictures, round and back, nothing else
        for (int i = 0; i < 9; ++i) {
            order << QApplication::focusWidget()->objectName();
            test::keyOnFocus(Qt::Key_Tab);
        }
        QCOMPARE(order, (QStringList{"Image14", "Image15", "Image16", "Image17", "Image21", "Image18", "Image22",
                                     "Image19", "Image12"}));
        QCOMPARE(QApplication::focusWidget(), step1);
        test::keyOnFocus(Qt::Key_Tab);
        QCOMPARE(launcher.focusWidget()->objectName(), QStringLiteral("Image15"));
        // The focus frame is drawn inside the picture: its place and size stay.
        QCOMPARE(launcher.focusWidget()->geometry(), QRect(134, 124, 80, 150));
        QTest::keyClick(launcher.focusWidget(), Qt::Key_Return);
        QCOMPARE(opened, QList<LauncherTarget>{LauncherTarget::FlowchartEditor});
        QVERIFY(launcher.openWindow(LauncherTarget::FlowchartEditor));

        QAccessibleInterface *face = QAccessible::queryAccessibleInterface(step1);
        QVERIFY(face);
        QCOMPARE(face->role(), QAccessible::Button);
        QCOMPARE(face->text(QAccessible::Name), QStringLiteral("STEP1 アイコンでプログラム"));
        QVERIFY(face->actionInterface());
        face->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
        QCOMPARE(opened.last(), LauncherTarget::IconEditor);
        auto *background = launcher.findChild<PictureLabel *>(QStringLiteral("Image1"));
        QVERIFY(QAccessible::queryAccessibleInterface(background)->role() != QAccessible::Button);
        QCOMPARE(background->focusPolicy(), Qt::NoFocus);
        QVERIFY(dialogs.shown().isEmpty());
    }

    // A window that refuses to close (its editor asked and the pupil said
    // No) keeps the launcher hidden.
    void windowThatStaysOpen()
    {
        struct Stubborn : QWidget
        {
            void closeEvent(QCloseEvent *event) override { event->ignore(); }
        };
        LauncherTable table;
        table[LauncherTarget::TextEditor] = [] { return new Stubborn; };
        LauncherWindow launcher(table, Recorder().services());
        launcher.show();
        launcher.open(LauncherTarget::TextEditor);
        QWidget *window = launcher.openWindow(LauncherTarget::TextEditor);
        QVERIFY(!window->close());
        processEvents();
        QVERIFY(launcher.openWindow(LauncherTarget::TextEditor));
        QVERIFY(!launcher.isVisible());
    }

    // A button whose window this build does not have says so and opens
    // nothing in its place.
    void unavailableButtonsSaySo_data()
    {
        QTest::addColumn<QString>("name");
        for (const char *name : {"Image14", "Image15", "Image16", "Image17", "Image21", "Image18"})
            QTest::newRow(name) << QString::fromLatin1(name);
    }
    void unavailableButtonsSaySo()
    {
        QFETCH(QString, name);
        test::ScriptedDialogs dialogs;
        LauncherWindow launcher(LauncherTable{}, Recorder().services());
        launcher.show();
        launcher.showPage(2);
        click(&launcher, name.toLatin1().constData());
        QVERIFY(launcher.isVisible());
        QCOMPARE(dialogs.texts(), QStringList{NotAvailableMessage});
        processEvents();
        int others = 0;
        for (QWidget *w : QApplication::topLevelWidgets())
            others += (w->isVisible() && w != &launcher) ? 1 : 0;
        QCOMPARE(others, 0); // no placeholder window
    }

    // Every control of the launcher as the program is built, pressed once:
    // each one visibly does something (a window, a message, a page in the
    // viewer, the other page, or the launcher going).
    void everyControlDoesSomethingVisible_data()
    {
        QTest::addColumn<int>("page");
        QTest::addColumn<QString>("name");
        for (const char *name : {"Image10", "Image11", "Image2"})
            QTest::newRow(name) << 1 << QString::fromLatin1(name);
        for (const char *name :
             {"Image14", "Image15", "Image16", "Image17", "Image21", "Image18", "Image22", "Image19", "Image12"})
            QTest::newRow(name) << 2 << QString::fromLatin1(name);
    }
    void everyControlDoesSomethingVisible()
    {
        QFETCH(int, page);
        QFETCH(QString, name);
        test::ScriptedDialogs dialogs;
        Recorder recorder;
        test::ShellRig rig;
        LauncherWindow launcher(rig.launcherTable(), recorder.services());
        QSignalSpy closed(&launcher, &LauncherWindow::closed);
        launcher.show();
        launcher.showPage(page);
        processEvents();
        QSet<QWidget *> before;
        for (QWidget *w : QApplication::topLevelWidgets())
            if (w->isVisible())
                before.insert(w);

        click(&launcher, name.toLatin1().constData());
        processEvents();
        QStringList seen;
        for (QWidget *w : QApplication::topLevelWidgets())
            if (w->isVisible() && !before.contains(w))
                seen << QStringLiteral("window ") + w->objectName();
        for (const auto &shown : dialogs.shown())
            seen << shown.kind + QLatin1Char(' ') + shown.text;
        for (const QUrl &url : recorder.pages)
            seen << QStringLiteral("page ") + url.toLocalFile();
        if (launcher.currentPage() != page)
            seen << QStringLiteral("page %1").arg(launcher.currentPage());
        if (closed.count() > 0)
            seen << QStringLiteral("closed");
        QVERIFY2(!seen.isEmpty(), qPrintable(name + QStringLiteral(" did nothing visible")));
    }

    // The launcher's texts (the version, the captions standing in for
    // missing pictures) fit their places on both pages.
    void noTextIsCutOff()
    {
        LauncherWindow launcher(LauncherTable{}, Recorder().services());
        launcher.show();
        for (int page : {1, 2}) {
            launcher.showPage(page);
            const QStringList clipped = test::ClippedTexts(&launcher);
            QVERIFY2(clipped.isEmpty(), qPrintable(clipped.join(QLatin1Char('\n'))));
        }
    }

    void failingFactoryIsReported()
    {
        test::ScriptedDialogs dialogs;
        LauncherTable table;
        table[LauncherTarget::Measurement] = []() -> QWidget * { throw std::runtime_error("no"); };
        table[LauncherTarget::MelodyEditor] = []() -> QWidget * { return nullptr; };
        LauncherWindow launcher(table, Recorder().services());
        launcher.show();
        launcher.open(LauncherTarget::Measurement);
        launcher.open(LauncherTarget::MelodyEditor);
        QVERIFY(launcher.isVisible());
        QCOMPARE(dialogs.texts(), QStringList(2, UnexpectedError));
    }

    void dragMovesTheWindow_data()
    {
        QTest::addColumn<int>("page");
        QTest::addColumn<QString>("background");
        QTest::newRow("page 1") << 1 << "Image9";
        QTest::newRow("page 2") << 2 << "Image1";
    }
    void dragMovesTheWindow()
    {
        QFETCH(int, page);
        QFETCH(QString, background);
        LauncherWindow launcher(LauncherTable{}, Recorder().services());
        launcher.show();
        launcher.showPage(page);
        launcher.move(100, 100);
        auto *picture = launcher.findChild<PictureLabel *>(background);
        QTest::mousePress(picture, Qt::LeftButton, {}, QPoint(10, 10));
        QMouseEvent move(QEvent::MouseMove, QPointF(30, 25), picture->mapToGlobal(QPointF(30, 25)), Qt::NoButton,
                         Qt::LeftButton, {});
        QApplication::sendEvent(picture, &move);
        QCOMPARE(launcher.pos(), QPoint(120, 115));
        QTest::mouseRelease(picture, Qt::LeftButton, {}, QPoint(30, 25));
        QMouseEvent after(QEvent::MouseMove, QPointF(60, 60), picture->mapToGlobal(QPointF(60, 60)), Qt::NoButton,
                          Qt::NoButton, {});
        QApplication::sendEvent(picture, &after);
        QCOMPARE(launcher.pos(), QPoint(120, 115));
    }

    void closeButtonsEndTheProgram_data()
    {
        QTest::addColumn<int>("page");
        QTest::addColumn<QString>("name");
        QTest::newRow("Image2") << 1 << "Image2";
        QTest::newRow("Image12") << 2 << "Image12";
    }
    void closeButtonsEndTheProgram()
    {
        QFETCH(int, page);
        QFETCH(QString, name);
        LauncherWindow launcher(LauncherTable{}, Recorder().services());
        QSignalSpy closed(&launcher, &LauncherWindow::closed);
        launcher.show();
        launcher.showPage(page);
        click(&launcher, name.toLatin1().constData());
        QCOMPARE(closed.count(), 1);
        QVERIFY(!launcher.isVisible());
    }

    void helpPages_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("page");
        QTest::newRow("guide") << "Image19" << "HTML/Navi/KORUnavi.html";
        QTest::newRow("Q&A") << "Image22" << "HTML/QA/index.html";
    }
    void helpPages()
    {
        QFETCH(QString, name);
        QFETCH(QString, page);
        test::ScriptedDialogs dialogs;
        Recorder recorder;
        LauncherWindow launcher(LauncherTable{}, recorder.services());
        launcher.show();
        launcher.showPage(2);
        click(&launcher, name.toLatin1().constData());
        QCOMPARE(recorder.pages.size(), 1);
        const QString file = recorder.pages.first().toLocalFile();
        QVERIFY2(file.endsWith(page), qPrintable(file));
        QVERIFY2(QFile::exists(file), qPrintable(file));
        QVERIFY(dialogs.shown().isEmpty());
        QVERIFY(launcher.isVisible());

        recorder.pageResult = false; // no viewer on this desktop
        click(&launcher, name.toLatin1().constData());
        QCOMPARE(dialogs.shown().size(), 1);
        QCOMPARE(dialogs.shown().first().kind, QStringLiteral("warning"));
    }

    // The hand-over file lands in the same place whether or not the
    // application-data folder ends in a separator.
    void handOverToMeru_data()
    {
        QTest::addColumn<bool>("trailingSeparator");
        QTest::newRow("without separator") << false;
        QTest::newRow("with separator") << true;
    }
    void handOverToMeru()
    {
        QFETCH(bool, trailingSeparator);
        QTemporaryDir appData, programFolder;
        SetAppDataFolder(appData.path() + (trailingSeparator ? "/" : ""));
        SetAssetRoot(programFolder.path());
        QVERIFY(QDir(programFolder.path()).mkpath("MERU"));
        QFile meru(programFolder.filePath("MERU/MERU"));
        QVERIFY(meru.open(QIODevice::WriteOnly));
        meru.setPermissions(meru.permissions() | QFileDevice::ExeOwner);
        meru.close();
        QFile old(appData.filePath("MERUTemp/Product.txt"));
        QDir(appData.path()).mkpath("MERUTemp");
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("1\r\nsomething older\r\n");
        old.close();

        test::ScriptedDialogs dialogs;
        Recorder recorder;
        LauncherWindow launcher(LauncherTable{}, recorder.services());
        QSignalSpy closed(&launcher, &LauncherWindow::closed);
        launcher.show();
        QElapsedTimer clock;
        clock.start();
        QTimer::singleShot(100, &launcher, [&launcher] { click(&launcher, "Image11"); }); // impatient pupil
        click(&launcher, "Image11");
        QVERIFY(clock.elapsed() >= 500);
        QCOMPARE(recorder.programs, QStringList{programFolder.filePath("MERU/MERU")});
        QFile file(appData.filePath("MERUTemp/Product.txt"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), QByteArray("2\r\n"));
        QCOMPARE(closed.count(), 1);
        QVERIFY(dialogs.shown().isEmpty());

        SetAssetRoot(QCoreApplication::applicationDirPath());
        test::useTemporaryAppData();
    }

    // Without MERU, or when it does not start, the pupil is told and the
    // launcher stays.
    void meruMissingOrFailing()
    {
        QTemporaryDir appData, programFolder;
        SetAppDataFolder(appData.path());
        SetAssetRoot(programFolder.path());
        test::ScriptedDialogs dialogs;
        Recorder recorder;
        LauncherWindow launcher(LauncherTable{}, recorder.services());
        QSignalSpy closed(&launcher, &LauncherWindow::closed);
        launcher.show();
        launcher.handOverToMeru();
        QCOMPARE(dialogs.texts(), QStringList{MeruMissing});
        QVERIFY(recorder.programs.isEmpty());
        QVERIFY(!QFile::exists(appData.filePath("MERUTemp/Product.txt")));

        QDir(programFolder.path()).mkpath("MERU/MERU"); // a folder, not a program
        launcher.handOverToMeru();
        QCOMPARE(dialogs.lastText(), MeruMissing);

        QDir(programFolder.path()).rmdir("MERU/MERU");
        QFile meru(programFolder.filePath("MERU/MERU"));
        QVERIFY(meru.open(QIODevice::WriteOnly));
        meru.setPermissions(meru.permissions() | QFileDevice::ExeOwner);
        meru.close();
        recorder.startResult = false;
        launcher.handOverToMeru();
        QCOMPARE(dialogs.lastText(), MeruNotStarted);
        QCOMPARE(closed.count(), 0);
        QVERIFY(launcher.isVisible());

        SetAssetRoot(QCoreApplication::applicationDirPath());
        test::useTemporaryAppData();
    }

    // The real start: MERU runs detached in the program folder.
    void startsMeruForReal()
    {
        QTemporaryDir appData, programFolder;
        SetAppDataFolder(appData.path());
        SetAssetRoot(programFolder.path());
        QVERIFY(QDir(programFolder.path()).mkpath("MERU"));
        QFile meru(programFolder.filePath("MERU/MERU"));
        QVERIFY(meru.open(QIODevice::WriteOnly));
        meru.write("#!/bin/sh\npwd > started.txt\n");
        meru.close();
        meru.setPermissions(meru.permissions() | QFileDevice::ExeOwner);

        test::ScriptedDialogs dialogs;
        LauncherWindow launcher(LauncherTable{}, ShellServices::desktop());
        launcher.show();
        launcher.handOverToMeru();
        QVERIFY(dialogs.shown().isEmpty());
        QTRY_VERIFY(QFile::exists(programFolder.filePath("started.txt")));
        QFile started(programFolder.filePath("started.txt"));
        QVERIFY(started.open(QIODevice::ReadOnly));
        QCOMPARE(QDir(QString::fromLocal8Bit(started.readAll()).trimmed()).canonicalPath(),
                 QDir(programFolder.path()).canonicalPath());
        QVERIFY(!launcher.isVisible());

        SetAssetRoot(QCoreApplication::applicationDirPath());
        test::useTemporaryAppData();
    }

    void handOverFileCannotBeWritten()
    {
        QTemporaryDir dir;
        QFile blocker(dir.filePath("MERUTemp"));
        QVERIFY(blocker.open(QIODevice::WriteOnly)); // a file where the folder should be
        blocker.close();
        QVERIFY(!WriteHandOverFile(dir.path()));
    }

    void programFont()
    {
        UseProgramFont();
        const QFont font = QApplication::font();
        QCOMPARE(font.family(), QStringLiteral("ＭＳ Ｐゴシック"));
        QCOMPARE(font.pixelSize(), 12);
        QCOMPARE(QFontInfo(font).family(), QStringLiteral("IPAPGothic")); // what is really drawn
    }
};

KORU_TEST_MAIN(TstLauncher)
#include "tst_launcher.moc"
