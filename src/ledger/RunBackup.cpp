#include "ledger/RunBackup.h"

#include "platform/Sha256.h"

#include "ledger/JournalRecord.h"
#include "ledger/LedgerEntry.h"
#include "platform/FileDigest.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>

namespace przenosnik {

namespace {
constexpr qint64 ChunkSize = 64 * 1024;
}

QString backupFolder(const QString& companyDirectory, const QString& runId)
{
    return companyDirectory + QDir::separator() + BackupDirectoryName + QDir::separator() + runId;
}

FileBefore backUpFile(const QString& path, const QString& folder)
{
    FileBefore before;
    if (!QFileInfo::exists(path)) {
        before.ok = true;
        before.sha256 = Sha256Hex(QByteArray());
        return before;
    }
    before.existed = true;
    QFile source(path);
    const bool folderCreated = !QFileInfo::exists(folder);
    if (!source.open(QIODevice::ReadOnly) || !QDir().mkpath(folder))
        return before;
    QFile copy(folder + QDir::separator() + QFileInfo(path).fileName());
    if (!copy.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return before;
    Sha256 hash;
    QByteArray last; // the latest bytes read, for the tail
    for (;;) {
        const QByteArray chunk = source.read(ChunkSize);
        if (chunk.isEmpty())
            break;
        hash.addData(chunk);
        if (copy.write(chunk) != chunk.size())
            return before;
        before.length += chunk.size();
        last = last.right(LedgerEntrySize) + chunk;
    }
    if (source.error() != QFileDevice::NoError || !syncToDisk(copy))
        return before;
    copy.close();
    if (folderCreated && !syncDirectory(QFileInfo(folder).absolutePath()))
        return before;
    before.sha256 = hash.result().toHex();
    before.tail = last.right(before.length % LedgerEntrySize);
    before.ok = syncDirectory(folder);
    return before;
}

void removeOldBackups(const QString& companyDirectory, int keep)
{
    QDir backups(companyDirectory + QDir::separator() + BackupDirectoryName);
    QStringList runs;
    for (const QString& name : backups.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        if (isRunId(name))
            runs.append(name);
    }
    std::sort(runs.begin(), runs.end(), runIdLess);
    for (qsizetype i = 0; i + keep < runs.size(); ++i)
        QDir(backups.filePath(runs.at(i))).removeRecursively();
}

} // namespace przenosnik
