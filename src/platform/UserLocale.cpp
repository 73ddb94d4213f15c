#include "platform/UserLocale.h"

namespace przenosnik {

QLocale userLocale()
{
    const QLocale system = QLocale::system();
    return system.language() == QLocale::C ? QLocale(QLocale::Polish, QLocale::Poland) : system;
}

} // namespace przenosnik
