#include "settings/SettingsStore.h"

#include "platform/DosPath.h"

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
    : m_section(std::move(section))
{
    if (directory.isEmpty()) {
        const SettingsPlaces places = SettingsPlaces::standard();
        const SettingsLocation location = locateSettingsFile(places, fileName);
        if (location.path.isEmpty())
            warnSettingsNotSaved(places.programDirectory);
        open(location);
    } else {
        const QString path = settingsFilePath(directory, fileName);
        open({path, path, false});
    }
}

SettingsStore::SettingsStore(const QString& fileName, QString section, const SettingsPlaces& places)
    : m_section(std::move(section))
{
    open(locateSettingsFile(places, fileName));
}

void SettingsStore::open(const SettingsLocation& location)
{
    m_path = location.path;
    m_createDirectory = location.inConfigDirectory;
    QFile file(location.readPath);
    if (file.open(QIODevice::ReadOnly))
        m_contents = IniFile::fromBytes(file.readAll());
}

SettingsStore::SettingsStore(QString section, IniFile contents)
    : m_section(std::move(section)), m_contents(std::move(contents))
{
}

SettingsStore::~SettingsStore()
{
    writeFile();
}

bool SettingsStore::contains(const QString& key) const
{
    return m_contents.hasKey(m_section, key);
}

std::optional<QString> SettingsStore::value(const QString& key) const
{
    return m_contents.value(m_section, key);
}

void SettingsStore::setValue(const QString& key, const QString& value)
{
    m_contents.setValue(m_section, key, value);
}

bool SettingsStore::writeFile() const
{
    if (m_path.isEmpty() || isMarkedReadOnly(m_path) || QFileInfo(m_path).isDir())
        return false;
    // A window that saved nothing leaves no empty file behind.
    if (m_contents.sections().isEmpty() && !QFileInfo::exists(m_path))
        return true;
    if (m_createDirectory)
        QDir().mkpath(QFileInfo(m_path).absolutePath());
    // The new content replaces the old only when written completely.
    QSaveFile file(m_path);
    file.setDirectWriteFallback(true);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    const QByteArray bytes = m_contents.toBytes();
    if (file.write(bytes) != bytes.size()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

} // namespace przenosnik
