#pragma once
// The printing window's record list: the record window's lines over the same lazy model, with a
// selection of its own in which a click toggles one line. The selection is a flag a line, so
// toggling a line and asking whether a line is selected take the same time in a book of any size.

#include "records/RecordListModel.h"

#include <vector>

namespace list {

class PrintListModel : public records::RecordListModel {
    Q_OBJECT
public:
    explicit PrintListModel(QObject* parent = nullptr) : records::RecordListModel(parent) {}

    // Lists the records anew with no line selected.
    void fill(const db::Recordset& records, const QDate& today);

    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

    // Selected(i) and SelCount of the list box.
    bool isSelected(int row) const;
    void setSelected(int row, bool selected);
    void toggle(int row);
    qint64 selectedCount() const { return selectedCount_; }
    const std::vector<char>& selection() const { return selected_; }

private:
    std::vector<char> selected_;
    qint64 selectedCount_ = 0;
};

} // namespace list
