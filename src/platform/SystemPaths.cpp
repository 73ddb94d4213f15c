#include "platform/SystemPaths.h"

#include <QDir>
#include <QFileInfo>

namespace przenosnik::platform {

bool isUnderPrefix(const QString& directory, const QStringList& prefixes)
{
    if (directory.isEmpty())
        return false;
    const Qt::CaseSensitivity cs = NamesIgnoreCase ? Qt::CaseInsensitive : Qt::CaseSensitive;
    const auto absolute = [](const QString& name) {
        return QDir::cleanPath(QFileInfo(QDir::fromNativeSeparators(name)).absoluteFilePath());
    };
    const QString path = absolute(directory);
    for (const QString& given : prefixes) {
        if (given.isEmpty())
            continue;
        QString prefix = absolute(given);
        if (path.compare(prefix, cs) == 0)
            return true;
        if (!prefix.endsWith(QLatin1Char('/')))
            prefix += QLatin1Char('/');
        if (path.startsWith(prefix, cs))
            return true;
    }
    return false;
}

} // namespace przenosnik::platform
