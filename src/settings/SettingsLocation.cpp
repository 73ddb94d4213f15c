#include "settings/SettingsLocation.h"

#include "settings/SettingsStore.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryFile>

#include <unistd.h>

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
    return {QCoreApplication::applicationDirPath(),
            QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation)};
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
    // Without a configuration directory there is nowhere else to go.
    if (places.configDirectory.isEmpty() || canKeepSettingsIn(places.programDirectory)) {
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
