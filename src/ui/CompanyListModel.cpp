#include "ui/CompanyListModel.h"

namespace przenosnik {

QString CompanyListModel::fieldName(int column)
{
    switch (column) {
    case FirmaColumn:
        return QStringLiteral("Firma");
    case KatalogColumn:
        return QStringLiteral("Katalog");
    case InfoColumn:
        return QStringLiteral("Info");
    default:
        return {};
    }
}

int CompanyListModel::fieldSize(int column)
{
    switch (column) {
    case FirmaColumn:
        return CompanyFirmaField.width;
    case KatalogColumn:
        return CompanyKatalogField.width;
    case InfoColumn:
        return CompanyInfoField.width;
    default:
        return 0;
    }
}

void CompanyListModel::setRows(const QList<CompanyRow>& rows)
{
    beginResetModel();
    companies = rows;
    indicator = -1;
    endResetModel();
}

void CompanyListModel::setIndicatorRow(int row)
{
    if (row < 0 || row >= companies.size())
        row = -1;
    if (row == indicator)
        return;
    const int previous = indicator;
    indicator = row;
    if (previous >= 0)
        Q_EMIT headerDataChanged(Qt::Vertical, previous, previous);
    if (row >= 0)
        Q_EMIT headerDataChanged(Qt::Vertical, row, row);
}

int CompanyListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(companies.size());
}

int CompanyListModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant CompanyListModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= companies.size() || role != Qt::DisplayRole)
        return {};
    const CompanyRow& row = companies.at(index.row());
    switch (index.column()) {
    case FirmaColumn:
        return row.firma;
    case KatalogColumn:
        return row.katalog;
    case InfoColumn:
        return row.info;
    default:
        return {};
    }
}

QVariant CompanyListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return {};
    if (orientation == Qt::Horizontal)
        return fieldName(section);
    // The row indicator: a triangle at the current row, nothing elsewhere.
    return section == indicator ? QStringLiteral("\u25B6") : QString();
}

Qt::ItemFlags CompanyListModel::flags(const QModelIndex& index) const
{
    return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
}

} // namespace przenosnik
