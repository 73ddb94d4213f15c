#include "ui/TraceLog.h"

#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

namespace przenosnik {

namespace {
// While a run is writing, the memo is repainted at most this often.
constexpr qint64 RepaintIntervalMs = 200;
} // namespace

TraceLog::TraceLog(QPlainTextEdit* memo, int batchSize) : m_memo(memo), m_batchSize(qMax(1, batchSize))
{
    // The log is read-only: an undo history of it would only cost memory.
    m_memo->setUndoRedoEnabled(false);
    m_shownLines = m_memo->document()->isEmpty() ? 0 : m_memo->document()->blockCount();
    m_sincePaint.start();
    m_flushSoon.setSingleShot(true);
    m_flushSoon.setInterval(0);
    QObject::connect(&m_flushSoon, &QTimer::timeout, [this] { flush(); });
}

void TraceLog::append(const QString& line)
{
    if (m_pending.isEmpty()) {
        m_flushSoon.start();
    }
    m_pending.append(line);
    if (m_pending.size() >= m_batchSize) {
        flush();
        if (m_sincePaint.elapsed() >= RepaintIntervalMs && m_memo->isVisible()) {
            m_memo->viewport()->repaint();
            m_sincePaint.restart();
        }
    }
}

void TraceLog::flush()
{
    m_flushSoon.stop();
    if (m_pending.isEmpty()) {
        return;
    }
    // The document cannot tell an empty log from one empty line, so the count
    // of lines already shown decides whether a line break goes first.
    QString text = m_pending.join(QLatin1Char('\n'));
    if (m_shownLines > 0) {
        text.prepend(QLatin1Char('\n'));
    }
    QTextCursor cursor(m_memo->document());
    cursor.movePosition(QTextCursor::End);
    cursor.insertText(text);
    m_shownLines += int(m_pending.size());
    m_pending.clear();
    // The view follows the last line, wherever it was scrolled to before:
    // what was appended last is what the user needs to see.
    m_memo->moveCursor(QTextCursor::End);
    m_memo->moveCursor(QTextCursor::StartOfLine);
    m_memo->verticalScrollBar()->setValue(m_memo->verticalScrollBar()->maximum());
}

void TraceLog::clear()
{
    m_pending.clear();
    m_memo->clear();
    m_shownLines = 0;
}

QStringList TraceLog::lines() const
{
    QStringList result;
    if (m_shownLines > 0) {
        // The raw text keeps every character as appended (no-break spaces too).
        result = m_memo->document()->toRawText().split(QChar::ParagraphSeparator);
    }
    result.append(m_pending);
    return result;
}

QStringList TraceLog::lines(int first, int count) const
{
    QStringList result;
    const int end = qMin(first + qMax(0, count), lineCount());
    int line = qMax(0, first);
    if (line < m_shownLines) {
        for (QTextBlock block = m_memo->document()->findBlockByNumber(line);
             block.isValid() && line < qMin(end, m_shownLines); block = block.next(), ++line) {
            result.append(block.text());
        }
    }
    for (; line < end; ++line) {
        result.append(m_pending.at(line - m_shownLines));
    }
    return result;
}

} // namespace przenosnik
