// The STEP1 window: the palette of icon pictures on the left, the row of 24
// places on the right, the menu bar with file, transfer, run, report,
// sent-data and help commands. Gestures become IconProgram operations; the
// window mirrors the program's slots into its controls.
#pragma once

#include "editor/ui/editorframe.h"
#include "icons/iconprogram.h"

#include <QHash>
#include <QMainWindow>
#include <QPixmap>
#include <QPointer>

#include <array>

class QComboBox;
class QLabel;
class QMenu;
class QScrollArea;
class QSlider;
class QWidget;


namespace koru::icons {

class PaletteImage;
class SlotImage;

class IconWindow : public QMainWindow
{
    Q_OBJECT
public:
    explicit IconWindow(const EditorContext &context, QWidget *parent = nullptr);
    ~IconWindow() override;

    const IconProgram &program() const { return m_program; }
    // Menu bar, kit commands, files, questions and caption.
    EditorFrame *frame() const { return m_frame; }
    int draggedKind() const { return m_draggedKind; }
    int colourSlot() const { return m_colourSlot; }

    // The palette gesture's end: a picture of kind dropped on a slot.
    void dropOnSlot(int slot, int kind);

    // The keyboard. The chosen slot is the slot picture that had the focus
    // last; Enter on a palette picture chooses its kind and puts it there
    // as a drop would, then the next slot is chosen. Enter on a slot opens its parameters (the focus
    // goes to its choice list or slider) or, with none, puts the chosen
    // kind there; Delete empties it. Escape in the parameters goes back
    // to the slot.
    int chosenSlot() const { return m_chosenSlot; }
    int chosenKind() const { return m_chosenKind; }
    void chooseSlot(int slot);
    void choosePaletteKind(int kind);
    void enterOnSlot(int slot);
    void emptySlot(int slot);
    // The slot whose card holds a point of the row area; -1 between cards.
    int slotAt(const QPoint &rowAreaPoint) const;
    // Right click on a slot picture: the colour menu for LED slots.
    void openColourMenu(int slot, const QPoint &globalPos);
    QMenu *colourMenu() const { return m_colourMenu; }
    // The slot whose icon the preview is running, -1 none.
    int runningSlot() const { return m_runningSlot; }

    QScrollArea *dropPanel() const;

    // Starts dragging a palette picture (called once the mouse has moved
    // far enough with the button down).
    void startDrag(PaletteImage *source);

    static const QString Caption;
    static const QString MimeType;

signals:
    // The window has closed (the launcher shows itself again).
    void closed();
    // A drag of a palette picture has started (tests follow it).
    void dragStarted(int kind);

protected:
    void showEvent(QShowEvent *event) override;
    // Escape in a slot's choice list or slider goes back to its slot.
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    struct SlotControls
    {
        QLabel *back = nullptr;
        SlotImage *image = nullptr;
        QLabel *arrow = nullptr;
        QComboBox *combo = nullptr;
        QLabel *caption = nullptr;
        QSlider *slider = nullptr;
        IconSlot shown; // what the controls show now
        bool shownOnce = false;
    };

    EditorDocument editorDocument();
    void buildPalette(QWidget *palette);
    void layOutSlots();
    bool checkPictures();
    QPixmap picture(const QString &name);
    QPixmap slotPicture(int kind);
    void refreshSlot(int n);
    // A slot's controls as its icon and parameters are, without telling the
    // frame (refreshAll tells it once for all).
    void showSlot(int n);
    void refreshAll();
    void markRunning(int slot);

    IconProgram m_program;
    EditorFrame *m_frame = nullptr;
    int m_draggedKind = -1;
    int m_colourSlot = -1;
    int m_chosenSlot = 0;
    int m_chosenKind = -1;

    QScrollArea *m_dropPanel = nullptr;
    QWidget *m_rowArea = nullptr;
    QMenu *m_colourMenu = nullptr;
    std::array<SlotControls, SlotCount> m_slots{};
    QHash<QString, QPixmap> m_pictures;
    bool m_laidOut = false;
    bool m_placed = false;
    QLabel *m_runningMark = nullptr; // frame around the icon the preview runs
    int m_runningSlot = -1;
};

} // namespace koru::icons
