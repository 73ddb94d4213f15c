// The open-file, save-file and folder dialogs of the windows, behind one seam:
// a test queues the answer with setNextFileName / setNextDirectory and the
// next call returns it without opening a dialog.
#pragma once

#include <QFileDialog>
#include <QString>

class QWidget;

namespace przenosnik {

class FileDialog
{
public:
    // An empty string means "cancelled", as with QFileDialog.
    static QString getOpenFileName(QWidget* parent, const QString& caption, const QString& directory,
                                   const QString& filter, QString* selectedFilter = nullptr,
                                   QFileDialog::Options options = {});
    // A queued answer sets *selectedFilter to the filter its extension names.
    static QString getSaveFileName(QWidget* parent, const QString& caption, const QString& directory,
                                   const QString& filter, QString* selectedFilter = nullptr,
                                   QFileDialog::Options options = {});
    static QString getExistingDirectory(QWidget* parent, const QString& caption, const QString& directory,
                                        QFileDialog::Options options = QFileDialog::ShowDirsOnly);

    // A filter written the Windows way, "description|patterns|description|
    // patterns" with patterns separated by ";", in Qt's form: entries
    // "description (patterns)" joined by ";;". Where file names are
    // case-sensitive each letter of a pattern matches both cases and "*.*"
    // becomes "*", so the patterns match what they match on Windows; show the
    // dialog with QFileDialog::HideNameFilterDetails to see the descriptions
    // as written.
    static QString qtFilter(const QString& windowsFilter);

    // Test answers: the next matching call returns this value (an empty string
    // answers "cancelled") instead of showing a dialog. Used once.
    static void setNextFileName(const QString& fileName);
    static void setNextDirectory(const QString& directory);
    static void clearNextAnswers();

    // What the last call was asked, answered or not, so tests can check the
    // start folder, caption and filter.
    struct Request
    {
        QString caption;
        QString directory;
        QString filter;
        QFileDialog::Options options;
    };
    static Request lastRequest();
    static int requestCount();
};

} // namespace przenosnik
