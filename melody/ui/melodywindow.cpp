#include "melody/ui/melodywindow.h"

#include "link/devicelink.h"
#include "melody/melodyspoken.h"
#include "melody/preview.h"
#include "melody/readback.h"
#include "melody/ui/melodyfiles.h"
#include "melody/ui/melodyparts.h"
#include "melody/ui/soundoutput.h"
#include "model/caption.h"
#include "model/dialogservice.h"
#include "model/helppage.h"
#include "model/paths.h"
#include "model/reportrequest.h"
#include "widgets/picturefile.h"
#include "widgets/placement.h"
#include "widgets/reportpicture.h"

#include <QAction>
#include <QComboBox>
#include <QEvent>
#include <QDir>
#include <QFileInfo>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QStatusBar>
#include <QTabWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace koru::melody {

const QString MelodyWindow::NoSoundMessage =
    QStringLiteral("音を鳴らす装置が見つかりません。\r\nスピーカーの接続を確認して下さい。");
const QString MelodyWindow::StopSound = QStringLiteral("Stop.WAV");

namespace {

const QString ReadBackStep = QStringLiteral("送信済データの読み込み");

constexpr int MinimumWidth = 780;
constexpr int MinimumHeight = 580;
constexpr int TabHeight = 266;

// LED slots laid out like an octave: the white-key slots and the rest in
// one row, the black-key slots above the gaps between them.
constexpr int LedColumn = 66;
constexpr int LedLeft = 12;
constexpr QSize WhiteLed(44, 72);
constexpr QSize BlackLed(34, 44);

QRect ledPictureRect(int slot)
{
    // Position along the octave in half columns: C 0, C# 1, D 2, ... B 12, rest 14.
    static constexpr int HalfColumns[LedSlotCount] = {0, 1, 2, 3, 4, 6, 7, 8, 9, 10, 11, 12, 14};
    const int centre = LedLeft + WhiteLed.width() / 2 + HalfColumns[slot] * LedColumn / 2;
    if (IsBlackLedSlot(slot))
        return QRect(centre - BlackLed.width() / 2, 46, BlackLed.width(), BlackLed.height());
    return QRect(centre - WhiteLed.width() / 2, 112, WhiteLed.width(), WhiteLed.height());
}

// The note names in one row between the black and the white pictures.
QRect ledNameRect(int slot)
{
    const QRect picture = ledPictureRect(slot);
    return QRect(picture.center().x() - 16, 93, 33, 16);
}

QString ledSlotName(int slot)
{
    static const char *const Names[LedSlotCount] = {"ド", "ド♯", "レ", "レ♯", "ミ", "ファ", "ファ♯",
                                                     "ソ", "ソ♯", "ラ", "ラ♯", "シ", "休"};
    return QString::fromUtf8(Names[slot]);
}

QRect ledComboRect(int slot)
{
    const QRect picture = ledPictureRect(slot);
    const int top = IsBlackLedSlot(slot) ? picture.top() - 26 : picture.bottom() + 4;
    return QRect(picture.center().x() - 30, top, 60, 22);
}

} // namespace

MelodyWindow::MelodyWindow(const EditorContext &context, NoteChooser &chooser, SoundOutput *sound, QWidget *parent)
    : QMainWindow(parent), m_chooser(chooser), m_sound(sound)
{
    setObjectName(QStringLiteral("MelodyWindow"));
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::white);
    setPalette(pal);
    setMinimumSize(MinimumWidth, MinimumHeight);
    if (!m_sound)
        m_sound = new LoadedSound(this);
    else
        m_sound->setParent(this);

    auto *central = new QWidget(this);
    central->setAutoFillBackground(true);
    auto *layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);

    m_scroll = new QScrollArea(central);
    m_scroll->setObjectName(QStringLiteral("StaffScroll"));
    m_scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_scroll->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_scroll->setFrameShape(QFrame::NoFrame);
    m_scroll->setWidgetResizable(false);
    m_scroll->viewport()->setAutoFillBackground(true);
    m_scroll->viewport()->setPalette(pal);
    m_staffArea = new StaffArea(nullptr);
    m_staffArea->resize(StaffInitialWidth, StaffInitialHeight);
    m_scroll->setWidget(m_staffArea);
    m_scroll->viewport()->installEventFilter(this);
    connect(m_staffArea, &StaffArea::rightClicked, this, &MelodyWindow::rightClickStaff);
    connect(m_staffArea, &StaffArea::letterTyped, this, &MelodyWindow::typeLetter);
    connect(m_staffArea, &StaffArea::pointMoved, this, &MelodyWindow::movePoint);
    connect(m_staffArea, &StaffArea::deletePressed, this, &MelodyWindow::deleteAtPoint);
    m_staffArea->setAccessibleName(QStringLiteral("楽譜"));
    m_staffArea->setToolTip(PianoKeysHint());
    m_staffArea->setAccessibleDescription(PianoKeysHint());
    layout->addWidget(m_scroll, 1);

    m_tabs = new QTabWidget(central);
    m_tabs->setObjectName(QStringLiteral("Tabs"));
    m_tabs->setFixedHeight(TabHeight);
    m_tabs->addTab(buildNotePage(), QStringLiteral("音符入力"));
    m_tabs->addTab(buildLedPage(), QStringLiteral("LEDリンク設定"));
    layout->addWidget(m_tabs);
    setCentralWidget(central);

    m_noteMenu = new QMenu(this);
    m_noteMenu->setObjectName(QStringLiteral("NoteMenu"));
    m_noteMenu->addAction(QStringLiteral("音を挿入する"), this, &MelodyWindow::insertBeforeSelected);
    m_noteMenu->addAction(QStringLiteral("音符を編集する"), this, &MelodyWindow::editSelected);
    QMenu *lengths = m_noteMenu->addMenu(QStringLiteral("音の長さを変える"));
    for (int len = 0; len < LengthClassCount; ++len)
        lengths->addAction(LengthCaption(len), this, [this, len] { changeSelectedLength(len); });
    m_noteMenu->addAction(QStringLiteral("音符を削除する"), this, &MelodyWindow::deleteSelected);

    m_frame = new EditorFrame(this, context, editorDocument());
    m_frame->setKeyboardStart(m_staffArea);
    connect(m_frame, &EditorFrame::closed, this, &MelodyWindow::closed);
    m_frame->buildMenus({
        {.caption = QStringLiteral("　　　読み込み　　　"),
         .items = {{.caption = QStringLiteral("保存ファイルの読み込み"), .command = FrameCommand::Open},
                   {.caption = QStringLiteral("送信済データの読み込み"), .command = FrameCommand::ReadBack}}},
        {.caption = QStringLiteral("ファイルへ保存"), .command = FrameCommand::Save},
        {.caption = QStringLiteral("　　全削除　　"), .command = FrameCommand::Clear},
        {.caption = QStringLiteral("再生"),
         .items = {{.caption = QStringLiteral("全て再生"), .action = [this] { preview(PreviewRange::All); }},
                   {.caption = QStringLiteral("最後の10音符再生"), .action = [this] { preview(PreviewRange::Last10); }},
                   {.caption = QStringLiteral("最後の20音符再生"), .action = [this] { preview(PreviewRange::Last20); }},
                   {.caption = QStringLiteral("停止"), .action = [this] { stopPreview(); }}}},
        {.caption = QStringLiteral("　　転送(F6)　　"), .command = FrameCommand::Transfer},
        {.caption = QStringLiteral("　　実行(F7)　　"), .command = FrameCommand::Run},
        {.caption = QStringLiteral("レポート作成"), .command = FrameCommand::Report},
        {.caption = QStringLiteral("ヘルプ"), .command = FrameCommand::Help},
    });

    // Undo and redo are keys of the window, beside the menu bar as F6 and
    // F7 are: the menu bar itself stays as it is.
    auto key = [this](const QList<QKeySequence> &keys, void (MelodyWindow::*slot)()) {
        auto *action = new QAction(this);
        action->setShortcuts(keys);
        action->setShortcutContext(Qt::WindowShortcut);
        connect(action, &QAction::triggered, this, slot);
        addAction(action);
    };
    key({QKeySequence(Qt::CTRL | Qt::Key_Z)}, &MelodyWindow::undo);
    key({QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)}, &MelodyWindow::redo);

    connect(&chooser, &NoteChooser::chosen, this, &MelodyWindow::applyChoice);
    connect(&chooser, &QDialog::rejected, this, [this] { m_pending = Pending::None; });

    connect(m_sound, &SoundOutput::positionChanged, this, &MelodyWindow::followSound);
    connect(m_sound, &SoundOutput::stopped, this, [this] {
        m_previewed.reset();
        if (m_markedSlot >= 0) {
            m_markedSlot = -1;
            refreshStaff();
        }
    });
    connect(m_sound, &SoundOutput::failed, this, &MelodyWindow::sayNoSound);
    m_silentPlay.setInterval(40);
    connect(&m_silentPlay, &QTimer::timeout, this, &MelodyWindow::followSilently);

    refreshControls();
    refreshStaff();
}

MelodyWindow::~MelodyWindow()
{
    m_sound->stop();
    m_sound->disconnect(this);
}

EditorDocument MelodyWindow::editorDocument()
{
    return {
        .role = ReplyRole::Melody,
        .frameStart = kit::MelodyFrame,
        .files = MelodyFiles,
        .recoveryKey = QStringLiteral("MELODY"),
        .isEmpty = [this] { return m_melody.count() == 0; },
        .clear =
            [this] {
                m_melody.clear();
                changed(QStringLiteral("全削除"));
                refreshControls();
            },
        // The emptying and the filling of a read-back are one undo step.
        .discard =
            [this] {
                m_melody.clear();
                changed(ReadBackStep, MelodyHistory::Join::Opens);
                refreshControls();
            },
        .saveContent = [this] { return std::optional<SaveContent>({m_melody.fileLines(), {}}); },
        .load =
            [this](const QString &path) {
                // Read into a copy: a file that is not read whole changes nothing.
                Melody loaded = m_melody;
                const FileResult result = ReadMelodyFile(path, loaded);
                if (result.ok) {
                    m_melody = loaded;
                    changed(QStringLiteral("保存ファイルの読み込み"));
                    refreshControls();
                }
                return result;
            },
        .fileLines = [this] { return std::optional<QStringList>(m_melody.fileLines()); },
        .sendable = [this] { return SendableImage(m_melody); },
        .decodeReadBack = [this](const QStringList &replies) { decodeReadBack(replies); },
        .report = [this] { return reportRequest(); },
        .budget = [this] { return QList<BudgetPart>{{QStringLiteral("音符"), m_melody.count(), MelodySlotCount}}; },
        .closing =
            [this] {
                m_sound->stop();
                if (m_chooser.isVisible())
                    m_chooser.reject();
            },
    };
}

QWidget *MelodyWindow::buildNotePage()
{
    auto *page = new QWidget;
    page->setObjectName(QStringLiteral("NotePage"));
    auto *keyboard = new Keyboard(page);
    keyboard->move(0, 14);
    connect(keyboard, &Keyboard::keyClicked, this, &MelodyWindow::clickKey);

    const int groupsTop = keyboard->geometry().bottom() + 6;
    auto *lengthGroup = new QGroupBox(QStringLiteral("音符の長さ"), page);
    lengthGroup->setGeometry(Keyboard::FirstWhiteLeft, groupsTop, 370, 54);
    auto *lengthRow = new QHBoxLayout(lengthGroup);
    lengthRow->setContentsMargins(8, 2, 8, 2);
    for (int len = 0; len < LengthClassCount; ++len) {
        auto *radio = new QRadioButton(LengthCaption(len), lengthGroup);
        radio->setObjectName(QStringLiteral("radio_Len%1").arg(len + 1));
        connect(radio, &QRadioButton::toggled, this, [this, len](bool on) {
            if (on)
                m_melody.setSelectedLength(len);
        });
        m_lengthRadios[size_t(len)] = radio;
        lengthRow->addWidget(radio);
    }

    auto *speedGroup = new QGroupBox(QStringLiteral("音の速さ"), page);
    speedGroup->setGeometry(lengthGroup->geometry().right() + 10, groupsTop, 220, 54);
    auto *speedRow = new QHBoxLayout(speedGroup);
    speedRow->setContentsMargins(8, 2, 8, 2);
    const MelodySpeed speeds[] = {MelodySpeed::Standard, MelodySpeed::Double, MelodySpeed::Quadruple};
    for (int i = 0; i < 3; ++i) {
        auto *radio = new QRadioButton(SpeedCaption(speeds[i]), speedGroup);
        radio->setObjectName(QStringLiteral("radio_Speed%1").arg(i + 1));
        const MelodySpeed speed = speeds[i];
        connect(radio, &QRadioButton::toggled, this, [this, speed](bool on) {
            // Showing the document's own speed is no change.
            if (on && speed != m_melody.speed()) {
                m_melody.setSpeed(speed);
                changed(QStringLiteral("音の速さ"));
            }
        });
        m_speedRadios[size_t(i)] = radio;
        speedRow->addWidget(radio);
    }
    return page;
}

QWidget *MelodyWindow::buildLedPage()
{
    auto *page = new QWidget;
    page->setObjectName(QStringLiteral("LedPage"));
    auto *ledGroup = new QGroupBox(QStringLiteral("LED設定"), page);
    ledGroup->setGeometry(8, 4, LedLeft * 2 + WhiteLed.width() + 14 * LedColumn / 2, 220);
    const QStringList captions = LedColourCaptions();
    for (int slot = 0; slot < LedSlotCount; ++slot) {
        auto *image = new QLabel(ledGroup);
        image->setObjectName(QStringLiteral("LED_Image%1").arg(slot));
        image->setGeometry(ledPictureRect(slot));
        image->setScaledContents(true);
        m_ledImages[size_t(slot)] = image;
        auto *name = new QLabel(ledSlotName(slot), ledGroup);
        name->setObjectName(QStringLiteral("LED_Name%1").arg(slot));
        name->setGeometry(ledNameRect(slot));
        name->setAlignment(Qt::AlignCenter);

        auto *combo = new QComboBox(ledGroup);
        combo->setObjectName(QStringLiteral("LED_Combo%1").arg(slot));
        combo->setGeometry(ledComboRect(slot));
        combo->addItems(captions);
        // Pupils may type a colour's name; anything else goes back to the
        // colour the slot has.
        combo->setEditable(true);
        combo->setInsertPolicy(QComboBox::NoInsert);
        connect(combo, &QComboBox::currentIndexChanged, this, [this, slot](int index) {
            if (index >= 0)
                setLedColour(slot, index);
        });
        connect(combo->lineEdit(), &QLineEdit::editingFinished, this, [this, slot, combo] {
            const int typed = combo->findText(combo->currentText().trimmed(), Qt::MatchFixedString);
            if (typed >= 0)
                setLedColour(slot, typed);
            const QSignalBlocker block(combo);
            combo->setCurrentIndex(m_melody.ledColour(slot));
            combo->setEditText(combo->itemText(m_melody.ledColour(slot)));
        });
        m_ledCombos[size_t(slot)] = combo;
    }

    auto *linkGroup = new QGroupBox(QStringLiteral("LEDリンク"), page);
    linkGroup->setGeometry(ledGroup->geometry().right() + 10, 4, 110, 80);
    auto *linkColumn = new QVBoxLayout(linkGroup);
    m_linkOn = new QRadioButton(QStringLiteral("する"), linkGroup);
    m_linkOn->setObjectName(QStringLiteral("Linl_Radio0"));
    m_linkOff = new QRadioButton(QStringLiteral("しない"), linkGroup);
    m_linkOff->setObjectName(QStringLiteral("Linl_Radio1"));
    linkColumn->addWidget(m_linkOn);
    linkColumn->addWidget(m_linkOff);
    connect(m_linkOn, &QRadioButton::clicked, this, [this] {
        m_melody.setLedLink(true);
        changed(QStringLiteral("LEDリンク"));
    });
    connect(m_linkOff, &QRadioButton::clicked, this, [this] {
        m_melody.setLedLink(false);
        changed(QStringLiteral("LEDリンク"));
    });
    return page;
}

void MelodyWindow::placeWindow()
{
    PlaceEditorWindow(this, QSize(MinimumWidth, MinimumHeight));
}

void MelodyWindow::showEvent(QShowEvent *event)
{
    if (!m_placed) {
        m_placed = true;
        placeWindow();
    }
    QMainWindow::showEvent(event);
}

bool MelodyWindow::eventFilter(QObject *watched, QEvent *event)
{
    // The staff area stretches with the window's width and is drawn anew.
    if (watched == m_scroll->viewport() && event->type() == QEvent::Resize) {
        const int width = m_scroll->viewport()->width();
        if (width != m_staffArea->width()) {
            m_staffArea->resize(width, m_staffArea->height());
            refreshStaff();
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void MelodyWindow::refreshStaff()
{
    m_frame->documentChanged();
    StaffPicture picture = DrawStaff(m_melody, m_staffArea->width(), m_markedSlot);
    m_anchors = std::move(picture.anchors);
    m_staffArea->setPicture(picture.image);
    QList<StaffArea::SpokenNote> spoken;
    const std::vector<StaffNoteRects> rects = StaffLayout(m_melody, m_staffArea->width());
    for (int slot = 0; slot < m_melody.count(); ++slot)
        spoken.append({NoteSpokenName(m_melody, slot), size_t(slot) < rects.size() ? rects[size_t(slot)].note : QRect()});
    m_staffArea->setSpokenNotes(spoken, StaffSpokenSummary(m_melody));
    showCaret();
}

void MelodyWindow::showCaret()
{
    const int point = insertionPoint();
    const int x = point < m_melody.count() ? m_melody.note(point).x : m_melody.nextX();
    const StaffAnchor place = StaffPlace(x, m_staffArea->width());
    m_staffArea->setCaret(QRect(place.column - 4, place.rowTop - 12, 3, 64));
}

int MelodyWindow::insertionPoint() const
{
    return m_point < 0 ? m_melody.count() : std::min(m_point, m_melody.count());
}

void MelodyWindow::movePoint(int step)
{
    const int point = MovePoint(m_melody, insertionPoint(), step);
    m_point = point == m_melody.count() ? -1 : point;
    showCaret();
    const QRect caret = m_staffArea->caret();
    m_scroll->ensureVisible(caret.center().x(), caret.center().y(), 20, caret.height() / 2);
}

void MelodyWindow::typeLetter(QChar letter)
{
    if (const int step = OctaveStepOf(letter)) {
        m_octave = std::clamp(m_octave + step, 0, PianoOctaves - 1);
        return;
    }
    const std::optional<Key> key = PianoKeyOf(letter, m_octave);
    if (!key)
        return;
    int point = insertionPoint();
    const bool atEnd = m_point < 0;
    const MelodyEdit result = InsertAtPoint(m_melody, point, *key);
    if (!atEnd)
        m_point = point;
    showResult(result, QStringLiteral("音符入力"));
    if (result == MelodyEdit::Done) {
        movePoint(0); // into view
        soundKey(*key);
    }
}

void MelodyWindow::deleteAtPoint(bool before)
{
    int point = insertionPoint();
    const MelodyEdit result = before ? DeleteBeforePoint(m_melody, point) : DeleteAfterPoint(m_melody, point);
    if (result != MelodyEdit::Done)
        return;
    if (m_point >= 0)
        m_point = point;
    showResult(result, QStringLiteral("音符を削除する"));
}

void MelodyWindow::refreshControls()
{
    m_lengthRadios[size_t(m_melody.selectedLength())]->setChecked(true);
    const int speed = SpeedFileValue(m_melody.speed()) - 1;
    m_speedRadios[size_t(std::clamp(speed, 0, 2))]->setChecked(true);
    for (int slot = 0; slot < LedSlotCount; ++slot) {
        const int colour = m_melody.ledColour(slot);
        {
            const QSignalBlocker block(m_ledCombos[size_t(slot)]);
            m_ledCombos[size_t(slot)]->setCurrentIndex(colour);
        }
        showLedPicture(slot);
    }
    (m_melody.ledLink() ? m_linkOn : m_linkOff)->setChecked(true);
}

void MelodyWindow::setLedColour(int slot, int colour)
{
    m_melody.setLedColour(slot, colour);
    showLedPicture(slot);
    changed(QStringLiteral("LED設定"));
}

void MelodyWindow::showLedPicture(int slot)
{
    m_ledImages[size_t(slot)]->setPixmap(ReadPixmap(AssetPath(LedPictureFile(slot, m_melody.ledColour(slot)))));
}

void MelodyWindow::showResult(MelodyEdit result, const QString &step)
{
    if (result == MelodyEdit::Full)
        Dialogs().warning(MelodyFullMessage);
    changed(step);
}

void MelodyWindow::changed(const QString &step, MelodyHistory::Join join)
{
    m_history.commit(step, m_melody, join);
    refreshStaff();
}

// ---- Undo -----------------------------------------------------------------

void MelodyWindow::undo()
{
    if (m_chooser.isVisible())
        return;
    if (m_history.undo(m_melody))
        restored();
}

void MelodyWindow::redo()
{
    if (m_chooser.isVisible())
        return;
    if (m_history.redo(m_melody))
        restored();
}

void MelodyWindow::restored()
{
    refreshControls();
    refreshStaff();
}

// ---- Notes --------------------------------------------------------------

void MelodyWindow::clickKey(const QString &controlName)
{
    const std::optional<Key> key = KeyOfControlName(controlName);
    if (!key)
        return;
    const MelodyEdit result = m_melody.addNote(key->text(), key->black ? 1 : 0);
    showResult(result, QStringLiteral("音符入力"));
    if (result == MelodyEdit::Done) {
        // Let the new note come into view, then sound it.
        m_scroll->ensureVisible(0, StaffPlace(m_melody.note(m_melody.count() - 1).x, m_staffArea->width()).rowTop + 60);
        soundKey(*key);
    }
}

void MelodyWindow::soundKey(const Key &key)
{
    if (const QString path = BuildKeySound(key); !path.isEmpty())
        playSound(path);
}

void MelodyWindow::rightClickStaff(const QPoint &point, const QPoint &globalPoint)
{
    const int slot = StaffHitTest(m_anchors, point);
    if (slot < 0)
        return;
    m_melody.setSelected(slot);
    m_noteMenu->popup(globalPoint);
}

void MelodyWindow::insertBeforeSelected()
{
    if (m_melody.selected() < 0)
        return;
    if (m_melody.isFull()) {
        Dialogs().warning(MelodyFullMessage);
        return;
    }
    m_pending = Pending::Insert;
    m_chooser.ask(m_melody.note(m_melody.selected()).len, this);
}

void MelodyWindow::editSelected()
{
    if (m_melody.selected() < 0)
        return;
    m_pending = Pending::Edit;
    m_chooser.ask(m_melody.note(m_melody.selected()).len, this);
}

void MelodyWindow::applyChoice(const QString &keyText, int black, int len)
{
    const Pending pending = std::exchange(m_pending, Pending::None);
    const int slot = m_melody.selected();
    MelodyEdit result = MelodyEdit::Refused;
    QString step;
    if (pending == Pending::Insert) {
        result = m_melody.insertNote(slot, keyText, black, len);
        step = QStringLiteral("音を挿入する");
    } else if (pending == Pending::Edit) {
        result = m_melody.editNote(slot, keyText, black, len);
        step = QStringLiteral("音符を編集する");
    } else {
        return;
    }
    showResult(result, step);
    if (const std::optional<Key> key = KeyOf(keyText, black); key && result == MelodyEdit::Done)
        soundKey(*key);
}

void MelodyWindow::changeSelectedLength(int len)
{
    showResult(m_melody.changeLength(m_melody.selected(), len), QStringLiteral("音の長さを変える"));
}

void MelodyWindow::deleteSelected()
{
    showResult(m_melody.deleteNote(m_melody.selected()), QStringLiteral("音符を削除する"));
}

// ---- Sound on the PC ----------------------------------------------------

bool MelodyWindow::playSound(const QString &path)
{
    m_previewed.reset();
    m_silentPlay.stop();
    if (m_markedSlot >= 0) {
        m_markedSlot = -1;
        refreshStaff();
    }
    if (m_sound->play(path))
        return true;
    sayNoSound();
    return false;
}

void MelodyWindow::sayNoSound()
{
    // A box here would swallow the pupil's next clicks on the keyboard: a
    // line in the status bar says it instead, once.
    if (m_noSoundSaid)
        return;
    m_noSoundSaid = true;
    m_noSoundLine = new QLabel(QString(NoSoundMessage).replace(QStringLiteral("\r\n"), QStringLiteral(" ")), this);
    m_noSoundLine->setObjectName(QStringLiteral("NoSoundLine"));
    statusBar()->addWidget(m_noSoundLine, 1);
    statusBar()->show();
}

void MelodyWindow::followSilently()
{
    const qint64 ms = m_silentSince.elapsed();
    followSound(ms);
    if (m_markedSlot < 0) {
        m_silentPlay.stop();
        m_previewed.reset();
    }
}

void MelodyWindow::preview(PreviewRange range)
{
    const QString path = BuildPreview(m_melody, range);
    if (path.isEmpty()) {
        Dialogs().warning(SaveFailed);
        return;
    }
    const bool sounding = playSound(path);
    if (sounding && !m_sound->isPlaying())
        return;
    // The mark follows the melody as it was when the preview was built,
    // whatever the pupil changes while it plays.
    m_previewed.emplace(m_melody, range);
    followSound(0);
    if (!sounding) {
        m_silentSince.start();
        m_silentPlay.start();
    }
}

void MelodyWindow::followSound(qint64 ms)
{
    if (!m_previewed)
        return;
    const int marked = ElementAtAddress(m_previewed->first, m_previewed->second, ms);
    if (marked != m_markedSlot) {
        m_markedSlot = marked;
        refreshStaff();
    }
}

void MelodyWindow::stopPreview()
{
    // The short silence of "Stop.WAV" takes the place of the preview.
    const QString stop = AssetPath(StopSound);
    if (QFileInfo::exists(stop) && playSound(stop))
        return;
    m_sound->stop();
    m_silentPlay.stop();
    m_previewed.reset();
    if (m_markedSlot >= 0) {
        m_markedSlot = -1;
        refreshStaff();
    }
}

// ---- The kit ------------------------------------------------------------

void MelodyWindow::decodeReadBack(const QStringList &replies)
{
    const MelodyReadBack decoded = DecodeMelodyReadBack(replies);
    if (decoded.ok() && !m_melody.load(decoded.lines)) {
        m_melody.clear();
        Dialogs().warning(MelodyReadBackFailedMessage);
    } else if (!decoded.ok()) {
        Dialogs().warning(decoded.error);
    }
    changed(ReadBackStep, MelodyHistory::Join::Continues);
    refreshControls();
}

// ---- Report and help ----------------------------------------------------

std::optional<ReportRequest> MelodyWindow::reportRequest()
{
    if (!SaveReportPicture(SoundPictureName, DrawStaff(m_melody, m_staffArea->width()).image))
        return std::nullopt;
    return ReportRequest{{}, SoundReportKind, {}};
}

} // namespace koru::melody
