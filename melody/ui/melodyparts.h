// Widgets of the melody window: the on-screen keyboard (also in the
// insert/edit window), the staff area, and the insert/edit window itself.
#pragma once

#include "widgets/lazycontent.h"

#include <QDialog>
#include <QImage>
#include <QLabel>
#include <QPixmap>

#include <array>

class QRadioButton;

namespace koru::melody {

// One key picture; its object name is the key's control name ("pw12",
// "pB0", "pw148").
class KeyPicture : public QLabel
{
    Q_OBJECT
public:
    KeyPicture(const QString &name, const QPixmap &up, const QPixmap &down, QWidget *parent);

signals:
    void pressed(const QString &name);

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    QPixmap m_up;
    QPixmap m_down;
};

// 22 white keys 25 x 85 from x = 95, 15 black keys 22 x 60 over the gaps
// between them, the rest key at x = 660, and the strip of note names under
// them. A left click on a key reports its control name.
class Keyboard : public QWidget
{
    Q_OBJECT
public:
    explicit Keyboard(QWidget *parent);

    static constexpr int FirstWhiteLeft = 95;
    static constexpr int WhiteWidth = 25;
    static constexpr int WhiteHeight = 85;
    static constexpr int BlackWidth = 22;
    static constexpr int BlackHeight = 60;
    static constexpr int RestLeft = 660;
    static constexpr int StripHeight = 18;

signals:
    void keyClicked(const QString &controlName);
};

// The staff area ("DisplayPanel"): shows the last staff picture at its
// top-left corner, grows to the picture's height and never shrinks, and
// reports right clicks.
class StaffArea : public QWidget
{
    Q_OBJECT
public:
    explicit StaffArea(QWidget *parent);

    void setPicture(const QImage &picture);
    const QImage &picture() const { return m_picture; }
    // The insertion point's line, drawn while the staff has the focus.
    void setCaret(const QRect &caret);
    QRect caret() const { return m_caret; }

    // What a screen reader is told of the notes (staffaccessible.h): one
    // name and rectangle per note in slot order, and the staff as a whole.
    // A note that appeared or went is announced.
    struct SpokenNote
    {
        QString name;
        QRect rect;
    };
    void setSpokenNotes(const QList<SpokenNote> &notes, const QString &summary);
    const QList<SpokenNote> &spokenNotes() const { return m_spoken; }
    QString spokenSummary() const { return m_summary; }

signals:
    void rightClicked(const QPoint &point, const QPoint &globalPoint);
    // Keys: a letter or Space (the piano row), Left/Right (-1, +1; Home
    // and End as far as they go), Delete (after the point) and Backspace.
    void letterTyped(QChar letter);
    void pointMoved(int step);
    void deletePressed(bool before);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    QImage m_picture;
    QRect m_caret;
    QList<SpokenNote> m_spoken;
    QString m_summary;
};

// "挿入・編集": the length radio buttons and the keyboard. It opens modal
// without blocking its caller; a key click reports the choice and closes
// it, any other way of closing reports nothing.
class NoteChooser : public QDialog
{
    Q_OBJECT
public:
    // The shell makes the program's one chooser and hands it to the melody
    // window; it builds its keyboard when first shown (Content::OnFirstShow).
    explicit NoteChooser(QWidget *parent = nullptr, Content content = Content::Now);

    // Opens with the radio button of the length class checked and no key
    // chosen, centred over the caller.
    void ask(int len, const QWidget *over);
    int checkedLength() const;

    static const QString Caption;
    static const QString Heading;

    void setVisible(bool visible) override;

signals:
    void chosen(const QString &keyText, int black, int len);

private:
    void build();

    std::array<QRadioButton *, 4> m_lengths{};
    LazyContent m_lazy; // last: builds into the members above
};

} // namespace koru::melody
