// The ledger program's monthly data file of one company: 400-byte entries,
// appended one after another, one file per year and month.
#pragma once

#include "ledger/LedgerEntry.h"
#include "platform/NativeFile.h"

#include <QFile>
#include <QString>
#include <QtGlobal>

#include <functional>

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

// At most one monthly file is open at a time; consecutive entries of the same
// month share it. The file is opened without locks: the ledger program may
// read and append to it meanwhile.
class MonthFile
{
public:
    // Paths longer than this are refused rather than shortened.
    static constexpr int MaxPathLength = 128;

    MonthFile(QString companyDirectory, TraceSink trace);
    ~MonthFile();
    MonthFile(const MonthFile&) = delete;
    MonthFile& operator=(const MonthFile&) = delete;

    // Makes the file of that period the current one, creating it when needed.
    bool OpenMonthFile(quint16 year, quint8 month);
    // Appends the entry as the new last record and sets its EntryNo.
    bool AppendEntry(LedgerEntry& entry);
    // Closes the current file, if any.
    bool CloseMonthFile();

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
    bool sizeWhileStillNamed(qint64& size) const;
    bool writeAt(qint64 position, const QByteArray& bytes);
    void report(const char* before);

    QString m_directory;
    TraceSink m_trace;
    bool m_open = false;
    qint32 m_periodKey = 0;
    QString m_path;
    QFile m_file;
    MonthFileObserver* m_observer = nullptr;
    bool m_created = false;               // the open file did not exist before this run opened it
    bool m_appendFailed = false;          // an append to the open file failed
    platform::FileIdentity m_refusedFile; // never opened as a monthly file
};

} // namespace przenosnik
