#include "settings/MainSettings.h"

#include "settings/IniFile.h"
#include "settings/SettingsStore.h"

#include <QFile>

namespace przenosnik {

namespace {

StoredValue textValue(const char* key, QString& field)
{
    return StoredValue::string(
        QString::fromLatin1(key), [&field] { return field; },
        [&field](const QString& text) { field = text; });
}

StoredValue flagValue(const char* key, bool& field)
{
    return StoredValue::boolean(
        QString::fromLatin1(key), [&field] { return field; }, [&field](bool value) { field = value; });
}

} // namespace

QStringList mainSettingKeys()
{
    using namespace mainkeys;
    QStringList keys;
    for (const char* key : {Rb852, RbMaz, ExportFile, Attribute, Description, Register, PostalCode,
                            CompanyDirectory, Sym2006, AlwaysDescription, Szablon31, Duplicates})
        keys.append(QString::fromLatin1(key));
    return keys;
}

StoredValueList mainStoredValues(ConversionSettings& settings)
{
    using namespace mainkeys;
    PolishEncoding& encoding = settings.ledgerEncoding;
    return {
        StoredValue::boolean(
            QString::fromLatin1(Rb852), [&encoding] { return encoding != PolishEncoding::Mazovia; },
            [&encoding](bool checked) {
                // Unchecking one radio button does not check the other.
                if (checked)
                    encoding = PolishEncoding::Cp852;
            }),
        StoredValue::boolean(
            QString::fromLatin1(RbMaz), [&encoding] { return encoding == PolishEncoding::Mazovia; },
            [&encoding](bool checked) {
                encoding = checked ? PolishEncoding::Mazovia : PolishEncoding::Cp852;
            }),
        textValue(ExportFile, settings.exportFile),
        textValue(Attribute, settings.attribute),
        textValue(Description, settings.defaultDescription),
        textValue(Register, settings.registerId),
        flagValue(PostalCode, settings.postalCode),
        textValue(CompanyDirectory, settings.companyDirectory),
        flagValue(Sym2006, settings.sym2006),
        flagValue(AlwaysDescription, settings.alwaysDescription),
        flagValue(Szablon31, settings.szablon31),
        flagValue(Duplicates, settings.skipDuplicates),
    };
}

void applyMainSettings(const SettingsStore& store, ConversionSettings& settings)
{
    restoreStoredValues(store, mainStoredValues(settings));
}

bool loadMainSettingsFile(const QString& path, ConversionSettings& settings)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const SettingsStore store(QString::fromLatin1(MainSettingsSection), IniFile::fromBytes(file.readAll()));
    applyMainSettings(store, settings);
    return true;
}

} // namespace przenosnik
