// The settings file of one window: read whole when the store is created, kept
// in memory, written whole when the store is destroyed.
//
// The file lives in a given directory, or where SettingsLocation.h says for
// the program's own files; only the file-name part of the configured name counts. A file marked read-only (no
// owner-write permission bit) is read but never written; a write that fails is
// ignored, and the file keeps its previous content.
#pragma once

#include "settings/IniFile.h"
#include "settings/SettingsLocation.h"

#include <QString>

#include <optional>

namespace przenosnik {

class SettingsStore
{
public:
    // Reads fileName in directory; an empty directory means the program's own
    // settings places. A missing or unreadable file gives an empty store.
    SettingsStore(const QString& fileName, QString section, const QString& directory = {});
    // Reads and writes fileName where locateSettingsFile puts it.
    SettingsStore(const QString& fileName, QString section, const SettingsPlaces& places);
    // A store on contents held in memory only; it never writes.
    SettingsStore(QString section, IniFile contents);
    ~SettingsStore();

    SettingsStore(const SettingsStore&) = delete;
    SettingsStore& operator=(const SettingsStore&) = delete;

    const QString& section() const { return m_section; }
    // The full path the file is written to; empty for a store held in memory only.
    const QString& filePath() const { return m_path; }
    const IniFile& contents() const { return m_contents; }

    bool contains(const QString& key) const;
    std::optional<QString> value(const QString& key) const;
    void setValue(const QString& key, const QString& value);

    // Writes the file now, unless it is marked read-only. Returns whether the
    // file now holds the store's contents. The destructor calls it.
    bool writeFile() const;

private:
    QString m_section;
    QString m_path;
    bool m_createDirectory = false;
    IniFile m_contents;

    void open(const SettingsLocation& location);
};

// The path of a settings file: directory plus the file-name part of the
// configured name (after the last '/' or '\'). When no file of exactly that
// name exists, an existing file whose name differs only in case is used.
QString settingsFilePath(const QString& directory, const QString& configuredName);

// True when the file exists and its permissions lack the owner-write bit.
bool isMarkedReadOnly(const QString& path);

} // namespace przenosnik
