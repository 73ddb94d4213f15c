// Rebuilding what a run wrote, for an undo that must prove the records it
// removes are the run's own: the same conversion of the same export (checked
// against the digest the journal holds) with the same options, run into a
// scratch directory that holds the run's files as they were before it.
#pragma once

#include "conversion/RunConversion.h"
#include "ledger/UndoRun.h"

#include <QByteArray>
#include <QHash>
#include <QString>

#include <optional>

namespace przenosnik {

// The options a run's record gives, in the settings of a real run; none when
// one is missing or not understood.
std::optional<ConversionSettings> settingsFromOptions(const QStringList& options);

ReplayedRun replayRun(const JournalRun& run, const QHash<QString, QByteArray>& filesBefore);

// The plan of an undo of the directory's last run, records proved by a rebuilt run where needed.
UndoPlan planUndoOfLastRun(const QString& companyDirectory, const JournalContents& journal);

} // namespace przenosnik
