// The virtual kit's window: the picture of the kit, the world around it for
// the pupil to play (sound, push switch, light, temperature, humidity), the
// kit's state and a record of what it did.
#pragma once

#include "kit/effect.h"

#include <QColor>
#include <QElapsedTimer>
#include <QTimer>
#include <QWidget>

class QLabel;
class QPlainTextEdit;
class QRadioButton;
class QSlider;

namespace koru::kit {

class KitDriver;
class KitPicture;
class KitSound;

class KitWindow : public QWidget
{
    Q_OBJECT
public:
    explicit KitWindow(KitDriver &driver, QWidget *parent = nullptr);

    void setSocketState(const QString &path, bool listening);
    void setConnections(int count);

private:
    void onEffect(const Effect &effect);
    void refresh();
    void scheduleRefresh();
    QString stateText() const;

    KitDriver &m_driver;
    KitPicture *m_picture = nullptr;
    QLabel *m_state = nullptr;
    QLabel *m_link = nullptr;
    QLabel *m_temperatureValue = nullptr;
    QLabel *m_humidityValue = nullptr;
    QPlainTextEdit *m_log = nullptr;
    KitSound *m_sound = nullptr;
    QRadioButton *m_switchOn = nullptr;
    QRadioButton *m_switchOff = nullptr;
    QString m_socketPath;
    bool m_listening = false;
    int m_connections = 0;
    QColor m_lastLed;
    QElapsedTimer m_logClock;
    int m_logLines = 0;
    int m_logSkipped = 0;
    QTimer m_refreshTimer;
};

// Runs the kit with its window; returns the application's exit code.
// `prepare` runs once the application object exists.
int RunWindow(int argc, char **argv, void (*prepare)());

} // namespace koru::kit
