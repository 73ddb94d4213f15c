// A temporary directory for a test's export files and company directories.
#pragma once

#include "conversion/RunConversion.h"

#include <QString>
#include <QTemporaryDir>

namespace przenosnik::test {

class ScratchFiles
{
public:
    bool isValid() const { return m_dir.isValid(); }
    QString path() const { return m_dir.path(); }
    QString filePath(const QString& name) const { return m_dir.filePath(name); }

    // A new export file holding the text in Windows-1250.
    QString writeExport(const QString& text);
    // A new, empty company directory.
    QString freshCompany();
    // The options of a real run of that export into that company directory.
    ConversionSettings realRun(const QString& exportText, const QString& company);

private:
    QTemporaryDir m_dir;
    int m_serial = 0;
};

} // namespace przenosnik::test
