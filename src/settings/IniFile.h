// An INI file held in memory: sections of key=value lines, read and written whole.
//
// Section and key names match without regard to case. Existing keys keep their
// place and get the new value, missing keys go to the end of their section, and
// sections and keys nobody asked for are kept. The text form drops comment lines
// (first non-blank ';'), blank lines and lines before the first section, removes
// blanks around each line and around the first '=', and follows every section
// with one empty line. Lines end in CR LF.
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringView>

#include <optional>

namespace przenosnik {

// How the file's bytes hold its text. A file without a byte-order mark is in
// the ANSI code page (Windows-1250); one with a mark keeps it.
enum class IniEncoding
{
    Ansi,
    Utf8,
    Utf16LE,
    Utf16BE
};

class IniFile
{
public:
    IniFile() = default;

    // Reads the text of a file; lines may end in CR LF, LF or CR.
    static IniFile fromText(QStringView text);
    // Reads the bytes of a file, recognising a UTF-8 or UTF-16 byte-order mark.
    static IniFile fromBytes(QByteArrayView bytes);

    QString toText() const;
    // The text in the file's own encoding, with its byte-order mark if it had one.
    QByteArray toBytes() const;

    IniEncoding encoding() const { return m_encoding; }

    bool hasSection(QStringView section) const;
    bool hasKey(QStringView section, QStringView key) const;
    // The value as read (blanks around it removed), or nothing when the key is missing.
    std::optional<QString> value(QStringView section, QStringView key) const;
    // Sets the value of an existing key in place or appends the key to its section,
    // creating the section at the end when needed. Line breaks in the value become
    // blanks, so that a value can never start a line of its own.
    void setValue(const QString& section, const QString& key, const QString& value);

    // The names of the sections and of the keys of one section, in file order.
    QStringList sections() const;
    QStringList keys(QStringView section) const;

private:
    struct Line
    {
        QString key; // the whole line when it has no '='
        QString value;
        bool hasValue = false;
    };
    struct Section
    {
        QString name;
        QList<Line> lines;
    };

    const Section* findSection(QStringView name) const;
    Section* findSection(QStringView name);
    Section& addSection(const QString& name);
    // The index of the key's line in the section, or -1.
    static qsizetype findKey(const Section& section, QStringView key);

    QList<Section> m_sections;
    // The index of each section in m_sections by its case-folded name, so that
    // finding a section does not walk the whole file.
    QHash<QString, qsizetype> m_sectionIndex;
    IniEncoding m_encoding = IniEncoding::Ansi;
};

} // namespace przenosnik
