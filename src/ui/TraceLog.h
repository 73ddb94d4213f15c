// The trace log of the main window. The lines are kept here and the view
// shows them through this list model, which announces new lines in batches;
// a list view lays out only the lines on screen, so that a run of any length
// costs the log no more than keeping its lines.
#pragma once

#include "ui/BlockList.h"
#include "ui/TextBlocks.h"

#include <QAbstractListModel>
#include <QHash>
#include <QStringEncoder>
#include <QStringList>
#include <QTimer>

class QAbstractItemView;

namespace przenosnik {

class TraceLog : public QAbstractListModel
{
    Q_OBJECT
public:
    // Becomes the model of `view`; lines are announced to it every batchSize
    // lines. Their text is kept in blocks of blockSize bytes, where they
    // start in blocks of as many bytes.
    explicit TraceLog(QAbstractItemView* view, int batchSize = 2000,
                      qsizetype blockSize = qsizetype(platform::LargePageSize));

    // Appends one whole line (it may be empty).
    void append(const QString& line);
    // Announces every collected line to the view, which scrolls to the last
    // line when the event loop runs next (or at scrollToLastLine).
    void flush();
    void scrollToLastLine();
    // Removes every line, collected or shown.
    void clear();

    // The lines of the log, the collected ones included.
    QStringList lines() const { return lines(0, lineCount()); }
    // The lines numbered first to first + count - 1, as far as the log has them.
    QStringList lines(int first, int count) const;
    int lineCount() const { return int(m_lines.size()); }
    // The lines the view has been told of.
    int shownLineCount() const { return m_shownLines; }

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

private:
    QString line(int number) const;

    QAbstractItemView* m_view;
    int m_batchSize;
    // Every line's text one after another in UTF-8, and where each line
    // starts: a run's hundreds of thousands of lines cost a few blocks, not
    // one each. A line ends where the next one starts in its block, or at the
    // block's end.
    TextBlocks<char> m_text;
    BlockList<TextBlocks<char>::Place> m_lines;
    QStringEncoder m_toUtf8{QStringEncoder::Utf8};
    // The lines that UTF-8 cannot hold as they are (a lone surrogate), by number.
    QHash<int, QString> m_otherLines;
    int m_shownLines = 0;
    // Shows lines appended outside a run once the event loop runs again.
    QTimer m_flushSoon;
    QTimer m_scrollSoon;
};

} // namespace przenosnik
