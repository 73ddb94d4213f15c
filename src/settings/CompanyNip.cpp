#include "settings/CompanyNip.h"

#include "settings/SettingsStore.h"

#include <QDir>
#include <QFileInfo>
#include <QUrl>

namespace przenosnik {

QString companyNipKey(const QString& companyDirectory)
{
    const QString path = QDir::cleanPath(QFileInfo(companyDirectory.trimmed()).absoluteFilePath());
    return QStringLiteral("NIP_") + QString::fromLatin1(QUrl::toPercentEncoding(path, "/\\:.-_~"));
}

QString storedCompanyNip(const SettingsStore& store, const QString& companyDirectory)
{
    if (companyDirectory.trimmed().isEmpty())
        return {};
    return store.value(companyNipKey(companyDirectory)).value_or(QString());
}

void storeCompanyNip(SettingsStore& store, const QString& companyDirectory, const QString& nip)
{
    if (companyDirectory.trimmed().isEmpty())
        return;
    const QString key = companyNipKey(companyDirectory);
    if (nip.isEmpty() && !store.contains(key))
        return;
    store.setValue(key, nip);
}

} // namespace przenosnik
