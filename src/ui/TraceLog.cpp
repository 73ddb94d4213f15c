#include "ui/TraceLog.h"

#include <QAbstractItemView>

namespace przenosnik {

TraceLog::TraceLog(QAbstractItemView* view, int batchSize) : m_view(view), m_batchSize(qMax(1, batchSize))
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
    m_text.append(line);
    m_ends.append(m_text.size());
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
    m_ends.clear();
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
    const qsizetype start = number == 0 ? 0 : m_ends.at(number - 1);
    return m_text.sliced(start, m_ends.at(number) - start);
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
