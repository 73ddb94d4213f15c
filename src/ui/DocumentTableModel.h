// The documents of the last run as a table, one row per result, with the
// columns of the saved CSV report.
#pragma once

#include <QAbstractTableModel>
#include <QStringList>

namespace przenosnik {

class RunResults;

class DocumentTableModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    enum Role
    {
        // The value to sort by: numbers for the ordinal, amounts, date and position.
        SortRole = Qt::UserRole,
        // "1" for a row that was held back or has remarks, else "0".
        AttentionRole,
    };

    explicit DocumentTableModel(QObject* parent = nullptr);

    // Shows these results (nullptr: none); they must outlive the model or the next call.
    void setResults(const RunResults* results);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    // The column captions, as the first line of the CSV report.
    static QStringList captions();

private:
    QVariant display(int row, int column) const;
    QVariant sortValue(int row, int column) const;

    const RunResults* m_results = nullptr;
    QStringList m_captions;
    int m_amounts; // the number of amount columns
};

} // namespace przenosnik
