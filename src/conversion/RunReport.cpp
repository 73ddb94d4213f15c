#include "conversion/RunReport.h"

namespace przenosnik {

void markRunUndone(RunReport& report, const QDateTime& undoneAt)
{
    report.undoneAt = undoneAt;
    for (DocumentResult& document : report.documents)
        document.state = undoneState(document.state);
}

DocumentState undoneState(DocumentState state)
{
    return state == DocumentState::Written ? DocumentState::Undone : state;
}

} // namespace przenosnik
