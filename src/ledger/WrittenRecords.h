// What a run appended to one monthly file: where each of its records landed
// and a digest of its bytes, so that it can tell when another program cut the
// file short or wrote over them.
#pragma once

#include <QByteArrayView>
#include <QList>
#include <QtGlobal>

#include <vector>

namespace przenosnik {

class WrittenRecords
{
public:
    // The record now stands at that byte position; tag names it to the caller.
    void add(qint64 position, QByteArrayView record, int tag);

    bool isEmpty() const { return m_records.empty(); }
    // Just past the last record of the run: the file is never shorter.
    qint64 end() const { return m_end; }

    // Whether the last record still stands in the file as written.
    bool lastIntact(int handle) const;
    // The tags of the records that are no longer in the file as written,
    // the file being `size` bytes long; each is reported once.
    QList<int> takeLost(int handle, qint64 size);

private:
    struct Record
    {
        qint64 position = 0;
        quint32 digest = 0;
        int tag = 0;
    };
    std::vector<Record> m_records;
    qint64 m_end = 0;
};

} // namespace przenosnik
