#include "cli/RunDefaults.h"

#include "settings/CompanyNip.h"
#include "settings/IniFile.h"
#include "settings/MainSettings.h"
#include "settings/SettingsStore.h"

#include <QFile>
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

QString storedCompanyNipIn(const QString& iniPath, const QString& companyDirectory)
{
    QFile file(iniPath);
    if (companyDirectory.isEmpty() || !file.open(QIODevice::ReadOnly))
        return {};
    const SettingsStore store(QString::fromLatin1(MainSettingsSection), IniFile::fromBytes(file.readAll()));
    return storedCompanyNip(store, companyDirectory);
}

} // namespace przenosnik
