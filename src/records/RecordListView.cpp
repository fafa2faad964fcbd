#include "records/RecordListView.h"

#include <QHeaderView>

namespace records {

RecordListView::RecordListView(QWidget* parent) : QTableView(parent)
{
    horizontalHeader()->hide();
    verticalHeader()->hide();
    verticalHeader()->setMinimumSectionSize(1);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    setShowGrid(false);
    setWordWrap(false);
    setTabKeyNavigation(false);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
}

void RecordListView::setLineWidth(int width)
{
    lineWidth_ = width;
    fitColumn();
}

void RecordListView::resizeEvent(QResizeEvent* event)
{
    QTableView::resizeEvent(event);
    fitColumn();
}

void RecordListView::fitColumn()
{
    // A selected line is marked across the whole list, as in a list box.
    if (model() && model()->columnCount() > 0)
        setColumnWidth(0, qMax(lineWidth_, viewport()->width()));
}

QModelIndex RecordListView::moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers)
{
    // In a table Home and End stay in the row; in the list they go to its first and last line.
    if (action == MoveHome || action == MoveEnd)
        modifiers |= Qt::ControlModifier;
    return QTableView::moveCursor(action, modifiers);
}

} // namespace records
