#include "support/TestSupport.h"

#include "platform/SystemPaths.h"

#include <QDateTime>
#include <QDir>
#include <QFile>

#include <algorithm>

namespace przenosnik::test {

QString firstDifference(const QByteArray& actual, const QByteArray& expected)
{
    const qsizetype common = std::min(actual.size(), expected.size());
    for (qsizetype i = 0; i < common; ++i) {
        if (actual.at(i) != expected.at(i)) {
            return QStringLiteral("first difference at byte %1 (0x%2): got 0x%3, expected 0x%4")
                .arg(i)
                .arg(i, 0, 16)
                .arg(static_cast<quint8>(actual.at(i)), 2, 16, QLatin1Char('0'))
                .arg(static_cast<quint8>(expected.at(i)), 2, 16, QLatin1Char('0'));
        }
    }
    if (actual.size() != expected.size())
        return QStringLiteral("sizes differ: got %1 bytes, expected %2")
            .arg(actual.size())
            .arg(expected.size());
    return {};
}

QString pathIn(const QString& directory, const QString& name)
{
    return directory + QDir::separator() + name;
}

QString foundAs(const QString& asWritten, const QString& onDisk)
{
    return platform::NamesIgnoreCase ? asWritten : onDisk;
}

QByteArray readFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

bool writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

bool writeOldFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size() &&
           file.flush() &&
           file.setFileTime(QDateTime::currentDateTime().addSecs(-3600), QFileDevice::FileModificationTime);
}

QByteArray readBackAndClose(std::FILE* file)
{
    std::rewind(file);
    QByteArray bytes;
    char buffer[4096];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0)
        bytes.append(buffer, static_cast<qsizetype>(n));
    std::fclose(file);
    return bytes;
}

} // namespace przenosnik::test
