// The picture of the kit: the clock radio with its LED glow, clock and
// backlight, radio and speaker, the sensors, and the experiment board with
// its fan and bulb. Drawn with QPainter from the kit's outputs and the world.
#pragma once

#include "kit/interpreter.h"
#include "kit/world.h"

#include <QElapsedTimer>
#include <QTimer>
#include <QWidget>

namespace koru::kit {

class KitPicture : public QWidget
{
    Q_OBJECT
public:
    explicit KitPicture(QWidget *parent = nullptr);

    void setOutputs(const KitOutputs &outputs);
    void setWorld(const World &world);
    void setRunning(bool running);
    // Short cues: a sound reached the sensor, a beep sounded.
    void flashSound();
    void showBeep(int count, int ms);

    // Where a point of the 640 x 420 drawing lies in the widget now.
    QPointF fromCanvas(const QPointF &canvasPoint) const;
    static QPointF SwitchPoint();
    static QPointF MicrophonePoint();
    static QPointF LedPoint();

    QSize sizeHint() const override { return {640, 420}; }
    QSize minimumSizeHint() const override { return {400, 262}; }

signals:
    // The pupil pressed (true) or let go of (false) the kit's push switch.
    void switchPushed(bool pressed);
    // The pupil clicked the sound sensor.
    void soundMade();

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;

private:
    void tick();
    void describe();
    void drawRoom(QPainter &p);
    void drawKit(QPainter &p);
    void drawClock(QPainter &p, const QRectF &r);
    void drawSpeaker(QPainter &p, const QPointF &c);
    void drawLed(QPainter &p, const QPointF &c);
    void drawSensors(QPainter &p);
    void drawBoard(QPainter &p);
    void drawBubble(QPainter &p);
    QPointF toCanvas(const QPointF &widgetPoint) const;
    bool onSwitch(const QPointF &widgetPoint) const;
    bool onMicrophone(const QPointF &widgetPoint) const;

    KitOutputs m_out;
    World m_world;
    bool m_running = false;
    double m_fanAngle = 0;
    double m_phase = 0;
    qint64 m_soundFlashUntil = 0;
    qint64 m_beepUntil = 0;
    int m_beepCount = 0;
    bool m_holdingSwitch = false;
    QElapsedTimer m_time;
    QTimer m_animation;
};

} // namespace koru::kit
