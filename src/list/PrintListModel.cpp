#include "list/PrintListModel.h"

#include <QGuiApplication>
#include <QPalette>

namespace list {

void PrintListModel::fill(const db::Recordset& records, const QDate& today)
{
    selected_.clear();
    selectedCount_ = 0;
    records::RecordListModel::fill(records, today);
    selected_.assign(size_t(rowCount()), 0);
}

QVariant PrintListModel::data(const QModelIndex& index, int role) const
{
    if ((role == Qt::BackgroundRole || role == Qt::ForegroundRole) && index.isValid()) {
        if (!isSelected(index.row()))
            return {};
        const QPalette palette = QGuiApplication::palette();
        return role == Qt::BackgroundRole ? palette.brush(QPalette::Active, QPalette::Highlight)
                                          : palette.brush(QPalette::Active, QPalette::HighlightedText);
    }
    return records::RecordListModel::data(index, role);
}

bool PrintListModel::isSelected(int row) const
{
    return row >= 0 && size_t(row) < selected_.size() && selected_[size_t(row)] != 0;
}

void PrintListModel::setSelected(int row, bool selected)
{
    if (row < 0 || size_t(row) >= selected_.size() || isSelected(row) == selected)
        return;
    selected_[size_t(row)] = selected ? 1 : 0;
    selectedCount_ += selected ? 1 : -1;
    const QModelIndex i = index(row);
    emit dataChanged(i, i, {Qt::BackgroundRole, Qt::ForegroundRole});
}

void PrintListModel::toggle(int row)
{
    setSelected(row, !isSelected(row));
}

} // namespace list
