// The trace log of the main window: whole lines appended to a read-only
// QPlainTextEdit in batches, so that a long run does not lay out the memo
// once per line.
#pragma once

#include <QElapsedTimer>
#include <QStringList>
#include <QTimer>

class QPlainTextEdit;

namespace przenosnik {

class TraceLog
{
public:
    // Lines are collected and handed to the memo every batchSize lines.
    explicit TraceLog(QPlainTextEdit* memo, int batchSize = 2000);

    // Appends one whole line (it may be empty).
    void append(const QString& line);
    // Hands every collected line to the memo and scrolls it to the last line.
    void flush();
    // Removes every line, collected or shown.
    void clear();

    // The lines of the log, the collected ones included.
    QStringList lines() const;
    // The lines numbered first to first + count - 1, as far as the log has them.
    QStringList lines(int first, int count) const;
    int lineCount() const { return m_shownLines + int(m_pending.size()); }

private:
    QPlainTextEdit* m_memo;
    int m_batchSize;
    QStringList m_pending;
    int m_shownLines = 0;
    QElapsedTimer m_sincePaint;
    // Shows lines appended outside a run once the event loop runs again.
    QTimer m_flushSoon;
};

} // namespace przenosnik
