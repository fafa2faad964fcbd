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

QModelIndex RecordListView::moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers)
{
    // In a table Home and End stay in the row; in the list they go to its first and last line.
    if (action == MoveHome || action == MoveEnd)
        modifiers |= Qt::ControlModifier;
    return QTableView::moveCursor(action, modifiers);
}

} // namespace records
