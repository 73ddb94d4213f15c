#include "conversion/RunReport.h"

namespace przenosnik {

void markRunUndone(RunReport& report, const QDateTime& undoneAt)
{
    report.undoneAt = undoneAt;
    for (DocumentResult& document : report.documents) {
        if (document.state == DocumentState::Written)
            document.state = DocumentState::Undone;
    }
}

} // namespace przenosnik
