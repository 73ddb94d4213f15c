#include "support/ScratchFiles.h"

#include "support/ConversionTestHost.h"
#include "support/TestSupport.h"

#include <QDir>

namespace przenosnik::test {

QString ScratchFiles::writeExport(const QString& text)
{
    const QString path = m_dir.filePath(QStringLiteral("FVS%1.TXT").arg(++m_serial));
    if (!writeFile(path, exportBytes(text)))
        qFatal("cannot write %s", qPrintable(path));
    return path;
}

QString ScratchFiles::freshCompany()
{
    const QString path = m_dir.filePath(QStringLiteral("firma%1").arg(++m_serial));
    if (!QDir().mkpath(path))
        qFatal("cannot create %s", qPrintable(path));
    return path;
}

ConversionSettings ScratchFiles::realRun(const QString& exportText, const QString& company)
{
    ConversionSettings settings;
    settings.exportFile = writeExport(exportText);
    settings.companyDirectory = company;
    return settings;
}

} // namespace przenosnik::test
