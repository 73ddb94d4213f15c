#include "settings/SettingsLocation.h"

#include "settings/SettingsStore.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryFile>

#include <unistd.h>

#include <cstdio>
#include <mutex>
#include <vector>

namespace przenosnik {
namespace {

bool isCurrentGroup(uint group)
{
    if (group == getegid())
        return true;
    const int count = getgroups(0, nullptr);
    if (count <= 0)
        return false;
    std::vector<gid_t> groups(static_cast<std::size_t>(count));
    const int filled = getgroups(count, groups.data());
    for (int i = 0; i < filled; ++i) {
        if (groups[static_cast<std::size_t>(i)] == group)
            return true;
    }
    return false;
}

bool permissionBitsAllowWriting(const QFileInfo& info)
{
    const QFileDevice::Permissions bits = info.permissions();
    if (info.ownerId() == geteuid())
        return bits.testFlag(QFileDevice::WriteOwner);
    if (isCurrentGroup(info.groupId()))
        return bits.testFlag(QFileDevice::WriteGroup);
    return bits.testFlag(QFileDevice::WriteOther);
}

} // namespace

SettingsPlaces SettingsPlaces::standard()
{
    // Without a home of its own (an unset HOME makes it the root directory)
    // the user has no configuration directory: none is made at the root.
    const QString home = QDir::homePath();
    const bool homeUsable = QFileInfo(home).isDir() && !QDir(home).isRoot();
    return {QCoreApplication::applicationDirPath(),
            homeUsable ? QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation) : QString()};
}

bool canKeepSettingsIn(const QString& directory)
{
    const QFileInfo info(directory);
    if (directory.isEmpty() || !info.isDir() || !permissionBitsAllowWriting(info))
        return false;
    QTemporaryFile probe(QDir(directory).filePath(QStringLiteral(".przenosnik-XXXXXX")));
    return probe.open();
}

SettingsLocation locateSettingsFile(const SettingsPlaces& places, const QString& configuredName)
{
    SettingsLocation location;
    if (canKeepSettingsIn(places.programDirectory)) {
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
            QStringLiteral("Ustawienia nie zostaną zapisane: brak katalogu domowego, a katalog "
                           "programu \"%1\" nie pozwala na zapis.\n")
                .arg(QDir::toNativeSeparators(programDirectory))
                .toLocal8Bit();
        std::fputs(text.constData(), stderr);
        std::fflush(stderr);
    });
}

} // namespace przenosnik
