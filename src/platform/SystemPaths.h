// How this system names files and where programs and their settings live.
#pragma once

#include <QString>
#include <QStringList>
#include <QtGlobal>

namespace przenosnik::platform {

// File names that differ only in letter case name one file on the system's
// usual file systems (Windows, macOS).
#if defined(Q_OS_WIN) || defined(Q_OS_MACOS)
inline constexpr bool NamesIgnoreCase = true;
#else
inline constexpr bool NamesIgnoreCase = false;
#endif

// Paths take drive letters ("C:") and backslashes besides slashes (Windows).
#ifdef Q_OS_WIN
inline constexpr bool DrivePaths = true;
#else
inline constexpr bool DrivePaths = false;
#endif

// An installed program keeps its settings in the user's folder, never next
// to itself, even when it could write there (root, an administrator): it is
// installed when its directory lies under one of the system's program
// prefixes (/usr, /opt, /bin, /sbin; Program Files on Windows).
bool isInstalledProgramDirectory(const QString& directory);
// The same rule for given prefixes; on Windows letter case does not count.
bool isUnderPrefix(const QString& directory, const QStringList& prefixes);

// The user's folder of the program's settings: ~/.config/przenosnik on Linux,
// %APPDATA%\Przenosnik on Windows; empty when the user has no usable home.
QString userSettingsDirectory();

// The directory's permission bits let the current user write into it. On
// Windows, where access lists decide, always true: a trial write tells.
bool permissionBitsAllowWriting(const QString& directory);

} // namespace przenosnik::platform
