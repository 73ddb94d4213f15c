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
    State,
    Remarks,
    Number,
    Date,
    Kind,
    Party,
    Nip,
    FirstAmount,
    // the amount columns follow, as many as amountCaptions() names, then Brutto, Plik, Pozycja
};

const QColor FailedColour(255, 192, 192);
const QColor RemarksColour(255, 255, 176);
const QColor NotBookedColour(224, 224, 224);
const QColor GreyText(96, 96, 96);

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

double gross(const DocumentAmounts& amounts)
{
    return amounts.kolumna + amounts.vatTotal();
}

QString digitsOf(QStringView text)
{
    QString digits;
    for (QChar c : text) {
        if (c.isDigit()) {
            digits.append(c);
        }
    }
    return digits;
}
} // namespace

DocumentTableModel::DocumentTableModel(QObject* parent)
    : QAbstractTableModel(parent), m_captions(captions()), m_amounts(int(amountCaptions().size()))
{
}

QStringList DocumentTableModel::captions()
{
    return QStringList{QStringLiteral("Lp"),         QStringLiteral("Stan"), QStringLiteral("Uwagi"),
                       QStringLiteral("Numer"),      QStringLiteral("Data"), QStringLiteral("Rodzaj"),
                       QStringLiteral("Kontrahent"), QStringLiteral("NIP")} +
           amountCaptions() +
           QStringList{QStringLiteral("Brutto"), QStringLiteral("Plik"), QStringLiteral("Pozycja")};
}

void DocumentTableModel::setResults(const RunResults* results, bool choosing,
                                    const DocumentSelection& excluded)
{
    beginResetModel();
    m_results = results;
    m_rows.clear();
    chooseAmong(choosing && results, excluded);
    if (results) {
        // A rejected block stands before the result reported after it.
        m_rows.reserve(results->size() + results->rejectedCount());
        int rejected = 0;
        for (int document = 0; document <= results->size(); ++document) {
            while (rejected < results->rejectedCount() &&
                   results->rejectedAt(rejected).resultsBefore <= document) {
                m_rows.append(-1 - rejected++);
            }
            if (document < results->size()) {
                m_rows.append(document);
            }
        }
    }
    endResetModel();
}

void DocumentTableModel::refresh()
{
    if (!m_rows.isEmpty()) {
        Q_EMIT dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1));
    }
}

void DocumentTableModel::setChoosing(bool choosing, const DocumentSelection& excluded)
{
    chooseAmong(choosing, excluded);
    refresh();
}

void DocumentTableModel::chooseAmong(bool choosing, const DocumentSelection& excluded)
{
    m_choosing = choosing;
    m_excluded.clear();
    if (choosing && m_results) {
        for (int document = 0; document < m_results->size(); ++document) {
            const int ordinal = m_results->ordinal(document);
            if (m_results->state(document) == DocumentState::WouldBeWritten && excluded.contains(ordinal)) {
                m_excluded.insert(ordinal);
            }
        }
    }
}

DocumentSelection DocumentTableModel::excluded() const
{
    return DocumentSelection::fromOrdinals(QList<int>(m_excluded.cbegin(), m_excluded.cend()));
}

int DocumentTableModel::documentIndex(int row) const
{
    return row >= 0 && row < m_rows.size() && m_rows.at(row) >= 0 ? m_rows.at(row) : -1;
}

bool DocumentTableModel::checkable(int row) const
{
    const int document = documentIndex(row);
    return m_choosing && document >= 0 && m_results->state(document) == DocumentState::WouldBeWritten;
}

int DocumentTableModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
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

Qt::ItemFlags DocumentTableModel::flags(const QModelIndex& index) const
{
    Qt::ItemFlags flags = QAbstractTableModel::flags(index);
    if (index.isValid() && index.column() == Ordinal && checkable(index.row())) {
        flags |= Qt::ItemIsUserCheckable;
    }
    return flags;
}

bool DocumentTableModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (role != Qt::CheckStateRole || !index.isValid() || index.column() != Ordinal ||
        !checkable(index.row())) {
        return false;
    }
    const int ordinal = m_results->ordinal(documentIndex(index.row()));
    if (value.value<Qt::CheckState>() == Qt::Checked) {
        m_excluded.remove(ordinal);
    } else {
        m_excluded.insert(ordinal);
    }
    Q_EMIT dataChanged(this->index(index.row(), 0), this->index(index.row(), columnCount() - 1));
    Q_EMIT exclusionsChanged();
    return true;
}

QVariant DocumentTableModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= m_rows.size()) {
        return {};
    }
    const int document = documentIndex(index.row());
    if (document < 0) {
        const int rejected = -1 - m_rows.at(index.row());
        switch (role) {
        case Qt::DisplayRole:
            return rejectedDisplay(rejected, index.column());
        case SortRole:
            if (index.column() == Date) {
                return dateKey(m_results->rejectedAt(rejected).date);
            }
            // Numbers where the documents have numbers, so that the rows sort together.
            if (index.column() == Ordinal || index.column() == FirstAmount + m_amounts + 2) {
                return 0;
            }
            if (index.column() >= FirstAmount && index.column() <= FirstAmount + m_amounts) {
                return 0.0;
            }
            return rejectedDisplay(rejected, index.column());
        case AttentionRole:
            return QStringLiteral("0");
        case Qt::ForegroundRole:
            return QBrush(GreyText);
        default:
            return {};
        }
    }
    const DocumentView result = m_results->at(document);
    const int lastAmount = FirstAmount + m_amounts; // Brutto
    const bool unticked = m_choosing && m_excluded.contains(result.ordinal);
    const bool notBooked =
        unticked || result.state == DocumentState::Excluded || result.state == DocumentState::Undone;
    switch (role) {
    case Qt::DisplayRole:
        return display(result, index.column());
    case Qt::CheckStateRole:
        if (index.column() == Ordinal && checkable(index.row())) {
            return unticked ? Qt::Unchecked : Qt::Checked;
        }
        return {};
    case SortRole:
        return sortValue(result, index.column());
    case AttentionRole:
        return needsAttention(result.state, !result.remarks.isEmpty()) ? QStringLiteral("1")
                                                                       : QStringLiteral("0");
    case Qt::BackgroundRole:
        if (notBooked) {
            return QBrush(NotBookedColour);
        }
        if (failed(result.state)) {
            return QBrush(FailedColour);
        }
        if (!result.remarks.isEmpty()) {
            return QBrush(RemarksColour);
        }
        return {};
    case Qt::ForegroundRole:
        // The marked rows keep dark text whatever the colour scheme.
        if (notBooked) {
            return QBrush(GreyText);
        }
        return failed(result.state) || !result.remarks.isEmpty() ? QBrush(Qt::black) : QVariant();
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

QVariant DocumentTableModel::rejectedDisplay(int index, int column) const
{
    const RejectedBlock& block = m_results->rejectedAt(index);
    switch (column) {
    case State:
        return block.cancelled ? QStringLiteral("anulowany") : QStringLiteral("inny rodzaj");
    case Number:
        return block.number;
    case Date:
        return reportDate(block.date);
    default:
        return QString();
    }
}

QVariant DocumentTableModel::display(const DocumentView& result, int column) const
{
    const int amounts = m_amounts;
    switch (column) {
    case Ordinal:
        return result.ordinal;
    case State:
        return stateText(result.state);
    case Remarks:
        return result.remarks.join(QStringLiteral(", "));
    case Number:
        return result.number.toString();
    case Date:
        return reportDate(result.date);
    case Kind:
        return kindText(result.kind);
    case Party:
        return result.partyName.toString();
    case Nip:
        return result.nip.toString();
    default:
        break;
    }
    if (column < FirstAmount + amounts) {
        return reportAmount(amountColumns(result.amounts).at(column - FirstAmount));
    }
    switch (column - FirstAmount - amounts) {
    case 0:
        return reportAmount(gross(result.amounts));
    case 1:
        return result.monthFile.isEmpty() ? QString() : fileName(result.monthFile);
    case 2:
        return result.position > 0 ? QString::number(result.position) : QString();
    default:
        return {};
    }
}

QVariant DocumentTableModel::sortValue(const DocumentView& result, int column) const
{
    const int amounts = m_amounts;
    if (column == Date) {
        return dateKey(result.date);
    }
    if (column >= FirstAmount && column < FirstAmount + amounts) {
        return amountColumns(result.amounts).at(column - FirstAmount);
    }
    if (column == FirstAmount + amounts) {
        return gross(result.amounts);
    }
    if (column == FirstAmount + amounts + 2) {
        return result.position;
    }
    return display(result, column);
}

bool DocumentTableModel::rowMatches(int row, const QString& text) const
{
    if (text.isEmpty()) {
        return true;
    }
    const int document = documentIndex(row);
    if (document < 0) {
        return m_results->rejectedAt(-1 - m_rows.at(row)).number.contains(text, Qt::CaseInsensitive);
    }
    const DocumentView result = m_results->at(document);
    const QString nip = result.nip.toString();
    if (result.number.toString().contains(text, Qt::CaseInsensitive) ||
        nip.contains(text, Qt::CaseInsensitive) ||
        result.partyName.toString().contains(text, Qt::CaseInsensitive)) {
        return true;
    }
    const QString digits = digitsOf(text);
    return !digits.isEmpty() &&
           digits.size() == text.size() - text.count(QLatin1Char('-')) - text.count(QLatin1Char(' ')) &&
           digitsOf(nip).contains(digits);
}

} // namespace przenosnik
