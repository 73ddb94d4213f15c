#include "ledger/JournalRecord.h"

#include "platform/FileDigest.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

namespace przenosnik {

namespace {

QString escaped(const QString& field)
{
    QString text;
    text.reserve(field.size());
    for (const QChar c : field) {
        switch (c.unicode()) {
        case '\\':
            text += QStringLiteral("\\\\");
            break;
        case '\t':
            text += QStringLiteral("\\t");
            break;
        case '\n':
            text += QStringLiteral("\\n");
            break;
        case '\r':
            text += QStringLiteral("\\r");
            break;
        default:
            text += c;
        }
    }
    return text;
}

QString unescaped(const QString& field)
{
    QString text;
    text.reserve(field.size());
    for (qsizetype i = 0; i < field.size(); ++i) {
        const QChar c = field.at(i);
        if (c != QLatin1Char('\\') || i + 1 == field.size()) {
            text += c;
            continue;
        }
        const QChar next = field.at(++i);
        text += next == QLatin1Char('t')   ? QChar(u'\t')
                : next == QLatin1Char('n') ? QChar(u'\n')
                : next == QLatin1Char('r') ? QChar(u'\r')
                                           : next;
    }
    return text;
}

// The counter of a run id: 1 when it has none.
int runIdCounter(const QString& id)
{
    return id.size() > 16 ? id.mid(16).toInt() : 1;
}

} // namespace

QString journalPath(const QString& companyDirectory)
{
    return companyDirectory + QDir::separator() + JournalFileName;
}

QByteArray formatJournalLine(const QStringList& fields)
{
    QStringList escapedFields;
    escapedFields.reserve(fields.size());
    for (const QString& field : fields)
        escapedFields.append(escaped(field));
    return escapedFields.join(QLatin1Char('\t')).toUtf8() + '\n';
}

QStringList parseJournalLine(const QByteArray& line)
{
    QByteArray text = line;
    if (text.endsWith('\n'))
        text.chop(1);
    QStringList fields;
    for (const QByteArray& field : text.split('\t'))
        fields.append(unescaped(QString::fromUtf8(field)));
    return fields;
}

bool appendJournalRecord(const QString& journalPath, const QStringList& fields)
{
    const bool created = !QFileInfo::exists(journalPath);
    QFile file(journalPath);
    if (!file.open(QIODevice::ReadWrite | QIODevice::Unbuffered))
        return false;
    QByteArray line = formatJournalLine(fields);
    const qint64 size = file.size();
    if (size > 0) {
        if (!file.seek(size - 1))
            return false;
        if (file.read(1) != "\n")
            line.prepend('\n');
    }
    if (!file.seek(size) || file.write(line) != line.size() || !syncToDisk(file)) {
        // A record cut short by a full disk is taken back rather than left torn.
        file.resize(size);
        return false;
    }
    file.close();
    return !created || syncDirectory(QFileInfo(journalPath).absolutePath());
}

QString runIdForTime(const QDateTime& time)
{
    return time.toString(QStringLiteral("yyyyMMdd-HHmmss"));
}

bool isRunId(const QString& text)
{
    static const QRegularExpression pattern(QStringLiteral("^\\d{8}-\\d{6}(-[1-9]\\d{0,8})?$"));
    return pattern.match(text).hasMatch();
}

bool runIdLess(const QString& a, const QString& b)
{
    const int byTime = a.left(15).compare(b.left(15));
    if (byTime != 0)
        return byTime < 0;
    return runIdCounter(a) < runIdCounter(b);
}

} // namespace przenosnik
