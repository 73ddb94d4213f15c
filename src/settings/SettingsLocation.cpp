#include "settings/SettingsLocation.h"

#include "platform/SystemPaths.h"
#include "settings/SettingsStore.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QTemporaryFile>

namespace przenosnik {

SettingsPlaces SettingsPlaces::standard()
{
    const QString program = QCoreApplication::applicationDirPath();
    return {program, platform::userSettingsDirectory(), platform::isInstalledProgramDirectory(program)};
}

bool canKeepSettingsIn(const QString& directory)
{
    const QFileInfo info(directory);
    if (directory.isEmpty() || !info.isDir() || !platform::permissionBitsAllowWriting(directory))
        return false;
    QTemporaryFile probe(QDir(directory).filePath(QStringLiteral(".przenosnik-XXXXXX")));
    return probe.open();
}

SettingsLocation locateSettingsFile(const SettingsPlaces& places, const QString& configuredName)
{
    SettingsLocation location;
    // Without a configuration directory there is nowhere else to go. An
    // installed copy never writes beside itself, even where it could.
    if (places.configDirectory.isEmpty() ||
        (!places.installed && canKeepSettingsIn(places.programDirectory))) {
        location.path = settingsFilePath(places.programDirectory, configuredName);
        location.readPath = location.path;
        return location;
    }
    location.inConfigDirectory = true;
    location.path = settingsFilePath(places.configDirectory, configuredName);
    location.readPath = QFileInfo::exists(location.path)
                            ? location.path
                            : settingsFilePath(places.programDirectory, configuredName);
    return location;
}

} // namespace przenosnik
