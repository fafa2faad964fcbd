#pragma once
// The view of the record window's record list: a table of one column whose rows have one fixed
// height, so that filling it anew never lays out its rows one by one (a book may hold 100,000).
// It moves like a list box: Home and End go to the first and the last line.

#include <QTableView>

namespace records {

class RecordListView : public QTableView {
public:
    explicit RecordListView(QWidget* parent = nullptr);
    // The width of the lines; the column is as wide, and at least as wide as the list.
    void setLineWidth(int width);

protected:
    QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void fitColumn();
    int lineWidth_ = 0;
};

} // namespace records
