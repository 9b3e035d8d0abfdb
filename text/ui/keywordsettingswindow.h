// The keyword settings ("設定"): one box per instruction role, filled from
// the user keyword file (or the shipped one); "適用" writes the user keyword
// file and help index page from the shipped files when the language can
// use every keyword, "初期状態に戻す" shows the shipped keywords again.
// A set of keywords goes to a file and comes back from one, so that every
// PC of a class can be given the same words.
#pragma once

#include <QDialog>
#include <QList>

class QLineEdit;

namespace koru::text {

class KeywordSettingsWindow : public QDialog
{
    Q_OBJECT
public:
    explicit KeywordSettingsWindow(QWidget *parent = nullptr);

    // Box n (1 to 27), named "Edit<n>"; 25 and 27 are never shown.
    QLineEdit *box(int n) const;
    QStringList boxTexts() const;

    void apply();
    void restoreDefaults();
    // The boxes to a keyword set file, when they pass the checks of
    // "適用"; a set from a file into the boxes, all or none, to be applied
    // as if typed.
    void exportSet();
    void importSet();

    static constexpr int ClientWidth = 634;
    static constexpr int ClientHeight = 506;

protected:
    void showEvent(QShowEvent *event) override;

private:
    void fill(const QStringList &keywordLines);
    void setBoxTexts(const QStringList &texts);
    void pointAt(int line); // the box a refusal names, when shown

    QList<QLineEdit *> m_boxes;
    bool m_shown = false;
};

} // namespace koru::text
