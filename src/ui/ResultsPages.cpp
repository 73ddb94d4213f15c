#include "ui/ResultsPages.h"

#include "conversion/RunTotals.h"
#include "ui/DocumentTableModel.h"
#include "ui/HistoryPage.h"
#include "ui/RunResults.h"
#include "ui/TotalsTable.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSortFilterProxyModel>
#include <QSplitter>
#include <QTableView>
#include <QTableWidget>
#include <QVBoxLayout>

namespace przenosnik {

namespace {
QVBoxLayout* pageLayout(QWidget* page)
{
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    return layout;
}

} // namespace

// The documents sort as the table's model says; by their number in the run
// (the first column) they are already in order, compared without asking the
// model, and ascending they are not sorted at all. They are filtered by
// "tylko z uwagami" and by the search text.
class DocumentFilterModel : public QSortFilterProxyModel
{
public:
    using QSortFilterProxyModel::QSortFilterProxyModel;

    void sort(int column, Qt::SortOrder order) override
    {
        QSortFilterProxyModel::sort(column == 0 && order == Qt::AscendingOrder ? -1 : column, order);
    }

    void setFilter(bool attentionOnly, const QString& search)
    {
        m_attentionOnly = attentionOnly;
        m_search = search.trimmed();
        invalidateRowsFilter();
    }

protected:
    bool lessThan(const QModelIndex& left, const QModelIndex& right) const override
    {
        if (left.column() == 0 && right.column() == 0)
            return left.row() < right.row();
        return QSortFilterProxyModel::lessThan(left, right);
    }

    bool filterAcceptsRow(int row, const QModelIndex& parent) const override
    {
        const auto* model = static_cast<const DocumentTableModel*>(sourceModel());
        if (m_attentionOnly &&
            model->index(row, 0, parent).data(DocumentTableModel::AttentionRole).toString() !=
                QLatin1String("1"))
            return false;
        return model->rowMatches(row, m_search);
    }

private:
    bool m_attentionOnly = false;
    QString m_search;
};

namespace {

void makeCompact(QTableView* table)
{
    table->verticalHeader()->setVisible(false);
    const int rowHeight = table->fontMetrics().height() + 4;
    table->verticalHeader()->setMinimumSectionSize(rowHeight);
    table->verticalHeader()->setDefaultSectionSize(rowHeight);
    table->setWordWrap(false);
    table->horizontalHeader()->setHighlightSections(false);
}
} // namespace

ResultsPages::ResultsPages(QWidget* memoTrace, TraceLines traceLines, std::function<void()> undo,
                           QWidget* parent)
    : QTabWidget(parent), m_traceLines(std::move(traceLines))
{
    setObjectName(QStringLiteral("tabs_Wyniki"));
    setDocumentMode(true);

    auto* tracePage = new QWidget(this);
    tracePage->setObjectName(QStringLiteral("page_Przebieg"));
    pageLayout(tracePage)->addWidget(memoTrace);
    addTab(tracePage, QStringLiteral("Przebieg"));
    addTab(createDocumentsPage(), QStringLiteral("Dokumenty"));
    addTab(createTotalsPage(), QStringLiteral("Podsumowanie"));
    page_Historia = new HistoryPage(std::move(undo), this);
    addTab(page_Historia, QStringLiteral("Historia"));
}

QWidget* ResultsPages::createDocumentsPage()
{
    auto* page = new QWidget(this);
    page->setObjectName(QStringLiteral("page_Dokumenty"));
    QVBoxLayout* layout = pageLayout(page);

    auto* bar = new QHBoxLayout;
    bar->setContentsMargins(0, 0, 4, 0);
    chb_tylkoUwagi = new QCheckBox(QStringLiteral("tylko z uwagami"), page);
    chb_tylkoUwagi->setObjectName(QStringLiteral("chb_tylkoUwagi"));
    chb_tylkoUwagi->setToolTip(QStringLiteral("Pokazuje tylko dokumenty pominięte, niezapisane, "
                                              "już zapisane wcześniej i te z uwagami"));
    bar->addWidget(chb_tylkoUwagi);
    Edit_Szukaj = new QLineEdit(page);
    Edit_Szukaj->setObjectName(QStringLiteral("Edit_Szukaj"));
    Edit_Szukaj->setPlaceholderText(QStringLiteral("Szukaj: numer, NIP, kontrahent"));
    Edit_Szukaj->setToolTip(QStringLiteral("Pokazuje tylko dokumenty, których numer, NIP albo nazwa "
                                           "kontrahenta zawiera wpisany tekst"));
    Edit_Szukaj->setClearButtonEnabled(true);
    bar->addWidget(Edit_Szukaj, 1);
    l_wiersze = new QLabel(page);
    l_wiersze->setObjectName(QStringLiteral("l_wiersze"));
    bar->addWidget(l_wiersze);
    layout->addLayout(bar);

    m_model = new DocumentTableModel(this);
    m_proxy = new DocumentFilterModel(this);
    m_proxy->setSourceModel(m_model);
    m_proxy->setSortRole(DocumentTableModel::SortRole);
    m_proxy->setSortLocaleAware(true);
    m_proxy->setSortCaseSensitivity(Qt::CaseInsensitive);
    const auto filter = [this] {
        m_proxy->setFilter(chb_tylkoUwagi->isChecked(), Edit_Szukaj->text());
        showRowCount();
    };
    connect(chb_tylkoUwagi, &QCheckBox::toggled, this, filter);
    connect(Edit_Szukaj, &QLineEdit::textChanged, this, filter);
    connect(m_model, &DocumentTableModel::exclusionsChanged, this,
            [this] { Q_EMIT exclusionsChanged(m_model->excluded()); });

    auto* splitter = new QSplitter(Qt::Vertical, page);
    splitter->setObjectName(QStringLiteral("split_Dokumenty"));
    splitter->setChildrenCollapsible(false);
    grid_Dokumenty = new QTableView(splitter);
    grid_Dokumenty->setObjectName(QStringLiteral("grid_Dokumenty"));
    grid_Dokumenty->setModel(m_proxy);
    grid_Dokumenty->setSortingEnabled(true);
    grid_Dokumenty->sortByColumn(0, Qt::AscendingOrder);
    grid_Dokumenty->setSelectionBehavior(QAbstractItemView::SelectRows);
    grid_Dokumenty->setSelectionMode(QAbstractItemView::SingleSelection);
    grid_Dokumenty->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid_Dokumenty->setToolTip(QStringLiteral("Dokumenty ostatniej konwersji; przebieg zaznaczonego "
                                              "jest pokazany poniżej"));
    makeCompact(grid_Dokumenty);
    grid_Dokumenty->horizontalHeader()->setStretchLastSection(true);
    // Column widths from the first rows: a run has up to a hundred thousand.
    grid_Dokumenty->horizontalHeader()->setResizeContentsPrecision(200);
    connect(grid_Dokumenty->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            &ResultsPages::showDocumentTrace);
    // The space bar ticks or unticks the current row, whichever cell is current.
    grid_Dokumenty->installEventFilter(this);

    MemoDokumentu = new QPlainTextEdit(splitter);
    MemoDokumentu->setObjectName(QStringLiteral("MemoDokumentu"));
    MemoDokumentu->setReadOnly(true);
    MemoDokumentu->setUndoRedoEnabled(false);
    MemoDokumentu->setLineWrapMode(QPlainTextEdit::NoWrap);
    MemoDokumentu->setToolTip(QStringLiteral("Przebieg konwersji zaznaczonego dokumentu"));
    splitter->setStretchFactor(0, 3);
    splitter->setStretchFactor(1, 2);
    layout->addWidget(splitter, 1);
    return page;
}

QWidget* ResultsPages::createTotalsPage()
{
    auto* page = new QWidget(this);
    page->setObjectName(QStringLiteral("page_Podsumowanie"));
    QVBoxLayout* layout = pageLayout(page);
    auto notice = [page, layout](const char* name, const QString& style) {
        auto* label = new QLabel(page);
        label->setObjectName(QLatin1String(name));
        label->setWordWrap(true);
        label->setTextFormat(Qt::PlainText);
        label->setTextInteractionFlags(Qt::TextSelectableByMouse);
        label->setStyleSheet(style);
        label->setContentsMargins(4, 2, 4, 2);
        label->hide();
        layout->addWidget(label);
        return label;
    };
    l_przerwanie = notice("l_przerwanie", QStringLiteral("color: #c00000; font-weight: bold"));
    l_przedZapisem = notice("l_przedZapisem", QString());
    grid_Podsumowanie = new QTableWidget(page);
    grid_Podsumowanie->setObjectName(QStringLiteral("grid_Podsumowanie"));
    grid_Podsumowanie->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid_Podsumowanie->setToolTip(
        QStringLiteral("Sumy kontrolne ostatniej konwersji do uzgodnienia z rejestrami VAT"));
    makeCompact(grid_Podsumowanie);
    layout->addWidget(grid_Podsumowanie, 1);
    showTotals(grid_Podsumowanie, {}, RunTotals());
    return page;
}

void ResultsPages::showResults(const RunResults* results, bool choosing, const DocumentSelection& excluded)
{
    m_results = results;
    MemoDokumentu->clear();
    // With the check boxes from the start, the first column is sized to hold them.
    m_model->setResults(results, choosing, excluded);
    showRowCount();
    const RunReport* report = results ? &results->summary() : nullptr;
    l_przerwanie->setText(report ? report->stopReason : QString());
    l_przerwanie->setVisible(!l_przerwanie->text().isEmpty());
    QStringList findings;
    if (report && (!report->dryRunObstacles.isEmpty() || !report->dryRunNewFiles.isEmpty())) {
        findings.append(QStringLiteral("Zapis do KPR:"));
        for (const QString& finding : report->dryRunObstacles + report->dryRunNewFiles) {
            findings.append(QStringLiteral("– ") + finding);
        }
    }
    l_przedZapisem->setText(findings.join(QLatin1Char('\n')));
    l_przedZapisem->setStyleSheet(
        report && !report->dryRunObstacles.isEmpty() ? QStringLiteral("color: #c00000") : QString());
    l_przedZapisem->setVisible(!findings.isEmpty());
    if (results) {
        grid_Dokumenty->resizeColumnsToContents();
        showTotals(grid_Podsumowanie, runHeader(results->summary()), results->totals());
    } else {
        showTotals(grid_Podsumowanie, {}, RunTotals());
    }
}

void ResultsPages::refreshResults()
{
    m_model->refresh();
    if (m_results) {
        showTotals(grid_Podsumowanie, runHeader(m_results->summary()), m_results->totals());
    }
}

void ResultsPages::setChoosing(bool choosing, const DocumentSelection& excluded)
{
    m_model->setChoosing(choosing, excluded);
}

void ResultsPages::showHistory(const QString& companyDirectory)
{
    page_Historia->showJournal(companyDirectory);
}

bool ResultsPages::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == grid_Dokumenty && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Space &&
        static_cast<QKeyEvent*>(event)->modifiers() == Qt::NoModifier) {
        const QModelIndex box = grid_Dokumenty->currentIndex().siblingAtColumn(0);
        if (box.isValid() && (box.flags() & Qt::ItemIsUserCheckable)) {
            const bool ticked = box.data(Qt::CheckStateRole).value<Qt::CheckState>() == Qt::Checked;
            m_proxy->setData(box, ticked ? Qt::Unchecked : Qt::Checked, Qt::CheckStateRole);
            return true;
        }
    }
    return QTabWidget::eventFilter(watched, event);
}

void ResultsPages::showRowCount()
{
    const int all = m_model->rowCount();
    const int shown = m_proxy->rowCount();
    l_wiersze->setText(shown == all ? QStringLiteral("Wierszy: %1").arg(all)
                                    : QStringLiteral("Wierszy: %1 z %2").arg(shown).arg(all));
}

void ResultsPages::showDocumentTrace(const QModelIndex& current)
{
    const QModelIndex source = m_proxy->mapToSource(current);
    if (!m_results || !source.isValid() || m_model->documentIndex(source.row()) < 0) {
        MemoDokumentu->clear();
        return;
    }
    const TraceSpan span = m_results->traceSpan(m_model->documentIndex(source.row()));
    MemoDokumentu->setPlainText(m_traceLines(span.first, span.count).join(QLatin1Char('\n')));
}

} // namespace przenosnik
