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

std::optional<int> parseStoredInteger(QStringView text)
{
    qsizetype pos = 0;
    const bool negative = !text.isEmpty() && text.front() == u'-';
    if (negative)
        ++pos;
    if (pos == text.size())
        return std::nullopt;
    // Accumulated negatively so that the smallest int fits.
    long long value = 0;
    for (; pos < text.size(); ++pos) {
        const QChar c = text[pos];
        if (c < u'0' || c > u'9')
            return std::nullopt;
        value = value * 10 - (c.unicode() - u'0');
        if (value < std::numeric_limits<int>::min())
            return std::nullopt;
    }
    if (!negative) {
        value = -value;
        if (value > std::numeric_limits<int>::max())
            return std::nullopt;
    }
    return static_cast<int>(value);
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
        write(trimBlanks(text));
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
