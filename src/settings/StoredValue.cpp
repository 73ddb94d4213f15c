#include "settings/StoredValue.h"

#include "settings/IniFile.h"
#include "settings/SettingsStore.h"

#include <limits>
#include <utility>

namespace przenosnik {

std::optional<bool> parseStoredBoolean(QStringView text)
{
    for (const char* word : {"TRUE", "YES", "Y"}) {
        if (text.compare(QLatin1StringView(word), Qt::CaseInsensitive) == 0)
            return true;
    }
    for (const char* word : {"FALSE", "NO", "N"}) {
        if (text.compare(QLatin1StringView(word), Qt::CaseInsensitive) == 0)
            return false;
    }
    if (text.isEmpty())
        return false;
    const std::optional<int> number = parseStoredInteger(text);
    if (!number)
        return std::nullopt;
    return *number != 0;
}

QString formatStoredBoolean(bool value)
{
    return value ? QStringLiteral("TRUE") : QStringLiteral("FALSE");
}

QString formatStoredInteger(int value)
{
    return QString::number(value);
}

StoredValue StoredValue::boolean(QString key, std::function<bool()> read, std::function<void(bool)> write)
{
    StoredValue entry;
    entry.m_key = std::move(key);
    entry.m_type = Type::Boolean;
    entry.m_read = [read = std::move(read)] { return formatStoredBoolean(read()); };
    entry.m_write = [write = std::move(write)](QStringView text) {
        const std::optional<bool> value = parseStoredBoolean(text);
        if (value)
            write(*value);
        return value.has_value();
    };
    return entry;
}

StoredValue StoredValue::string(QString key, std::function<QString()> read,
                                std::function<void(const QString&)> write)
{
    StoredValue entry;
    entry.m_key = std::move(key);
    entry.m_type = Type::String;
    entry.m_read = std::move(read);
    entry.m_write = [write = std::move(write)](QStringView text) {
        write(trimControl(text));
        return true;
    };
    return entry;
}

StoredValue StoredValue::integer(QString key, std::function<int()> read, std::function<void(int)> write)
{
    StoredValue entry;
    entry.m_key = std::move(key);
    entry.m_type = Type::Integer;
    entry.m_read = [read = std::move(read)] { return formatStoredInteger(read()); };
    entry.m_write = [write = std::move(write)](QStringView text) {
        const std::optional<int> value = parseStoredInteger(text);
        if (value)
            write(*value);
        return value.has_value();
    };
    return entry;
}

QString StoredValue::readText() const
{
    return m_read();
}

bool StoredValue::writeText(QStringView text) const
{
    return m_write(text);
}

void restoreStoredValues(const SettingsStore& store, const StoredValueList& values)
{
    for (const StoredValue& entry : values) {
        if (const std::optional<QString> text = store.value(entry.key()))
            entry.writeText(*text);
    }
}

void saveStoredValues(SettingsStore& store, const StoredValueList& values)
{
    for (const StoredValue& entry : values)
        store.setValue(entry.key(), entry.readText());
}

} // namespace przenosnik
