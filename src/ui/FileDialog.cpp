#include "ui/FileDialog.h"

#include "platform/SystemPaths.h"

#include <QStringList>

#include <optional>
#include <utility>

namespace przenosnik {

namespace {
std::optional<QString> nextFileName;
std::optional<QString> nextDirectory;
FileDialog::Request last;
int requests = 0;

void remember(const QString& caption, const QString& directory, const QString& filter,
              QFileDialog::Options options)
{
    last = FileDialog::Request{caption, directory, filter, options};
    ++requests;
}

// The answer set in advance for the next dialog, used up by taking it.
std::optional<QString> take(std::optional<QString>& next)
{
    return std::exchange(next, std::nullopt);
}
QString qtPattern(const QString& pattern)
{
    if (platform::NamesIgnoreCase && platform::DrivePaths)
        return pattern;
    if (pattern == QLatin1String("*.*"))
        return QStringLiteral("*");
    QString result;
    for (const QChar c : pattern) {
        const QChar lower = c.toLower();
        const QChar upper = c.toUpper();
        if (lower != upper && lower.unicode() < 128 && upper.unicode() < 128)
            result += QLatin1Char('[') + lower + upper + QLatin1Char(']');
        else
            result += c;
    }
    return result;
}
} // namespace

QString FileDialog::qtFilter(const QString& windowsFilter)
{
    const QStringList parts = windowsFilter.split(QLatin1Char('|'));
    QStringList entries;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QStringList patterns;
        for (const QString& pattern : parts.at(i + 1).split(QLatin1Char(';'), Qt::SkipEmptyParts))
            patterns << qtPattern(pattern.trimmed());
        entries << parts.at(i) + QStringLiteral(" (") + patterns.join(QLatin1Char(' ')) + QLatin1Char(')');
    }
    return entries.join(QStringLiteral(";;"));
}

QString FileDialog::getOpenFileName(QWidget* parent, const QString& caption, const QString& directory,
                                    const QString& filter, QString* selectedFilter,
                                    QFileDialog::Options options)
{
    remember(caption, directory, filter, options);
    if (const std::optional<QString> answer = take(nextFileName))
        return *answer;
    return QFileDialog::getOpenFileName(parent, caption, directory, filter, selectedFilter, options);
}

QString FileDialog::getSaveFileName(QWidget* parent, const QString& caption, const QString& directory,
                                    const QString& filter, QString* selectedFilter,
                                    QFileDialog::Options options)
{
    remember(caption, directory, filter, options);
    if (const std::optional<QString> next = take(nextFileName)) {
        const QString& answer = *next;
        if (selectedFilter) {
            const QString suffix = QStringLiteral("*.") + answer.section(QLatin1Char('.'), -1).toLower();
            for (const QString& entry : filter.split(QStringLiteral(";;"))) {
                if (entry.contains(suffix)) {
                    *selectedFilter = entry;
                }
            }
        }
        return answer;
    }
    return QFileDialog::getSaveFileName(parent, caption, directory, filter, selectedFilter, options);
}

QString FileDialog::getExistingDirectory(QWidget* parent, const QString& caption, const QString& directory,
                                         QFileDialog::Options options)
{
    remember(caption, directory, QString(), options);
    if (const std::optional<QString> answer = take(nextDirectory))
        return *answer;
    return QFileDialog::getExistingDirectory(parent, caption, directory, options);
}

void FileDialog::setNextFileName(const QString& fileName)
{
    nextFileName = fileName;
}

void FileDialog::setNextDirectory(const QString& directory)
{
    nextDirectory = directory;
}

void FileDialog::clearNextAnswers()
{
    nextFileName.reset();
    nextDirectory.reset();
}

FileDialog::Request FileDialog::lastRequest()
{
    return last;
}

int FileDialog::requestCount()
{
    return requests;
}

} // namespace przenosnik
