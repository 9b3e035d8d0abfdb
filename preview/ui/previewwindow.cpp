#include "preview/ui/previewwindow.h"

#include "model/paths.h"
#include "widgets/layeredpicture.h"
#include "widgets/picturefile.h"
#include "widgets/placement.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHash>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QVBoxLayout>

namespace koru::preview {

namespace {

const QStringList WaitButtonTexts{
    QStringLiteral("音を鳴らす"),           QStringLiteral("押しボタンSWを押す"), QStringLiteral("明るくする"),
    QStringLiteral("暗くする"),             QStringLiteral("温度を指定温度にする"),
    QStringLiteral("湿度を指定湿度にする"),
};

// Pictures are read once; a missing one draws as nothing.
const QImage &Picture(const QString &name)
{
    static QHash<QString, QImage> cache;
    auto it = cache.find(name);
    if (it == cache.end())
        it = cache.insert(name, ReadPicture(AssetPath(name)));
    return *it;
}

// A label's text with the line breaks it is shown with.
QLabel *Note(const QString &text)
{
    auto *label = new QLabel(QString(text).replace(QLatin1String("\r\n"), QLatin1String("\n")));
    label->setProperty("text_exact", text);
    return label;
}

QWidget *TwoChoices(QRadioButton *first, QRadioButton *second)
{
    auto *w = new QWidget;
    auto *row = new QHBoxLayout(w);
    row->setContentsMargins(0, 0, 0, 0);
    row->addWidget(first);
    row->addWidget(second);
    row->addStretch();
    return w;
}

QGroupBox *Group(const QString &title, QWidget *content)
{
    auto *box = new QGroupBox(title);
    auto *layout = new QVBoxLayout(box);
    layout->setContentsMargins(8, 4, 8, 6);
    layout->addWidget(content);
    return box;
}

// A slider with its scale ends and the value label after it ("25℃").
QWidget *Scale(QSlider *slider, QLabel *value, int low, int high)
{
    auto *w = new QWidget;
    auto *row = new QHBoxLayout(w);
    row->setContentsMargins(0, 0, 0, 0);
    row->addWidget(new QLabel(QString::number(low)));
    row->addWidget(slider, 1);
    row->addWidget(new QLabel(QString::number(high)));
    value->setMinimumWidth(48);
    value->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    row->addWidget(value);
    return w;
}

} // namespace

PreviewWindow::PreviewWindow(const kit::Clock *clock, QWidget *parent, Content content)
    : QWidget(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      m_run(clock),
      m_lazy([this] { build(); })
{
    setObjectName(QStringLiteral("Preview"));
    setWindowTitle(PreviewCaption);
    setWindowModality(Qt::ApplicationModal);
    if (content == Content::Now)
        m_lazy.ensureBuilt();
}

void PreviewWindow::setVisible(bool visible)
{
    if (visible)
        m_lazy.ensureBuilt();
    QWidget::setVisible(visible);
}

void PreviewWindow::build()
{
    buildControls();
    connect(&m_run, &PreviewRun::changed, this, [this] {
        showState();
        drawScene();
    });
    connect(&m_run, &PreviewRun::reached, this, &PreviewWindow::follow);
    updateWorld();
    showState();
    drawScene();
}

PreviewWindow::~PreviewWindow()
{
    if (m_installed)
        SetPreviewHandler({});
}

void PreviewWindow::buildControls()
{
    m_scene = new LayeredPictureView(QSize(SceneWidth, SceneHeight), LayerCount);
    m_scene->setObjectName(QStringLiteral("Scene"));

    m_bright = new QRadioButton(QStringLiteral("明るい"));
    m_bright->setObjectName(QStringLiteral("CDSRadio1"));
    m_bright->setChecked(true);
    m_dark = new QRadioButton(QStringLiteral("暗い"));
    m_dark->setObjectName(QStringLiteral("CDSRadio2"));
    m_pressed = new QRadioButton(QStringLiteral("押している"));
    m_pressed->setObjectName(QStringLiteral("SWRadio1"));
    m_released = new QRadioButton(QStringLiteral("押していない"));
    m_released->setObjectName(QStringLiteral("SWRadio2"));
    m_released->setChecked(true);
    for (QRadioButton *b : {m_bright, m_pressed})
        connect(b, &QRadioButton::toggled, this, &PreviewWindow::updateWorld);

    m_temperature = new QSlider(Qt::Horizontal);
    m_temperature->setObjectName(QStringLiteral("TempTrackBar0"));
    m_temperature->setRange(0, 40);
    m_temperature->setValue(25);
    m_humidity = new QSlider(Qt::Horizontal);
    m_humidity->setObjectName(QStringLiteral("HumTrackBar0"));
    m_humidity->setRange(0, 100);
    m_humidity->setValue(50);
    m_temperatureValue = new QLabel;
    m_humidityValue = new QLabel;
    for (QSlider *s : {m_temperature, m_humidity}) {
        s->setTickPosition(QSlider::TicksBelow);
        s->setTickInterval(s->maximum() / 4);
        connect(s, &QSlider::valueChanged, this, &PreviewWindow::updateWorld);
    }

    m_waitGroup = new QGroupBox(QStringLiteral("信号待ちで一時停止中"));
    auto *waits = new QGridLayout(m_waitGroup);
    for (int k = 0; k < 6; ++k) {
        auto *button = new QPushButton(WaitButtonTexts[k]);
        button->setObjectName(QStringLiteral("WaitButton%1").arg(k + 1));
        button->setMinimumHeight(30);
        connect(button, &QPushButton::clicked, this, [this, k] { pressWaitButton(k + 1); });
        m_waitButtons[k] = button;
        waits->addWidget(button, k / 3, k % 3);
    }

    m_play = new QPushButton(QStringLiteral("プレビュー再生"));
    m_stop = new QPushButton(QStringLiteral("プレビュー停止"));
    for (QPushButton *b : {m_play, m_stop})
        b->setMinimumSize(130, 40);
    connect(m_play, &QPushButton::clicked, this, &PreviewWindow::play);
    connect(m_stop, &QPushButton::clicked, this, &PreviewWindow::stop);

    // Stepping and speed: beside the specified buttons, in the row's free space.
    m_step = new QPushButton(QStringLiteral("1ステップ"));
    m_step->setObjectName(QStringLiteral("StepButton"));
    m_step->setMinimumSize(100, 40);
    m_step->setToolTip(QStringLiteral("命令を1つだけ実行して止まります"));
    connect(m_step, &QPushButton::clicked, this, &PreviewWindow::step);
    m_speed = new QComboBox;
    m_speed->setObjectName(QStringLiteral("SpeedChoice"));
    for (const auto &[text, quarters] : {std::pair{"½×", 2}, {"1×", 4}, {"2×", 8}, {"4×", 16}})
        m_speed->addItem(QString::fromUtf8(text), quarters);
    m_speed->setCurrentIndex(1);
    m_speed->setAccessibleDescription(QStringLiteral("プレビューの速さ")); // a choice list reads its item as its name
    connect(m_speed, &QComboBox::currentIndexChanged, this,
            [this] { m_run.setSpeed(m_speed->currentData().toInt()); });
    auto *speedCaption = new QLabel(QStringLiteral("速さ"));
    speedCaption->setBuddy(m_speed);

    m_statePanel = new QLabel;
    m_statePanel->setObjectName(QStringLiteral("StatePanel"));
    m_statePanel->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_statePanel->setWordWrap(true);
    m_statePanel->setTextFormat(Qt::RichText);
    QFont panelFont = m_statePanel->font();
    panelFont.setPixelSize(15);
    m_statePanel->setFont(panelFont);
    // A framed panel, not a group: the window's groups are the world's.
    auto *statePanelBox = new QFrame;
    statePanelBox->setObjectName(QStringLiteral("StatePanelFrame"));
    statePanelBox->setFrameShape(QFrame::StyledPanel);
    statePanelBox->setFixedSize(240, SceneHeight);
    auto *panelTitle = new QLabel(QStringLiteral("プログラムの状態"));
    QFont titleFont = panelTitle->font();
    titleFont.setBold(true);
    panelTitle->setFont(titleFont);
    auto *panelLayout = new QVBoxLayout(statePanelBox);
    panelLayout->addWidget(panelTitle);
    panelLayout->addWidget(m_statePanel, 1);
    auto *stateCaption = new QLabel(QStringLiteral("状態："));
    m_state = new QLabel;
    m_state->setObjectName(QStringLiteral("State"));
    for (QLabel *l : {stateCaption, m_state}) {
        QFont big = l->font();
        big.setPixelSize(24);
        big.setBold(true);
        l->setFont(big);
    }

    // The group titles say what the sliders and radios are about, but only
    // to the eye: the controls carry them for a screen reader.
    const QString brightness = QStringLiteral("周囲の明るさ");
    const QString temperature = QStringLiteral("周囲の気温（℃）");
    const QString sw = QStringLiteral("SWの状態");
    const QString humidity = QStringLiteral("周囲の湿度（%）");
    m_temperature->setAccessibleName(temperature);
    m_humidity->setAccessibleName(humidity);
    for (QRadioButton *b : {m_bright, m_dark})
        b->setAccessibleDescription(brightness);
    for (QRadioButton *b : {m_pressed, m_released})
        b->setAccessibleDescription(sw);
    for (QPushButton *b : m_waitButtons)
        b->setAccessibleDescription(m_waitGroup->title());
    auto *controls = new QGridLayout;
    controls->addWidget(Group(brightness, TwoChoices(m_bright, m_dark)), 0, 0);
    controls->addWidget(Group(temperature, Scale(m_temperature, m_temperatureValue, 0, 40)), 0, 1);
    controls->addWidget(Group(sw, TwoChoices(m_pressed, m_released)), 1, 0);
    controls->addWidget(Group(humidity, Scale(m_humidity, m_humidityValue, 0, 100)), 1, 1);
    controls->setColumnStretch(1, 1);

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(m_play);
    buttons->addWidget(m_stop);
    buttons->addSpacing(24);
    buttons->addWidget(stateCaption);
    buttons->addWidget(m_state);
    buttons->addStretch();
    buttons->addWidget(m_step);
    buttons->addSpacing(12);
    buttons->addWidget(speedCaption);
    buttons->addWidget(m_speed);

    auto *impression = Note(ImpressionNote);
    auto *noEditing = Note(NoEditingNote);
    noEditing->setStyleSheet(QStringLiteral("color: #c0392b;"));
    auto *notes = new QHBoxLayout;
    notes->addWidget(impression);
    notes->addStretch();
    notes->addWidget(noEditing);

    auto *layout = new QVBoxLayout(this);
    auto *sceneRow = new QHBoxLayout;
    sceneRow->addWidget(m_scene);
    sceneRow->addWidget(statePanelBox);
    layout->addLayout(sceneRow);
    layout->addLayout(notes);
    layout->addLayout(controls);
    layout->addWidget(m_waitGroup);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void PreviewWindow::installAsPreview()
{
    SetPreviewHandler([this](const PreviewRequest &request) { preview(request); });
    m_installed = true;
}

void PreviewWindow::preview(const PreviewRequest &request)
{
    m_lazy.ensureBuilt();
    m_run.close(); // a run still going (never while shown: the window is modal)
    m_image = request.image;
    m_running = request.running;
    // The editor cannot change while the modal preview shows, so each
    // address is named once (STEP3 compiles its text to name a line).
    m_describe = [names = QHash<int, QString>(), describe = request.describe](int address) mutable {
        if (!describe)
            return QString();
        auto it = names.find(address);
        if (it == names.end())
            it = names.insert(address, describe(address));
        return *it;
    };
    m_mask = Picture(pictures::Mask);
    m_redrawAll = true;
    m_scene->picture().setBase(Picture(pictures::Base));
    drawScene();
    showState();
    adjustSize();
    if (request.over.isValid())
        PlaceBeside(this, request.over);
    show();
    raise();
    activateWindow();
}

void PreviewWindow::play()
{
    m_lazy.ensureBuilt();
    if (m_run.playing() && m_run.stepping())
        m_run.resume();
    else
        m_run.start(m_image);
}

void PreviewWindow::step()
{
    m_lazy.ensureBuilt();
    if (m_run.playing())
        m_run.step();
    else if (m_run.state() == PreviewRun::State::Idle)
        m_run.start(m_image, PreviewRun::Pace::Stepping);
}

void PreviewWindow::stop()
{
    m_lazy.ensureBuilt();
    m_run.stop();
}

void PreviewWindow::pressWaitButton(int kind)
{
    m_lazy.ensureBuilt();
    m_run.pressWaitButton(kind);
}

void PreviewWindow::closeEvent(QCloseEvent *event)
{
    // Nothing runs on behind a closed window: a hold is cut short, the state reset.
    m_run.close();
    m_running = {};
    m_describe = {};
    QWidget::closeEvent(event);
}

void PreviewWindow::updateWorld()
{
    m_temperatureValue->setText(QString::number(m_temperature->value()) + QStringLiteral("℃"));
    m_humidityValue->setText(QString::number(m_humidity->value()) + QStringLiteral("%"));
    m_run.setWorld({m_pressed->isChecked(), m_bright->isChecked(), m_temperature->value(), m_humidity->value()});
}

void PreviewWindow::showState()
{
    const bool playing = m_run.playing();
    const bool held = m_run.held();
    m_state->setText(held ? QStringLiteral("一時停止") : playing ? QStringLiteral("再生中") : QStringLiteral("停止"));
    m_state->setAccessibleName(QStringLiteral("状態: ") + m_state->text());
    m_play->setEnabled(!playing || m_run.stepping());
    m_stop->setEnabled(playing);
    m_step->setEnabled(m_run.state() != PreviewRun::State::Stopping);
    const RunStateView view = ViewOf(m_run, m_describe);
    QStringList lines = view.lines();
    QString text = view.html();
    if (lines.isEmpty()) {
        lines = {QStringLiteral("「プレビュー再生」で動かします。"), QStringLiteral("「1ステップ」で命令を1つずつ実行します。")};
        text = QStringLiteral("<p style=\"color:#555\">") + lines.join(QStringLiteral("<br>")) + QStringLiteral("</p>");
    }
    if (m_statePanel->text() != text) {
        m_statePanel->setText(text);
        m_statePanel->setAccessibleName(QStringLiteral("プログラムの状態: ") + lines.join(QStringLiteral("、")));
    }
    m_waitGroup->setEnabled(m_run.state() == PreviewRun::State::Waiting);
}

// Only the layers that changed are loaded again (a fade redraws the glow alone).
void PreviewWindow::drawScene()
{
    const PreviewScene scene = m_run.scene();
    if (scene == m_drawn && !m_redrawAll)
        return;
    LayeredPicture &picture = m_scene->picture();
    if (m_redrawAll || scene.glow != m_drawn.glow || scene.glowColour != m_drawn.glowColour
        || scene.glowLevel != m_drawn.glowLevel) {
        if (scene.glow) {
            const kit::Rgb c = scene.glowColour;
            picture.setMaskedColour(GlowLayer, QColor(c.red, c.green, c.blue), m_mask, scene.glowLevel);
        } else {
            picture.clearLayer(GlowLayer);
        }
    }
    for (int layer = BackLayer; layer < LayerCount; ++layer) {
        if (scene.layers[layer] == m_drawn.layers[layer] && !m_redrawAll)
            continue;
        if (scene.layers[layer].isEmpty()) {
            picture.clearLayer(layer);
            continue;
        }
        const std::optional<kit::Rgb> key = LayerKeyColour(layer);
        picture.setLayer(layer, Picture(scene.layers[layer]),
                         key ? std::optional<QColor>(QColor(key->red, key->green, key->blue)) : std::nullopt);
    }
    m_drawn = scene;
    m_redrawAll = false;
    m_scene->redraw();
}

void PreviewWindow::follow(int address)
{
    if (m_running)
        m_running(address);
}

} // namespace koru::preview
