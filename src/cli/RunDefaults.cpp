#include "cli/RunDefaults.h"

#include "settings/MainSettings.h"

#include <QFileInfo>

namespace przenosnik {

bool applyStoredRunOptions(const QString& iniPath, ConversionSettings& settings, QString& error)
{
    if (!QFileInfo(iniPath).isFile()) {
        error = QStringLiteral("nie ma pliku ustawień \"%1\"").arg(iniPath);
        return false;
    }
    if (!loadMainSettingsFile(iniPath, settings)) {
        error = QStringLiteral("nie można odczytać pliku ustawień \"%1\"").arg(iniPath);
        return false;
    }
    return true;
}

} // namespace przenosnik
