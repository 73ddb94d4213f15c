#include "ui/TraceView.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QEvent>
#include <QHeaderView>

#include <algorithm>

namespace przenosnik {

TraceView::TraceView(QWidget* parent) : QTableView(parent)
{
    horizontalHeader()->setVisible(false);
    horizontalHeader()->setStretchLastSection(true);
    verticalHeader()->setVisible(false);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setMinimumSectionSize(1);
    fitRowsToFont();
    setShowGrid(false);
    setCornerButtonEnabled(false);
    setWordWrap(false);
    setTextElideMode(Qt::ElideNone);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);

    auto* copy = new QAction(QStringLiteral("Kopiuj"), this);
    copy->setObjectName(QStringLiteral("act_KopiujTrace"));
    copy->setShortcut(QKeySequence::Copy);
    copy->setShortcutContext(Qt::WidgetShortcut);
    connect(copy, &QAction::triggered, this, &TraceView::copySelection);
    auto* selectAll = new QAction(QStringLiteral("Zaznacz wszystko"), this);
    selectAll->setObjectName(QStringLiteral("act_ZaznaczTrace"));
    selectAll->setShortcut(QKeySequence::SelectAll);
    selectAll->setShortcutContext(Qt::WidgetShortcut);
    connect(selectAll, &QAction::triggered, this, &QAbstractItemView::selectAll);
    addAction(copy);
    addAction(selectAll);
    setContextMenuPolicy(Qt::ActionsContextMenu);
}

void TraceView::changeEvent(QEvent* event)
{
    QTableView::changeEvent(event);
    if (event->type() == QEvent::FontChange) {
        fitRowsToFont();
    }
}

void TraceView::fitRowsToFont()
{
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 1);
}

QString TraceView::selectedText() const
{
    if (!model()) {
        return {};
    }
    QList<int> rows;
    const QModelIndexList selected = selectionModel() ? selectionModel()->selectedRows() : QModelIndexList();
    for (const QModelIndex& index : selected) {
        rows.append(index.row());
    }
    std::sort(rows.begin(), rows.end());
    if (rows.isEmpty()) {
        for (int row = 0; row < model()->rowCount(); ++row) {
            rows.append(row);
        }
    }
    QStringList lines;
    lines.reserve(rows.size());
    for (const int row : rows) {
        lines.append(model()->index(row, 0).data().toString());
    }
    return lines.join(QLatin1Char('\n'));
}

void TraceView::copySelection() const
{
    QApplication::clipboard()->setText(selectedText());
}

} // namespace przenosnik
