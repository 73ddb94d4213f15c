// The control values a window keeps in its settings file, and their text forms.
#pragma once

#include "encoding/AsciiValues.h"

#include <QList>
#include <QString>
#include <QStringView>

#include <functional>
#include <optional>

namespace przenosnik {

class SettingsStore;

// "TRUE"/"YES"/"Y" and "FALSE"/"NO"/"N" in any case; otherwise a decimal
// integer, non-zero meaning true; an empty text is false. Anything else
// cannot be converted.
std::optional<bool> parseStoredBoolean(QStringView text);
QString formatStoredBoolean(bool value);

// A decimal integer with an optional minus sign, within the range of int.
inline std::optional<int> parseStoredInteger(QStringView text)
{
    return parseInteger(text, IntegerSign::MinusOnly);
}
QString formatStoredInteger(int value);

// One entry of a window's stored-value list: the key (control name, '_',
// property name) and how to read the value from the control and write it back.
class StoredValue
{
public:
    enum class Type
    {
        Boolean,
        String,
        Integer
    };

    static StoredValue boolean(QString key, std::function<bool()> read, std::function<void(bool)> write);
    static StoredValue string(QString key, std::function<QString()> read,
                              std::function<void(const QString&)> write);
    static StoredValue integer(QString key, std::function<int()> read, std::function<void(int)> write);

    const QString& key() const { return m_key; }
    Type type() const { return m_type; }

    // The control's value in its stored text form.
    QString readText() const;
    // Sets the control from a stored text. Returns false, leaving the control
    // as it is, when the text cannot be converted. Strings lose their blanks
    // at both ends.
    bool writeText(QStringView text) const;

private:
    StoredValue() = default;

    QString m_key;
    Type m_type = Type::String;
    std::function<QString()> m_read;
    std::function<bool(QStringView)> m_write;
};

using StoredValueList = QList<StoredValue>;

// Sets each control whose key the store holds, in list order; a missing key or a
// value that cannot be converted leaves the control as it is.
void restoreStoredValues(const SettingsStore& store, const StoredValueList& values);
// Writes every value of the list, in list order, whatever it is.
void saveStoredValues(SettingsStore& store, const StoredValueList& values);

} // namespace przenosnik
