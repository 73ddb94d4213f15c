#include "conversion/ExportFileName.h"

namespace przenosnik {

QString stripExportFileQuotes(const QString& text)
{
    QString name = text;
    if (name.startsWith(QLatin1Char('"')))
        name = name.mid(1, MaxExportFileNameLength);
    if (name.endsWith(QLatin1Char('"')))
        name.chop(1);
    return name;
}

} // namespace przenosnik
