// A line edit with a browse button that opens an open-file dialog. The text
// may be typed; fileName() is the value the program uses (see FileNameValue.h).
#pragma once

#include <QFileDialog>
#include <QString>
#include <QWidget>

class QLineEdit;
class QToolButton;

namespace przenosnik {

class FilenameEdit : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(QString FileName READ fileName WRITE setFileName)

public:
    explicit FilenameEdit(QWidget* parent = nullptr);

    QString text() const;
    void setText(const QString& text);
    // The value of the text; setting it shows it in quotation marks when it
    // holds a blank.
    QString fileName() const;
    void setFileName(const QString& fileName);

    // The browse dialog: its filter in the Windows form (FileDialog::qtFilter),
    // title, options, and the folder it starts in when the current name has
    // no existing folder. A successful browse moves that folder to the chosen
    // file's folder.
    void setFilter(const QString& windowsFilter) { filter = windowsFilter; }
    void setDialogTitle(const QString& title) { dialogTitle = title; }
    QString initialDirectory() const { return initialDir; }
    void setInitialDirectory(const QString& directory) { initialDir = directory; }
    // The folder the next browse starts in.
    QString browseStartDirectory() const;

    QLineEdit* lineEdit() const { return edit; }
    QToolButton* browseButton() const { return button; }

public Q_SLOTS:
    // Opens the dialog; a chosen file replaces the text. Answers whether a
    // file was chosen.
    bool browse();

Q_SIGNALS:
    void textChanged(const QString& text);

private:
    QLineEdit* edit;
    QToolButton* button;
    QString filter;
    QString dialogTitle;
    QString initialDir;
};

} // namespace przenosnik
