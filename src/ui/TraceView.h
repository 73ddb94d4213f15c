// The view of the trace log (MemoTrace): read-only lines, no wrapping, a
// vertical scroll bar only; lines are selected whole and copied with Ctrl+C
// or from the context menu. A table of one column of rows of one height:
// neither new lines nor scrolling lay out more than the lines on screen.
#pragma once

#include <QTableView>

namespace przenosnik {

class TraceView : public QTableView
{
    Q_OBJECT
public:
    explicit TraceView(QWidget* parent = nullptr);

    // The selected lines in their order, one per line; all of them when none is selected.
    QString selectedText() const;
    void copySelection() const;

protected:
    void changeEvent(QEvent* event) override;

private:
    void fitRowsToFont();
};

} // namespace przenosnik
