// The picker's in-memory company list: three text fields Firma, Katalog and
// Info, shown in field order and titled with the field names.
#pragma once

#include "ledger/CompanyList.h"

#include <QAbstractTableModel>
#include <QList>

namespace przenosnik {

class CompanyListModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    enum Column
    {
        FirmaColumn,
        KatalogColumn,
        InfoColumn,
        ColumnCount
    };

    using QAbstractTableModel::QAbstractTableModel;

    // The field's name (the column title) and size in characters.
    static QString fieldName(int column);
    static int fieldSize(int column);

    const QList<CompanyRow>& rows() const { return companies; }
    void setRows(const QList<CompanyRow>& rows);
    void clear() { setRows({}); }

    // The row marked in the row indicator (the grid's current row), -1 for none.
    int indicatorRow() const { return indicator; }
    void setIndicatorRow(int row);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
    QList<CompanyRow> companies;
    int indicator = -1;
};

} // namespace przenosnik
