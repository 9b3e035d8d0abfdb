// The STEP3 window: the program text on the left, the keyword help pages on
// the right, the menu bar with demo, file, clear, transfer, run, preview,
// report, sent-data and help commands. The language (text/) does the checks
// and translations; the window shows their messages and marks the line a
// check failed at.
#pragma once

#include "link/ui/editorcontext.h"
#include "text/textlanguage.h"

#include <QMainWindow>
#include <optional>

class QAction;
class QPushButton;
class QSplitter;
class QTextBrowser;

namespace koru {
class KitCommands;
class PlayingPanel;
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
    QWidget *playingPanel() const;
    QAction *transferAction() const { return m_transferAction; }
    QAction *runAction() const { return m_runAction; }
    // The language of the keywords read when the window was last shown;
    // nullopt when the keyword file could not be read.
    const std::optional<TextLanguage> &language() const { return m_language; }

    // Menu commands (also reached from the menu bar).
    void loadDemo(int number);
    void openFile();
    void saveFile();
    void clearProgram();
    void transfer();
    void run();
    void preview();
    void makeReport();
    void showSentData();
    void openHelp();
    // The help panel's buttons.
    void goBack();
    void goForward();
    void goHome();

    static const QString ClearQuestion;
    static const QString CloseQuestion;
    static const QString NotShownMessage;
    static constexpr int MinimumWidth = 780;
    static constexpr int MinimumHeight = 750;
    static constexpr int EditorWidth = 400;

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void buildMenus();
    QWidget *buildHelpPanel();
    void placeWindow();
    void readKeywords();
    // Runs the checks; on a failure shows its message, marks its line and
    // gives false.
    bool checkProgram();
    // The checked program's image, or nullopt after the refusal was shown.
    std::optional<DeviceImage> sendableImage();
    void setCommandsEnabled(bool enabled);

    SourceEditor *m_editor = nullptr;
    QSplitter *m_splitter = nullptr;
    QTextBrowser *m_browser = nullptr;
    PlayingPanel *m_playingPanel = nullptr;
    QAction *m_transferAction = nullptr;
    QAction *m_runAction = nullptr;
    EditorContext m_context; // the kit and the shell's shared windows
    KitCommands *m_kit = nullptr;
    std::optional<TextLanguage> m_language;
    bool m_placed = false;
};

} // namespace koru::text
