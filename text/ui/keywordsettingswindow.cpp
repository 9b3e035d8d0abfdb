#include "text/ui/keywordsettingswindow.h"

#include "model/dialogservice.h"
#include "text/keywordsettings.h"
#include "widgets/placement.h"

#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QShowEvent>

#include <algorithm>

namespace koru::text {

namespace {

const QString Caption = QStringLiteral("設定");

constexpr int LeftBoxX = 192;
constexpr int RightBoxX = 480;
constexpr int BoxWidth = 97;
constexpr int BoxHeight = 20;
constexpr int RowStep = 23;
constexpr int TitleHeight = 26; // title and the gap below it
constexpr int GroupGap = 8;
constexpr int CaptionWidth = 176;
constexpr int FirstTop = 8;

} // namespace

KeywordSettingsWindow::KeywordSettingsWindow(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("SetUp"));
    setWindowTitle(Caption);
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowCloseButtonHint
                   | Qt::WindowTitleHint);
    setAttribute(Qt::WA_DeleteOnClose);
    setFixedSize(ClientWidth, ClientHeight);
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::white);
    setPalette(pal);

    QFont titleFont = font();
    titleFont.setPixelSize(17);
    titleFont.setBold(true);

    m_boxes.resize(KeywordBoxCount);
    int top[2] = {FirstTop, FirstTop};
    QString lastGroup[2];
    for (const KeywordBox &place : KeywordBoxes()) {
        const int column = place.right ? 1 : 0;
        const int boxX = place.right ? RightBoxX : LeftBoxX;
        auto *box = new QLineEdit(this);
        box->setObjectName(QStringLiteral("Edit%1").arg(place.line));
        box->setFixedSize(BoxWidth, BoxHeight);
        // Said with its group: two boxes are captioned 点灯 (LED, backlight).
        box->setAccessibleName(KeywordRoleCaption(place.line));
        m_boxes[place.line - 1] = box;
        if (!place.shown) {
            box->hide(); // carried from file to file only
            continue;
        }
        const QString group = QString::fromUtf8(place.group);
        if (group != lastGroup[column]) {
            if (!lastGroup[column].isEmpty())
                top[column] += GroupGap;
            auto *title = new QLabel(group, this);
            title->setFont(titleFont);
            title->setObjectName(QStringLiteral("Group%1").arg(place.line));
            title->setGeometry(place.right ? RightBoxX - CaptionWidth - 6 : 8, top[column], 280, TitleHeight - 4);
            lastGroup[column] = group;
            top[column] += TitleHeight;
        }
        auto *caption = new QLabel(QString::fromUtf8(place.caption), this);
        caption->setObjectName(QStringLiteral("Label%1").arg(place.line));
        caption->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        caption->setGeometry(boxX - CaptionWidth - 6, top[column], CaptionWidth, BoxHeight);
        caption->setBuddy(box);
        box->move(boxX, top[column]);
        top[column] += RowStep;
    }

    // The note under the left column; the buttons under the right one,
    // which reaches down to the lamp's box.
    auto *note = new QLabel(QStringLiteral("if と else は変えられません。\n命令語に空白と ( ) ; { } , < > & // は使えません。"), this);
    note->setObjectName(QStringLiteral("Note"));
    note->setGeometry(8, top[0] + 20, 360, 40);
    note->setStyleSheet(QStringLiteral("color: #5a6f86;"));

    const int buttonRight = ClientWidth - 10;
    const int buttonTop = top[1] + 12;
    auto *cancel = new QPushButton(QStringLiteral("キャンセル"), this);
    cancel->setObjectName(QStringLiteral("CancelButton"));
    cancel->setGeometry(buttonRight - 120, buttonTop, 120, 30);
    auto *applyButton = new QPushButton(QStringLiteral("適用"), this);
    applyButton->setObjectName(QStringLiteral("ApplyButton"));
    applyButton->setGeometry(buttonRight - 246, buttonTop, 120, 30);
    applyButton->setDefault(true);
    auto *defaults = new QPushButton(QStringLiteral("初期状態に戻す"), this);
    defaults->setObjectName(QStringLiteral("DefaultsButton"));
    defaults->setGeometry(buttonRight - 120, buttonTop + 34, 120, 22);
    // The set's file commands under the note, in the row of "初期状態に戻す".
    const int setTop = std::max(note->geometry().bottom() + 6, buttonTop + 34);
    auto *exportButton = new QPushButton(QStringLiteral("命令語を書き出す"), this);
    exportButton->setObjectName(QStringLiteral("ExportButton"));
    exportButton->setGeometry(8, setTop, 130, 22);
    exportButton->setToolTip(QStringLiteral("今の命令語をファイルに書き出します。ほかのパソコンで読み込めます。"));
    auto *importButton = new QPushButton(QStringLiteral("命令語を読み込む"), this);
    importButton->setObjectName(QStringLiteral("ImportButton"));
    importButton->setGeometry(8 + 130 + 8, setTop, 130, 22);
    importButton->setToolTip(QStringLiteral("書き出した命令語のファイルを読み込みます。「適用」で設定されます。"));
    connect(exportButton, &QPushButton::clicked, this, &KeywordSettingsWindow::exportSet);
    connect(importButton, &QPushButton::clicked, this, &KeywordSettingsWindow::importSet);
    connect(applyButton, &QPushButton::clicked, this, &KeywordSettingsWindow::apply);
    connect(cancel, &QPushButton::clicked, this, &QWidget::close);
    connect(defaults, &QPushButton::clicked, this, &KeywordSettingsWindow::restoreDefaults);
}

QLineEdit *KeywordSettingsWindow::box(int n) const
{
    return n >= 1 && n <= KeywordBoxCount ? m_boxes.at(n - 1) : nullptr;
}

QStringList KeywordSettingsWindow::boxTexts() const
{
    QStringList texts;
    for (const QLineEdit *box : m_boxes)
        texts.append(box->text());
    return texts;
}

void KeywordSettingsWindow::fill(const QStringList &keywordLines)
{
    setBoxTexts(KeywordBoxTexts(keywordLines));
}

void KeywordSettingsWindow::setBoxTexts(const QStringList &texts)
{
    for (int n = 1; n <= KeywordBoxCount; ++n)
        m_boxes[n - 1]->setText(texts.value(n - 1));
}

void KeywordSettingsWindow::pointAt(int line)
{
    if (QLineEdit *wrong = box(line); wrong && wrong->isVisibleTo(this)) {
        wrong->setFocus();
        wrong->selectAll();
    }
}

void KeywordSettingsWindow::showEvent(QShowEvent *event)
{
    if (!m_shown && !event->spontaneous()) {
        m_shown = true;
        if (const QScreen *s = screen() ? screen() : QGuiApplication::primaryScreen())
            CentreOver(this, s->availableGeometry());
        const std::optional<QStringList> lines = ReadKeywordLines(ActiveKeywordFilePath());
        if (lines)
            fill(*lines);
        else
            Dialogs().warning(KeywordReadErrorMessage);
    }
    QDialog::showEvent(event);
}

void KeywordSettingsWindow::restoreDefaults()
{
    if (const std::optional<QStringList> lines = ReadKeywordLines(ShippedKeywordFilePath()))
        fill(*lines);
    else
        Dialogs().warning(KeywordReadErrorMessage);
}

void KeywordSettingsWindow::apply()
{
    const ApplyResult result = ApplyKeywords(boxTexts());
    if (result.refusal) {
        if (result.refusal->closeWindow) {
            Dialogs().information(result.refusal->message);
            close();
            return;
        }
        Dialogs().warning(result.refusal->message);
        pointAt(result.refusal->line);
        return;
    }
    if (!result.written) {
        Dialogs().warning(result.failure);
        return;
    }
    close();
}

void KeywordSettingsWindow::exportSet()
{
    // A set the other PCs would refuse is not handed on; unlike "適用" the
    // window stays, whatever the refusal.
    const QStringList texts = boxTexts();
    if (const std::optional<KeywordRefusal> refusal = RefusalOf(texts)) {
        Dialogs().warning(refusal->message);
        pointAt(refusal->line);
        return;
    }
    SaveProgramCommand(KeywordSetFiles, KeywordSetLines(texts));
}

void KeywordSettingsWindow::importSet()
{
    std::optional<QStringList> texts;
    OpenProgramCommand(KeywordSetFiles, [&texts](const QString &path) {
        const KeywordSetRead read = ReadKeywordSet(path);
        texts = read.boxTexts;
        return FileResult{read.boxTexts.has_value(), read.message};
    });
    if (texts)
        setBoxTexts(*texts);
}

} // namespace koru::text
