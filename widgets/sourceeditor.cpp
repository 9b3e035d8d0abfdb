#include "widgets/sourceeditor.h"

#include <QAbstractItemView>
#include <QCompleter>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStringListModel>
#include <QSyntaxHighlighter>
#include <QTextBlock>
#include <QToolTip>

namespace koru {

qsizetype CommentStart(const QString &line)
{
    return line.indexOf(QStringLiteral("//"));
}

QList<qsizetype> FullWidthSpaces(const QString &line)
{
    QList<qsizetype> found;
    for (qsizetype i = 0; i < line.size(); ++i) {
        if (line.at(i) == QChar(0x3000))
            found.append(i);
    }
    return found;
}

QList<qsizetype> MarkedBlanks(const QString &line)
{
    QList<qsizetype> found;
    for (qsizetype i = 0; i < line.size(); ++i) {
        if (line.at(i) == QChar(0x3000) || line.at(i) == QLatin1Char('\t'))
            found.append(i);
    }
    return found;
}

QString WordBefore(const QString &line, qsizetype pos)
{
    pos = qBound<qsizetype>(0, pos, line.size());
    qsizetype start = pos;
    while (start > 0) {
        const QChar c = line.at(start - 1);
        if (!c.isLetterOrNumber() && c != QLatin1Char('_'))
            break;
        --start;
    }
    return line.mid(start, pos - start);
}

namespace {

const QColor MarkColour(0xff, 0xd6, 0xd6);
const QColor RunningColour(0xd4, 0xf2, 0xdc);
const QColor NumberColour(0x80, 0x8c, 0x98);
const QColor NumberBack(0xf2, 0xf4, 0xf7);
const QColor SpaceBoxColour(0xe0, 0x7a, 0x00);

class CommentHighlighter : public QSyntaxHighlighter
{
public:
    using QSyntaxHighlighter::QSyntaxHighlighter;

protected:
    void highlightBlock(const QString &text) override
    {
        const qsizetype start = CommentStart(text);
        if (start < 0)
            return;
        QTextCharFormat format;
        format.setForeground(SourceEditor::CommentColour);
        format.setBackground(Qt::white);
        setFormat(int(start), int(text.size() - start), format);
    }
};

} // namespace

class LineNumberArea : public QWidget
{
public:
    explicit LineNumberArea(SourceEditor *editor) : QWidget(editor), m_editor(editor)
    {
        setObjectName(QStringLiteral("LineNumbers"));
    }
    QSize sizeHint() const override { return {m_editor->lineNumberWidth(), 0}; }

protected:
    void paintEvent(QPaintEvent *event) override { m_editor->paintNumbers(event); }

private:
    SourceEditor *m_editor;
};

SourceEditor::SourceEditor(QWidget *parent) : QPlainTextEdit(parent)
{
    setObjectName(QStringLiteral("SonEdit1"));
    // The program font; the desktop substitutes an installed monospaced
    // face with Japanese glyphs for it.
    QFont font(QStringLiteral("FixedSys"));
    font.setStyleHint(QFont::TypeWriter);
    font.setFixedPitch(true);
    font.setPixelSize(FontPixelSize);
    setFont(font);
    QPalette pal = palette();
    pal.setColor(QPalette::Base, Qt::white);
    pal.setColor(QPalette::Text, Qt::black);
    pal.setColor(QPalette::Window, Qt::white);
    setPalette(pal);
    setAutoFillBackground(true);
    setFrameShape(QFrame::NoFrame);
    setLineWrapMode(QPlainTextEdit::NoWrap);
    setTabChangesFocus(false);
    setTabStopDistance(QFontMetricsF(font).horizontalAdvance(QLatin1Char(' ')) * TabWidthInSpaces);

    m_numbers = new LineNumberArea(this);
    m_highlighter = new CommentHighlighter(document());

    m_completer = new QCompleter(this);
    m_completer->setModel(new QStringListModel(m_completer));
    m_completer->setWidget(this);
    m_completer->setCompletionMode(QCompleter::PopupCompletion);
    m_completer->setCaseSensitivity(Qt::CaseInsensitive);
    m_completer->popup()->setObjectName(QStringLiteral("CompletionList"));
    m_completer->popup()->setFont(font);
    connect(m_completer, qOverload<const QString &>(&QCompleter::activated), this,
            &SourceEditor::insertCompletion);

    connect(this, &QPlainTextEdit::blockCountChanged, this,
            [this] { setViewportMargins(lineNumberWidth(), TopMargin, 0, 0); });
    connect(this, &QPlainTextEdit::updateRequest, this, &SourceEditor::updateNumbers);
    connect(this, &QPlainTextEdit::textChanged, this, [this] {
        if (m_markedLine >= 0) {
            m_markedLine = -1;
            refreshSelections();
        }
    });
    setViewportMargins(lineNumberWidth(), TopMargin, 0, 0);
}

SourceEditor::~SourceEditor() = default;

QStringList SourceEditor::lines() const
{
    QStringList result;
    for (QTextBlock block = document()->begin(); block.isValid(); block = block.next())
        result.append(block.text());
    return result;
}

int SourceEditor::lineCount() const
{
    return document()->blockCount();
}

QString SourceEditor::lineAt(int index) const
{
    const QTextBlock block = document()->findBlockByNumber(index);
    return block.isValid() ? block.text() : QString();
}

void SourceEditor::setLines(const QStringList &lines)
{
    QTextCursor cursor(document());
    cursor.select(QTextCursor::Document);
    cursor.insertText(lines.join(QLatin1Char('\n')));
    moveCursor(QTextCursor::Start);
}

void SourceEditor::markLine(int index)
{
    const QTextBlock block = document()->findBlockByNumber(index);
    m_markedLine = block.isValid() ? index : -1;
    // The line's colour is not seen by a screen reader: the description
    // changes with it and is told as it changes.
    const QString told = block.isValid() ? QStringLiteral("%1行目に誤りがあります").arg(index + 1) : QString();
    if (told != accessibleDescription())
        setAccessibleDescription(told);
    if (block.isValid()) {
        QTextCursor cursor(block);
        setTextCursor(cursor);
        ensureCursorVisible();
    }
    refreshSelections();
}

void SourceEditor::setRunningLine(int index)
{
    m_runningLine = document()->findBlockByNumber(index).isValid() ? index : -1;
    refreshSelections();
}

void SourceEditor::setFindingLine(int index)
{
    m_findingLine = document()->findBlockByNumber(index).isValid() ? index : -1;
    refreshSelections();
}

void SourceEditor::refreshSelections()
{
    QList<QTextEdit::ExtraSelection> selections;
    const auto addLine = [&](int line, const QColor &colour) {
        const QTextBlock block = document()->findBlockByNumber(line);
        if (line < 0 || !block.isValid())
            return;
        QTextEdit::ExtraSelection selection;
        selection.format.setBackground(colour);
        selection.format.setProperty(QTextFormat::FullWidthSelection, true);
        selection.cursor = QTextCursor(block);
        selections.append(selection);
    };
    addLine(m_runningLine, RunningColour);
    addLine(m_markedLine, MarkColour);
    if (const QTextBlock block = document()->findBlockByNumber(m_findingLine); m_findingLine >= 0 && block.isValid()) {
        QTextEdit::ExtraSelection wave;
        wave.format.setUnderlineStyle(QTextCharFormat::WaveUnderline);
        wave.format.setUnderlineColor(Qt::red);
        wave.cursor = QTextCursor(block);
        wave.cursor.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
        selections.append(wave);
    }
    setExtraSelections(selections);
    m_numbers->update();
}

int SourceEditor::lineNumberWidth() const
{
    // Three digits always, so the text does not jump at line 10 or 100.
    const int digits = std::max(3, int(QString::number(lineCount()).size()));
    return 8 + fontMetrics().horizontalAdvance(QLatin1Char('9')) * digits;
}

void SourceEditor::updateNumbers(const QRect &rect, int dy)
{
    if (dy)
        m_numbers->scroll(0, dy);
    else
        m_numbers->update(0, rect.y(), m_numbers->width(), rect.height());
}

void SourceEditor::resizeEvent(QResizeEvent *event)
{
    QPlainTextEdit::resizeEvent(event);
    const QRect area = contentsRect();
    m_numbers->setGeometry(QRect(area.left(), area.top(), lineNumberWidth(), area.height()));
}

void SourceEditor::paintNumbers(QPaintEvent *event)
{
    QPainter painter(m_numbers);
    painter.fillRect(event->rect(), NumberBack);
    painter.setFont(font());
    QTextBlock block = firstVisibleBlock();
    int top = qRound(blockBoundingGeometry(block).translated(contentOffset()).top()) + TopMargin;
    int bottom = top + qRound(blockBoundingRect(block).height());
    const int width = m_numbers->width() - 4;
    while (block.isValid() && top <= event->rect().bottom()) {
        if (block.isVisible() && bottom >= event->rect().top()) {
            const bool marked = block.blockNumber() == m_markedLine;
            if (marked)
                painter.fillRect(0, top, m_numbers->width(), bottom - top, QColor(0xe8, 0x50, 0x5b));
            painter.setPen(marked ? QColor(Qt::white) : NumberColour);
            painter.drawText(0, top, width, fontMetrics().height(), Qt::AlignRight,
                             QString::number(block.blockNumber() + 1));
        }
        block = block.next();
        top = bottom;
        bottom = top + qRound(blockBoundingRect(block).height());
    }
}

void SourceEditor::paintEvent(QPaintEvent *event)
{
    QPlainTextEdit::paintEvent(event);
    // Full-width spaces and tabs: a dashed box where each one stands.
    QPainter painter(viewport());
    QPen pen(SpaceBoxColour);
    pen.setStyle(Qt::DashLine);
    painter.setPen(pen);
    const int bottom = viewport()->height();
    for (QTextBlock block = firstVisibleBlock(); block.isValid(); block = block.next()) {
        const QRectF bounds = blockBoundingGeometry(block).translated(contentOffset());
        if (bounds.top() > bottom)
            break;
        for (const qsizetype i : MarkedBlanks(block.text())) {
            QTextCursor cursor(block);
            cursor.setPosition(block.position() + int(i));
            const QRect from = cursorRect(cursor);
            cursor.setPosition(block.position() + int(i) + 1);
            const QRect to = cursorRect(cursor);
            if (to.left() > from.left())
                painter.drawRect(QRect(from.left() + 2, from.top() + 2, to.left() - from.left() - 5, from.height() - 5));
        }
    }
    painter.end();
    emit repainted();
}

void SourceEditor::setCompletionWords(const QStringList &words)
{
    m_words = words;
    m_words.removeAll(QString());
    m_words.removeDuplicates();
    m_words.sort();
    static_cast<QStringListModel *>(m_completer->model())->setStringList(m_words);
}

void SourceEditor::complete()
{
    const QTextCursor cursor = textCursor();
    const QString prefix = WordBefore(cursor.block().text(), cursor.positionInBlock());
    m_completer->setCompletionPrefix(prefix);
    const int count = m_completer->completionCount();
    if (count == 0) {
        m_completer->popup()->hide();
        return;
    }
    if (count == 1 && !prefix.isEmpty()) {
        m_completer->setCurrentRow(0);
        insertCompletion(m_completer->currentCompletion());
        return;
    }
    QAbstractItemView *popup = m_completer->popup();
    popup->setCurrentIndex(m_completer->completionModel()->index(0, 0));
    QRect rect = cursorRect();
    rect.translate(viewport()->pos());
    rect.setWidth(popup->sizeHintForColumn(0) + popup->verticalScrollBar()->sizeHint().width() + 8);
    m_completer->complete(rect);
}

void SourceEditor::insertCompletion(const QString &word)
{
    QTextCursor cursor = textCursor();
    const QString prefix = WordBefore(cursor.block().text(), cursor.positionInBlock());
    cursor.movePosition(QTextCursor::Left, QTextCursor::KeepAnchor, int(prefix.size()));
    const WordHelp help = m_help.value(word.toLower());
    const QString text = help.completion.isEmpty() ? word : help.completion;
    cursor.insertText(text);
    if (help.caret >= 0 && help.caret < text.size())
        cursor.movePosition(QTextCursor::Left, QTextCursor::MoveAnchor, int(text.size() - help.caret));
    setTextCursor(cursor);
    m_lastHint = help.hint;
    // Not a tooltip: the key's own release would close it at once.
    if (!help.hint.isEmpty())
        emit hintShown(help.hint);
}

QString SourceEditor::hoverTextAt(QPoint viewportPoint) const
{
    QTextCursor cursor = cursorForPosition(viewportPoint);
    // Only over the text itself, not the empty space after a line's end.
    if (!cursorRect(cursor).adjusted(-fontMetrics().averageCharWidth(), 0, fontMetrics().averageCharWidth(), 0)
             .contains(viewportPoint))
        return {};
    cursor.select(QTextCursor::WordUnderCursor);
    return m_help.value(cursor.selectedText().toLower()).hover;
}

bool SourceEditor::viewportEvent(QEvent *event)
{
    if (event->type() == QEvent::ToolTip) {
        const auto *help = static_cast<QHelpEvent *>(event);
        const QString text = hoverTextAt(help->pos());
        if (text.isEmpty())
            QToolTip::hideText();
        else
            QToolTip::showText(help->globalPos(), text, viewport());
        return true;
    }
    return QPlainTextEdit::viewportEvent(event);
}

void SourceEditor::keyPressEvent(QKeyEvent *event)
{
    if (m_completer->popup()->isVisible()) {
        switch (event->key()) {
        case Qt::Key_Enter:
        case Qt::Key_Return:
        case Qt::Key_Escape:
        case Qt::Key_Tab:
        case Qt::Key_Backtab:
            event->ignore(); // the completer takes them
            return;
        default:
            break;
        }
    }
    // Tab belongs to the text; Ctrl+Tab and Ctrl+Shift+Tab leave it, so the
    // keyboard is never shut in.
    if ((event->key() == Qt::Key_Tab || event->key() == Qt::Key_Backtab)
        && (event->modifiers() & Qt::ControlModifier)) {
        // The text edit refuses to move the focus while Tab is text: past it.
        QWidget::focusNextPrevChild(event->key() == Qt::Key_Tab && !(event->modifiers() & Qt::ShiftModifier));
        return;
    }
    if (event->key() == Qt::Key_Space && (event->modifiers() & Qt::ControlModifier)) {
        complete();
        return;
    }
    // Ctrl+Y redoes here as in the flowchart editor (the platform may only
    // offer Ctrl+Shift+Z).
    if (event->key() == Qt::Key_Y && event->modifiers() == Qt::ControlModifier) {
        redo();
        return;
    }
    QPlainTextEdit::keyPressEvent(event);
    if (m_completer->popup()->isVisible()) {
        // Typing on narrows the list; leaving the word closes it.
        const QTextCursor cursor = textCursor();
        const QString prefix = WordBefore(cursor.block().text(), cursor.positionInBlock());
        m_completer->setCompletionPrefix(prefix);
        if (prefix.isEmpty() || m_completer->completionCount() == 0)
            m_completer->popup()->hide();
        else
            m_completer->popup()->setCurrentIndex(m_completer->completionModel()->index(0, 0));
    }
}

} // namespace koru
