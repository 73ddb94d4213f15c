// Paths as the wide-character calls of Windows take them.
#pragma once

#include <QDir>
#include <QString>

namespace przenosnik::platform {

// The native form (backslashes), zero-terminated UTF-16 for the W calls.
inline std::wstring wideName(const QString& path)
{
    return QDir::toNativeSeparators(path).toStdWString();
}

} // namespace przenosnik::platform
