#include "conversion/RunTotals.h"

#include "conversion/CsvReport.h"

namespace przenosnik {

int totalsKind(int documentKind)
{
    switch (documentKind) {
    case 1:
        return SalesTotals;
    case 2:
        return PurchaseTotals;
    default:
        return UndeterminedTotals;
    }
}

QString totalsKindText(int index)
{
    switch (index) {
    case SalesTotals:
        return QStringLiteral("sprzedaż");
    case PurchaseTotals:
        return QStringLiteral("zakup");
    default:
        return QStringLiteral("nieokreślony");
    }
}

QString kindText(int documentKind)
{
    return totalsKindText(totalsKind(documentKind));
}

void addAmounts(DocumentAmounts& sum, const DocumentAmounts& amounts)
{
    sum.netto1 += amounts.netto1;
    sum.vat1 += amounts.vat1;
    sum.netto2 += amounts.netto2;
    sum.vat2 += amounts.vat2;
    sum.netto3 += amounts.netto3;
    sum.vat3 += amounts.vat3;
    sum.netto4 += amounts.netto4;
    sum.vat4 += amounts.vat4;
    sum.netto0 += amounts.netto0;
    sum.nettoWolne += amounts.nettoWolne;
    sum.nettoNieop += amounts.nettoNieop;
    sum.kolumna += amounts.kolumna;
}

QStringList amountCaptions()
{
    return {
        QStringLiteral("Netto 23/22%"), QStringLiteral("VAT 23/22%"), QStringLiteral("Netto 8/7%"),
        QStringLiteral("VAT 8/7%"),     QStringLiteral("Netto 5/3%"), QStringLiteral("VAT 5/3%"),
        QStringLiteral("Netto gr. 4"),  QStringLiteral("VAT gr. 4"),  QStringLiteral("Netto 0%"),
        QStringLiteral("Netto zw."),    QStringLiteral("Netto np."),  QStringLiteral("Netto razem"),
        QStringLiteral("VAT razem"),
    };
}

QList<double> amountColumns(const DocumentAmounts& a)
{
    return {a.netto1, a.vat1,   a.netto2,     a.vat2,       a.netto3,  a.vat3,      a.netto4,
            a.vat4,   a.netto0, a.nettoWolne, a.nettoNieop, a.kolumna, a.vatTotal()};
}

bool stateListed(const RunTotals& totals, int state)
{
    const auto kind = DocumentState(state);
    return (kind != DocumentState::Conflict && kind != DocumentState::Excluded &&
            kind != DocumentState::Undone) ||
           totals.byState[state] > 0;
}

RunTotals computeTotals(const RunReport& report)
{
    RunTotals totals;
    totals.cancelled = report.rejected.cancelled;
    totals.otherKinds = report.rejected.otherKinds;
    totals.blocks = int(report.documents.size()) + totals.cancelled + totals.otherKinds;
    totals.readToEnd = report.stopReason.isEmpty();
    for (const DocumentResult& document : report.documents)
        countDocument(totals, document.kind, document.state, document.monthFile, document.amounts);
    return totals;
}

void countDocument(RunTotals& totals, int kind, DocumentState state, const QString& monthFile,
                   const DocumentAmounts& amounts)
{
    ++totals.byState[int(state)];
    // The run counts every accepted document but one already booked or excluded, also the one a
    // file failure stopped at and those taken back since. Only what stands in the ledger is summed.
    const bool written = state == DocumentState::Written || state == DocumentState::WouldBeWritten;
    if (written || state == DocumentState::NotWritten || state == DocumentState::Undone)
        ++totals.converted;
    if (!written)
        return;
    qsizetype file = 0;
    while (file < totals.files.size() && totals.files.at(file).monthFile != monthFile)
        ++file;
    if (file == totals.files.size())
        totals.files.append(FileTotals{monthFile, {}});
    const int index = totalsKind(kind);
    for (KindTotals* sum : {&totals.files[file].byKind[index], &totals.overall[index]}) {
        ++sum->documents;
        addAmounts(sum->sums, amounts);
    }
}

namespace {

QString amountsLine(const QString& caption, const KindTotals& kind)
{
    QStringList parts{QStringLiteral("%1: dokumentów %2").arg(caption).arg(kind.documents)};
    const QStringList captions = amountCaptions();
    const QList<double> values = amountColumns(kind.sums);
    for (qsizetype i = 0; i < captions.size(); ++i)
        parts.append(captions.at(i) + QLatin1Char(' ') + reportAmount(values.at(i)));
    return parts.join(QStringLiteral("; "));
}

} // namespace

QString blocksCaption(const RunTotals& totals)
{
    return totals.readToEnd ? QStringLiteral("Bloków w pliku") : QStringLiteral("Bloków przeczytanych");
}

QStringList totalsLines(const RunTotals& totals)
{
    QStringList lines{
        QStringLiteral("%1: %2").arg(blocksCaption(totals)).arg(totals.blocks),
        QStringLiteral("Anulowanych: %1").arg(totals.cancelled),
        QStringLiteral("Innego rodzaju: %1").arg(totals.otherKinds),
        QStringLiteral("Dokumentów przeniesionych: %1").arg(totals.converted),
    };
    for (int state = 0; state < DocumentStateCount; ++state)
        if (stateListed(totals, state))
            lines.append(
                QStringLiteral("%1: %2").arg(stateText(DocumentState(state))).arg(totals.byState[state]));
    for (const FileTotals& file : totals.files) {
        lines.append(QStringLiteral("Plik %1").arg(file.monthFile));
        for (int kind = 0; kind < TotalsKindCount; ++kind) {
            if (file.byKind[kind].documents > 0)
                lines.append(QStringLiteral("  ") + amountsLine(totalsKindText(kind), file.byKind[kind]));
        }
    }
    lines.append(QStringLiteral("Razem"));
    for (int kind = 0; kind < TotalsKindCount; ++kind)
        lines.append(QStringLiteral("  ") + amountsLine(totalsKindText(kind), totals.overall[kind]));
    return lines;
}

} // namespace przenosnik
