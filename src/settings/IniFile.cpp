#include "settings/IniFile.h"

#include "encoding/AsciiValues.h"

#include "encoding/Windows1250.h"

#include <QStringDecoder>
#include <QStringEncoder>

namespace przenosnik {

namespace {

bool sameName(QStringView a, QStringView b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

// The form under which names that sameName() takes as equal are equal: every
// code point folded on its own, as the case-insensitive comparison does.
QString foldedName(QStringView name)
{
    QString folded;
    folded.reserve(name.size());
    for (qsizetype i = 0; i < name.size(); ++i) {
        char32_t c = name[i].unicode();
        // A surrogate pair is one code point; a lone surrogate stays as it is.
        if (name[i].isHighSurrogate() && i + 1 < name.size() && name[i + 1].isLowSurrogate()) {
            c = QChar::surrogateToUcs4(name[i], name[i + 1]);
            ++i;
        }
        folded.append(QChar::fromUcs4(QChar::toCaseFolded(c)));
    }
    return folded;
}

const QByteArray Utf8Bom("\xEF\xBB\xBF", 3);
const QByteArray Utf16LeBom("\xFF\xFE", 2);
const QByteArray Utf16BeBom("\xFE\xFF", 2);

QString decodeWith(QStringConverter::Encoding encoding, QByteArrayView bytes)
{
    QStringDecoder decoder(encoding, QStringConverter::Flag::Stateless);
    return decoder.decode(bytes);
}

QByteArray encodeWith(QStringConverter::Encoding encoding, const QString& text)
{
    QStringEncoder encoder(encoding, QStringConverter::Flag::Stateless);
    return encoder.encode(text);
}

} // namespace

IniFile IniFile::fromText(QStringView text)
{
    IniFile file;
    Section* current = nullptr;
    qsizetype pos = 0;
    while (pos < text.size()) {
        qsizetype end = pos;
        while (end < text.size() && text[end] != u'\r' && text[end] != u'\n')
            ++end;
        const QString line = trimControl(text.mid(pos, end - pos));
        pos = end;
        if (pos < text.size() && text[pos] == u'\r')
            ++pos;
        if (pos < text.size() && text[pos] == u'\n')
            ++pos;

        if (line.isEmpty() || line.front() == u';')
            continue;
        if (line.front() == u'[' && line.back() == u']') {
            const QString name = line.mid(1, line.size() - 2);
            current = file.findSection(name);
            if (!current)
                current = &file.addSection(name);
            continue;
        }
        if (!current)
            continue;
        const qsizetype equals = line.indexOf(u'=');
        if (equals < 0)
            current->lines.append(Line{line, {}, false});
        else
            current->lines.append(Line{trimControl(QStringView(line).left(equals)),
                                       trimControl(QStringView(line).mid(equals + 1)), true});
    }
    return file;
}

IniFile IniFile::fromBytes(QByteArrayView bytes)
{
    IniFile file;
    if (bytes.startsWith(Utf8Bom)) {
        file = fromText(decodeWith(QStringConverter::Utf8, bytes.sliced(Utf8Bom.size())));
        file.m_encoding = IniEncoding::Utf8;
    } else if (bytes.startsWith(Utf16LeBom)) {
        file = fromText(decodeWith(QStringConverter::Utf16LE, bytes.sliced(Utf16LeBom.size())));
        file.m_encoding = IniEncoding::Utf16LE;
    } else if (bytes.startsWith(Utf16BeBom)) {
        file = fromText(decodeWith(QStringConverter::Utf16BE, bytes.sliced(Utf16BeBom.size())));
        file.m_encoding = IniEncoding::Utf16BE;
    } else {
        file = fromText(decodeWindows1250(bytes));
    }
    return file;
}

QString IniFile::toText() const
{
    static const QLatin1StringView LineEnd("\r\n");
    QString text;
    for (const Section& section : m_sections) {
        text += u'[' + section.name + u']' + LineEnd;
        for (const Line& line : section.lines) {
            text += line.key;
            if (line.hasValue)
                text += u'=' + line.value;
            text += LineEnd;
        }
        text += LineEnd;
    }
    return text;
}

QByteArray IniFile::toBytes() const
{
    const QString text = toText();
    switch (m_encoding) {
    case IniEncoding::Utf8:
        return Utf8Bom + encodeWith(QStringConverter::Utf8, text);
    case IniEncoding::Utf16LE:
        return Utf16LeBom + encodeWith(QStringConverter::Utf16LE, text);
    case IniEncoding::Utf16BE:
        return Utf16BeBom + encodeWith(QStringConverter::Utf16BE, text);
    case IniEncoding::Ansi:
        break;
    }
    return encodeWindows1250(text);
}

const IniFile::Section* IniFile::findSection(QStringView name) const
{
    const auto found = m_sectionIndex.constFind(foldedName(name));
    return found == m_sectionIndex.cend() ? nullptr : &m_sections[*found];
}

IniFile::Section* IniFile::findSection(QStringView name)
{
    // Through the non-const list, so that a copy sharing the sections is not
    // changed along with this one.
    const auto found = m_sectionIndex.constFind(foldedName(name));
    return found == m_sectionIndex.cend() ? nullptr : &m_sections[*found];
}

IniFile::Section& IniFile::addSection(const QString& name)
{
    m_sectionIndex.insert(foldedName(name), m_sections.size());
    m_sections.append(Section{name, {}});
    return m_sections.back();
}

qsizetype IniFile::findKey(const Section& section, QStringView key)
{
    for (qsizetype i = 0; i < section.lines.size(); ++i) {
        if (section.lines[i].hasValue && sameName(section.lines[i].key, key))
            return i;
    }
    return -1;
}

bool IniFile::hasSection(QStringView section) const
{
    return findSection(section) != nullptr;
}

bool IniFile::hasKey(QStringView section, QStringView key) const
{
    return value(section, key).has_value();
}

std::optional<QString> IniFile::value(QStringView section, QStringView key) const
{
    const Section* found = findSection(section);
    if (!found)
        return std::nullopt;
    const qsizetype line = findKey(*found, key);
    if (line < 0)
        return std::nullopt;
    return found->lines[line].value;
}

void IniFile::setValue(const QString& section, const QString& key, const QString& value)
{
    QString singleLine = value;
    singleLine.replace(u'\r', u' ').replace(u'\n', u' ');

    Section* target = findSection(section);
    if (!target)
        target = &addSection(section);
    const qsizetype line = findKey(*target, key);
    if (line >= 0)
        target->lines[line].value = singleLine;
    else
        target->lines.append(Line{key, singleLine, true});
}

QStringList IniFile::sections() const
{
    QStringList names;
    for (const Section& section : m_sections)
        names.append(section.name);
    return names;
}

QStringList IniFile::keys(QStringView section) const
{
    QStringList names;
    if (const Section* found = findSection(section)) {
        for (const Line& line : found->lines) {
            if (line.hasValue)
                names.append(line.key);
        }
    }
    return names;
}

} // namespace przenosnik
