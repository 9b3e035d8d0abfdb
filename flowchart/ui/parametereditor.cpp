#include "flowchart/ui/parametereditor.h"

#include "model/catalogue.h"
#include "widgets/dragsupport.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QKeyEvent>
#include <QPushButton>
#include <QSlider>
#include <QStyle>
#include <QStyleOptionComboBox>

namespace koru::flow {

namespace {

struct Layout
{
    QPoint kindCombo, colourCombo, colourPanel, ok;
    std::array<QPoint, ParameterSliderCount> labels, sliders;
};

const Layout PanelLayout{{0, 1},   {136, 33},  {140, 160}, {114, 237},
                         {{{0, 56}, {0, 88}, {0, 120}, {0, 192}}},
                         {{{5, 68}, {5, 100}, {5, 132}, {5, 204}}}};
const Layout WindowLayout{{5, 9},    {141, 53},  {140, 184}, {114, 261},
                          {{{5, 80}, {5, 112}, {5, 144}, {5, 216}}},
                          {{{10, 92}, {10, 124}, {10, 156}, {10, 228}}}};

QColor ThumbColour(SliderThumb thumb)
{
    switch (thumb) {
    case SliderThumb::Red: return QColor(0xff, 0x00, 0x00);
    case SliderThumb::Green: return QColor(0x00, 0xc0, 0x00);
    case SliderThumb::Blue: return QColor(0x00, 0x00, 0xff);
    case SliderThumb::Fuchsia: break;
    }
    return QColor(0xff, 0x00, 0xff);
}

// The thumb takes the button colour of the slider's palette (the tick
// marks stay, which a style sheet would take away).
void PaintThumb(QSlider *slider, SliderThumb thumb)
{
    QPalette pal = slider->palette();
    pal.setColor(QPalette::Button, ThumbColour(thumb));
    slider->setPalette(pal);
}

// The longest sub-kind texts are wider than the list's field at 12
// pixels: the list takes the largest size down to 9 pixels at which every
// item can be read whole.
void FitItems(QComboBox *combo)
{
    QStyleOptionComboBox option;
    option.initFrom(combo);
    option.frame = combo->hasFrame();
    const int field =
        combo->style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, combo).width();
    QFont font = combo->parentWidget()->font();
    for (int pixels = 12; pixels >= 9; --pixels) {
        font.setPixelSize(pixels);
        const QFontMetrics metrics(font);
        int widest = 0;
        for (int i = 0; i < combo->count(); ++i)
            widest = qMax(widest, metrics.horizontalAdvance(combo->itemText(i)));
        if (widest <= field)
            break;
    }
    combo->setFont(font);
}

} // namespace

ParameterEditor::ParameterEditor(ParameterPlace place, QWidget *parent) : QFrame(parent), m_place(place)
{
    const Layout &layout = place == ParameterPlace::Panel ? PanelLayout : WindowLayout;
    setObjectName(place == ParameterPlace::Panel ? QStringLiteral("ParameterPanel")
                                                 : QStringLiteral("BlockParameterEditor"));
    if (place == ParameterPlace::Panel) {
        setFixedSize(194, 263);
        setAutoFillBackground(true);
        QPalette pal = palette();
        pal.setColor(QPalette::Window, Qt::white);
        setPalette(pal);
    } else {
        setFixedSize(BlockParameterWindow::WindowWidth, BlockParameterWindow::WindowHeight);
    }

    m_kindCombo = new QComboBox(this);
    m_kindCombo->setObjectName(QStringLiteral("Command_Kind_Combo"));
    // As wide as the place allows (the window's list a little wider than
    // designed), so that the long condition texts stay readable.
    m_kindCombo->setGeometry(QRect(layout.kindCombo, QSize(place == ParameterPlace::Panel ? 194 : 200, 22)));
    connect(m_kindCombo, &QComboBox::activated, this, &ParameterEditor::chooseItem);

    m_colourCombo = new QComboBox(this);
    m_colourCombo->setObjectName(QStringLiteral("Color_Combo"));
    m_colourCombo->setGeometry(QRect(layout.colourCombo, QSize(60, 22)));
    for (const ColourPreset &preset : ColourPresets())
        m_colourCombo->addItem(preset.name);
    connect(m_colourCombo, &QComboBox::activated, this, &ParameterEditor::chooseColour);

    m_colourPanel = new QFrame(this);
    m_colourPanel->setObjectName(QStringLiteral("Color_Panel"));
    m_colourPanel->setGeometry(QRect(layout.colourPanel, QSize(30, 30)));
    m_colourPanel->setFrameShape(QFrame::Box);
    m_colourPanel->setAutoFillBackground(true);

    for (int i = 0; i < ParameterSliderCount; ++i) {
        auto *label = new QLabel(this);
        label->setObjectName(QStringLiteral("Para_Label%1").arg(i));
        label->setGeometry(QRect(layout.labels[size_t(i)], QSize(190, 15)));
        auto *slider = new QSlider(Qt::Horizontal, this);
        slider->setObjectName(QStringLiteral("Para_TrackBar%1").arg(i));
        slider->setGeometry(QRect(layout.sliders[size_t(i)], QSize(180, 20)));
        slider->setTickPosition(QSlider::TicksBothSides);
        slider->setPageStep(1);
        connect(slider, &QSlider::valueChanged, this, [this, i](int value) { sliderMoved(i, value); });
        m_labels[size_t(i)] = label;
        m_sliders[size_t(i)] = slider;
    }

    m_ok = new QPushButton(QStringLiteral("OK"), this);
    m_ok->setObjectName(QStringLiteral("OK_Button"));
    // 80 wide (the style's least for a captioned button), right edge where designed.
    m_ok->setGeometry(QRect(layout.ok - QPoint(5, 0), QSize(80, 23)));
    connect(m_ok, &QPushButton::clicked, this, [this] { emit confirmed(composed()); });
    closeControls();
}

void ParameterEditor::openDefaults(const QString &kind)
{
    m_stored.clear();
    show(DefaultForm(kind, 0));
}

void ParameterEditor::openStored(const QString &kind, const QString &params)
{
    m_stored = params;
    show(StoredForm(kind, params));
}

void ParameterEditor::chooseItem(int item)
{
    if (m_form.kind.isEmpty())
        return;
    show(m_place == ParameterPlace::Window ? DefaultForm(m_form.kind, item) : StoredForm(m_form.kind, m_stored, item));
}

void ParameterEditor::chooseColour(int preset)
{
    if (!m_form.colourControls || preset < 0 || preset >= ColourPresetCount)
        return;
    const ColourPreset colour = ColourPresetAt(preset);
    m_choosingPreset = true;
    m_sliders[0]->setValue(colour.red);
    m_sliders[1]->setValue(colour.green);
    m_sliders[2]->setValue(colour.blue);
    m_choosingPreset = false;
    m_colourCombo->setCurrentIndex(preset);
}

void ParameterEditor::show(const ParameterForm &form)
{
    m_filling = true;
    m_form = form;
    m_kindCombo->clear();
    m_kindCombo->addItems(form.items);
    FitItems(m_kindCombo);
    m_kindCombo->setCurrentIndex(form.item);
    m_kindCombo->setVisible(true);
    m_colourCombo->setVisible(form.colourControls);
    m_colourCombo->setCurrentIndex(form.colourControls && m_place == ParameterPlace::Window ? DefaultColourPreset : -1);
    m_colourPanel->setVisible(form.colourControls);
    for (int i = 0; i < ParameterSliderCount; ++i) {
        const SliderSetup &s = form.sliders[size_t(i)];
        QSlider *slider = m_sliders[size_t(i)];
        slider->setRange(s.min, s.max);
        slider->setValue(s.value);
        slider->setTickInterval(qMax(1, (s.max - s.min) / 10));
        PaintThumb(slider, s.thumb);
        slider->setVisible(s.visible);
        m_labels[size_t(i)]->setText(s.caption);
        m_labels[size_t(i)]->setVisible(s.visible);
    }
    m_ok->setVisible(true);
    m_filling = false;
    updateSwatch();
}

void ParameterEditor::closeControls()
{
    m_filling = true;
    m_form = ParameterForm();
    m_stored.clear();
    m_kindCombo->clear();
    m_colourCombo->setVisible(false);
    m_colourPanel->setVisible(false);
    for (int i = 0; i < ParameterSliderCount; ++i) {
        m_sliders[size_t(i)]->setValue(0);
        m_sliders[size_t(i)]->setVisible(false);
        m_labels[size_t(i)]->setVisible(false);
    }
    const bool window = m_place == ParameterPlace::Window; // its list and OK stay
    m_kindCombo->setVisible(window);
    m_ok->setVisible(window);
    m_filling = false;
}

void ParameterEditor::sliderMoved(int index, int value)
{
    if (m_filling || m_form.kind.isEmpty())
        return;
    SliderSetup &s = m_form.sliders[size_t(index)];
    s.value = value;
    m_labels[size_t(index)]->setText(SliderCaption(m_place, s, value));
    if (s.colour) {
        // Any move of a colour slider but the preset's own (a drag, a click
        // on the track, a key) makes a colour no preset names.
        if (!m_choosingPreset)
            m_colourCombo->setCurrentIndex(-1);
        updateSwatch();
    }
}

void ParameterEditor::updateSwatch()
{
    QPalette pal = m_colourPanel->palette();
    pal.setColor(QPalette::Window, QColor(m_form.sliders[0].value & 0xff, m_form.sliders[1].value & 0xff,
                                          m_form.sliders[2].value & 0xff));
    m_colourPanel->setPalette(pal);
}

BlockParameterWindow::BlockParameterWindow(QWidget *parent)
    : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint)
{
    setObjectName(QStringLiteral("BlockParameterWindow"));
    setFixedSize(WindowWidth, WindowHeight);
    setWindowModality(Qt::ApplicationModal);
    m_editor = new ParameterEditor(ParameterPlace::Window, this);
    m_editor->move(0, 0);
    new BackgroundDrag(this); // presses on the editor's background come up to the window
    connect(m_editor, &ParameterEditor::confirmed, this, &BlockParameterWindow::finish);
}

void BlockParameterWindow::finish(const QString &params)
{
    auto done = std::move(m_done);
    m_done = nullptr;
    hide();
    m_editor->closeControls();
    if (done)
        done(params);
}

void BlockParameterWindow::closeEvent(QCloseEvent *event)
{
    // Confirming rather than cancelling: the window has no cancel, the
    // pupil saw these values, and the drop stays one undo step either way.
    if (m_done)
        finish(m_editor->composed());
    QWidget::closeEvent(event);
}

void BlockParameterWindow::keyPressEvent(QKeyEvent *event)
{
    if (IsEnterKey(event) && m_done) {
        event->accept();
        finish(m_editor->composed());
        return;
    }
    QWidget::keyPressEvent(event);
}

void BlockParameterWindow::open(const QString &kind, const QPoint &globalTopLeft,
                                std::function<void(const QString &)> done)
{
    m_done = std::move(done);
    m_editor->openDefaults(kind);
    move(globalTopLeft);
    show();
    activateWindow();
    // The keyboard starts in the window: arrows choose, Enter confirms.
    m_editor->kindCombo()->setFocus(Qt::OtherFocusReason);
}

void BlockParameterWindow::paintEvent(QPaintEvent *)
{
    // White, with a frame and a thin band so it reads as a window.
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    painter.setPen(QColor(0x5a, 0x6f, 0x86));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
    painter.fillRect(QRect(1, 1, width() - 2, 4), QColor(0x2d, 0x8f, 0xe0));
}

} // namespace koru::flow
