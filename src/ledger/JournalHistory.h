// The runs a company directory's journal tells of, read back record by record.
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <QtGlobal>

namespace przenosnik {

// One monthly file a run wrote to: its FILE record and, once the run ended, its FILEEND record.
struct JournalFile
{
    QString name; // the file's name in the company directory, as the record gives it
    bool existed = false;
    qint64 length = 0; // before the run
    QByteArray sha256; // of those bytes
    QByteArray tail;   // the partial entry at the end of those bytes
    bool ended = false;
    qint64 endLength = 0;
    QByteArray endSha256; // of the bytes from start() to endLength
    int entries = 0;      // the run's own entries in it

    // Where the run's first entry went.
    qint64 start() const { return length - tail.size(); }
};

// A file an undo cuts back (or removes), as it was when the undo began.
struct JournalUndoFile
{
    QString name;
    qint64 length = 0;
    QByteArray sha256; // of the bytes from the file's start() to length
    bool remove = false;
};

struct JournalRun
{
    QString id;
    QString exportFile;
    qint64 exportSize = 0;
    QByteArray exportSha256;
    QStringList options;
    QList<JournalFile> files;
    bool ended = false;
    QString endOutcome; // journal::Completed or journal::Stopped
    int entries = 0;
    bool undone = false;

    qint64 offset = 0;           // where its RUN record begins in the journal
    qint64 uncheckedOffset = -1; // its first record without a check, if any
    QString undoId;              // the latest undo planned for it
    QList<JournalUndoFile> undoFiles;
    bool undoBegun = false; // that undo may have changed files: it is to be finished

    // "zakończona", "zatrzymana", "przerwana" (no end record), "cofnięta"
    // or "cofanie niedokończone".
    QString outcome() const;
};

struct JournalContents
{
    bool exists = false;
    QList<JournalRun> runs;   // oldest first
    QStringList problems;     // one message per line or file that could not be read
    QList<qint64> badOffsets; // where the lines begin that could not be read, torn ones left out
    bool readable = true;     // the file could be read
};

// How much of the journal is read: all of it, or from its end back to the
// start of the last run, or back to the start of the run an undo takes back
// (the most recent one that wrote to a file and was not taken back).
enum class JournalScope
{
    Whole,
    LastRun,
    UndoTarget
};

// Reads the journal of a company directory; a missing journal has no runs.
JournalContents readJournal(const QString& companyDirectory, JournalScope scope = JournalScope::Whole);

// The 1-based number of the journal line that begins at that offset.
int journalLineNumber(const QString& companyDirectory, qint64 offset);

// The last run of the journal when it did not end and was not taken back, or
// when an undo of it began and did not end.
const JournalRun* interruptedLastRun(const JournalContents& journal);

} // namespace przenosnik
