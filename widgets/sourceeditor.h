// A plain-text editor for program source: monospaced type, line numbers in
// a three-digit column, comments from "//" coloured green, full-width
// spaces and tabs drawn as dashed boxes (a pupil must see the U+3000 or tab
// that breaks a statement), a marked line for errors and word completion on
// Ctrl+Space.
#pragma once

#include <QColor>
#include <QHash>
#include <QPlainTextEdit>
#include <QStringList>

class QCompleter;
class QSyntaxHighlighter;

namespace koru {

// Where the comment of a source line starts: the first "//". -1 when the
// line has none.
qsizetype CommentStart(const QString &line);

// Positions of the full-width spaces (U+3000) of a line.
QList<qsizetype> FullWidthSpaces(const QString &line);
// Positions of the blanks drawn as dashed boxes: full-width spaces and tabs,
// which fail the check but look like (or are) empty room.
QList<qsizetype> MarkedBlanks(const QString &line);

// The word being typed before position pos of a line: the letters, digits
// and underscores right before it (keywords may be any such word).
QString WordBefore(const QString &line, qsizetype pos);

// What the editor tells of a word: the template Ctrl+Space inserts for it
// and the hints beside the cursor and under the mouse.
struct WordHelp
{
    QString completion; // inserted for the word ("ledon();"); empty: the word
    int caret = -1;     // where the cursor goes in it; -1: at its end
    QString hint;       // told after the insertion (hintShown)
    QString hover;      // shown while the mouse rests on the word
};

class SourceEditor : public QPlainTextEdit
{
    Q_OBJECT
public:
    explicit SourceEditor(QWidget *parent = nullptr);
    ~SourceEditor() override;

    static inline const QColor CommentColour{0, 128, 0};
    static constexpr int FontPixelSize = 19;
    static constexpr int TopMargin = 4;
    static constexpr int TabWidthInSpaces = 6;

    // The text as lines, each without its line break.
    QStringList lines() const;
    int lineCount() const;
    QString lineAt(int index) const;
    // Replaces the whole text (one undo step); an empty list empties it.
    void setLines(const QStringList &lines);

    // Marks a line (from 0) with a red background and puts the cursor at
    // its start; -1 removes the mark. Any edit removes it too.
    void markLine(int index);
    int markedLine() const { return m_markedLine; }

    // Shows a line (from 0) as the one running now, with a green background;
    // -1 when nothing runs.
    void setRunningLine(int index);
    int runningLine() const { return m_runningLine; }

    // Underlines a line (from 0) with a red wave, as the check as typed
    // finds it; -1 removes it. Edits leave it until the next finding.
    void setFindingLine(int index);
    int findingLine() const { return m_findingLine; }

    // Words offered by Ctrl+Space.
    void setCompletionWords(const QStringList &words);
    QStringList completionWords() const { return m_words; }
    QCompleter *completer() const { return m_completer; }
    // Templates and hints by word (in lower case).
    void setWordHelp(QHash<QString, WordHelp> help) { m_help = std::move(help); }
    // The hover text of the word at a point of the viewport; empty for none.
    QString hoverTextAt(QPoint viewportPoint) const;
    // The hint shown after the last completion (empty for none).
    QString lastHint() const { return m_lastHint; }
    // Offers the words that start with the word before the cursor; a single
    // match is inserted at once.
    void complete();

    QWidget *lineNumberArea() const { return m_numbers; }
    int lineNumberWidth() const;

signals:
    // After every repaint of the text area.
    void repainted();
    // A completion's hint, for the window to show where the eye is.
    void hintShown(const QString &hint);

protected:
    void resizeEvent(QResizeEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    bool viewportEvent(QEvent *event) override;

private:
    friend class LineNumberArea;
    void paintNumbers(QPaintEvent *event);
    void updateNumbers(const QRect &rect, int dy);
    void refreshSelections();
    void insertCompletion(const QString &word);

    QWidget *m_numbers = nullptr;
    QSyntaxHighlighter *m_highlighter = nullptr;
    QCompleter *m_completer = nullptr;
    QStringList m_words;
    QHash<QString, WordHelp> m_help;
    QString m_lastHint;
    int m_markedLine = -1;
    int m_runningLine = -1;
    int m_findingLine = -1;
};

} // namespace koru
