#include "melody/ui/melodyparts.h"

#include "melody/melodyspoken.h"
#include "melody/notes.h"
#include "melody/ui/staffaccessible.h"
#include "model/paths.h"
#include "widgets/decoration.h"
#include "widgets/dragsupport.h"
#include "widgets/picturefile.h"
#include "widgets/placement.h"

#include <QAccessible>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QRadioButton>
#include <QVBoxLayout>

namespace koru::melody {

namespace {

const QString KeyFolder = QStringLiteral("Img\\Icon\\Melo\\Key\\");

} // namespace

KeyPicture::KeyPicture(const QString &name, const QPixmap &up, const QPixmap &down, QWidget *parent)
    : QLabel(parent), m_up(up), m_down(down)
{
    setObjectName(name);
    setPixmap(m_up);
    setScaledContents(true);
    setCursor(Qt::PointingHandCursor);
    if (const std::optional<Key> key = KeyOfControlName(name))
        setAccessibleName(KeySpokenName(*key));
}

void KeyPicture::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return;
    setPixmap(m_down);
    emit pressed(objectName());
}

void KeyPicture::mouseReleaseEvent(QMouseEvent *)
{
    setPixmap(m_up);
}

Keyboard::Keyboard(QWidget *parent) : QWidget(parent)
{
    const auto picture = [](const QString &name) { return ReadPixmap(AssetPath(KeyFolder + name)); };
    const QPixmap white = picture(QStringLiteral("White.bmp")), whiteDown = picture(QStringLiteral("WhiteDown.bmp"));
    const QPixmap black = picture(QStringLiteral("Black.bmp")), blackDown = picture(QStringLiteral("BlackDown.bmp"));
    const QPixmap rest = picture(QStringLiteral("Rest.bmp")), restDown = picture(QStringLiteral("RestDown.bmp"));
    const QPixmap names = picture(QStringLiteral("Names.bmp"));

    const auto add = [this](const QString &name, const QPixmap &up, const QPixmap &down, QRect place) {
        auto *key = new KeyPicture(name, up, down, this);
        key->setGeometry(place);
        connect(key, &KeyPicture::pressed, this, &Keyboard::keyClicked);
        return key;
    };
    for (int k = 0; k <= HighestWhiteKey; ++k)
        add(QStringLiteral("pw%1").arg(k), white, whiteDown,
            QRect(FirstWhiteLeft + WhiteWidth * k, 0, WhiteWidth, WhiteHeight));
    add(QStringLiteral("pw%1").arg(RestKey), rest, restDown, QRect(RestLeft, 0, WhiteWidth, WhiteHeight));
    // Black keys over the gap to the next white key, above the white ones.
    for (int k = 0; k < HighestWhiteKey; ++k) {
        if (!HasBlackKey(k))
            continue;
        add(QStringLiteral("pB%1").arg(k), black, blackDown,
            QRect(FirstWhiteLeft + WhiteWidth * (k + 1) - BlackWidth / 2, 0, BlackWidth, BlackHeight))
            ->raise();
    }
    auto *strip = new QLabel(this);
    strip->setObjectName(QStringLiteral("KeyNames"));
    MarkDecoration(strip); // the keys carry their names themselves
    strip->setPixmap(names);
    strip->setScaledContents(true);
    strip->setGeometry(FirstWhiteLeft, WhiteHeight + 2, RestLeft + WhiteWidth - FirstWhiteLeft, StripHeight);
    setFixedSize(RestLeft + WhiteWidth + 10, WhiteHeight + 2 + StripHeight);
}

StaffArea::StaffArea(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("DisplayPanel"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::StrongFocus);
    RepaintOnFocusChange(this);
    InstallStaffAccessibility();
}

void StaffArea::setSpokenNotes(const QList<SpokenNote> &notes, const QString &summary)
{
    // Names carry the place, so the first that differs is where a note was
    // inserted or removed.
    qsizetype first = 0;
    while (first < notes.size() && first < m_spoken.size() && notes.at(first).name == m_spoken.at(first).name)
        ++first;
    const qsizetype before = m_spoken.size();
    m_spoken = notes;
    m_summary = summary;
    if (notes.size() == before && first == before)
        return;
    if (notes.size() < before) {
        // The removed note has no child left to name: the list is read anew.
        QAccessibleEvent reorder(this, QAccessible::ObjectReorder);
        QAccessible::updateAccessibility(&reorder);
        return;
    }
    QAccessibleEvent event(this, notes.size() > before ? QAccessible::ObjectCreated : QAccessible::NameChanged);
    event.setChild(int(first));
    QAccessible::updateAccessibility(&event);
}

void StaffArea::setCaret(const QRect &caret)
{
    if (caret == m_caret)
        return;
    update(m_caret);
    m_caret = caret;
    update(m_caret);
}

void StaffArea::keyPressEvent(QKeyEvent *event)
{
    const Qt::KeyboardModifiers modifiers = event->modifiers() & ~(Qt::KeypadModifier | Qt::ShiftModifier);
    if (modifiers != Qt::NoModifier) {
        QWidget::keyPressEvent(event); // Ctrl and Alt keys are the menus' and shortcuts'
        return;
    }
    constexpr int Far = 1000;
    switch (event->key()) {
    case Qt::Key_Left: emit pointMoved(-1); break;
    case Qt::Key_Right: emit pointMoved(1); break;
    case Qt::Key_Home: emit pointMoved(-Far); break;
    case Qt::Key_End: emit pointMoved(Far); break;
    case Qt::Key_Delete: emit deletePressed(false); break;
    case Qt::Key_Backspace: emit deletePressed(true); break;
    default:
        if (event->text().size() != 1 || !(event->text().at(0).isLetter() || event->text().at(0) == QLatin1Char(' '))) {
            QWidget::keyPressEvent(event);
            return;
        }
        emit letterTyped(event->text().at(0));
    }
    event->accept();
}

void StaffArea::setPicture(const QImage &picture)
{
    m_picture = picture;
    if (height() < picture.height())
        resize(width(), picture.height());
    update();
}

void StaffArea::paintEvent(QPaintEvent *event)
{
    QPainter painter(this);
    painter.fillRect(event->rect(), Qt::white);
    painter.drawImage(0, 0, m_picture);
    if (!hasFocus())
        return;
    painter.fillRect(m_caret, FocusFrameColour);
    painter.end();
    PaintFocusFrame(this, visibleRegion().boundingRect());
}

void StaffArea::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::RightButton)
        emit rightClicked(event->position().toPoint(), event->globalPosition().toPoint());
}

const QString NoteChooser::Caption = QStringLiteral("挿入・編集");
const QString NoteChooser::Heading = QStringLiteral("挿入したい音符、編集する音符を選択して下さい。");

NoteChooser::NoteChooser(QWidget *parent, Content content) : QDialog(parent), m_lazy([this] { build(); })
{
    setObjectName(QStringLiteral("NoteChooser"));
    setWindowTitle(Caption);
    setWindowModality(Qt::ApplicationModal);
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::white);
    setPalette(pal);
    if (content == Content::Now)
        m_lazy.ensureBuilt();
}

void NoteChooser::build()
{
    auto *layout = new QVBoxLayout(this);
    auto *heading = new QLabel(Heading, this);
    QFont bold = heading->font();
    bold.setBold(true);
    heading->setFont(bold);
    QPalette blue = heading->palette();
    blue.setColor(QPalette::WindowText, Qt::blue);
    heading->setPalette(blue);
    layout->addWidget(heading);

    auto *group = new QGroupBox(QStringLiteral("音符の長さ"), this);
    auto *row = new QHBoxLayout(group);
    for (int len = 0; len < LengthClassCount; ++len) {
        m_lengths[size_t(len)] = new QRadioButton(LengthCaption(len), group);
        m_lengths[size_t(len)]->setObjectName(QStringLiteral("radio_Len%1").arg(len + 1));
        row->addWidget(m_lengths[size_t(len)]);
    }
    row->addStretch();
    layout->addWidget(group);

    auto *keyboard = new Keyboard(this);
    layout->addWidget(keyboard);
    connect(keyboard, &Keyboard::keyClicked, this, [this](const QString &name) {
        const std::optional<Key> key = KeyOfControlName(name);
        if (!key)
            return;
        const int len = checkedLength();
        accept();
        emit chosen(key->text(), key->black ? 1 : 0, len);
    });
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void NoteChooser::setVisible(bool visible)
{
    if (visible)
        m_lazy.ensureBuilt();
    QDialog::setVisible(visible);
}

void NoteChooser::ask(int len, const QWidget *over)
{
    m_lazy.ensureBuilt();
    if (IsLengthClass(len))
        m_lengths[size_t(len)]->setChecked(true);
    adjustSize();
    CentreOver(this, over);
    show();
    raise();
    activateWindow();
}

int NoteChooser::checkedLength() const
{
    m_lazy.ensureBuilt();
    for (int len = 0; len < LengthClassCount; ++len)
        if (m_lengths[size_t(len)]->isChecked())
            return len;
    return DefaultLength;
}

} // namespace koru::melody
