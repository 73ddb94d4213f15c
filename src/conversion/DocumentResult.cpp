#include "conversion/DocumentResult.h"

namespace przenosnik {

QString stateText(DocumentState state)
{
    switch (state) {
    case DocumentState::Written:
        return QStringLiteral("zapisany");
    case DocumentState::WouldBeWritten:
        return QStringLiteral("do zapisu");
    case DocumentState::Skipped:
        return QStringLiteral("pominięty");
    case DocumentState::NotWritten:
        return QStringLiteral("niezapisany");
    case DocumentState::Duplicate:
        return QStringLiteral("duplikat");
    case DocumentState::Conflict:
        return QStringLiteral("konflikt");
    }
    return {};
}

} // namespace przenosnik
