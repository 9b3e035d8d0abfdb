// The STEP2 window: the routine selector, the palette and the parameter
// panel in the left column, the scrolling canvas, the menu bar with the
// file, kit, preview, report and sent-data commands, and the panels shown
// while the kit runs or is read. Every change of the document is one undo
// step (Ctrl+Z, Ctrl+Y / Ctrl+Shift+Z, and the empty canvas's pop-up menu).
#pragma once

#include "flowchart/flowdocument.h"
#include "flowchart/flowedit.h"
#include "flowchart/ui/flowdrawing.h"
#include "link/ui/editorcontext.h"

#include <QMainWindow>

class QAction;
class QComboBox;
class QMenu;
class QScrollArea;
class QUndoStack;

namespace koru {
class KitCommands;
class GetDataPanel;
class PlayingPanel;
}

namespace koru::flow {

class BlockParameterWindow;
class FlowCanvas;
class PaletteImage;
class ParameterEditor;

class FlowWindow : public QMainWindow
{
    Q_OBJECT
public:
    FlowWindow(const EditorContext &context, BlockParameterWindow &parameterWindow, QWidget *parent = nullptr);
    ~FlowWindow() override;

    const FlowDocument &document() const { return m_doc; }
    FlowDocument &editableDocument() { return m_doc; } // tests and the canvas's live moves
    int currentRoutine() const { return m_doc.state().currentRoutine; }
    QList<int> selection() const { return m_doc.state().selection; }
    const BlockPictures &pictures() const { return m_pictures; }

    // Routine selection (Routine_Combo).
    void showRoutine(int routine);

    // A palette item dropped at a canvas point: on a block it replaces the
    // block's instruction, elsewhere it places a new block.
    void dropPalette(int paletteIndex, QPoint canvasPoint);
    void startDrag(PaletteImage *source);

    // Block pop-up menu commands.
    void deleteSelection();
    void removeArrows();
    void copySelection();
    void paste();
    void align(Alignment alignment);
    void undo();
    void redo();

    // The canvas's gestures.
    void setSelection(const QList<int> &slotList);
    void linkArrow(bool side, int source, QPoint canvasPoint);
    void finishMove(const FlowDocument &before);
    void openPanel(int slot);
    void closePanel();
    void openBlockMenu(const QPoint &globalPos);
    void openCanvasMenu(const QPoint &globalPos);
    int scrollY() const;
    void repaintCanvas();

    // Menu commands.
    void loadDemo(int number);
    void openFile();
    void saveFile();
    void clearAll();
    void transfer();
    void run();
    void preview();
    void makeReport();
    void showSentData();
    void readBack();
    void openHelp();

    // The preview's run: the block at an image address is marked (-1 ends).
    void markRunning(int address);
    QPair<int, int> runningBlock() const { return m_running; }

    FlowCanvas *canvas() const { return m_canvas; }
    QScrollArea *dropPanel() const { return m_dropPanel; }
    ParameterEditor *parameterPanel() const { return m_panel; }
    QComboBox *routineCombo() const { return m_routineCombo; }
    QMenu *blockMenu() const { return m_blockMenu; }
    QMenu *canvasMenu() const { return m_canvasMenu; }
    QUndoStack *undoStack() const { return m_undo; }
    QAction *transferAction() const { return m_transferAction; }
    QAction *runAction() const { return m_runAction; }
    QWidget *playingPanel() const;
    QWidget *getDataPanel() const;
    int panelSlot() const { return m_panelSlot; }

    static const QString MimeType;
    static const QString ClearQuestion;
    static const QString CloseQuestion;

signals:
    void closed();
    void dragStarted(int paletteIndex);

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildMenus();
    void buildLeftColumn(QWidget *column);
    void placeWindow();
    void newBlock(int paletteIndex, QPoint canvasPoint);
    void replaceBlock(int slot, int paletteIndex);
    void openParameterWindow(int slot, const QString &kind, std::function<void(const QString &)> done);
    void panelConfirmed(const QString &params);
    void commit(const QString &text, const FlowDocument &before, int mergeId = -1);
    void restore(const FlowDocument &document, int routine);
    void afterLoad();
    void setCommandsEnabled(bool enabled);
    void setFileCaption(const QString &path);

    FlowDocument m_doc;
    QUndoStack *m_undo = nullptr;
    BlockPictures m_pictures;
    int m_panelSlot = NoSlot;
    int m_clipboardRoutine = 0;
    QPair<int, int> m_running{-1, -1};
    bool m_placed = false;
    const QEvent *m_lastWheel = nullptr;
    quint64 m_lastWheelTime = 0;

    FlowCanvas *m_canvas = nullptr;
    QScrollArea *m_dropPanel = nullptr;
    ParameterEditor *m_panel = nullptr;
    QComboBox *m_routineCombo = nullptr;
    QMenu *m_blockMenu = nullptr;
    QMenu *m_canvasMenu = nullptr;
    QAction *m_transferAction = nullptr;
    QAction *m_runAction = nullptr;
    PlayingPanel *m_playingPanel = nullptr;
    GetDataPanel *m_getDataPanel = nullptr;
    EditorContext m_context; // the kit and the shell's shared windows
    BlockParameterWindow &m_parameterWindow; // the shell's
    KitCommands *m_kit = nullptr;
};

} // namespace koru::flow
