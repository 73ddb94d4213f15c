// Entries appended to a monthly file since the run last asked where the file
// ends. Each entry goes to the file's end in one write, numbered after the end
// the run expects. When the file then ends where expected, nobody else wrote
// and every entry stands where it was numbered; otherwise each entry is
// looked for in what the file holds.
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QtGlobal>

namespace przenosnik {

class UnconfirmedAppends
{
public:
    // The next entry is expected to land at `end`.
    void expectAt(qint64 end)
    {
        m_start = end;
        // Emptied, keeping their room for the next entries.
        m_records.resize(0);
        m_tags.resize(0);
    }
    bool isEmpty() const { return m_tags.isEmpty(); }
    qsizetype count() const { return m_tags.size(); }
    // Where the first entry was expected to land.
    qint64 start() const { return m_start; }
    // Where the file ends when nobody else wrote.
    qint64 expectedEnd() const { return m_start + m_records.size(); }

    // The record as written (numbered for expectedEnd()).
    void add(QByteArrayView record, int tag);
    QByteArrayView record(qsizetype index) const;
    int tag(qsizetype index) const { return m_tags.at(index); }

    // Where each entry stands in `contents`, the file's bytes from `offset` on:
    // its byte position, or -1 where it is not found. Entries are looked for in
    // the order they were written, each after the one before.
    QList<qint64> locate(QByteArrayView contents, qint64 offset) const;

private:
    qint64 m_start = 0;
    QByteArray m_records; // one after another, as written
    QList<int> m_tags;
};

} // namespace przenosnik
