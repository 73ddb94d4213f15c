#include "support/FaultRuns.h"

namespace przenosnik::test {

QString marchExport(int count, const QList<int>& april)
{
    QString text = exportHeader();
    for (int i = 1; i <= count; ++i) {
        Invoice invoice;
        invoice.number = QStringLiteral("FV %1").arg(i);
        invoice.date = april.contains(i) ? QStringLiteral("2014-04-02") : QStringLiteral("2014-03-12");
        text += documentBlock(invoice, registerBlock("23", "100.00", "23.00"));
    }
    return text;
}

} // namespace przenosnik::test
