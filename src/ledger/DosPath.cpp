#include "ledger/DosPath.h"

#include <QDir>
#include <QFileInfo>
#include <QStringList>

namespace przenosnik {

namespace {

// The entry of the directory whose name equals the component but for case.
QString findEntry(const QString& directory, const QString& component)
{
    const QDir dir(directory.isEmpty() ? QStringLiteral(".") : directory);
    const QStringList entries =
        dir.entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
    for (const QString& entry : entries) {
        if (entry.compare(component, Qt::CaseInsensitive) == 0)
            return entry;
    }
    return {};
}

} // namespace

QString resolvePathCase(const QString& path)
{
#if defined(Q_OS_WIN) || defined(Q_OS_MACOS)
    return path;
#else
    if (path.isEmpty() || QFileInfo::exists(path))
        return path;

    const bool absolute = path.startsWith(QLatin1Char('/'));
    const bool trailingSeparator = path.endsWith(QLatin1Char('/'));
    const QStringList components = path.split(QLatin1Char('/'), Qt::SkipEmptyParts);

    QString resolved = absolute ? QStringLiteral("/") : QString();
    for (qsizetype i = 0; i < components.size(); ++i) {
        const QString& component = components.at(i);
        QString next = resolved + component;
        if (component != QLatin1String(".") && component != QLatin1String("..") && !QFileInfo::exists(next)) {
            const QString entry = findEntry(resolved, component);
            if (entry.isEmpty())
                return path;
            next = resolved + entry;
        }
        resolved = next;
        if (i + 1 < components.size() || trailingSeparator)
            resolved += QLatin1Char('/');
    }
    return resolved;
#endif
}

} // namespace przenosnik
