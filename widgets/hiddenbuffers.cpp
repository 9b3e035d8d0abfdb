#include "widgets/hiddenbuffers.h"

#include <QBackingStore>
#include <QEvent>
#include <QTimer>
#include <QWidget>

namespace koru {

namespace {

class BufferReleaser final : public QObject
{
public:
    explicit BufferReleaser(QWidget *window) : QObject(window), m_window(window) {}

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched == m_window && event->type() == QEvent::Hide && !event->spontaneous())
            // After the hide is through: the window's last paint may still
            // be flushing from the store.
            QTimer::singleShot(0, this, [this] {
                if (m_window->isHidden())
                    if (QBackingStore *store = m_window->backingStore())
                        store->resize(QSize(1, 1));
            });
        return false;
    }

private:
    QWidget *m_window;
};

} // namespace

void ReleaseBuffersWhenHidden(QWidget *window)
{
    window->installEventFilter(new BufferReleaser(window));
}

} // namespace koru
