#include "kit/app/kitwindow.h"

#include "kit/app/kitpicture.h"
#include "kit/app/kitserver.h"
#include "model/qtjapanese.h"
#include "kit/app/kitsound.h"
#include "kit/kitdriver.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QCoreApplication>
#include <QFileInfo>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QVBoxLayout>

namespace koru::kit {

namespace {

// One line of the record, in the pupil's words.
QString recordText(const Effect &e)
{
    switch (e.kind) {
    case EffectKind::RunStarted:
        return RunKind(e.a) == RunKind::Melody ? QStringLiteral("メロディ再生開始") : QStringLiteral("プログラム実行開始");
    case EffectKind::Led:
        return QStringLiteral("LED 点灯 (赤%1 緑%2 青%3)").arg(e.a).arg(e.b).arg(e.c);
    case EffectKind::LedOff: return QStringLiteral("LED 消灯");
    case EffectKind::Backlight:
        return e.a ? QStringLiteral("バックライト点灯 %1%").arg(e.b) : QStringLiteral("バックライト消灯");
    case EffectKind::BacklightLink:
        return e.a ? QStringLiteral("バックライトリンク開始") : QStringLiteral("バックライトリンク終了");
    case EffectKind::Radio: return e.a ? QStringLiteral("AM/FM 再生") : QStringLiteral("AM/FM 停止");
    case EffectKind::Beep: return QStringLiteral("確認音%1").arg(e.a);
    case EffectKind::Hold: return QStringLiteral("%1秒待つ").arg(e.a / 1000.0);
    case EffectKind::Wait:
        switch (WaitKind(e.a)) {
        case WaitKind::Sound: return QStringLiteral("信号待ち（音）");
        case WaitKind::Switch: return QStringLiteral("信号待ち（押しボタンSW）");
        case WaitKind::Bright: return QStringLiteral("信号待ち（明るくなるまで）");
        case WaitKind::Dark: return QStringLiteral("信号待ち（暗くなるまで）");
        case WaitKind::Temperature: return QStringLiteral("信号待ち（温度%1℃）").arg(e.b);
        case WaitKind::Humidity: return QStringLiteral("信号待ち（湿度%1％）").arg(e.b);
        case WaitKind::None: break;
        }
        return QStringLiteral("信号待ち");
    case EffectKind::Released: return QStringLiteral("信号待ち解除");
    case EffectKind::Fan: return e.a ? QStringLiteral("DCモータ ON") : QStringLiteral("DCモータ OFF");
    case EffectKind::Lamp: return e.a ? QStringLiteral("豆球 点灯") : QStringLiteral("豆球 消灯");
    case EffectKind::Variable:
        return QStringLiteral("変数%1 = %2").arg(QChar(e.a)).arg(e.b);
    case EffectKind::Ended:
        switch (EndReason(e.a)) {
        case EndReason::Stopped: return QStringLiteral("停止しました");
        case EndReason::InvalidAddress: return QStringLiteral("プログラムの外に出たので終了しました");
        case EndReason::Finished: break;
        }
        return QStringLiteral("終了しました");
    case EffectKind::Frame:
        if (!e.c)
            return QStringLiteral("受信したデータが大きすぎるため記憶できませんでした");
        return FrameArea(e.a) == FrameArea::Melody ? QStringLiteral("メロディを受信しました（%1バイト）").arg(e.b)
                                                   : QStringLiteral("プログラムを受信しました（%1バイト）").arg(e.b);
    case EffectKind::Melody:
    case EffectKind::Note:
    case EffectKind::Status:
    case EffectKind::Reply:
    case EffectKind::Step:
        break;
    }
    return QString();
}

QGroupBox *group(const QString &title, QWidget *content)
{
    auto *box = new QGroupBox(title);
    auto *layout = new QVBoxLayout(box);
    layout->setContentsMargins(8, 4, 8, 6);
    layout->addWidget(content);
    return box;
}

QWidget *twoChoices(const QString &first, const QString &second, bool firstChecked,
                    const std::function<void(bool)> &onFirst, QRadioButton **firstButton = nullptr,
                    QRadioButton **secondButton = nullptr)
{
    auto *w = new QWidget;
    auto *row = new QHBoxLayout(w);
    row->setContentsMargins(0, 0, 0, 0);
    auto *a = new QRadioButton(first);
    auto *b = new QRadioButton(second);
    (firstChecked ? a : b)->setChecked(true);
    row->addWidget(a);
    row->addWidget(b);
    row->addStretch();
    auto *buttons = new QButtonGroup(w);
    buttons->addButton(a);
    buttons->addButton(b);
    QObject::connect(a, &QRadioButton::toggled, w, [onFirst](bool on) { onFirst(on); });
    if (firstButton)
        *firstButton = a;
    if (secondButton)
        *secondButton = b;
    return w;
}

QWidget *sliderRow(const QString &name, int low, int high, int value, const QString &unit, QLabel **valueLabel,
                   const std::function<void(int)> &onChange)
{
    auto *w = new QWidget;
    auto *row = new QHBoxLayout(w);
    row->setContentsMargins(0, 0, 0, 0);
    auto *slider = new QSlider(Qt::Horizontal);
    slider->setRange(low, high);
    slider->setValue(value);
    slider->setPageStep(5);
    slider->setAccessibleName(name);
    auto *lowLabel = new QLabel(QString::number(low));
    auto *highLabel = new QLabel(QString::number(high));
    auto *current = new QLabel(QString::number(value) + unit);
    current->setMinimumWidth(48);
    current->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    QFont big = current->font();
    big.setBold(true);
    big.setPixelSize(16);
    current->setFont(big);
    row->addWidget(lowLabel);
    row->addWidget(slider, 1);
    row->addWidget(highLabel);
    row->addWidget(current);
    QObject::connect(slider, &QSlider::valueChanged, w, [current, unit, onChange](int v) {
        current->setText(QString::number(v) + unit);
        onChange(v);
    });
    *valueLabel = current;
    return w;
}

} // namespace

KitWindow::KitWindow(KitDriver &driver, QWidget *parent) : QWidget(parent), m_driver(driver)
{
    setWindowTitle(QStringLiteral("仮想キット - コントロールラジオ (ORBA)"));
    QFont f(QStringLiteral("IPAPGothic"));
    f.setPixelSize(13);
    setFont(f);

    m_picture = new KitPicture;
    const World &world = m_driver.world();

    auto *soundButton = new QPushButton(QStringLiteral("音を鳴らす"));
    soundButton->setMinimumHeight(30);
    connect(soundButton, &QPushButton::clicked, this, [this] {
        m_picture->flashSound();
        m_driver.hearSound();
    });

    auto *controls = new QVBoxLayout;
    controls->addWidget(group(QStringLiteral("周囲の音"), soundButton));
    controls->addWidget(group(QStringLiteral("押しボタンSWの状態"),
                              twoChoices(QStringLiteral("押している"), QStringLiteral("押していない"),
                                         world.switchPressed, [this](bool on) { m_driver.setSwitch(on); },
                                         &m_switchOn, &m_switchOff)));
    controls->addWidget(group(QStringLiteral("周囲の明るさ"),
                              twoChoices(QStringLiteral("明るい"), QStringLiteral("暗い"), world.bright,
                                         [this](bool on) { m_driver.setBright(on); })));
    controls->addWidget(group(QStringLiteral("周囲の気温（℃）"),
                              sliderRow(QStringLiteral("周囲の気温（℃）"), 0, 50, world.temperature, QStringLiteral("℃"), &m_temperatureValue,
                                        [this](int v) { m_driver.setTemperature(v); })));
    controls->addWidget(group(QStringLiteral("周囲の湿度（%）"),
                              sliderRow(QStringLiteral("周囲の湿度（%）"), 0, 100, world.humidity, QStringLiteral("%"), &m_humidityValue,
                                        [this](int v) { m_driver.setHumidity(v); })));

    m_state = new QLabel;
    QFont stateFont = font();
    stateFont.setPixelSize(20);
    stateFont.setBold(true);
    m_state->setFont(stateFont);
    m_link = new QLabel;
    m_link->setWordWrap(true);
    auto *stateBox = new QWidget;
    auto *stateLayout = new QVBoxLayout(stateBox);
    stateLayout->setContentsMargins(0, 0, 0, 0);
    stateLayout->addWidget(m_state);
    stateLayout->addWidget(m_link);
    m_sound = new KitSound(this);
    auto *speaker = new QCheckBox(QStringLiteral("スピーカーの音を出す"));
    speaker->setChecked(m_sound->available());
    speaker->setEnabled(m_sound->available());
    if (!m_sound->available())
        speaker->setToolTip(QStringLiteral("音声出力が見つかりません"));
    connect(speaker, &QCheckBox::toggled, m_sound, &KitSound::setEnabled);
    connect(&m_driver, &KitDriver::effectHappened, m_sound, &KitSound::onEffect);
    stateLayout->addWidget(speaker);
    controls->addWidget(group(QStringLiteral("キットの状態"), stateBox));
    controls->addStretch();

    m_log = new QPlainTextEdit;
    m_log->setReadOnly(true);
    m_log->setAccessibleName(QStringLiteral("動作の記録"));
    m_log->setMaximumBlockCount(500);
    m_log->setMinimumHeight(90);
    m_log->setMaximumHeight(130);

    auto *left = new QVBoxLayout;
    left->addWidget(m_picture, 1);
    left->addWidget(group(QStringLiteral("動作の記録"), m_log));

    auto *top = new QHBoxLayout(this);
    top->addLayout(left, 1);
    auto *side = new QWidget;
    side->setLayout(controls);
    side->setFixedWidth(300);
    top->addWidget(side);

    // The switch on the picture moves the radio buttons, which tell the kit.
    connect(m_picture, &KitPicture::switchPushed, this,
            [this](bool pressed) { (pressed ? m_switchOn : m_switchOff)->setChecked(true); });
    connect(m_picture, &KitPicture::soundMade, &m_driver, &KitDriver::hearSound);
    m_refreshTimer.setSingleShot(true);
    m_refreshTimer.setInterval(40);
    connect(&m_refreshTimer, &QTimer::timeout, this, &KitWindow::refresh);
    connect(&m_driver, &KitDriver::effectHappened, this, &KitWindow::onEffect);
    connect(&m_driver, &KitDriver::worldChanged, this, &KitWindow::refresh);
    refresh();
    resize(1000, 600);
}

void KitWindow::setSocketState(const QString &path, bool listening)
{
    m_socketPath = path;
    m_listening = listening;
    // Several kits may run at once: the title tells them apart.
    if (listening)
        setWindowTitle(QStringLiteral("仮想キット - コントロールラジオ (ORBA)　") + QFileInfo(path).fileName());
    refresh();
}

void KitWindow::setConnections(int count)
{
    m_connections = count;
    refresh();
}

QString KitWindow::stateText() const
{
    const Interpreter &run = m_driver.firmware().interpreter();
    if (!run.running())
        return QStringLiteral("状態：待機中");
    if (run.state() == RunState::Waiting)
        return QStringLiteral("状態：信号待ち");
    return run.runKind() == RunKind::Melody ? QStringLiteral("状態：メロディ再生中") : QStringLiteral("状態：実行中");
}

// The room warms and cools by itself (kit/room.h): the sliders follow it
// without telling the kit, which would take the value for a new setting.
static void showSensorValue(QLabel *valueLabel, int value, const QString &unit)
{
    auto *slider = valueLabel ? valueLabel->parentWidget()->findChild<QSlider *>() : nullptr;
    if (!slider || slider->value() == value)
        return;
    const QSignalBlocker quiet(slider);
    slider->setValue(value);
    valueLabel->setText(QString::number(value) + unit);
}

void KitWindow::refresh()
{
    showSensorValue(m_temperatureValue, m_driver.world().temperature, QStringLiteral("℃"));
    showSensorValue(m_humidityValue, m_driver.world().humidity, QStringLiteral("%"));
    m_picture->setOutputs(m_driver.outputs());
    m_picture->setWorld(m_driver.world());
    m_picture->setRunning(m_driver.firmware().interpreter().running());
    m_state->setText(stateText());
    QString link;
    if (!m_listening)
        link = QStringLiteral("PCと接続できません");
    else if (m_connections == 0)
        link = QStringLiteral("PCからの接続を待っています");
    else
        link = QStringLiteral("PCと接続中（%1）").arg(m_connections);
    m_link->setText(link + QStringLiteral("\n") + QFileInfo(m_socketPath).fileName());
}

void KitWindow::onEffect(const Effect &effect)
{
    if (effect.kind == EffectKind::Beep)
        m_picture->showBeep(effect.a, effect.b);
    // A fade changes the level many times a second: the record keeps colours.
    const bool sameColour = effect.kind == EffectKind::Led && m_lastLed == QColor(effect.a, effect.b, effect.c);
    if (effect.kind == EffectKind::Led)
        m_lastLed = QColor(effect.a, effect.b, effect.c);
    else if (effect.kind == EffectKind::LedOff)
        m_lastLed = QColor();
    const QString text = sameColour ? QString() : recordText(effect);
    // A program that changes the LED in a tight loop would flood the record:
    // at most 20 lines a second, the rest counted.
    if (!text.isEmpty() && (!m_logClock.isValid() || m_logClock.elapsed() >= 1000)) {
        if (m_logSkipped > 0)
            m_log->appendPlainText(QStringLiteral("（ほか %1 件の動作を省略しました）").arg(m_logSkipped));
        m_logClock.start();
        m_logLines = 0;
        m_logSkipped = 0;
    }
    if (!text.isEmpty() && ++m_logLines > 20) {
        ++m_logSkipped;
        scheduleRefresh();
        return;
    }
    if (!text.isEmpty())
        m_log->appendPlainText(QStringLiteral("%1.%2 秒  ").arg(effect.atMs / 1000).arg((effect.atMs % 1000) / 100)
                               + text);
    scheduleRefresh();
}

// Effects can come thousands of times a second; the picture and the labels
// follow at most 25 times a second.
void KitWindow::scheduleRefresh()
{
    if (!m_refreshTimer.isActive())
        m_refreshTimer.start();
}

int RunWindow(int argc, char **argv, void (*prepare)())
{
    QApplication app(argc, argv);
    koru::InstallQtJapanese();
    if (prepare)
        prepare();
    KitDriver driver;
    KitServer server(driver);
    KitWindow window(driver);
    QString error;
    const bool listening = server.listen(&error);
    window.setSocketState(listening ? server.path() : error, listening);
    QObject::connect(&server, &KitServer::connectionsChanged, &window, &KitWindow::setConnections);
    window.show();
    return app.exec();
}

} // namespace koru::kit
