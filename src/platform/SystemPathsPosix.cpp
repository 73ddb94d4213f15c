#include "platform/SystemPaths.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include <unistd.h>

#include <vector>

namespace przenosnik::platform {

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

} // namespace

bool isInstalledProgramDirectory(const QString& directory)
{
    return isUnderPrefix(directory, {QStringLiteral("/usr"), QStringLiteral("/opt"), QStringLiteral("/bin"),
                                     QStringLiteral("/sbin")});
}

QString userSettingsDirectory()
{
    // Without a home of its own (an unset HOME makes it the root directory)
    // there is no such folder: none is ever made at the root.
    const QString home = QDir::homePath();
    if (!QFileInfo(home).isDir() || QDir(home).isRoot())
        return {};
    return QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);
}

bool permissionBitsAllowWriting(const QString& directory)
{
    const QFileInfo info(directory);
    const QFileDevice::Permissions bits = info.permissions();
    if (info.ownerId() == geteuid())
        return bits.testFlag(QFileDevice::WriteOwner);
    if (isCurrentGroup(info.groupId()))
        return bits.testFlag(QFileDevice::WriteGroup);
    return bits.testFlag(QFileDevice::WriteOther);
}

} // namespace przenosnik::platform
