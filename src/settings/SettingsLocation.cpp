#include "settings/SettingsLocation.h"

#include "platform/SystemPaths.h"
#include "settings/SettingsStore.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QTemporaryFile>

#include <cstdio>
#include <mutex>

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
    // An installed copy never writes beside itself, even where it could.
    if (!places.installed && canKeepSettingsIn(places.programDirectory)) {
        location.path = settingsFilePath(places.programDirectory, configuredName);
        location.readPath = location.path;
        return location;
    }
    if (places.configDirectory.isEmpty()) {
        // Nowhere to keep them: read from beside the program, never written.
        location.readPath = settingsFilePath(places.programDirectory, configuredName);
        return location;
    }
    location.inConfigDirectory = true;
    location.path = settingsFilePath(places.configDirectory, configuredName);
    location.readPath = QFileInfo::exists(location.path)
                            ? location.path
                            : settingsFilePath(places.programDirectory, configuredName);
    return location;
}

void warnSettingsNotSaved(const QString& programDirectory)
{
    static std::once_flag warned;
    std::call_once(warned, [&programDirectory] {
        const QByteArray text =
            QStringLiteral("Ustawienia nie zostaną zapisane: nie ma katalogu domowego, a w katalogu "
                           "programu \"%1\" nie można ich zapisać.\n")
                .arg(QDir::toNativeSeparators(programDirectory))
                .toLocal8Bit();
        std::fputs(text.constData(), stderr);
        std::fflush(stderr);
    });
}

} // namespace przenosnik
