// The small borderless progress window shown while a program or melody is
// sent to the kit. It follows the link's transfer signals: the bar moves
// with every value and the window hides itself when the send is over.
#pragma once

#include <QPointer>
#include <QWidget>

class QProgressBar;

namespace koru {

class DeviceLink;

class TransferWindow : public QWidget
{
    Q_OBJECT
public:
    static constexpr int Width = 273;
    static constexpr int Height = 33;

    // Follows the link's transfers; the shell makes one for its link and
    // hands it to the editors.
    explicit TransferWindow(DeviceLink &link, QWidget *parent = nullptr);

    // Follows another link's transfers from now on.
    void follow(DeviceLink &link);

    // Places the window centred over the editor and shows it.
    void showCentredOver(const QWidget *editor);

    QProgressBar *progressBar() const { return m_bar; }

private:
    QProgressBar *m_bar;
    QPointer<DeviceLink> m_link;
};

} // namespace koru
