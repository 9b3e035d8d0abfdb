// The preview window: the pupil plays the world around the kit (light,
// switch, temperature and humidity, the buttons that release waits) while a
// program's image runs on a picture of the kit. Made once at start-up; every
// editor reaches it through RequestPreview. The window only wires controls
// to the PreviewRun and draws its scene.
#pragma once

#include "model/previewrequest.h"
#include "preview/previewrun.h"
#include "preview/previewstate.h"
#include "widgets/lazycontent.h"

#include <QWidget>
#include <array>

class QComboBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;
class QSlider;

namespace koru {
class LayeredPictureView;
}

namespace koru::preview {

inline const QString PreviewCaption = QStringLiteral("プレビュー");
inline const QString ImpressionNote =
    QStringLiteral("作成したプログラムをイメージするものであり、\r\n実際の発光とは異なります。");
inline const QString NoEditingNote = QStringLiteral(
    "プレビュー中はプログラム編集は出来ません！\r\nプログラム編集はプレビュー画面を閉じてから行って下さい。");

class PreviewWindow : public QWidget
{
    Q_OBJECT
public:
    // Without a clock the run keeps real time. Made at start-up, the window
    // builds its controls and scene when first shown or reached.
    explicit PreviewWindow(const kit::Clock *clock = nullptr, QWidget *parent = nullptr,
                           Content content = Content::Now);
    ~PreviewWindow() override;

    // Makes this window the one RequestPreview reaches.
    void installAsPreview();
    // Shows the window for an editor's program (the run waits for "プレビュー再生").
    void preview(const PreviewRequest &request);

    void play();
    void stop();
    // "1ステップ": one instruction, then hold (a run starts held after its first).
    void step();
    void pressWaitButton(int kind);

    PreviewRun &run() { return built(m_run); }
    const LayeredPictureView *scene() const { return built(m_scene); }
    QGroupBox *waitGroup() const { return built(m_waitGroup); }
    QPushButton *waitButton(int kind) const { return built(m_waitButtons).at(kind - 1); }
    QPushButton *playButton() const { return built(m_play); }
    QPushButton *stopButton() const { return built(m_stop); }
    QLabel *stateLabel() const { return built(m_state); }
    QPushButton *stepButton() const { return built(m_step); }
    QComboBox *speedChoice() const { return built(m_speed); }
    // The program's state beside the kit: one line per fact.
    QLabel *statePanel() const { return built(m_statePanel); }

    void setVisible(bool visible) override;

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    template<typename T>
    T &built(T &member) const
    {
        m_lazy.ensureBuilt();
        return member;
    }
    void build();
    void buildControls();
    void updateWorld();
    void showState();
    void drawScene();
    void follow(int address);

    PreviewRun m_run;
    DeviceImage m_image;
    std::function<void(int)> m_running;
    AddressDescriber m_describe;
    PreviewScene m_drawn;
    bool m_redrawAll = true;
    bool m_installed = false;
    QImage m_mask;

    LayeredPictureView *m_scene = nullptr;
    QRadioButton *m_bright = nullptr;   // CDSRadio1
    QRadioButton *m_dark = nullptr;     // CDSRadio2
    QRadioButton *m_pressed = nullptr;  // SWRadio1
    QRadioButton *m_released = nullptr; // SWRadio2
    QSlider *m_temperature = nullptr;   // TempTrackBar0
    QSlider *m_humidity = nullptr;      // HumTrackBar0
    QLabel *m_temperatureValue = nullptr;
    QLabel *m_humidityValue = nullptr;
    QGroupBox *m_waitGroup = nullptr;
    std::array<QPushButton *, 6> m_waitButtons{};
    QPushButton *m_play = nullptr;
    QPushButton *m_stop = nullptr;
    QLabel *m_state = nullptr;
    QPushButton *m_step = nullptr;
    QComboBox *m_speed = nullptr;
    QLabel *m_statePanel = nullptr;
    LazyContent m_lazy; // last: builds into the members above
};

} // namespace koru::preview
