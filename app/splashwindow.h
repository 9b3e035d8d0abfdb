// The picture shown while the program starts.
#pragma once

#include <QPixmap>
#include <QWidget>

namespace koru::shell {

class SplashWindow : public QWidget
{
    Q_OBJECT
public:
    static constexpr int Width = 445;
    static constexpr int Height = 314;

    explicit SplashWindow(QWidget *parent = nullptr);

    bool painted() const { return m_painted; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    // Decoded once at the window's size: a paint is a single copy.
    QPixmap m_picture;
    bool m_read = false;
    bool m_painted = false;
};

// Places a window of the given size in the middle of the primary screen
// (halves rounded to the even neighbour).
void CentreOnScreen(QWidget *window);

} // namespace koru::shell
