// The frame every editor window shares: the menu bar built from the
// editor's table, F6/F7 with their shortcuts, the kit commands with the
// running and read-back panels, the clear and close questions, the caption,
// the program font, and the hand-over to preview, report, sent-data viewer
// and help. An editor window keeps its view and palette and hands the frame
// a description of its document (EditorDocument) and its menu (MenuEntry);
// the frame does the rest the same way for all four editors.
//
//   m_frame = new EditorFrame(this, context, {
//       .role = ReplyRole::Icon,
//       .files = IconFiles,
//       .isEmpty = [this] { return m_program.countUsed() == 0; },
//       .clear = [this] { m_program.clearAll(); refreshAll(); },
//       .sendable = [this] { return SendableImage(m_program); },
//       ...});
//   m_frame->buildMenus({{.caption = "デモ読み込み", .items = {...}}, {.caption = "ファイル読み込み", .command = FrameCommand::Open}, ...});
#pragma once

#include "editor/recovery.h"
#include "link/replyrouter.h"
#include "editor/ui/editorcontext.h"
#include "model/budget.h"
#include "model/filecommands.h"
#include "model/reportrequest.h"
#include "model/sendable.h"

#include <QElapsedTimer>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QWidget>

#include <functional>
#include <memory>
#include <optional>

class QAction;
class QLabel;
class QMainWindow;
class QThreadPool;
class QTimer;
class QMenu;

namespace koru {

class GetDataPanel;
class KitCommands;
class PlayingPanel;

// The commands the frame carries out itself.
enum class FrameCommand { None, Demo, Open, Save, Clear, Transfer, Run, Preview, Report, SentData, ReadBack, Help };

// One item of an editor's menu bar, as the editor's window lists it: a
// frame command, the editor's own action, or a menu of further items.
struct MenuEntry
{
    QString caption;
    FrameCommand command = FrameCommand::None;
    int demo = 0;                  // FrameCommand::Demo: which demo
    std::function<void()> action {};  // the editor's own item (FrameCommand::None)
    QList<MenuEntry> items {};        // a menu, when not empty
};

// What the lines of a save are, and what to tell the pupil first (a program
// that fails its check is saved anyway, after its message).
struct SaveContent
{
    QStringList lines;
    QString warning;
};

// The editor's document as the frame sees it. Every hook but isEmpty and
// clear may stay empty when the editor has no such command.
struct EditorDocument
{
    ReplyRole role = ReplyRole::Icon;
    int frameStart = 240;          // the kit's frame for this editor's image (242: melody)
    FileKind files;
    QString helpPage = QStringLiteral("HTML\\Navi\\KORUnavi.html");
    // The editor's recovery copy ("STEP1", "STEP2", "STEP3", "MELODY");
    // empty: none.
    QString recoveryKey;

    // Nothing the pupil would lose: clearing and closing ask only otherwise.
    std::function<bool()> isEmpty {};
    // Empties the document and its view (全削除, closing).
    std::function<void()> clear {};
    // Empties the document before a read-back; empty: clear.
    std::function<void()> discard {};
    // Whether files can be read and written now; false after the editor said
    // why (STEP3 without its keywords). Empty: always.
    std::function<bool()> ready {};

    // Files. load and loadDemo read the whole file into the document, or
    // leave it as it was; their result's message is shown by the frame.
    std::function<std::optional<SaveContent>()> saveContent {}; // nullopt: refused (the reason shown)
    std::function<FileResult(const QString &path)> load {};
    std::function<FileResult(int number)> loadDemo {};
    // The lines a save would write now, without asking or showing anything
    // (autosave); nullopt when there are none (STEP3 without its keywords).
    std::function<std::optional<QStringList>()> fileLines {};

    // The kit and the preview. sendable is asked for F6 and the preview
    // alike; a refusal's element goes to markFailing.
    std::function<Sendable()> sendable {};
    std::function<void(int element)> markFailing {};
    // The preview's run: each instruction address reached, -1 at the end.
    // Empty: the editor has no on-screen preview.
    std::function<void(int address)> running {};
    // The name of the instruction at an image address, for the preview's
    // state ("3番目: タイマー 2秒"). Empty: the preview names it.
    std::function<QString(int address)> describe {};
    // Whether the preview has anything to show (an empty row has not).
    std::function<bool()> previewable {};

    // Read back: the replies of the kit's memory into the document.
    std::function<void(const QStringList &replies)> decodeReadBack {};

    // The report request (lines and kind); nullopt: none (the reason shown).
    std::function<std::optional<ReportRequest>()> report {};
    // The sent-data viewer's listing; nullopt: nothing to show (said).
    std::function<std::optional<QStringList>()> sentData {};

    // What the program uses of what the kit holds, shown under the editor
    // and kept up to date (documentChanged). Empty: no such line.
    std::function<QList<BudgetPart>()> budget {};

    // Closing: false keeps the window open (a dialog of the editor's own is
    // still waiting for the pupil). closing runs once closing is certain.
    std::function<bool()> mayClose {};
    std::function<void()> closing {};
};

class EditorFrame : public QObject
{
    Q_OBJECT
public:
    // Becomes a child of window and watches its show and close events.
    EditorFrame(QMainWindow *window, const EditorContext &context, EditorDocument document);
    ~EditorFrame() override;

    // Builds the window's menu bar from the table (once).
    void buildMenus(const QList<MenuEntry> &menu);

    // The commands (also reached from the menu bar and the keys).
    void loadDemo(int number);
    void openFile();
    void saveFile();
    void clearDocument();
    void transfer();
    void run();
    void stop();
    void preview();
    void makeReport();
    void showSentData();
    void readBack();
    void openHelp();

    // The file the document was opened from or saved to ("" none); the
    // window's caption names it.
    QString filePath() const { return m_filePath; }
    void setFilePath(const QString &path);

    QMainWindow *window() const { return m_window; }
    KitCommands *kit() const { return m_kit; }
    QAction *transferAction() const { return m_transferAction; }
    QAction *runAction() const { return m_runAction; }
    PlayingPanel *playingPanel() const { return m_playingPanel; }
    GetDataPanel *getDataPanel() const { return m_getDataPanel; }
    QAction *action(FrameCommand command, int demo = 0) const;
    const EditorDocument &document() const { return m_doc; }

    // The control that has the keyboard when the window first shows (the
    // palette, the canvas, the staff), so keys work at once.
    void setKeyboardStart(QWidget *control) { m_keyboardStart = control; }

    // Autosave: within a few seconds after a change the document goes to
    // its recovery copy; the copy goes when the document is back to what
    // was loaded or saved, and on a normal close. writeRecovery does now
    // what the timer would (tests, benchmarks).
    void writeRecovery();
    // The editor's document has changed (every edit, load and clear): the
    // budget line follows.
    void documentChanged();
    QLabel *budgetLine() const { return m_budgetLine; }
    // Says after the figures why an edit was refused (which budget it would
    // break), until the next change.
    void showBudgetRefusal(const QString &why);
    // Opens a recovery copy as the document, marked as changed, with the
    // caption of the file it came from. False (after a warning) when the
    // copy cannot be read; the copy is then set aside.
    bool restore(const RecoveryCopy &copy);
    // Opens a file handed from outside (the command line, the file
    // manager): asks first when the editor holds work, reads it whole or
    // not at all, and names it in the caption. False when not opened.
    bool openPath(const QString &path);

    // Autosave's pace: a tick a second; a copy at the latest this long after
    // the first unsaved change while the pupil goes on typing.
    static constexpr int AutosaveTickMs = 1000;
    static constexpr int AutosaveLatestMs = 2000;

    static inline const QString ClearQuestion = QStringLiteral("プログラムを全て消去します。よろしいですか？");
    static inline const QString CloseQuestion =
        QStringLiteral("画面を閉じるとプログラムは消去されます。\r\nよろしいですか？");
    // Closing while the kit is being written to or read (our wording).
    // A file handed from outside while the editor holds work (our wording).
    static inline const QString ReplaceQuestion =
        QStringLiteral("今のプログラムは消去されます。\r\nファイルを開いてよろしいですか？");
    static inline const QString BusyClosingMessage =
        QStringLiteral("本体との通信中です。\r\n通信が終わってから画面を閉じて下さい。");

signals:
    // The window has closed (after the question, if any).
    void closed();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void addEntry(QMenu *menu, const MenuEntry &entry);
    QAction *commandAction(const MenuEntry &entry);
    void setCommandsEnabled(bool enabled);
    // The image for F6 and the preview, or nullopt after the refusal was shown.
    std::optional<DeviceImage> sendableImage();
    bool closeRequested();
    void autosaveTick();
    void recoveryWritten(bool ok, const QString &error);
    // The document as loaded or saved: what is not work to recover.
    void markClean();

    QMainWindow *m_window;
    EditorContext m_context;
    EditorDocument m_doc;
    KitCommands *m_kit = nullptr;
    PlayingPanel *m_playingPanel = nullptr;
    GetDataPanel *m_getDataPanel = nullptr;
    QAction *m_transferAction = nullptr;
    QAction *m_runAction = nullptr;
    QList<QPair<MenuEntry, QAction *>> m_actions;
    QString m_filePath;
    bool m_shown = false;

    QPointer<QWidget> m_keyboardStart;
    QLabel *m_budgetLine = nullptr;
    int m_budgetWidth = 0; // the widest the figures have been (a refusal's words go again)
    QTimer *m_autosave = nullptr;
    std::unique_ptr<QThreadPool> m_writer;    // one thread for the recovery copy
    std::optional<QStringList> m_clean;       // as loaded or saved; nullopt: changed since
    std::optional<QStringList> m_lastSeen;    // at the last tick
    std::optional<QStringList> m_lastWritten; // in the recovery copy
    QElapsedTimer m_changedSince;             // unsaved changes waiting for a copy
    bool m_autosaveFailed = false;
};

} // namespace koru
