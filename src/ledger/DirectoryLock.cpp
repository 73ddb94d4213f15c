#include "ledger/DirectoryLock.h"

#include <QFileInfo>

namespace przenosnik {

DirectoryLock::DirectoryLock(const QString& companyDirectory)
{
    if (companyDirectory.isEmpty())
        return;
    m_lock.emplace(companyDirectory + QLatin1Char('/') + QLatin1String(LockFileName));
    m_lock->setStaleLockTime(0);
    m_busy = !m_lock->tryLock(0) && m_lock->error() == QLockFile::LockFailedError;
}

bool directoryLockedByAnother(const QString& companyDirectory)
{
    if (companyDirectory.isEmpty() ||
        !QFileInfo::exists(companyDirectory + QLatin1Char('/') + QLatin1String(LockFileName)))
        return false;
    return DirectoryLock(companyDirectory).busy();
}

QString directoryBusyText(const QString& companyDirectory)
{
    return QStringLiteral(
               "Do katalogu %1 zapisuje właśnie inna konwersja. Spróbuj ponownie, gdy się zakończy.")
        .arg(companyDirectory);
}

} // namespace przenosnik
