#pragma once
// The view of the record window's record list: a table of one column whose rows have one fixed
// height, so that filling it anew never lays out its rows one by one (a book may hold 100,000).
// It moves like a list box: Home and End go to the first and the last line.

#include <QTableView>

namespace records {

class RecordListView : public QTableView {
public:
    explicit RecordListView(QWidget* parent = nullptr);

protected:
    QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override;
};

} // namespace records
