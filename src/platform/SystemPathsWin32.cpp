#include "platform/SystemPaths.h"

#include <QDir>
#include <QStandardPaths>

namespace przenosnik::platform {

bool isInstalledProgramDirectory(const QString& directory)
{
    return isUnderPrefix(directory,
                         {qEnvironmentVariable("ProgramFiles"), qEnvironmentVariable("ProgramW6432"),
                          qEnvironmentVariable("ProgramFiles(x86)")});
}

QString userSettingsDirectory()
{
    const QString roaming = qEnvironmentVariable("APPDATA");
    if (roaming.isEmpty())
        return QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);
    return QDir(QDir::fromNativeSeparators(roaming)).filePath(QStringLiteral("Przenosnik"));
}

bool permissionBitsAllowWriting(const QString& directory)
{
    Q_UNUSED(directory);
    return true;
}

} // namespace przenosnik::platform
