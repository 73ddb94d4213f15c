// The ledger program's monthly data file of one company: 400-byte entries,
// appended one after another, one file per year and month.
#pragma once

#include "ledger/LedgerEntry.h"
#include "ledger/UnconfirmedAppends.h"
#include "ledger/WrittenRecords.h"
#include "platform/NativeFile.h"

#include <QFile>
#include <QString>
#include <QtGlobal>

#include <functional>
#include <map>

namespace przenosnik {

// Receives the one line that reports a failure.
using TraceSink = std::function<void(const QString& line)>;

// Told before a monthly file is opened for the run's entries, after its path
// is known and before anything creates or changes it.
class MonthFileObserver
{
public:
    virtual ~MonthFileObserver() = default;
    // Answers false to keep the file from being opened; the observer has then
    // written its own trace line.
    virtual bool beforeOpen(const QString& path) = 0;
    // A record is in the file at that position.
    virtual void appended(const QString& path, qint64 position, QByteArrayView record)
    {
        Q_UNUSED(path);
        Q_UNUSED(position);
        Q_UNUSED(record);
    }
};

// The name of the file that holds the entries of one month: "2014T305.3".
QString monthFileName(int year, int month);

// Whether a name is that of a monthly file: "2014T305.3", any letter case.
bool isMonthFileName(const QString& name);

// At most one monthly file is open at a time; consecutive entries of the same
// month share it. The file is opened without locks: the ledger program may
// read and append to it meanwhile. Every entry is appended in one operation
// at the file's end as it is at that moment, so nothing another program
// appended is overwritten, and numbered with the position where it landed.
// Where the file ends is asked before every entry, and before every few
// entries in a long streak that found nobody else writing; where an entry
// landed is known from the next question (or ConfirmAppends): an entry that
// another program's append pushed further is then numbered where it stands,
// and reported as moved.
class MonthFile
{
public:
    // An entry that landed further than numbered at first.
    struct MovedEntry
    {
        int tag = 0;
        QString path;
        qint32 from = 0; // the EntryNo it was written with
        qint32 to = 0;   // the EntryNo where it stands
    };

    // Paths longer than this are refused rather than shortened.
    static constexpr int MaxPathLength = 128;

    MonthFile(QString companyDirectory, TraceSink trace);
    ~MonthFile();
    MonthFile(const MonthFile&) = delete;
    MonthFile& operator=(const MonthFile&) = delete;

    // Makes the file of that period the current one, creating it when needed.
    bool OpenMonthFile(quint16 year, quint8 month);
    // Appends the entry as the new last record and sets its EntryNo. A
    // partial record at the end, left there long enough not to be one being
    // written, is replaced. Fails when the file lost records of this run or
    // had them overwritten meanwhile; the tag names the entry in lostRecords.
    bool AppendEntry(LedgerEntry& entry, int tag = 0);
    // Closes the current file, if any, once its entries are confirmed.
    bool CloseMonthFile();
    // Whether the file of that period is the one open.
    bool holds(quint16 year, quint8 month) const;
    // Makes sure that every entry appended to the open file stands in it as a
    // whole record, numbered where it stands (puts the number right where
    // another program appended meanwhile). False, with the one trace line,
    // when the file was cut short or changed meanwhile.
    bool ConfirmAppends();
    // Whether entries appended to the open file await confirmation.
    bool hasUnconfirmedAppends() const { return !m_unconfirmed.isEmpty(); }
    // The entries confirmed elsewhere than first numbered, since last asked.
    QList<MovedEntry> takeMovedEntries();
    // Whether the entry of the last AppendEntry stands in the file as a
    // whole record, numbered, even when the append failed (the file was cut
    // short or changed meanwhile).
    bool entryLanded() const { return m_landed; }
    // Whether every file the run appended to still holds all of its entries
    // as written; a line for each file that does not.
    bool CheckWrittenEntries();
    // The tags of the entries found gone from their files since last asked.
    QList<int> takeLostEntries();

    // Asked before every open; none by default.
    void setObserver(MonthFileObserver* observer) { m_observer = observer; }
    // The file open under this handle (the export file of the run) is never
    // taken as a monthly file.
    void refuseSameFileAs(int handle);
    // Where OpenMonthFile would find the file of that period, another letter
    // case included, without opening or creating anything. Not usable when
    // OpenMonthFile would refuse the path.
    struct Location
    {
        QString path;
        bool usable = false;
    };
    Location locate(quint16 year, quint8 month) const;

    bool isOpen() const { return m_open; }
    // The path of the file last opened or attempted.
    const QString& path() const { return m_path; }

private:
    QString buildPath(quint16 year, quint8 month) const;
    bool pathIsAcceptable(const QString& path, quint8 month) const;
    QString existingFileIgnoringCase(const QString& path) const;
    bool openFile();
    bool isRefusedFile() const;
    bool closeFile();
    bool unchangedBeneath(qint64 size, bool named);
    bool waitForWholeRecords(qint64& size, qint64& modified);
    bool appendAtEnd(LedgerEntry& entry, qint64 size, int tag);
    bool appendUnconfirmed(LedgerEntry& entry, int tag);
    bool settleUnconfirmed(const platform::OpenFileState& state);
    bool settleLandings(const platform::OpenFileState& state);
    bool replacePartialTail(LedgerEntry& entry, qint64 size, int tag);
    bool writeInPlace(qint64 position, QByteArrayView bytes);
    void appended(qint64 position, QByteArrayView record, int tag);
    bool failAppend(qint64 size);
    bool failPartialAppend(qint64 written, qint64 end);
    void report(const char* before);

    QString m_directory;
    TraceSink m_trace;
    bool m_open = false;
    qint32 m_periodKey = 0;
    QString m_path;
    QFile m_file;
    MonthFileObserver* m_observer = nullptr;
    std::map<QString, WrittenRecords> m_written; // by path, every file this run appended to
    WrittenRecords* m_records = nullptr;         // of the open file
    int m_handle = -1;                           // of the open file
    qint64 m_knownSize = -1;                     // of the open file right after the run's last append
    UnconfirmedAppends m_unconfirmed;            // appended to the open file, not yet confirmed
    bool m_appendWithoutAsking = false;          // the open file ends with the run's entries
    int m_quietQuestions = 0;                    // in a row, that found nobody else had written
    QList<MovedEntry> m_moved;
    qint64 m_unflushed = 0; // bytes of entries written since the disk was last given them
    bool m_landed = false;  // the last entry stands in the file, even if the append failed
    QList<int> m_lost;
    bool m_created = false;               // the open file did not exist before this run opened it
    bool m_appendFailed = false;          // an append to the open file failed
    platform::FileIdentity m_refusedFile; // never opened as a monthly file
};

} // namespace przenosnik
