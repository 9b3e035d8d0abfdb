// Small widgets of the measurement window: the fan's turning blades and
// the picture buttons.
#pragma once

#include <QLabel>
#include <QPixmap>
#include <QTimer>
#include <QWidget>

namespace koru::measure {

// The fan's blades, turned by a timer while the fan runs; still otherwise.
class FanBlades : public QWidget
{
    Q_OBJECT
public:
    explicit FanBlades(const QPixmap &blades, QWidget *parent = nullptr);
    void setTurning(bool on);
    bool turning() const { return m_timer.isActive(); }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QPixmap m_blades;
    QTimer m_timer;
    int m_angle = 0;
};

// A picture that acts as a button: clicked on release over it; greyed while
// disabled.
class PictureButton : public QLabel
{
    Q_OBJECT
public:
    PictureButton(const QPixmap &picture, const QString &text, QWidget *parent = nullptr);

signals:
    void clicked();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void changeEvent(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    QPixmap m_picture;
    bool m_down = false;
};

} // namespace koru::measure
