// Taking back the last run of a company directory's journal. A run only ever
// appends, so each monthly file it wrote to is cut back to the length it had,
// once the file is known to be unchanged by anything else since.
#pragma once

#include "ledger/JournalHistory.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QtGlobal>

namespace przenosnik {

struct UndoFile
{
    QString name;
    QString path;
    qint64 cutTo = 0;       // the length it is cut back to, before its tail is put back
    QByteArray tail;        // the partial entry the run's first entry overwrote
    qint64 length = 0;      // its length now
    int entries = 0;        // entries to remove
    bool remove = false;    // the run created it; it is removed
    bool unchanged = false; // already as it was before the run (or missing, as then)
};

struct UndoPlan
{
    bool found = false; // there is a run to take back
    JournalRun run;
    QList<UndoFile> files;
    QString refusedFile; // the file that fails its check, and why
    QString refusal;
    QString backupFolder;

    bool canUndo() const { return found && refusal.isEmpty(); }
    int entries() const;
};

// The most recent run that wrote to a file and was not taken back, with every
// file of it checked. Nothing is changed.
UndoPlan planUndo(const QString& companyDirectory, const JournalContents& journal);

struct UndoResult
{
    bool done = false; // the files are as before the run
    QString failure;   // what went wrong, with the run's backup folder
};

// Reads the journal and checks again; goes ahead only when the plan the user
// confirmed still holds file for file. Cuts the files back, flushes each, then
// writes the undo record.
UndoResult applyUndo(const QString& companyDirectory, const UndoPlan& confirmed);

} // namespace przenosnik
