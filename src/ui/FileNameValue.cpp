#include "ui/FileNameValue.h"

#include "platform/DosPath.h"

#include <QDir>
#include <QFileInfo>

namespace przenosnik {

QString fileNameValue(const QString& text)
{
    if (!text.isEmpty()) {
        const QFileInfo onDisk(resolvePathCase(text));
        if (onDisk.exists() && !onDisk.isDir())
            return text;
        if (onDisk.isDir()) {
            const bool hasSeparator = text.endsWith(QLatin1Char('/')) || text.endsWith(QDir::separator());
            return hasSeparator ? text : text + QDir::separator();
        }
    }
    const QLatin1Char quote('"');
    if (text.startsWith(quote)) {
        const qsizetype closing = text.indexOf(quote, 1);
        return closing < 0 ? text.mid(1) : text.mid(1, closing - 1);
    }
    const qsizetype blank = text.indexOf(QLatin1Char(' '));
    return blank < 0 ? text : text.left(blank);
}

QString fileNameText(const QString& fileName)
{
    if (fileName.contains(QLatin1Char(' ')))
        return QLatin1Char('"') + fileName + QLatin1Char('"');
    return fileName;
}

} // namespace przenosnik
