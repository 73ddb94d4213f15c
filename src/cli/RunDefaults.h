// The run options stored by the main window in section MAIN of its PRZENOSN.INI.
#pragma once

#include "conversion/RunConversion.h"

#include <QString>

namespace przenosnik {

// Applies the stored values of the file to the settings, by the rules the main window restores them with:
// a missing key or a value that cannot be read leaves the setting as it is. Returns false, with a reason
// in Polish, when the file does not exist or cannot be read.
bool applyStoredRunOptions(const QString& iniPath, ConversionSettings& settings, QString& error);

// The "NIP firmy" the main window keeps in the file for that company directory; empty when none.
QString storedCompanyNipIn(const QString& iniPath, const QString& companyDirectory);

} // namespace przenosnik
