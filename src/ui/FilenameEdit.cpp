#include "ui/FilenameEdit.h"

#include "ledger/CompanyList.h"
#include "platform/DosPath.h"
#include "ui/FileDialog.h"
#include "ui/FileNameValue.h"

#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QStyle>
#include <QToolButton>

namespace przenosnik {

namespace {
bool isExistingDirectory(const QString& path)
{
    return !path.isEmpty() && QFileInfo(resolvePathCase(path)).isDir();
}
} // namespace

FilenameEdit::FilenameEdit(QWidget* parent)
    : QWidget(parent), edit(new QLineEdit(this)), button(new QToolButton(this))
{
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(edit, 1);
    layout->addWidget(button);
    edit->setObjectName(QStringLiteral("lineEdit"));
    button->setObjectName(QStringLiteral("browseButton"));
    button->setIcon(style()->standardIcon(QStyle::SP_DirOpenIcon));
    button->setFocusPolicy(Qt::NoFocus);
    setFocusProxy(edit);
    connect(button, &QToolButton::clicked, this, &FilenameEdit::browse);
    connect(edit, &QLineEdit::textChanged, this, &FilenameEdit::textChanged);
}

QString FilenameEdit::text() const
{
    return edit->text();
}

void FilenameEdit::setText(const QString& text)
{
    edit->setText(text);
}

QString FilenameEdit::fileName() const
{
    return fileNameValue(edit->text());
}

void FilenameEdit::setFileName(const QString& fileName)
{
    edit->setText(fileNameText(fileName));
}

QString FilenameEdit::browseStartDirectory() const
{
    const QString folder = folderPart(fileName());
    if (isExistingDirectory(folder))
        return resolvePathCase(folder);
    return isExistingDirectory(initialDir) ? initialDir : QString();
}

bool FilenameEdit::browse()
{
    const QString chosen =
        FileDialog::getOpenFileName(this, dialogTitle, browseStartDirectory(), FileDialog::qtFilter(filter),
                                    nullptr, QFileDialog::HideNameFilterDetails);
    if (chosen.isEmpty())
        return false;
    const QString path = QDir::toNativeSeparators(QFileInfo(chosen).absoluteFilePath());
    initialDir = QDir::toNativeSeparators(QFileInfo(chosen).absolutePath());
    setFileName(path);
    edit->setFocus();
    return true;
}

} // namespace przenosnik
