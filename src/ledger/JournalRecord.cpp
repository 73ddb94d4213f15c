#include "ledger/JournalRecord.h"

#include "ledger/CrashPoint.h"
#include "ledger/Crc32.h"
#include "platform/FileDigest.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>

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

// "#" and the check as 8 lower-case hex digits.
QByteArray checkText(quint32 crc)
{
    return '#' + QByteArray::number(crc, 16).rightJustified(8, '0');
}

bool isCheck(QByteArrayView field)
{
    if (field.size() != 9 || field.front() != '#')
        return false;
    for (const char c : field.sliced(1)) {
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f')))
            return false;
    }
    return true;
}

// The check of the journal's last whole line that is not blank, NoCheck when
// it has none; `torn` tells that the file ends in a line without its end.
// Reads backwards from the end only as far as that line.
QByteArray lastCheck(QFile& file, qint64 size, bool& torn)
{
    torn = false;
    qint64 chunk = 4096;
    for (;;) {
        const qint64 from = qMax<qint64>(0, size - chunk);
        if (!file.seek(from))
            return NoCheck;
        const QByteArray bytes = file.read(size - from);
        if (bytes.size() != size - from)
            return NoCheck;
        qsizetype end = bytes.size();
        if (end > 0 && bytes.at(end - 1) != '\n') {
            torn = true;
            end = bytes.lastIndexOf('\n') + 1; // the torn line is no base
            if (end == 0 && from > 0) {
                chunk *= 2;
                continue;
            }
        }
        // Lines from the end, the blank ones passed over.
        while (end > 0) {
            const qsizetype start = end >= 2 ? bytes.lastIndexOf('\n', end - 2) + 1 : 0;
            if (start == 0 && from > 0)
                break; // the line may begin before the chunk
            const QByteArrayView line = QByteArrayView(bytes).sliced(start, end - start);
            if (!line.trimmed().isEmpty()) {
                const JournalLine split = splitJournalLine(line);
                return split.check.isEmpty() ? NoCheck : split.check;
            }
            end = start;
        }
        if (from == 0)
            return NoCheck;
        chunk *= 2;
    }
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

QByteArray formatJournalLine(const QStringList& fields, const QByteArray& previousCheck)
{
    QStringList escapedFields;
    escapedFields.reserve(fields.size());
    for (const QString& field : fields)
        escapedFields.append(escaped(field));
    const QByteArray content = escapedFields.join(QLatin1Char('\t')).toUtf8();
    return content + "\t" + checkText(Crc32(content, Crc32(previousCheck))) + '\n';
}

bool JournalLine::checkFollows(const QByteArray& previousCheck) const
{
    return !check.isEmpty() && checkText(Crc32(content, Crc32(previousCheck))).mid(1) == check;
}

JournalLine splitJournalLine(QByteArrayView line)
{
    while (line.endsWith('\n') || line.endsWith('\r'))
        line.chop(1);
    JournalLine result;
    result.content = line.toByteArray();
    const qsizetype tab = result.content.lastIndexOf('\t');
    if (tab >= 0 && isCheck(QByteArrayView(result.content).sliced(tab + 1))) {
        result.check = result.content.mid(tab + 2);
        result.content.truncate(tab);
    }
    for (const QByteArray& field : result.content.split('\t'))
        result.fields.append(field.contains('\\') ? unescaped(QString::fromUtf8(field))
                                                  : QString::fromUtf8(field));
    return result;
}

bool appendJournalRecord(const QString& journalPath, const QStringList& fields)
{
    const bool created = !QFileInfo::exists(journalPath);
    QFile file(journalPath);
    if (!file.open(QIODevice::ReadWrite | QIODevice::Unbuffered))
        return false;
    const qint64 size = file.size();
    bool torn = false;
    const QByteArray previous = lastCheck(file, size, torn);
    QByteArray line = formatJournalLine(fields, previous);
    if (torn)
        line.prepend('\n');
    crashPoint();
    const bool written = file.seek(size) && file.write(line) == line.size();
    crashPoint();
    if (!written || !syncToDisk(file)) {
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

QString runIdAfter(const QString& previous, const QDateTime& time)
{
    const QString id = runIdForTime(time);
    if (!isRunId(previous) || runIdLess(previous, id))
        return id;
    return previous.left(15) + QStringLiteral("-%1").arg(runIdCounter(previous) + 1);
}

bool isRunId(const QString& text)
{
    // "yyyyMMdd-HHmmss", then "-" and a counter from 1 to 9 digits without a leading zero.
    auto digits = [&text](qsizetype from, qsizetype to) {
        for (qsizetype i = from; i < to; ++i) {
            if (!text.at(i).isDigit() || text.at(i).unicode() > '9')
                return false;
        }
        return true;
    };
    if (text.size() < 15 || !digits(0, 8) || text.at(8) != QLatin1Char('-') || !digits(9, 15))
        return false;
    if (text.size() == 15)
        return true;
    return text.size() >= 17 && text.size() <= 25 && text.at(15) == QLatin1Char('-') &&
           text.at(16) != QLatin1Char('0') && digits(16, text.size());
}

bool runIdLess(const QString& a, const QString& b)
{
    const int byTime = a.left(15).compare(b.left(15));
    if (byTime != 0)
        return byTime < 0;
    return runIdCounter(a) < runIdCounter(b);
}

} // namespace przenosnik
