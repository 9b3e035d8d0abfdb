// The block parameter controls: the sub-kind list, up to four sliders with
// their captions, the colour presets with their swatch, and "OK". One widget
// serves both places: the ParameterPanel of the flowchart window (a placed
// block's parameters) and the BlockParameterWindow beside a block just
// dropped (the defaults of its kind). What they show comes from
// flowchart/blockparams.h.
#pragma once

#include "flowchart/blockparams.h"

#include <QFrame>
#include <QPointer>

#include <array>
#include <functional>

class QComboBox;
class QLabel;
class QPushButton;
class QSlider;

namespace koru::flow {

class ParameterEditor : public QFrame
{
    Q_OBJECT
public:
    ParameterEditor(ParameterPlace place, QWidget *parent);

    // Window: the kind's defaults, its first sub-kind.
    void openDefaults(const QString &kind);
    // Panel: the block's stored parameters.
    void openStored(const QString &kind, const QString &params);
    // Hides every control and sets the sliders to 0.
    void closeControls();

    const ParameterForm &form() const { return m_form; }
    QString composed() const { return ComposeParams(m_form); }

    QComboBox *kindCombo() const { return m_kindCombo; }
    QComboBox *colourCombo() const { return m_colourCombo; }
    QFrame *colourPanel() const { return m_colourPanel; }
    QSlider *slider(int i) const { return m_sliders[size_t(i)]; }
    QLabel *label(int i) const { return m_labels[size_t(i)]; }
    QPushButton *okButton() const { return m_ok; }

    // Chooses a sub-kind as the pupil does in the list.
    void chooseItem(int item);
    // Chooses a colour preset as the pupil does in the list.
    void chooseColour(int preset);

signals:
    void confirmed(const QString &params);

private:
    void show(const ParameterForm &form);
    void sliderMoved(int index, int value);
    void updateSwatch();

    ParameterPlace m_place;
    ParameterForm m_form;
    QString m_stored; // panel: the block's params, the positions under any sub-kind
    bool m_filling = false;
    bool m_choosingPreset = false; // the sliders follow a chosen preset

    QComboBox *m_kindCombo = nullptr;
    QComboBox *m_colourCombo = nullptr;
    QFrame *m_colourPanel = nullptr;
    std::array<QLabel *, ParameterSliderCount> m_labels{};
    std::array<QSlider *, ParameterSliderCount> m_sliders{};
    QPushButton *m_ok = nullptr;
};

// The borderless window that opens beside a block just dropped. It is one of
// the program's shared windows (the shell makes it and hands it to the
// flowchart window); while it is open the rest of the program waits for its
// "OK" (closing it otherwise counts as "OK").
class BlockParameterWindow : public QWidget
{
    Q_OBJECT
public:
    explicit BlockParameterWindow(QWidget *parent = nullptr);

    // Shows the window at a screen position with the kind's defaults;
    // `done` receives the composed params on "OK".
    void open(const QString &kind, const QPoint &globalTopLeft, std::function<void(const QString &)> done);
    ParameterEditor *editor() const { return m_editor; }

    static constexpr int WindowWidth = 210;
    static constexpr int WindowHeight = 300;

protected:
    void paintEvent(QPaintEvent *event) override;
    // Closed by the window manager (Alt+F4): the block takes the values
    // shown, as after "OK", so no half-placed block is left behind.
    void closeEvent(QCloseEvent *event) override;
    // Enter is "OK" (a choice list that is open takes it first).
    void keyPressEvent(QKeyEvent *event) override;

private:
    void finish(const QString &params);

    ParameterEditor *m_editor = nullptr;
    std::function<void(const QString &)> m_done;
};

} // namespace koru::flow
