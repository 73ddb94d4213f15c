// Where a saved report may go, and how it gets there: never over a file of the
// ledger or of a run, and never half-written over an older report.
#pragma once

#include "conversion/RunReport.h"

#include <QString>

#include <functional>

namespace przenosnik {

// The file a path leads to through its symbolic links (a dangling one too),
// as an absolute path.
QString linkedFilePath(const QString& path);

// Why a report may not be written to the path, empty when it may: the file the
// path leads to is a monthly file, the journal, the lock or a backup of a run,
// or it is (by identity, a hard link too) the run's export file or one of those
// files of its company directory.
QString refusedReportTarget(const QString& path, const RunReport& report);

// Writes a new file beside the target through `write` (given the new file's
// path) and renames it over the target only when that succeeded: the target
// is either replaced whole or left as it was. A new file gets the permissions
// of the one it replaces.
bool writeReplacing(const QString& target, const std::function<bool(const QString&)>& write);

} // namespace przenosnik
