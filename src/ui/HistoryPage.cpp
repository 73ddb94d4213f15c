#include "ui/HistoryPage.h"

#include "ledger/JournalHistory.h"
#include "ledger/UndoText.h"

#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace przenosnik {

namespace {
QTableWidgetItem* cell(const QString& text, bool number = false)
{
    auto* item = new QTableWidgetItem(text);
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    if (number) {
        item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    }
    return item;
}

// The entries a run wrote; "?" while a file of it has no end record.
QString documentsText(const JournalRun& run)
{
    if (run.ended) {
        return QString::number(run.entries);
    }
    int entries = 0;
    for (const JournalFile& file : run.files) {
        if (!file.ended) {
            return QStringLiteral("?");
        }
        entries += file.entries;
    }
    return QString::number(entries);
}
} // namespace

HistoryPage::HistoryPage(std::function<void()> undo, QWidget* parent)
    : QWidget(parent), m_undo(std::move(undo))
{
    setObjectName(QStringLiteral("page_Historia"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    l_historia = new QLabel(this);
    l_historia->setObjectName(QStringLiteral("l_historia"));
    l_historia->setWordWrap(true);
    layout->addWidget(l_historia);
    grid_Historia = new QTableWidget(this);
    grid_Historia->setObjectName(QStringLiteral("grid_Historia"));
    grid_Historia->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid_Historia->setSelectionBehavior(QAbstractItemView::SelectRows);
    grid_Historia->setWordWrap(false);
    grid_Historia->verticalHeader()->setVisible(false);
    grid_Historia->setColumnCount(5);
    grid_Historia->setHorizontalHeaderLabels({QStringLiteral("Data"), QStringLiteral("Plik eksportu"),
                                              QStringLiteral("Dokumenty"), QStringLiteral("Stan"),
                                              QString()});
    grid_Historia->setToolTip(QStringLiteral("Konwersje z zapisem do katalogu danych KPR, od najnowszej"));
    layout->addWidget(grid_Historia, 1);
}

void HistoryPage::showJournal(const QString& companyDirectory)
{
    if (companyDirectory.isEmpty() || !QFileInfo(companyDirectory).isDir()) {
        showJournal(companyDirectory, JournalContents());
        return;
    }
    showJournal(companyDirectory, readJournal(companyDirectory));
}

void HistoryPage::showJournal(const QString& companyDirectory, const JournalContents& journal)
{
    grid_Historia->setRowCount(0);
    QString note;
    if (companyDirectory.isEmpty()) {
        note = QStringLiteral("Nie wybrano katalogu danych KPR.");
    } else if (journal.runs.isEmpty()) {
        note = QStringLiteral("W katalogu %1 nie ma zapisanych konwersji.").arg(companyDirectory);
    } else {
        note = QStringLiteral("Konwersje do katalogu %1:").arg(companyDirectory);
    }
    if (!journal.problems.isEmpty()) {
        note += QStringLiteral(" Dziennik ma nieczytelne wiersze: %1.").arg(journal.problems.size());
    }
    l_historia->setText(note);

    // An undo takes back the newest run that wrote to a file and stands.
    bool undoOffered = false;
    for (qsizetype i = journal.runs.size() - 1; i >= 0; --i) {
        const JournalRun& run = journal.runs.at(i);
        const int row = grid_Historia->rowCount();
        grid_Historia->insertRow(row);
        grid_Historia->setItem(row, DateColumn, cell(runDateText(run.id)));
        QTableWidgetItem* file = cell(QFileInfo(run.exportFile).fileName());
        file->setToolTip(run.exportFile);
        grid_Historia->setItem(row, ExportFileColumn, file);
        grid_Historia->setItem(row, DocumentsColumn, cell(documentsText(run), true));
        grid_Historia->setItem(row, StateColumn, cell(run.outcome()));
        if (!undoOffered && !run.undone && !run.files.isEmpty()) {
            undoOffered = true;
            auto* button = new QPushButton(QStringLiteral("Cofnij"), grid_Historia);
            button->setObjectName(QStringLiteral("bb_CofnijHistoria"));
            button->setToolTip(QStringLiteral("Cofa tę konwersję (Ctrl+Z)"));
            // Queued: the undo shows the page again, which replaces this button.
            connect(
                button, &QPushButton::clicked, this, [this] { m_undo(); }, Qt::QueuedConnection);
            grid_Historia->setCellWidget(row, UndoColumn, button);
        }
    }
    grid_Historia->resizeColumnsToContents();
    grid_Historia->resizeRowsToContents();
}

} // namespace przenosnik
