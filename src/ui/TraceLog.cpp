#include "ui/TraceLog.h"

#include <QAbstractItemView>

namespace przenosnik {

TraceLog::TraceLog(QAbstractItemView* view, int batchSize, qsizetype blockSize)
    : m_view(view), m_batchSize(qMax(1, batchSize)), m_text(blockSize),
      m_lines(blockSize / qsizetype(sizeof(TextBlocks<char>::Place)))
{
    m_view->setModel(this);
    m_flushSoon.setSingleShot(true);
    m_flushSoon.setInterval(0);
    connect(&m_flushSoon, &QTimer::timeout, this, &TraceLog::flush);
    m_scrollSoon.setSingleShot(true);
    m_scrollSoon.setInterval(0);
    connect(&m_scrollSoon, &QTimer::timeout, m_view, &QAbstractItemView::scrollToBottom);
}

void TraceLog::append(const QString& line)
{
    if (lineCount() == m_shownLines) {
        m_flushSoon.start();
    }
    // Room for the longest encoding; the block keeps what the line needs.
    const auto place = m_text.makeRoom(line.size() * 3);
    m_toUtf8.resetState();
    char* const start = m_text.end();
    m_text.grow(m_toUtf8.appendToBuffer(start, line) - start);
    if (m_toUtf8.hasError()) {
        m_otherLines.insert(lineCount(), line);
    }
    m_lines.append(place);
    if (lineCount() - m_shownLines >= m_batchSize) {
        flush();
    }
}

void TraceLog::flush()
{
    m_flushSoon.stop();
    const int total = lineCount();
    if (total == m_shownLines) {
        return;
    }
    beginInsertRows({}, m_shownLines, total - 1);
    m_shownLines = total;
    endInsertRows();
    // The view follows the last line, wherever it was scrolled to before:
    // what was appended last is what the user needs to see. It is scrolled
    // once the rows are laid out, not at every batch.
    m_scrollSoon.start();
}

void TraceLog::scrollToLastLine()
{
    m_scrollSoon.stop();
    m_view->scrollToBottom();
}

void TraceLog::clear()
{
    m_flushSoon.stop();
    m_scrollSoon.stop();
    beginResetModel();
    m_text.clear();
    m_lines.clear();
    m_otherLines.clear();
    m_shownLines = 0;
    endResetModel();
}

QStringList TraceLog::lines(int first, int count) const
{
    const int from = qBound(0, first, lineCount());
    const int end = qBound(from, first + qMax(0, count), lineCount());
    QStringList result;
    result.reserve(end - from);
    for (int number = from; number < end; ++number) {
        result.append(line(number));
    }
    return result;
}

QString TraceLog::line(int number) const
{
    const auto place = m_lines.at(number);
    const qsizetype end = number + 1 < lineCount() && m_lines.at(number + 1).block == place.block
                              ? m_lines.at(number + 1).offset
                              : m_text.blockSize(place.block);
    if (!m_otherLines.isEmpty()) {
        const auto other = m_otherLines.constFind(number);
        if (other != m_otherLines.cend()) {
            return *other;
        }
    }
    return QString::fromUtf8(m_text.data(place), end - place.offset);
}

int TraceLog::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_shownLines;
}

QVariant TraceLog::data(const QModelIndex& index, int role) const
{
    if (role != Qt::DisplayRole || index.parent().isValid() || index.row() < 0 ||
        index.row() >= m_shownLines) {
        return {};
    }
    return line(index.row());
}

} // namespace przenosnik
