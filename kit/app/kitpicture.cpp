#include "kit/app/kitpicture.h"

#include "kit/kitspoken.h"

#include "model/notecode.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QTime>
#include <QtMath>

namespace koru::kit {

namespace {

constexpr QSizeF Canvas(640, 420);
constexpr QPointF SwitchCentre(300, 310);
constexpr QPointF MicrophoneCentre(296, 250);
constexpr QPointF LedCentre(236, 250);

QString noteName(int code)
{
    if (IsRestCode(code))
        return QStringLiteral("休符");
    const std::optional<int> semitone = SemitoneOfCode(code);
    return semitone ? PitchName(*semitone) : QString();
}

QString waitText(int kind, int setValue)
{
    switch (WaitKind(kind)) {
    case WaitKind::Sound: return QStringLiteral("音が鳴るまで待っています");
    case WaitKind::Switch: return QStringLiteral("押しボタンSWが押されるまで待っています");
    case WaitKind::Bright: return QStringLiteral("明るくなるまで待っています");
    case WaitKind::Dark: return QStringLiteral("暗くなるまで待っています");
    case WaitKind::Temperature: return QStringLiteral("温度が%1℃になるまで待っています").arg(setValue);
    case WaitKind::Humidity: return QStringLiteral("湿度が%1％になるまで待っています").arg(setValue);
    case WaitKind::None: break;
    }
    return QString();
}

QFont uiFont(double pixelSize, bool bold = false)
{
    QFont f(QStringLiteral("IPAPGothic"));
    f.setPixelSize(qMax(1, qRound(pixelSize)));
    f.setBold(bold);
    return f;
}

} // namespace

namespace {

// A plain widget is a nameless container to a screen reader, which passes
// over it; the picture is something to read.
QAccessibleInterface *PictureFactory(const QString &className, QObject *object)
{
    if (className == QLatin1String("koru::kit::KitPicture") && object && object->isWidgetType())
        return new QAccessibleWidget(static_cast<QWidget *>(object), QAccessible::Graphic);
    return nullptr;
}

} // namespace

KitPicture::KitPicture(QWidget *parent) : QWidget(parent)
{
    static const bool factory = [] {
        QAccessible::installFactory(PictureFactory);
        return true;
    }();
    Q_UNUSED(factory);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    setMouseTracking(true);
    setToolTip(QStringLiteral("押しボタンSWと音センサーはクリックでも操作できます"));
    setAccessibleName(QStringLiteral("キットの絵"));
    setAccessibleDescription(KitSpokenState(m_out, m_world));
    m_time.start();
    m_animation.setInterval(40);
    connect(&m_animation, &QTimer::timeout, this, &KitPicture::tick);
    m_animation.start(); // the clock's colon and the fan; 25 frames a second
}

void KitPicture::setOutputs(const KitOutputs &outputs)
{
    m_out = outputs;
    describe();
    update();
}

void KitPicture::setWorld(const World &world)
{
    m_world = world;
    describe();
    update();
}

// Setting the description announces it; the kit refreshes many times a
// second, so only a change is told.
void KitPicture::describe()
{
    const QString text = KitSpokenState(m_out, m_world);
    if (text != accessibleDescription())
        setAccessibleDescription(text);
}

void KitPicture::setRunning(bool running)
{
    m_running = running;
    update();
}

void KitPicture::flashSound()
{
    m_soundFlashUntil = m_time.elapsed() + 600;
    update();
}

void KitPicture::showBeep(int count, int ms)
{
    m_beepCount = count;
    m_beepUntil = m_time.elapsed() + qMax(ms, 400);
    update();
}

void KitPicture::tick()
{
    if (m_out.fan)
        m_fanAngle = std::fmod(m_fanAngle + 23.0, 360.0);
    m_phase += 0.04;
    update();
}

void KitPicture::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    const double scale = qMin(width() / Canvas.width(), height() / Canvas.height());
    p.translate((width() - Canvas.width() * scale) / 2, (height() - Canvas.height() * scale) / 2);
    p.scale(scale, scale);
    drawRoom(p);
    drawBoard(p);
    drawKit(p);
    drawBubble(p);
}

QPointF KitPicture::SwitchPoint() { return SwitchCentre; }
QPointF KitPicture::MicrophonePoint() { return MicrophoneCentre; }
QPointF KitPicture::LedPoint() { return LedCentre; }

QPointF KitPicture::fromCanvas(const QPointF &point) const
{
    const double scale = qMin(width() / Canvas.width(), height() / Canvas.height());
    const QPointF origin((width() - Canvas.width() * scale) / 2, (height() - Canvas.height() * scale) / 2);
    return origin + point * scale;
}

QPointF KitPicture::toCanvas(const QPointF &point) const
{
    const double scale = qMin(width() / Canvas.width(), height() / Canvas.height());
    const QPointF origin((width() - Canvas.width() * scale) / 2, (height() - Canvas.height() * scale) / 2);
    return (point - origin) / scale;
}

bool KitPicture::onSwitch(const QPointF &point) const
{
    const QPointF d = toCanvas(point) - SwitchCentre;
    return std::hypot(d.x(), d.y()) <= 18;
}

bool KitPicture::onMicrophone(const QPointF &point) const
{
    const QPointF d = toCanvas(point) - MicrophoneCentre;
    return std::hypot(d.x(), d.y()) <= 14;
}

// The push switch on the picture is held down while the mouse button is.
void KitPicture::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return;
    if (onSwitch(event->position())) {
        m_holdingSwitch = true;
        emit switchPushed(true);
    } else if (onMicrophone(event->position())) {
        flashSound();
        emit soundMade();
    }
}

void KitPicture::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton && m_holdingSwitch) {
        m_holdingSwitch = false;
        emit switchPushed(false);
    }
}

void KitPicture::mouseMoveEvent(QMouseEvent *event)
{
    const bool hot = onSwitch(event->position()) || onMicrophone(event->position());
    setCursor(hot ? Qt::PointingHandCursor : Qt::ArrowCursor);
}

void KitPicture::drawRoom(QPainter &p)
{
    QLinearGradient sky(0, 0, 0, Canvas.height());
    if (m_world.bright) {
        sky.setColorAt(0, QColor(226, 240, 255));
        sky.setColorAt(1, QColor(250, 252, 255));
    } else {
        sky.setColorAt(0, QColor(24, 28, 52));
        sky.setColorAt(1, QColor(44, 50, 80));
    }
    p.fillRect(QRectF(QPointF(0, 0), Canvas), sky);
    // The table the kit stands on.
    const QRectF table(0, 352, Canvas.width(), Canvas.height() - 352);
    QLinearGradient wood(0, table.top(), 0, table.bottom());
    wood.setColorAt(0, m_world.bright ? QColor(214, 178, 132) : QColor(92, 74, 58));
    wood.setColorAt(1, m_world.bright ? QColor(184, 146, 102) : QColor(70, 56, 44));
    p.fillRect(table, wood);
    // Sun or moon in the corner says how bright it is.
    p.setPen(Qt::NoPen);
    if (m_world.bright) {
        p.setBrush(QColor(255, 214, 90));
        p.drawEllipse(QPointF(596, 44), 22, 22);
    } else {
        p.setBrush(QColor(240, 236, 200));
        p.drawEllipse(QPointF(596, 44), 18, 18);
        p.setBrush(sky);
        p.drawEllipse(QPointF(604, 38), 16, 16);
    }
}

void KitPicture::drawKit(QPainter &p)
{
    const QRectF body(36, 96, 360, 248);
    // Handle.
    p.setPen(QPen(QColor(120, 110, 96), 10, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(110, 52, 212, 96), 0, 180 * 16);
    // Shadow and body.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 40));
    p.drawRoundedRect(body.translated(6, 8), 30, 30);
    QLinearGradient shell(body.topLeft(), body.bottomLeft());
    shell.setColorAt(0, QColor(250, 247, 238));
    shell.setColorAt(1, QColor(221, 212, 192));
    p.setBrush(shell);
    p.setPen(QPen(QColor(150, 138, 116), 2));
    p.drawRoundedRect(body, 30, 30);
    // Name plate.
    p.setPen(QColor(120, 104, 80));
    p.setFont(uiFont(13, true));
    p.drawText(QRectF(body.left(), body.top() + 8, body.width(), 20), Qt::AlignCenter,
               QStringLiteral("KORU コントロールラジオ"));

    drawSpeaker(p, QPointF(120, 226));
    drawClock(p, QRectF(206, 132, 168, 72));
    drawLed(p, LedCentre);
    drawSensors(p);
}

void KitPicture::drawSpeaker(QPainter &p, const QPointF &c)
{
    const double r = 64;
    const bool sounding = m_out.radio || m_out.melodyPlaying || m_time.elapsed() < m_beepUntil;
    p.setPen(QPen(QColor(110, 100, 86), 2));
    p.setBrush(QColor(78, 74, 70));
    p.drawEllipse(c, r, r);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(40, 38, 36));
    for (int y = -5; y <= 5; ++y)
        for (int x = -5; x <= 5; ++x) {
            const QPointF d(x * 10.5, y * 10.5);
            if (std::hypot(d.x(), d.y()) < r - 8)
                p.drawEllipse(c + d, 2.6, 2.6);
        }
    if (sounding) {
        // Sound waves to the left of the kit.
        const double wobble = std::sin(m_phase * 8) * 3;
        p.setBrush(Qt::NoBrush);
        for (int i = 0; i < 3; ++i) {
            QColor wave = m_out.radio ? QColor(60, 140, 230) : QColor(236, 120, 40);
            wave.setAlpha(220 - i * 60);
            p.setPen(QPen(wave, 4, Qt::SolidLine, Qt::RoundCap));
            const double rr = r + 18 + i * 14 + wobble;
            p.drawArc(QRectF(c.x() - rr, c.y() - rr, 2 * rr, 2 * rr), 145 * 16, 70 * 16);
        }
    }
    // Radio indicator under the clock.
    const QRectF radio(214, 212, 70, 20);
    p.setPen(QPen(QColor(150, 138, 116), 1));
    p.setBrush(m_out.radio ? QColor(255, 236, 200) : QColor(236, 230, 216));
    p.drawRoundedRect(radio, 6, 6);
    p.setPen(Qt::NoPen);
    p.setBrush(m_out.radio ? QColor(240, 60, 40) : QColor(150, 140, 130));
    p.drawEllipse(QPointF(radio.left() + 11, radio.center().y()), 4.5, 4.5);
    p.setPen(m_out.radio ? QColor(150, 40, 20) : QColor(130, 120, 110));
    p.setFont(uiFont(12, true));
    p.drawText(radio.adjusted(18, 0, 0, 0), Qt::AlignVCenter | Qt::AlignLeft, QStringLiteral("AM/FM"));
}

void KitPicture::drawClock(QPainter &p, const QRectF &r)
{
    const double level = m_out.backlight ? qBound(20, m_out.backlightPercent, 100) / 100.0 : 0.0;
    if (level > 0) {
        QRadialGradient halo(r.center(), r.width() * 0.8);
        halo.setColorAt(0, QColor(150, 255, 230, int(120 * level)));
        halo.setColorAt(1, QColor(150, 255, 230, 0));
        p.setPen(Qt::NoPen);
        p.setBrush(halo);
        p.drawEllipse(r.center(), r.width() * 0.8, r.height() * 1.2);
    }
    p.setPen(QPen(QColor(90, 84, 74), 3));
    const QColor off(70, 86, 72);
    const QColor lit(170, 255, 225);
    const QColor face(int(off.red() + (lit.red() - off.red()) * level), int(off.green() + (lit.green() - off.green()) * level),
                      int(off.blue() + (lit.blue() - off.blue()) * level));
    p.setBrush(face);
    p.drawRoundedRect(r, 8, 8);
    const QTime now = QTime::currentTime();
    const bool colon = now.msec() < 500;
    p.setPen(level > 0 ? QColor(20, 50, 44) : QColor(28, 36, 30));
    QFont digits(QStringLiteral("DejaVu Sans Mono"));
    digits.setPixelSize(44);
    digits.setBold(true);
    p.setFont(digits);
    p.drawText(r, Qt::AlignCenter,
               now.toString(QStringLiteral("hh")) + (colon ? QStringLiteral(":") : QStringLiteral(" "))
                   + now.toString(QStringLiteral("mm")));
}

void KitPicture::drawLed(QPainter &p, const QPointF &c)
{
    // Level 255 is invisible, 150 the lit LED; below 150 is brighter still.
    const double strength = m_out.ledLit ? qBound(0.0, (255 - m_out.ledLevel) / 105.0, 1.4) : 0.0;
    const QColor colour(m_out.led.red, m_out.led.green, m_out.led.blue);
    if (strength > 0) {
        QRadialGradient glow(c, 90);
        QColor inner = colour;
        inner.setAlpha(qBound(0, int(240 * strength), 255));
        QColor outer = colour;
        outer.setAlpha(0);
        glow.setColorAt(0, inner);
        glow.setColorAt(0.35, QColor(colour.red(), colour.green(), colour.blue(), qBound(0, int(130 * strength), 255)));
        glow.setColorAt(1, outer);
        p.setPen(Qt::NoPen);
        p.setBrush(glow);
        p.drawEllipse(c, 90, 90);
    }
    p.setPen(QPen(QColor(140, 130, 116), 2));
    QRadialGradient dome(c - QPointF(4, 4), 16);
    if (strength > 0) {
        dome.setColorAt(0, Qt::white);
        dome.setColorAt(0.5, colour.lighter(130));
        dome.setColorAt(1, colour);
    } else {
        dome.setColorAt(0, QColor(255, 255, 255));
        dome.setColorAt(1, QColor(205, 205, 200));
    }
    p.setBrush(dome);
    p.drawEllipse(c, 14, 14);
    p.setPen(QColor(110, 98, 80));
    p.setFont(uiFont(11));
    p.drawText(QRectF(c.x() - 50, c.y() + 16, 100, 16), Qt::AlignCenter, QStringLiteral("フルカラーLED"));
}

void KitPicture::drawSensors(QPainter &p)
{
    p.setFont(uiFont(11));
    // Sound sensor.
    const QPointF mic = MicrophoneCentre;
    const bool heard = m_time.elapsed() < m_soundFlashUntil;
    if (heard) {
        p.setPen(QPen(QColor(236, 120, 40), 3));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(mic, 17, 17);
    }
    p.setPen(QPen(QColor(120, 110, 96), 1.5));
    p.setBrush(QColor(60, 60, 64));
    p.drawEllipse(mic, 9, 9);
    p.setPen(QColor(110, 98, 80));
    p.drawText(QRectF(mic.x() - 30, mic.y() + 16, 60, 16), Qt::AlignCenter, QStringLiteral("音"));
    // Light sensor.
    const QPointF cds(336, 250);
    p.setPen(QPen(QColor(120, 110, 96), 1.5));
    p.setBrush(QColor(226, 150, 90));
    p.drawEllipse(cds, 8, 8);
    p.setPen(QPen(QColor(140, 60, 30), 1.2));
    for (int i = -1; i <= 1; ++i)
        p.drawLine(QPointF(cds.x() - 5, cds.y() + i * 3), QPointF(cds.x() + 5, cds.y() + i * 3));
    p.setPen(QColor(110, 98, 80));
    p.drawText(QRectF(cds.x() - 30, cds.y() + 16, 60, 16), Qt::AlignCenter, QStringLiteral("光"));
    // Temperature and humidity sensor.
    const QRectF th(360, 240, 24, 20);
    p.setPen(QPen(QColor(120, 110, 96), 1.5));
    p.setBrush(QColor(240, 240, 240));
    p.drawRoundedRect(th, 3, 3);
    p.setPen(QPen(QColor(150, 150, 150), 1));
    for (int i = 1; i < 4; ++i)
        p.drawLine(QPointF(th.left() + i * 6, th.top() + 4), QPointF(th.left() + i * 6, th.bottom() - 4));
    p.setPen(QColor(110, 98, 80));
    p.drawText(QRectF(th.center().x() - 30, th.bottom() + 6, 60, 16), Qt::AlignCenter, QStringLiteral("温湿度"));
    // Push switch.
    const QPointF sw = SwitchCentre;
    const bool pressed = m_world.switchPressed;
    p.setPen(QPen(QColor(120, 110, 96), 2));
    p.setBrush(QColor(200, 196, 186));
    p.drawEllipse(sw, 16, 16);
    p.setBrush(pressed ? QColor(160, 30, 30) : QColor(225, 50, 50));
    p.setPen(Qt::NoPen);
    p.drawEllipse(sw + QPointF(0, pressed ? 1.5 : 0), pressed ? 10 : 12, pressed ? 10 : 12);
    p.setPen(QColor(110, 98, 80));
    p.drawText(QRectF(sw.x() + 20, sw.y() - 8, 90, 16), Qt::AlignLeft | Qt::AlignVCenter,
               pressed ? QStringLiteral("SW 押している") : QStringLiteral("押しボタンSW"));
}

void KitPicture::drawBoard(QPainter &p)
{
    // Cable from the kit to the experiment board.
    QPainterPath cable(QPointF(396, 300));
    cable.cubicTo(QPointF(430, 330), QPointF(430, 250), QPointF(452, 262));
    p.setPen(QPen(QColor(60, 60, 60), 4, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    p.drawPath(cable);

    const QRectF board(446, 214, 176, 132);
    p.setPen(QPen(QColor(20, 90, 50), 2));
    p.setBrush(QColor(40, 140, 80));
    p.drawRoundedRect(board, 8, 8);
    p.setPen(QColor(220, 245, 225));
    p.setFont(uiFont(12, true));
    p.drawText(QRectF(board.left(), board.top() + 4, board.width(), 18), Qt::AlignCenter, QStringLiteral("実験ボード"));

    // DC motor with its fan.
    const QPointF hub(500, 270);
    p.setPen(QPen(QColor(70, 70, 70), 1.5));
    p.setBrush(QColor(170, 170, 176));
    p.drawRoundedRect(QRectF(hub.x() - 12, hub.y() + 12, 24, 28), 4, 4);
    p.save();
    p.translate(hub);
    p.rotate(m_fanAngle);
    for (int blade = 0; blade < 3; ++blade) {
        QPainterPath path;
        path.moveTo(0, 0);
        path.cubicTo(10, -12, 30, -10, 34, 0);
        path.cubicTo(30, 8, 12, 8, 0, 0);
        p.setPen(QPen(QColor(30, 80, 150), 1));
        p.setBrush(m_out.fan ? QColor(90, 160, 240) : QColor(120, 150, 190));
        p.drawPath(path);
        p.rotate(120);
    }
    p.restore();
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(40, 40, 40));
    p.drawEllipse(hub, 5, 5);
    p.setPen(QColor(220, 245, 225));
    p.setFont(uiFont(11));
    p.drawText(QRectF(hub.x() - 40, board.bottom() - 20, 80, 16), Qt::AlignCenter,
               m_out.fan ? QStringLiteral("DCモータ 回転中") : QStringLiteral("DCモータ"));

    // Miniature bulb.
    const QPointF bulb(576, 268);
    if (m_out.lamp) {
        QRadialGradient glow(bulb, 56);
        glow.setColorAt(0, QColor(255, 240, 150, 230));
        glow.setColorAt(1, QColor(255, 220, 80, 0));
        p.setPen(Qt::NoPen);
        p.setBrush(glow);
        p.drawEllipse(bulb, 56, 56);
    }
    p.setPen(QPen(QColor(110, 110, 110), 1.5));
    p.setBrush(QColor(190, 190, 190));
    p.drawRect(QRectF(bulb.x() - 8, bulb.y() + 14, 16, 14));
    p.setBrush(m_out.lamp ? QColor(255, 246, 190) : QColor(235, 240, 245, 220));
    p.drawEllipse(bulb, 16, 18);
    p.setPen(QPen(m_out.lamp ? QColor(255, 150, 20) : QColor(120, 110, 100), 1.5));
    p.drawLine(bulb + QPointF(-5, 8), bulb + QPointF(-3, -3));
    p.drawLine(bulb + QPointF(-3, -3), bulb + QPointF(3, -3));
    p.drawLine(bulb + QPointF(3, -3), bulb + QPointF(5, 8));
    p.setPen(QColor(220, 245, 225));
    p.drawText(QRectF(bulb.x() - 40, board.bottom() - 20, 80, 16), Qt::AlignCenter,
               m_out.lamp ? QStringLiteral("豆球 点灯中") : QStringLiteral("豆球"));
}

// A speech bubble above the kit: what it is doing right now.
void KitPicture::drawBubble(QPainter &p)
{
    QString text;
    QColor accent(236, 120, 40);
    if (m_out.status == KitStatus::Waiting) {
        text = waitText(m_out.statusDetail, m_out.waitSetValue);
        accent = QColor(60, 120, 220);
    } else if (m_out.melodyPlaying) {
        const QString name = noteName(m_out.note);
        text = QStringLiteral("♪ メロディ演奏中") + (name.isEmpty() ? QString() : QStringLiteral("　") + name);
    } else if (m_time.elapsed() < m_beepUntil) {
        text = QStringLiteral("確認音%1　").arg(m_beepCount) + QStringLiteral("ピッ").repeated(qBound(1, m_beepCount, 3));
    } else if (m_out.radio) {
        text = QStringLiteral("ラジオ再生中");
        accent = QColor(60, 140, 230);
    }
    if (text.isEmpty())
        return;
    p.setFont(uiFont(15, true));
    const QFontMetricsF fm(p.font());
    const double w = fm.horizontalAdvance(text) + 32;
    const QRectF box(24, 10, w, 36);
    QPainterPath bubble;
    bubble.addRoundedRect(box, 14, 14);
    QPainterPath tail;
    tail.moveTo(box.left() + 60, box.bottom() - 1);
    tail.lineTo(box.left() + 74, box.bottom() + 16);
    tail.lineTo(box.left() + 84, box.bottom() - 1);
    bubble = bubble.united(tail);
    p.setPen(QPen(accent, 2.5));
    p.setBrush(QColor(255, 255, 255, 240));
    p.drawPath(bubble);
    p.setPen(accent.darker(140));
    p.drawText(box, Qt::AlignCenter, text);
}

} // namespace koru::kit
