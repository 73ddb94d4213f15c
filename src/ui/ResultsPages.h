// The pages of the main window's lower part: the trace log ("Przebieg"), the
// documents of the last run ("Dokumenty") and its totals ("Podsumowanie").
#pragma once

#include <QStringList>
#include <QTabWidget>

#include <functional>

class QCheckBox;
class QLabel;
class QModelIndex;
class QPlainTextEdit;
class QSortFilterProxyModel;
class QTableView;
class QTableWidget;

namespace przenosnik {

class DocumentTableModel;
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
    };

    // The trace lines numbered first to first + count - 1.
    using TraceLines = std::function<QStringList(int first, int count)>;

    // The trace memo becomes the first page as it is.
    ResultsPages(QWidget* memoTrace, TraceLines traceLines, QWidget* parent);

    // Shows the results of a run; nullptr empties the document and totals pages.
    // The results must stay until the next call.
    void showResults(const RunResults* results);

private:
    QWidget* createDocumentsPage();
    QWidget* createTotalsPage();
    void showDocumentTrace(const QModelIndex& current);

    TraceLines m_traceLines;
    const RunResults* m_results = nullptr;
    DocumentTableModel* m_model = nullptr;
    QSortFilterProxyModel* m_proxy = nullptr;
    QCheckBox* chb_tylkoUwagi = nullptr;
    QTableView* grid_Dokumenty = nullptr;
    QPlainTextEdit* MemoDokumentu = nullptr;
    QTableWidget* grid_Podsumowanie = nullptr;
    QLabel* l_przerwanie = nullptr;   // why the run stopped, in red
    QLabel* l_przedZapisem = nullptr; // what a real run would meet, after a dry run
};

} // namespace przenosnik
