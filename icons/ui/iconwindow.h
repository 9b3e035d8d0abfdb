// The STEP1 window: the palette of icon pictures on the left, the row of 24
// places on the right, the menu bar with file, transfer, run, report,
// sent-data and help commands. Gestures become IconProgram operations; the
// window mirrors the program's slots into its controls.
#pragma once

#include "icons/iconprogram.h"
#include "link/ui/editorcontext.h"

#include <QHash>
#include <QMainWindow>
#include <QPixmap>
#include <QPointer>

#include <array>

class QAction;
class QComboBox;
class QLabel;
class QMenu;
class QScrollArea;
class QSlider;
class QWidget;

namespace koru {
class KitCommands;
class PlayingPanel;
}

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
    int draggedKind() const { return m_draggedKind; }
    int colourSlot() const { return m_colourSlot; }

    // Menu commands (also reached from the menu bar).
    void loadDemo(int number);
    void openFile();
    void saveFile();
    void clearProgram();
    void transfer();
    void run();
    void makeReport();
    void preview();
    void showSentData();
    void openHelp();

    // The palette gesture's end: a picture of kind dropped on a slot.
    void dropOnSlot(int slot, int kind);
    // The slot whose card holds a point of the row area; -1 between cards.
    int slotAt(const QPoint &rowAreaPoint) const;
    // Right click on a slot picture: the colour menu for LED slots.
    void openColourMenu(int slot, const QPoint &globalPos);
    QMenu *colourMenu() const { return m_colourMenu; }
    // The slot whose icon the preview is running, -1 none.
    int runningSlot() const { return m_runningSlot; }

    QAction *transferAction() const { return m_transferAction; }
    QAction *runAction() const { return m_runAction; }
    QWidget *playingPanel() const;
    QScrollArea *dropPanel() const;

    // Starts dragging a palette picture (called once the mouse has moved
    // far enough with the button down).
    void startDrag(PaletteImage *source);

    static const QString Caption;
    static const QString ClearQuestion;
    static const QString CloseQuestion;
    static const QString TooLargeMessage;
    static const QString MimeType;

signals:
    // The window has closed (the launcher shows itself again).
    void closed();
    // A drag of a palette picture has started (tests follow it).
    void dragStarted(int kind);

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

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

    void buildMenus();
    void buildPalette(QWidget *palette);
    void layOutSlots();
    void placeWindow();
    bool checkPictures();
    QPixmap picture(const QString &name);
    QPixmap slotPicture(int kind);
    void refreshSlot(int n);
    void refreshAll();
    void setCommandsEnabled(bool enabled);
    void setFileCaption(const QString &path);
    void markRunning(int slot);

    IconProgram m_program;
    int m_draggedKind = -1;
    int m_colourSlot = -1;

    QScrollArea *m_dropPanel = nullptr;
    QWidget *m_rowArea = nullptr;
    PlayingPanel *m_playingPanel = nullptr;
    QMenu *m_colourMenu = nullptr;
    QAction *m_transferAction = nullptr;
    QAction *m_runAction = nullptr;
    std::array<SlotControls, SlotCount> m_slots{};
    QHash<QString, QPixmap> m_pictures;
    bool m_laidOut = false;
    bool m_placed = false;
    EditorContext m_context; // the kit and the shell's shared windows
    KitCommands *m_kit = nullptr; // transfer, run and the kit's replies
    QLabel *m_runningMark = nullptr; // frame around the icon the preview runs
    int m_runningSlot = -1;
};

} // namespace koru::icons
