// How an entry is appended to the open monthly file: at the file's end as it
// is at that moment, numbered where it lands, with nothing another program
// wrote overwritten; a partial record at the end waited for or replaced.
#include "ledger/MonthFile.h"

#include "platform/NativeFile.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <QtEndian>

#include <algorithm>
#include <chrono>
#include <limits>
#include <thread>

namespace przenosnik {

namespace {

// A partial record at a file's end that nobody has written to for this long
// is a left-over; one that stays in writing for longer stops the run.
constexpr qint64 PartialTailQuietMsecs = 2000;
constexpr qint64 PartialTailWaitMsecs = 10000;
// After this many questions in a row found the file ending with the run's own
// last entry, the file is asked only before every this many entries; once a
// question finds another program's bytes, before every entry again.
constexpr int QuietStreak = 8;
// After this many bytes of entries, the disk is given them without waiting.
constexpr qint64 FlushStartBytes = 1 << 20;

} // namespace

// Whether the open file still holds what the run appended to it: no shorter
// than just past its last entry, and that entry as written. Another program
// cutting the file short and appending anew leaves the size proper but that
// entry changed; it is read back only when the size is not the run's own.
bool MonthFile::unchangedBeneath(qint64 size, bool named)
{
    if (size < 0 || !named || size < m_records->end())
        return false;
    return size == m_knownSize || m_records->lastIntact(m_handle);
}

// A partial record at the end is either left over (a program that stopped
// while writing it) or being written right now, in pieces. It counts as left
// over once nothing has been written to the file for a while, by its
// modification time or by watching it; one that meanwhile becomes whole is a
// record like any other.
bool MonthFile::waitForWholeRecords(qint64& size, qint64& modified)
{
    QElapsedTimer waiting;
    waiting.start();
    QElapsedTimer unchanged;
    unchanged.start();
    while (size % LedgerEntrySize != 0) {
        const qint64 age = QDateTime::currentMSecsSinceEpoch() - modified;
        if (age >= PartialTailQuietMsecs || unchanged.elapsed() >= PartialTailQuietMsecs)
            return true;
        if (waiting.elapsed() >= PartialTailWaitMsecs)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        const platform::OpenFileState state = platform::stateOf(m_handle);
        const qint64 now = platform::modifiedMsecs(m_handle);
        if (state.size < 0 || !state.named)
            return false;
        if (state.size != size || now != modified)
            unchanged.restart();
        size = state.size;
        modified = now;
    }
    return true;
}

// Bytes written at their place. The handle appends everything it writes, so
// it stops doing so for this one write.
bool MonthFile::writeInPlace(qint64 position, QByteArrayView bytes)
{
    if (!platform::setAppending(m_handle, false))
        return false;
    const bool written = platform::writeAt(m_handle, position, bytes);
    return platform::setAppending(m_handle, true) && written;
}

void MonthFile::appended(qint64 position, QByteArrayView record, int tag)
{
    m_records->add(position, record, tag);
    if (m_observer)
        m_observer->appended(m_path, position, record);
}

// Reports a failed append; the entries of the run that the file no longer
// holds are noted as lost.
bool MonthFile::failAppend(qint64 size)
{
    m_lost += m_records->takeLost(m_handle, size);
    m_appendFailed = true;
    report("Błąd dopisania do pliku ");
    return false;
}

// An append that wrote only a part of the entry (disk full, file-size limit)
// or none: the part is taken back, unless another program appended behind it
// meanwhile. `end` is the handle's position after the write, when it wrote any.
bool MonthFile::failPartialAppend(qint64 written, qint64 end)
{
    if (written > 0 && end >= 0 && platform::stateOf(m_handle).size == end)
        platform::truncateFile(m_handle, end - written);
    m_appendFailed = true;
    report("Błąd dopisania do pliku ");
    return false;
}

// Appends the entry where the file ends now, numbered after the size just
// seen. The file's own position after the write says where it landed: where
// another program appended meanwhile, the number is put right; where the file
// was cut short or changed, the run stops.
bool MonthFile::appendAtEnd(LedgerEntry& entry, qint64 size, int tag)
{
    const qint64 records = size / LedgerEntrySize;
    entry.setInt32(field::EntryNo, static_cast<qint32>(records + 1));
    m_knownSize = -1;
    const qint64 written = platform::appendToEnd(m_handle, entry.bytes());
    const qint64 end = written > 0 ? platform::appendedEnd(m_handle) : -1;
    if (written != LedgerEntrySize)
        return failPartialAppend(written, end);
    const qint64 landed = end >= 0 ? end - LedgerEntrySize : -1;
    if (landed == size) {
        m_knownSize = end;
        appended(size, entry.bytes(), tag);
        // The file ends with this entry: the next ones go without asking first.
        m_appendWithoutAsking = true;
        m_unconfirmed.expectAt(end);
        return true;
    }
    const platform::OpenFileState after = platform::stateOf(m_handle);
    // Another program wrote meanwhile.
    const bool before = landed >= m_records->end() && m_records->lastIntact(m_handle);
    const bool whole = landed >= 0 && landed % LedgerEntrySize == 0;
    if (whole && landed != size) {
        // Numbered where it really stands.
        entry.setInt32(field::EntryNo, static_cast<qint32>(landed / LedgerEntrySize + 1));
        if (!writeInPlace(landed, QByteArrayView(entry.bytes()).first(field::EntryNo.width)))
            return failAppend(platform::stateOf(m_handle).size);
    }
    if (whole) {
        m_landed = true;
        appended(landed, entry.bytes(), tag);
    } else if (landed >= 0 && m_observer) {
        // Behind a piece of another program's record: no entry, but its bytes are there.
        m_observer->appended(m_path, landed, entry.bytes());
    }
    // Appended into a file cut short meanwhile, or one whose records of
    // this run changed, or behind a piece of another record: the run stops.
    if (!after.named || after.size < 0 || !before || !whole || landed < size)
        return failAppend(after.named ? after.size : 0);
    return true;
}

// The entry goes over the partial record at the end, provided the file still
// ends in that same partial record right before it is written.
bool MonthFile::replacePartialTail(LedgerEntry& entry, qint64 size, int tag)
{
    const qint64 position = size / LedgerEntrySize * LedgerEntrySize;
    // Kept, to be put back if the entry cannot be written.
    QByteArray tail(qsizetype(size - position), Qt::Uninitialized);
    if (platform::readAt(m_handle, position, tail.data(), tail.size()) != tail.size() ||
        platform::stateOf(m_handle).size != size) {
        m_appendFailed = true;
        report("Błąd dopisania do pliku ");
        return false;
    }
    entry.setInt32(field::EntryNo, static_cast<qint32>(position / LedgerEntrySize + 1));
    if (!writeInPlace(position, entry.bytes())) {
        // The file is again byte for byte what it was.
        const platform::OpenFileState now = platform::stateOf(m_handle);
        if (now.size > size && now.size <= position + LedgerEntrySize)
            platform::truncateFile(m_handle, size);
        writeInPlace(position, tail);
        m_appendFailed = true;
        report("Błąd dopisania do pliku ");
        return false;
    }
    m_landed = true;
    appended(position, entry.bytes(), tag);
    // Whole records behind it are another program's, appended after it; a
    // partial one means the other program went on writing its record.
    const qint64 after = platform::stateOf(m_handle).size;
    if (after % LedgerEntrySize != 0 || !m_records->lastIntact(m_handle))
        return failAppend(after);
    return true;
}

bool MonthFile::AppendEntry(LedgerEntry& entry, int tag)
{
    m_landed = false;
    if (!m_open) {
        report("Błąd dopisania do pliku ");
        return false;
    }
    // In a long quiet streak the file is asked only before every few entries.
    if (m_appendWithoutAsking && m_quietQuestions >= QuietStreak && m_unconfirmed.count() < QuietStreak)
        return appendUnconfirmed(entry, tag);
    platform::OpenFileState state = platform::stateOf(m_handle);
    if (state.size < 0) {
        m_appendFailed = true;
        report("Błąd dopisania do pliku ");
        return false;
    }
    if (m_appendWithoutAsking) {
        if (!settleUnconfirmed(state))
            return failAppend(state.named ? state.size : 0);
        // Still so when the file ends with the run's own entries.
        if (m_appendWithoutAsking)
            return appendUnconfirmed(entry, tag);
    }
    if (!unchangedBeneath(state.size, state.named))
        return failAppend(state.named ? state.size : 0);
    if (state.size / LedgerEntrySize >= std::numeric_limits<qint32>::max()) {
        report("Błąd dopisania do pliku ");
        return false;
    }
    if (state.size % LedgerEntrySize == 0)
        return appendAtEnd(entry, state.size, tag);
    qint64 modified = platform::modifiedMsecs(m_handle);
    if (!waitForWholeRecords(state.size, modified))
        return failAppend(state.size);
    if (!unchangedBeneath(state.size, true))
        return failAppend(state.size);
    if (state.size % LedgerEntrySize == 0)
        return appendAtEnd(entry, state.size, tag);
    return replacePartialTail(entry, state.size, tag);
}

// The file ends just after the run's own last entry, as asked right before:
// the entry goes there in one write, numbered so. Where it landed is
// confirmed by the next question the file is asked. A write that fails is
// taken back as the first one is.
bool MonthFile::appendUnconfirmed(LedgerEntry& entry, int tag)
{
    const qint64 position = m_unconfirmed.expectedEnd();
    if (position / LedgerEntrySize >= std::numeric_limits<qint32>::max()) {
        report("Błąd dopisania do pliku ");
        return false;
    }
    entry.setInt32(field::EntryNo, static_cast<qint32>(position / LedgerEntrySize + 1));
    const qint64 written = platform::appendToEnd(m_handle, entry.bytes());
    if (written != LedgerEntrySize) {
        m_appendWithoutAsking = false;
        return failPartialAppend(written, written > 0 ? platform::appendedEnd(m_handle) : -1);
    }
    m_unconfirmed.add(entry.bytes(), tag);
    m_landed = true;
    // The disk gets the entries while the run goes on; the journal's wait
    // for them at the run's end is then short.
    m_unflushed += LedgerEntrySize;
    if (m_unflushed >= FlushStartBytes) {
        platform::startFlushToDisk(m_handle);
        m_unflushed = 0;
    }
    return true;
}

bool MonthFile::ConfirmAppends()
{
    if (!m_open || m_unconfirmed.isEmpty())
        return true;
    const platform::OpenFileState state = platform::stateOf(m_handle);
    if (settleUnconfirmed(state))
        return true;
    return failAppend(state.named ? std::max<qint64>(state.size, 0) : 0);
}

// Where the file ends where the run expects, nobody else wrote meanwhile and
// every entry stands where it was numbered. Otherwise each is looked for, and
// the next entry asks the file as the first one does.
bool MonthFile::settleUnconfirmed(const platform::OpenFileState& state)
{
    const qint64 start = m_unconfirmed.start();
    const qint64 end = m_unconfirmed.expectedEnd();
    if (state.named && state.size == end) {
        ++m_quietQuestions;
        for (qsizetype index = 0; index < m_unconfirmed.count(); ++index)
            appended(start + index * LedgerEntrySize, m_unconfirmed.record(index), m_unconfirmed.tag(index));
        m_knownSize = end;
        m_unconfirmed.expectAt(end);
        return true;
    }
    m_appendWithoutAsking = false;
    m_quietQuestions = 0;
    if (m_unconfirmed.isEmpty())
        return true;
    return settleLandings(state);
}

// Another program wrote meanwhile, or cut the file short: each entry is
// looked for in what the file holds, and numbered where it stands. One
// that is gone, or stands behind a piece of another record, is lost.
bool MonthFile::settleLandings(const platform::OpenFileState& state)
{
    const qint64 size = std::max<qint64>(state.size, 0);
    const auto read = [this, size](qint64 from) {
        QByteArray contents(qsizetype(size - from), Qt::Uninitialized);
        const qint64 got = platform::readAt(m_handle, from, contents.data(), contents.size());
        contents.resize(qsizetype(std::max<qint64>(got, 0)));
        return contents;
    };
    const qint64 start = m_unconfirmed.start();
    qint64 from = std::min(start, size);
    QList<qint64> positions = m_unconfirmed.locate(read(from), from);
    if (from > 0 && positions.first() < 0) {
        // Cut shorter than where the entries began: they may stand anywhere.
        from = 0;
        positions = m_unconfirmed.locate(read(from), from);
    }
    bool intact = state.named && state.size >= 0;
    qint64 end = -1;
    for (qsizetype index = 0; index < positions.size(); ++index) {
        const qint64 position = positions.at(index);
        const int tag = m_unconfirmed.tag(index);
        QByteArray record = m_unconfirmed.record(index).toByteArray();
        if (position < 0 || position % LedgerEntrySize != 0) {
            // Behind a piece of another program's record: no entry, but its bytes are there.
            if (position >= 0 && m_observer)
                m_observer->appended(m_path, position, record);
            m_lost.append(tag);
            intact = false;
            continue;
        }
        const qint32 number = static_cast<qint32>(position / LedgerEntrySize + 1);
        const qint32 numbered = qFromLittleEndian<qint32>(record.constData());
        if (number != numbered) {
            qToLittleEndian<qint32>(number, record.data());
            if (!writeInPlace(position, QByteArrayView(record).first(field::EntryNo.width))) {
                if (m_observer)
                    m_observer->appended(m_path, position, m_unconfirmed.record(index));
                m_lost.append(tag);
                intact = false;
                continue;
            }
            m_moved.append(MovedEntry{tag, m_path, numbered, number});
        }
        appended(position, record, tag);
        // Appended into a file cut short meanwhile.
        if (position < start)
            intact = false;
        end = position + LedgerEntrySize;
    }
    m_unconfirmed.expectAt(0);
    m_knownSize = intact ? end : -1;
    return intact;
}

} // namespace przenosnik
