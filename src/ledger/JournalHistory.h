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
    QString name; // the file's name in the company directory
    bool existed = false;
    qint64 length = 0; // before the run
    QByteArray sha256; // of those bytes
    QByteArray tail;   // the partial entry at the end of those bytes
    bool ended = false;
    qint64 endLength = 0;
    QByteArray endSha256; // of the bytes from start() to endLength
    int entries = 0;

    // Where the run's first entry went.
    qint64 start() const { return length - tail.size(); }
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

    // "zakończona", "zatrzymana", "przerwana" (no end record) or "cofnięta".
    QString outcome() const;
};

struct JournalContents
{
    bool exists = false;
    QList<JournalRun> runs; // oldest first
    QStringList problems;   // one message per line or file that could not be read
};

// Reads the journal of a company directory; a missing journal has no runs.
JournalContents readJournal(const QString& companyDirectory);

// The last run of the journal when it did not end and was not taken back.
const JournalRun* interruptedLastRun(const JournalContents& journal);

} // namespace przenosnik
