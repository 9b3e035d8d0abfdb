// The STEP3 window: the program text on the left, the keyword help pages on
// the right, the menu bar with demo, file, clear, transfer, run, preview,
// report, sent-data and help commands. The language (text/) does the checks
// and translations; the window shows their messages and marks the line a
// check failed at.
#pragma once

#include "editor/ui/editorframe.h"
#include "text/textlanguage.h"

#include <QMainWindow>
#include <QThreadPool>
#include <QTimer>
#include <optional>

class QPushButton;
class QSplitter;
class QLabel;
class QTextBrowser;

namespace koru {
class SourceEditor;
} // namespace koru

namespace koru::text {

class TextWindow : public QMainWindow
{
    Q_OBJECT
public:
    explicit TextWindow(const EditorContext &context, QWidget *parent = nullptr);
    ~TextWindow() override;

    SourceEditor *editor() const { return m_editor; }
    QTextBrowser *browser() const { return m_browser; }
    QSplitter *splitter() const { return m_splitter; }
    // Menu bar, kit commands, files, questions and caption.
    EditorFrame *frame() const { return m_frame; }
    // The language of the keywords read when the window was last shown;
    // nullopt when the keyword file could not be read.
    const std::optional<TextLanguage> &language() const { return m_language; }

    // The help panel's buttons.
    void goBack();
    void goForward();
    void goHome();

    // The check as typed: it runs this long after typing stops, on a thread
    // of its own; its finding is underlined and shown under the editor.
    static constexpr int LiveCheckDelayMs = 1000;
    // How long a completion's hint ("ledon(赤,緑,青,秒)") stays in the status line.
    static constexpr int HintShownMs = 15000;
    QLabel *findingLabel() const { return m_findingLabel; }

    static const QString NotShownMessage;
    static constexpr int MinimumWidth = 780;
    static constexpr int MinimumHeight = 750;
    static constexpr int EditorWidth = 400;

signals:
    // The window has closed (the launcher shows itself again).
    void closed();

protected:
    void showEvent(QShowEvent *event) override;

private:
    EditorDocument editorDocument();
    QWidget *buildHelpPanel();
    void placeWindow();
    void readKeywords();
    // Runs the checks; on a failure shows its message, marks its line and
    // gives false.
    bool checkProgram();
    // Reads a program file (or demo) into the editor, whole or not at all.
    FileResult readProgram(const QString &path);
    // Whether the keywords could be read; warns when not.
    bool languageReady();
    void startLiveCheck();

    EditorFrame *m_frame = nullptr;
    SourceEditor *m_editor = nullptr;
    QSplitter *m_splitter = nullptr;
    QTextBrowser *m_browser = nullptr;
    std::optional<TextLanguage> m_language;
    bool m_placed = false;
    QLabel *m_findingLabel = nullptr;
    QTimer m_liveTimer;
    // One thread, waited for when the window goes, so that no check
    // outlives it; a finding older than the text is dropped.
    QThreadPool m_checkPool;
    quint64 m_checkGeneration = 0;
};

} // namespace koru::text
