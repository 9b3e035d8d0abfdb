// The picture shown while the program starts.
#pragma once

#include <QWidget>

namespace koru::shell {

class SplashWindow : public QWidget
{
    Q_OBJECT
public:
    static constexpr int Width = 445;
    static constexpr int Height = 314;

    explicit SplashWindow(QWidget *parent = nullptr);
};

// Places a window of the given size in the middle of the primary screen
// (halves rounded to the even neighbour).
void CentreOnScreen(QWidget *window);

} // namespace koru::shell
