#include "ui/QtTranslations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace przenosnik {

QString qtTranslationsDirectory()
{
    return QLibraryInfo::path(QLibraryInfo::TranslationsPath);
}

bool installQtTranslations(QTranslator& translator, const QString& directory)
{
    if (!translator.load(QStringLiteral("qtbase_pl"), directory)) {
        return false;
    }
    return QCoreApplication::installTranslator(&translator);
}

} // namespace przenosnik
