// The copies of the monthly files as they were before a run:
// PRZENOSN.BAK/<run id>/ in the company directory.
#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>

namespace przenosnik {

// How many runs' folders are kept; older ones are removed.
inline constexpr int KeptBackupRuns = 20;

QString backupFolder(const QString& companyDirectory, const QString& runId);

// A monthly file as it was when it was looked at before the run's first write.
struct FileBefore
{
    bool ok = false;
    bool existed = false;
    qint64 length = 0;
    QByteArray sha256; // of its `length` bytes
    QByteArray tail;   // the bytes past its last whole entry
};

// Reads the file once, copying it into the folder (created when needed) and
// taking its digest; the copy is on the disk when this returns. A file that
// does not exist gets no copy.
FileBefore backUpFile(const QString& path, const QString& folder);

// Removes the folders of all but the `keep` most recent runs.
void removeOldBackups(const QString& companyDirectory, int keep = KeptBackupRuns);

} // namespace przenosnik
