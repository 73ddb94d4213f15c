// The page "Historia": the runs kept in a company directory's journal,
// newest first, with "Cofnij" beside the one an undo would take back.
#pragma once

#include <QWidget>

#include <functional>

class QLabel;
class QTableWidget;

namespace przenosnik {

struct JournalContents;

class HistoryPage : public QWidget
{
    Q_OBJECT
public:
    enum Column
    {
        DateColumn,
        ExportFileColumn,
        DocumentsColumn,
        StateColumn,
        UndoColumn,
    };

    // undo is called by the "Cofnij" button.
    HistoryPage(std::function<void()> undo, QWidget* parent);

    // Reads the journal of the directory again and shows its runs.
    void showJournal(const QString& companyDirectory);
    void showJournal(const QString& companyDirectory, const JournalContents& journal);

private:
    std::function<void()> m_undo;
    QLabel* l_historia = nullptr;
    QTableWidget* grid_Historia = nullptr;
};

} // namespace przenosnik
