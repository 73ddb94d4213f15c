#include "ui/FileDialog.h"

#include <optional>

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
} // namespace

QString FileDialog::getOpenFileName(QWidget* parent, const QString& caption, const QString& directory,
                                    const QString& filter, QString* selectedFilter,
                                    QFileDialog::Options options)
{
    remember(caption, directory, filter, options);
    if (nextFileName) {
        const QString answer = *nextFileName;
        nextFileName.reset();
        return answer;
    }
    return QFileDialog::getOpenFileName(parent, caption, directory, filter, selectedFilter, options);
}

QString FileDialog::getExistingDirectory(QWidget* parent, const QString& caption, const QString& directory,
                                         QFileDialog::Options options)
{
    remember(caption, directory, QString(), options);
    if (nextDirectory) {
        const QString answer = *nextDirectory;
        nextDirectory.reset();
        return answer;
    }
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
