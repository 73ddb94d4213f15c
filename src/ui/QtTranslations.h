// Qt's own texts in Polish: the buttons of message boxes ("Tak", "Nie") and
// the file and folder dialogs, from the translations installed with Qt.
#pragma once

#include <QString>

class QTranslator;

namespace przenosnik {

// The folder of the translations installed with Qt.
QString qtTranslationsDirectory();

// Loads qtbase_pl from `directory` into `translator` and installs it in the
// application; the translator must live as long as the application uses it.
// Answers false, and installs nothing, when the file is missing or unreadable:
// the program then shows Qt's texts in English.
bool installQtTranslations(QTranslator& translator, const QString& directory = qtTranslationsDirectory());

} // namespace przenosnik
