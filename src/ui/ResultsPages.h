// The pages of the main window's lower part: the trace log ("Przebieg"), the
// documents of the last run ("Dokumenty"), its totals ("Podsumowanie") and the
// runs of the company directory's journal ("Historia").
#pragma once

#include "conversion/DocumentSelection.h"

#include <QStringList>
#include <QTabWidget>

#include <functional>

class QCheckBox;
class QLabel;
class QLineEdit;
class QModelIndex;
class QPlainTextEdit;
class QSortFilterProxyModel;
class QTableView;
class QTableWidget;

namespace przenosnik {

class DocumentFilterModel;
class DocumentTableModel;
class HistoryPage;
class RunResults;

class ResultsPages : public QTabWidget
{
    Q_OBJECT
public:
    enum Page
    {
        TracePage = 0,
        DocumentsPage = 1,
        TotalsPage = 2,
        HistoryPageIndex = 3,
    };

    // The trace lines numbered first to first + count - 1.
    using TraceLines = std::function<QStringList(int first, int count)>;

    // The trace memo becomes the first page as it is; undo is the "Cofnij" of the history.
    ResultsPages(QWidget* memoTrace, TraceLines traceLines, std::function<void()> undo, QWidget* parent);

    // Shows the results of a run; nullptr empties the document and totals pages.
    // The results must stay until the next call. Choosing: as setChoosing.
    void showResults(const RunResults* results, bool choosing = false,
                     const DocumentSelection& excluded = {});
    // The results shown changed in place (taken back).
    void refreshResults();
    // Check boxes on the rows "do zapisu": ticked but for the excluded ones.
    void setChoosing(bool choosing, const DocumentSelection& excluded = {});
    // The history of this company directory, read afresh.
    void showHistory(const QString& companyDirectory);

Q_SIGNALS:
    // The user ticked or unticked a document.
    void exclusionsChanged(const DocumentSelection& excluded);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* createDocumentsPage();
    QWidget* createTotalsPage();
    void showDocumentTrace(const QModelIndex& current);
    void showRowCount();

    TraceLines m_traceLines;
    const RunResults* m_results = nullptr;
    DocumentTableModel* m_model = nullptr;
    DocumentFilterModel* m_proxy = nullptr;
    QCheckBox* chb_tylkoUwagi = nullptr;
    QLineEdit* Edit_Szukaj = nullptr;
    QLabel* l_wiersze = nullptr;
    QTableView* grid_Dokumenty = nullptr;
    QPlainTextEdit* MemoDokumentu = nullptr;
    QTableWidget* grid_Podsumowanie = nullptr;
    HistoryPage* page_Historia = nullptr;
    QLabel* l_przerwanie = nullptr;   // why the run stopped, in red
    QLabel* l_przedZapisem = nullptr; // what a real run would meet, after a dry run
};

} // namespace przenosnik
