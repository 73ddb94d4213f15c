#include "conversion/DocumentResult.h"

#include <algorithm>

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
    case DocumentState::Excluded:
        return QStringLiteral("wyłączony");
    case DocumentState::Undone:
        return QStringLiteral("cofnięty");
    }
    return {};
}

void markLost(DocumentResult& result)
{
    result.state = DocumentState::NotWritten;
    result.remarks.append(QStringLiteral("zniknął z pliku"));
}

DocumentResult* resultOfDocument(QList<DocumentResult>& results, int ordinal)
{
    // Results come in run order, one per ordinal, though a host may have kept only some.
    const auto it = std::lower_bound(results.begin(), results.end(), ordinal,
                                     [](const DocumentResult& r, int wanted) { return r.ordinal < wanted; });
    return it != results.end() && it->ordinal == ordinal ? &*it : nullptr;
}

} // namespace przenosnik
