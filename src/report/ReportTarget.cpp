#include "report/ReportTarget.h"

#include "ledger/DirectoryLock.h"
#include "ledger/JournalRecord.h"
#include "ledger/MonthFile.h"
#include "platform/NativeFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

namespace przenosnik {

namespace {

// Links may chain; a loop ends here.
constexpr int MaxLinks = 40;

// What a file of that name is to the ledger or to a run, in the genitive; empty when nothing.
QString protectedKind(const QString& name)
{
    if (isMonthFileName(name))
        return QStringLiteral("pliku miesięcznego KPR");
    if (name.compare(JournalFileName, Qt::CaseInsensitive) == 0)
        return QStringLiteral("dziennika konwersji");
    if (name.compare(QLatin1String(LockFileName), Qt::CaseInsensitive) == 0)
        return QStringLiteral("blokady katalogu firmy");
    return {};
}

bool sameFile(const QString& a, const QString& b)
{
    const platform::FileIdentity first = platform::identityOfPath(a);
    return first.valid && first == platform::identityOfPath(b);
}

QString refusal(const QString& path, const QString& kind, const QString& file)
{
    return QStringLiteral("raport \"%1\" nie może zastąpić %2 \"%3\"").arg(path, kind, file);
}

} // namespace

QString linkedFilePath(const QString& path)
{
    QString current = QFileInfo(path).absoluteFilePath();
    for (int i = 0; i < MaxLinks; ++i) {
        const QFileInfo info(current);
        if (!info.isSymLink())
            break;
        const QString target = info.symLinkTarget();
        if (target.isEmpty())
            break;
        current = target;
    }
    return current;
}

QString refusedReportTarget(const QString& path, const RunReport& report)
{
    const QString target = linkedFilePath(path);
    const QFileInfo info(target);
    const QString kind = protectedKind(info.fileName());
    if (!kind.isEmpty())
        return refusal(path, kind, target);
    const QStringList folders = info.absolutePath().split(QLatin1Char('/'));
    for (const QString& folder : folders) {
        if (folder.compare(BackupDirectoryName, Qt::CaseInsensitive) == 0)
            return refusal(path, QStringLiteral("kopii zapasowej konwersji"), target);
    }
    if (!info.exists())
        return {};
    if (!report.exportFile.isEmpty() && sameFile(target, report.exportFile))
        return refusal(path, QStringLiteral("pliku eksportu"), report.exportFile);
    if (report.companyDirectory.isEmpty())
        return {};
    const QDir company(report.companyDirectory);
    for (const QFileInfo& file : company.entryInfoList(QDir::Files | QDir::Hidden | QDir::System)) {
        const QString fileKind = protectedKind(file.fileName());
        if (!fileKind.isEmpty() && sameFile(target, file.filePath()))
            return refusal(path, fileKind, file.filePath());
    }
    return {};
}

bool writeReplacing(const QString& target, const std::function<bool(const QString&)>& write)
{
    const QFileInfo info(target);
    // A name of its own beside the target, made anew (never a file or link that was there).
    QFile created;
    for (int attempt = 0; attempt < 100; ++attempt) {
        created.setFileName(info.absolutePath() + QStringLiteral("/.raport-") +
                            QString::number(QRandomGenerator::global()->generate(), 36) +
                            QStringLiteral(".tmp"));
        if (created.open(QIODevice::WriteOnly | QIODevice::NewOnly) || !created.exists())
            break;
    }
    if (!created.isOpen())
        return false;
    created.close();
    const QString temporary = created.fileName();
    if (info.exists())
        QFile::setPermissions(temporary, info.permissions());
    if (write(temporary) && platform::renameOver(temporary, target))
        return true;
    QFile::remove(temporary);
    return false;
}

} // namespace przenosnik
