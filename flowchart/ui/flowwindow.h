// The STEP2 window: the routine selector, the palette and the parameter
// panel in the left column, the scrolling canvas; the frame gives it the
// menu bar, the kit commands and their panels. The editor holds the
// document and makes the edits; the window wires the widgets to it and
// keeps its undo steps (Ctrl+Z, Ctrl+Y / Ctrl+Shift+Z, and the empty
// canvas's pop-up menu).
#pragma once

#include "editor/ui/editorframe.h"
#include "flowchart/floweditor.h"
#include "flowchart/ui/flowdrawing.h"

#include <QMainWindow>

class QAction;
class QComboBox;
class QMenu;
class QScrollArea;
class QUndoStack;

namespace koru::flow {

class BlockParameterWindow;
class CanvasScroller;
class FlowCanvas;
class PaletteImage;
class ParameterEditor;

class FlowWindow : public QMainWindow
{
    Q_OBJECT
public:
    FlowWindow(const EditorContext &context, BlockParameterWindow &parameterWindow, QWidget *parent = nullptr);
    ~FlowWindow() override;

    FlowEditor *editor() const { return m_editor; }
    const FlowDocument &document() const;
    const BlockPictures &pictures() const { return m_pictures; }

    // Menu bar, kit commands, files, questions and caption.
    EditorFrame *frame() const { return m_frame; }

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
    // The palette item last chosen by key (Insert places it); start at first.
    int chosenPaletteItem() const { return m_chosenPalette; }

signals:
    void closed();
    void dragStarted(int paletteIndex);

protected:
    void showEvent(QShowEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;

private:
    EditorDocument editorDocument();
    // A document read whole (a file, a demo, the kit's memory) replaces the
    // pupil's as one undo step.
    void takeLoaded(const FlowDocument &loaded, const QString &step, int mergeId = -1);
    void buildEditMenus();
    void buildLeftColumn(QWidget *column);
    void connectEditor();
    void placeWindow();
    void startDrag(PaletteImage *source);
    void openParameterWindow(int slot, const QString &kind);
    void undo();
    void redo();
    void arrowKey(KeyDirection direction, bool withCtrl);
    void showSelection();

    BlockParameterWindow &m_parameterWindow; // the shell's
    EditorFrame *m_frame = nullptr;
    FlowEditor *m_editor = nullptr;
    QUndoStack *m_undo = nullptr;
    BlockPictures m_pictures;
    QPair<int, int> m_running{-1, -1};
    bool m_placed = false;
    int m_chosenPalette = 0;

    FlowCanvas *m_canvas = nullptr;
    QScrollArea *m_dropPanel = nullptr;
    ParameterEditor *m_panel = nullptr;
    QComboBox *m_routineCombo = nullptr;
    QMenu *m_blockMenu = nullptr;
    QMenu *m_canvasMenu = nullptr;
};

} // namespace koru::flow
