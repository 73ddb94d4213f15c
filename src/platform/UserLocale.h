// The user's regional settings, by which amounts are written and company names
// sorted.
#pragma once

#include <QLocale>

namespace przenosnik {

// The system locale; Polish (Poland) when the environment names none (C, POSIX):
// the program is Polish, and a bare environment is no reason to write amounts
// or sort names in another way.
QLocale userLocale();

} // namespace przenosnik
