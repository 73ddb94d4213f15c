// What the window and the command line say about the journal's runs and
// about taking one back, in Polish.
#pragma once

#include "ledger/JournalHistory.h"
#include "ledger/UndoRun.h"

#include <QString>
#include <QStringList>

namespace przenosnik {

// "1 wpis", "3 wpisy", "12 wpisów".
QString entriesText(int count);
// The date and time a run started: "12.03.2014 10:15:00".
QString runDateText(const QString& runId);
// The run as the messages name it: its date and its export file.
QString runDescription(const JournalRun& run);

// One line of the history: id, outcome, export file, entries per file (TAB-separated).
QString historyLine(const JournalRun& run);

QString nothingToUndoText(const QString& companyDirectory);
// Why the run cannot be taken back, naming the file and the run's backup folder.
QString undoRefusalText(const UndoPlan& plan);
// What an undo will remove, file by file.
QStringList undoPlanLines(const UndoPlan& plan);
// What an undo removed, file by file, and the files it could not remove.
QStringList undoDoneLines(const UndoPlan& plan, const UndoResult& result);
QString undoFailureText(const UndoPlan& plan, const UndoResult& result);

} // namespace przenosnik
