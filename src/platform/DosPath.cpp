#include "platform/DosPath.h"

#include "platform/SystemPaths.h"

#include <QDir>
#include <QFileInfo>
#include <QStringList>

namespace przenosnik {

QString findEntryIgnoringCase(const QString& directory, const QString& name, EntryKinds kinds)
{
    const QDir dir(directory.isEmpty() ? QStringLiteral(".") : directory);
    const QDir::Filters filters = kinds == EntryKinds::NoDirectoryOrLinkToOne
                                      ? QDir::Files | QDir::Hidden | QDir::System
                                      : QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot;
    for (const QString& entry : dir.entryList(filters, QDir::Name)) {
        if (entry.compare(name, Qt::CaseInsensitive) != 0)
            continue;
        if (kinds == EntryKinds::NoDirectories) {
            const QFileInfo info(dir, entry);
            if (info.isDir() && !info.isSymLink())
                continue;
        }
        return entry;
    }
    return {};
}

QString resolvePathCase(const QString& path)
{
    if (platform::NamesIgnoreCase || path.isEmpty() || QFileInfo::exists(path))
        return path;

    const bool absolute = path.startsWith(QLatin1Char('/'));
    const bool trailingSeparator = path.endsWith(QLatin1Char('/'));
    const QStringList components = path.split(QLatin1Char('/'), Qt::SkipEmptyParts);

    QString resolved = absolute ? QStringLiteral("/") : QString();
    for (qsizetype i = 0; i < components.size(); ++i) {
        const QString& component = components.at(i);
        QString next = resolved + component;
        if (component != QLatin1String(".") && component != QLatin1String("..") && !QFileInfo::exists(next)) {
            const QString entry = findEntryIgnoringCase(resolved, component, EntryKinds::Any);
            if (entry.isEmpty())
                return path;
            next = resolved + entry;
        }
        resolved = next;
        if (i + 1 < components.size() || trailingSeparator)
            resolved += QLatin1Char('/');
    }
    return resolved;
}

} // namespace przenosnik
