#include "ui/DocumentTableModel.h"

#include "conversion/CsvReport.h"
#include "conversion/RunTotals.h"
#include "ui/RunResults.h"

#include <QBrush>
#include <QColor>

namespace przenosnik {

namespace {
enum Column
{
    Ordinal,
    Number,
    Date,
    Kind,
    Party,
    Nip,
    FirstAmount,
    // the amount columns follow, as many as amountCaptions() names
};

const QColor FailedColour(255, 192, 192);
const QColor RemarksColour(255, 255, 176);

// The monthly file's name without its directory.
QString fileName(const QString& path)
{
    const qsizetype slash = qMax(path.lastIndexOf(QLatin1Char('/')), path.lastIndexOf(QLatin1Char('\\')));
    return path.mid(slash + 1);
}

int dateKey(const LedgerDate& date)
{
    return date.year * 10000 + date.month * 100 + date.day;
}
} // namespace

DocumentTableModel::DocumentTableModel(QObject* parent)
    : QAbstractTableModel(parent), m_captions(captions()), m_amounts(int(amountCaptions().size()))
{
}

QStringList DocumentTableModel::captions()
{
    return QStringList{QStringLiteral("Lp"),     QStringLiteral("Numer"),      QStringLiteral("Data"),
                       QStringLiteral("Rodzaj"), QStringLiteral("Kontrahent"), QStringLiteral("NIP")} +
           amountCaptions() +
           QStringList{QStringLiteral("Plik"), QStringLiteral("Pozycja"), QStringLiteral("Stan"),
                       QStringLiteral("Uwagi")};
}

void DocumentTableModel::setResults(const RunResults* results)
{
    beginResetModel();
    m_results = results;
    endResetModel();
}

int DocumentTableModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() || !m_results ? 0 : m_results->size();
}

int DocumentTableModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_captions.size());
}

QVariant DocumentTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 &&
        section < m_captions.size()) {
        return m_captions.at(section);
    }
    return QAbstractTableModel::headerData(section, orientation, role);
}

QVariant DocumentTableModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || !m_results || index.row() >= m_results->size()) {
        return {};
    }
    const DocumentResult& result = m_results->at(index.row());
    const int lastAmount = FirstAmount + m_amounts - 1;
    switch (role) {
    case Qt::DisplayRole:
        return display(index.row(), index.column());
    case SortRole:
        return sortValue(index.row(), index.column());
    case AttentionRole:
        return needsAttention(result) ? QStringLiteral("1") : QStringLiteral("0");
    case Qt::BackgroundRole:
        if (failed(result)) {
            return QBrush(FailedColour);
        }
        if (!result.remarks.isEmpty()) {
            return QBrush(RemarksColour);
        }
        return {};
    case Qt::ForegroundRole:
        // The marked rows keep dark text whatever the colour scheme.
        return failed(result) || !result.remarks.isEmpty() ? QBrush(Qt::black) : QVariant();
    case Qt::TextAlignmentRole:
        if (index.column() == Ordinal || (index.column() >= FirstAmount && index.column() <= lastAmount) ||
            index.column() == lastAmount + 2) {
            return int(Qt::AlignRight | Qt::AlignVCenter);
        }
        return {};
    default:
        return {};
    }
}

QVariant DocumentTableModel::display(int row, int column) const
{
    const DocumentResult& result = m_results->at(row);
    const int amounts = m_amounts;
    switch (column) {
    case Ordinal:
        return result.ordinal;
    case Number:
        return result.number;
    case Date:
        return reportDate(result.date);
    case Kind:
        return kindText(result.kind);
    case Party:
        return result.partyName;
    case Nip:
        return result.nip;
    default:
        break;
    }
    if (column < FirstAmount + amounts) {
        return reportAmount(amountColumns(result.amounts).at(column - FirstAmount));
    }
    switch (column - FirstAmount - amounts) {
    case 0:
        return result.monthFile.isEmpty() ? QString() : fileName(result.monthFile);
    case 1:
        return result.position > 0 ? QString::number(result.position) : QString();
    case 2:
        return stateText(result.state);
    case 3:
        return result.remarks.join(QStringLiteral(", "));
    default:
        return {};
    }
}

QVariant DocumentTableModel::sortValue(int row, int column) const
{
    const DocumentResult& result = m_results->at(row);
    const int amounts = m_amounts;
    if (column == Date) {
        return dateKey(result.date);
    }
    if (column >= FirstAmount && column < FirstAmount + amounts) {
        return amountColumns(result.amounts).at(column - FirstAmount);
    }
    if (column == FirstAmount + amounts + 1) {
        return result.position;
    }
    return display(row, column);
}

} // namespace przenosnik
