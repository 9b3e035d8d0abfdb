// The melody editor: the staff at the top, the keyboard and the LED link
// settings in two tabs below, the menu bar with files, preview on the PC,
// transfer, play and read-back with the kit, report and help. Every gesture
// becomes a Melody operation; the window then redraws the staff.
#pragma once

#include "editor/ui/editorframe.h"
#include "melody/melody.h"
#include "melody/melodyhistory.h"
#include "melody/melodykeys.h"
#include "melody/ui/staffdrawing.h"

#include <QElapsedTimer>
#include <QList>
#include <QMainWindow>
#include <QTimer>

#include <array>
#include <memory>
#include <optional>
#include <utility>

class QComboBox;
class QLabel;
class QMenu;
class QRadioButton;
class QScrollArea;
class QTabWidget;

namespace koru {
class SoundOutput;
} // namespace koru

namespace koru::melody {

class Keyboard;
class NoteChooser;
class StaffArea;

class MelodyWindow : public QMainWindow
{
    Q_OBJECT
public:
    // The sound goes to the PC's audio output unless a test hands in its own.
    MelodyWindow(const EditorContext &context, NoteChooser &chooser, SoundOutput *sound = nullptr,
                 QWidget *parent = nullptr);
    ~MelodyWindow() override;

    const Melody &melody() const { return m_melody; }
    // Menu bar, kit commands, files, questions and caption.
    EditorFrame *frame() const { return m_frame; }

    // ---- Playing on the PC ("再生") ------------------------------------
    void preview(PreviewRange range);
    void stopPreview();

    // ---- Gestures ------------------------------------------------------
    // A key of the "音符入力" keyboard ("pw12", "pB0", "pw148").
    void clickKey(const QString &controlName);
    // The staff's keys (melody/melodykeys.h): the piano row inserts at the
    // insertion point, arrows move it, Delete and Backspace remove.
    void typeLetter(QChar letter);
    void movePoint(int step);
    void deleteAtPoint(bool before);
    // 0 before the first note to count() after the last; it follows the
    // end while it is there.
    int insertionPoint() const;
    int pianoOctave() const { return m_octave; }
    // A right click on the staff area: picks the note and opens the menu.
    void rightClickStaff(const QPoint &point, const QPoint &globalPoint);
    // Context menu commands on the picked note.
    void insertBeforeSelected();
    void editSelected();
    void changeSelectedLength(int len);
    void deleteSelected();
    // Ctrl+Z, and Ctrl+Y or Ctrl+Shift+Z: every change of notes, LED
    // colours and link, speed, clearing and reading. Nothing while the
    // note chooser is open (its answer is for the note picked before).
    void undo();
    void redo();
    const MelodyHistory &history() const { return m_history; }

    // ---- For tests and the report --------------------------------------
    StaffArea *staffArea() const { return m_staffArea; }
    QScrollArea *staffScroll() const { return m_scroll; }
    QMenu *noteMenu() const { return m_noteMenu; }
    SoundOutput *sound() const { return m_sound; }
    int markedSlot() const { return m_markedSlot; } // the note sounding in a preview
    const std::vector<StaffAnchor> &anchors() const { return m_anchors; }

    static const QString NoSoundMessage;
    static const QString StopSound;     // beside the executable

signals:
    void closed();

protected:
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    enum class Pending { None, Insert, Edit };

    EditorDocument editorDocument();
    QWidget *buildNotePage();
    QWidget *buildLedPage();
    void placeWindow();
    void refreshStaff();
    void showCaret();
    void refreshControls(); // radio buttons, LED selectors and pictures from the document
    void setLedColour(int slot, int colour);
    void showLedPicture(int slot);
    void applyChoice(const QString &keyText, int black, int len);
    void showResult(MelodyEdit result, const QString &step);
    // A change of the document is done: one undo step (none when nothing
    // a file keeps changed).
    void changed(const QString &step, MelodyHistory::Join join = MelodyHistory::Join::None);
    void restored();
    // False when there is no audio output (said once, quietly).
    bool playSound(const QString &path);
    void soundKey(const Key &key); // a short sound of its pitch; none for the rest
    void sayNoSound(); // once per window
    void followSilently();
    void followSound(qint64 ms);
    void decodeReadBack(const QStringList &replies);
    std::optional<ReportRequest> reportRequest();

    Melody m_melody;
    MelodyHistory m_history;
    StaffFontLease m_font;
    std::vector<StaffAnchor> m_anchors;

    QScrollArea *m_scroll = nullptr;
    StaffArea *m_staffArea = nullptr;
    QTabWidget *m_tabs = nullptr;
    std::array<QRadioButton *, 4> m_lengthRadios{};
    std::array<QRadioButton *, 3> m_speedRadios{};
    std::array<QLabel *, LedSlotCount> m_ledImages{};
    std::array<QComboBox *, LedSlotCount> m_ledCombos{};
    QRadioButton *m_linkOn = nullptr;
    QRadioButton *m_linkOff = nullptr;
    QMenu *m_noteMenu = nullptr;
    EditorFrame *m_frame = nullptr;

    NoteChooser &m_chooser; // the shell's
    SoundOutput *m_sound = nullptr;
    bool m_noSoundSaid = false;
    QLabel *m_noSoundLine = nullptr; // the quiet notice in the status bar
    // Without an audio output the mark still walks over the notes, timed
    // by the wall clock instead of the sound's position.
    QTimer m_silentPlay;
    QElapsedTimer m_silentSince;
    int m_markedSlot = -1;
    // The melody and range of the preview playing, for the mark to follow.
    std::optional<std::pair<Melody, PreviewRange>> m_previewed;

    Pending m_pending = Pending::None;
    int m_point = -1; // -1: at the end
    int m_octave = DefaultPianoOctave;
    bool m_placed = false;
};

} // namespace koru::melody
