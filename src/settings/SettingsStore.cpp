#include "settings/SettingsStore.h"

#include "ledger/DosPath.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <algorithm>
#include <utility>

namespace przenosnik {

QString settingsFilePath(const QString& directory, const QString& configuredName)
{
    const qsizetype separator = std::max(configuredName.lastIndexOf(u'/'), configuredName.lastIndexOf(u'\\'));
    const QString name = configuredName.mid(separator + 1);
    const QDir dir(directory);
    if (!QFileInfo::exists(dir.filePath(name))) {
        const QString entry = findEntryIgnoringCase(directory, name, EntryKinds::NoDirectoryOrLinkToOne);
        if (!entry.isEmpty())
            return dir.filePath(entry);
    }
    return dir.filePath(name);
}

bool isMarkedReadOnly(const QString& path)
{
    const QFileInfo info(path);
    return info.exists() && !info.permissions().testFlag(QFileDevice::WriteOwner);
}

SettingsStore::SettingsStore(const QString& fileName, QString section, const QString& directory)
    : mSection(std::move(section))
{
    if (directory.isEmpty()) {
        open(locateSettingsFile(SettingsPlaces::standard(), fileName));
    } else {
        const QString path = settingsFilePath(directory, fileName);
        open({path, path, false});
    }
}

SettingsStore::SettingsStore(const QString& fileName, QString section, const SettingsPlaces& places)
    : mSection(std::move(section))
{
    open(locateSettingsFile(places, fileName));
}

void SettingsStore::open(const SettingsLocation& location)
{
    mPath = location.path;
    mCreateDirectory = location.inConfigDirectory;
    QFile file(location.readPath);
    if (file.open(QIODevice::ReadOnly))
        mContents = IniFile::fromBytes(file.readAll());
}

SettingsStore::SettingsStore(QString section, IniFile contents)
    : mSection(std::move(section)), mContents(std::move(contents))
{
}

SettingsStore::~SettingsStore()
{
    writeFile();
}

bool SettingsStore::contains(const QString& key) const
{
    return mContents.hasKey(mSection, key);
}

std::optional<QString> SettingsStore::value(const QString& key) const
{
    return mContents.value(mSection, key);
}

void SettingsStore::setValue(const QString& key, const QString& value)
{
    mContents.setValue(mSection, key, value);
}

bool SettingsStore::writeFile() const
{
    if (mPath.isEmpty() || isMarkedReadOnly(mPath) || QFileInfo(mPath).isDir())
        return false;
    // A window that saved nothing leaves no empty file behind.
    if (mContents.sections().isEmpty() && !QFileInfo::exists(mPath))
        return true;
    if (mCreateDirectory)
        QDir().mkpath(QFileInfo(mPath).absolutePath());
    // The new content replaces the old only when written completely.
    QSaveFile file(mPath);
    file.setDirectWriteFallback(true);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    const QByteArray bytes = mContents.toBytes();
    if (file.write(bytes) != bytes.size()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

} // namespace przenosnik
