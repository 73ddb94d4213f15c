// Taking back the last run of a company directory's journal. A run only ever
// appends, so each monthly file it wrote to is cut back to the length it had,
// once every record past that length is proved to be one the run wrote: by
// the digest the run wrote down when it ended, or, where that cannot tell
// (the run did not end, or another program appended meanwhile), by the
// records the run would write again from the same export and options.
// The undo is journaled before it changes anything, so that an undo cut
// short by a crash is finished by the next one.
#pragma once

#include "ledger/JournalHistory.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <QtGlobal>

#include <functional>

namespace przenosnik {

// What a run would write again: for each of its files, the bytes it would
// add from the file's start offset on, given the files' bytes before it.
struct ReplayedRun
{
    QString failure; // why it could not be rebuilt; empty when it was
    QHash<QString, QByteArray> written;
};
using RunReplay =
    std::function<ReplayedRun(const JournalRun& run, const QHash<QString, QByteArray>& filesBefore)>;

struct UndoFile
{
    QString name;
    QString path;
    qint64 cutTo = 0;       // the length it is cut back to, before its tail is put back
    QByteArray tail;        // the partial entry the run's first entry overwrote
    qint64 length = 0;      // its length now (before the undo began, when finishing one)
    QByteArray sha256;      // of its bytes from cutTo to length
    int entries = 0;        // entries to remove
    bool remove = false;    // the run created it; it is removed
    bool unchanged = false; // already as it was before the run (or missing, as then)
    bool cut = false;       // finishing an undo: already cut back
};

struct UndoPlan
{
    bool found = false; // there is a run to take back
    JournalRun run;
    QList<UndoFile> files;
    QString refusedFile; // the file that fails its check, and why
    QString refusal;
    QString backupFolder;
    bool finishing = false; // an undo of the run began and was cut short

    bool canUndo() const { return found && refusal.isEmpty(); }
    int entries() const;
};

// The most recent run that wrote to a file and was not taken back, with every
// file of it checked, and its records proved to be its own; `replay` rebuilds
// them where needed. Nothing is changed.
UndoPlan planUndo(const QString& companyDirectory, const JournalContents& journal, const RunReplay& replay);

struct UndoResult
{
    bool done = false;   // the files are as before the run, and the journal says so
    QString failure;     // what went wrong, with the run's backup folder
    QStringList removed; // the files removed
    QStringList left;    // the files that could not be removed (emptied)
};

// Reads the journal and checks again; goes ahead only when the plan the user
// confirmed still holds file for file. Writes down what it will do, cuts the
// files back, flushes each, then writes the undo record.
UndoResult applyUndo(const QString& companyDirectory, const UndoPlan& confirmed);

} // namespace przenosnik
