// The blocks of the last run as a table: one row per document result, and
// one per block the reader did not let through, in the file's order.
#pragma once

#include "conversion/DocumentSelection.h"

#include <QAbstractTableModel>
#include <QList>
#include <QSet>
#include <QStringList>

namespace przenosnik {

class RunResults;
struct DocumentView;

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

    // Shows these results (nullptr: none); they must outlive the model or the
    // next call. Choosing: as setChoosing, with the same reset.
    void setResults(const RunResults* results, bool choosing = false, const DocumentSelection& excluded = {});
    // The rows changed in place (a state after an undo).
    void refresh();

    // The rows "do zapisu" get a check box, ticked unless excluded.
    void setChoosing(bool choosing, const DocumentSelection& excluded);
    bool choosing() const { return m_choosing; }
    // The ordinals whose box is unticked.
    DocumentSelection excluded() const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    // The column captions.
    static QStringList captions();
    // The index of a document result shown in a row; -1 for a block not let through.
    int documentIndex(int row) const;
    // Whether a row's number, NIP or party name holds the text, letter case
    // ignored; a NIP also matches without its dashes.
    bool rowMatches(int row, const QString& text) const;

Q_SIGNALS:
    void exclusionsChanged();

private:
    void chooseAmong(bool choosing, const DocumentSelection& excluded);
    QVariant display(const DocumentView& result, int column) const;
    QVariant sortValue(const DocumentView& result, int column) const;
    QVariant rejectedDisplay(int index, int column) const;
    bool checkable(int row) const;

    const RunResults* m_results = nullptr;
    QStringList m_captions;
    int m_amounts; // the number of amount columns
    // Row to result: a document's index, or -1 - the index of a rejected block.
    QList<int> m_rows;
    bool m_choosing = false;
    QSet<int> m_excluded; // ordinals
};

} // namespace przenosnik
