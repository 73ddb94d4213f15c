// The checks of one monthly file before an undo cuts it back: that the bytes
// before the run are as they were, and that every record after them is one
// the run wrote.
#pragma once

#include "ledger/JournalHistory.h"
#include "ledger/UndoRun.h"

#include <QByteArray>
#include <QString>

#include <QIODevice>

class QFile;

namespace przenosnik {

// Whether the path names a plain file: no link (symbolic link, junction), no directory.
bool isPlainFile(const QString& path);
// Opens a plain file, refusing links; answers false when it cannot.
bool openPlainFile(QFile& file, QIODevice::OpenMode mode);

// Checks the file against the run's record; fills `undo` and answers why it
// cannot be cut back, or nothing. `needsProof` tells that only the records of
// a rebuilt run can prove those after the cut; `before` then receives the
// file's bytes before the run.
QString checkRunFile(const JournalFile& record, UndoFile& undo, bool& needsProof, QByteArray* before);

// Proves that the records from undo.cutTo to undo.length are the ones the run
// wrote (`written` from cutTo on); answers why not, naming the position.
QString proveRecords(const UndoFile& undo, const QByteArray& written);

// Checks a file of an undo that began: as the undo found it, already cut
// back (its tail put back or partly), or removed.
QString checkUndoneFile(const JournalFile& record, const JournalUndoFile& begun, UndoFile& undo);

} // namespace przenosnik
