#pragma once
// The printing window's record list: the record window's lines over the same lazy model. The
// choice of lines is the list's selection model, so that the view paints it and assistive
// technology reads each chosen line as selected; a flag a line mirrors it, so that asking
// whether a line is chosen takes the same time in a book of any size. Neighbouring chosen lines
// are kept as one range of the selection model, so that choosing every line one by one still
// leaves one range to look through.

#include "records/RecordListModel.h"

#include <QFont>
#include <QPointer>
#include <vector>

class QItemSelection;
class QTimer;
class QItemSelectionModel;

namespace list {

class PrintListModel : public records::RecordListModel {
    Q_OBJECT
public:
    explicit PrintListModel(QObject* parent = nullptr) : records::RecordListModel(parent) {}

    // The selection model that holds the choice (the view's); the flags follow every change of it.
    void attach(QItemSelectionModel* selection);
    // The font the lines are shown in: every line is as wide as the widest one.
    void setFont(const QFont& font);

    // Lists the records anew with no line selected.
    void fill(const db::Recordset& records, const QDate& today);

    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

    // Selected(i) and SelCount of the list box.
    bool isSelected(int row) const;
    void setSelected(int row, bool selected);
    void toggle(int row);
    qint64 selectedCount() const { return selectedCount_; }
    const std::vector<char>& selection() const { return selected_; }

    // The widest line, in pixels of the font set: what the list scrolls across. The lines are
    // measured after the load, a block at a time between events, so that the load does not wait;
    // until then the first line stands for all.
    int widestLinePixels() const;
    bool widthKnown() const { return measuredTo_ >= rowCount(); }

signals:
    // The widest line grew: a view with uniform item sizes has to be laid out anew (a layout
    // change of the model would make the selection model save every chosen line one by one).
    void widestChanged();

private:
    void mirror(const QItemSelection& selected, const QItemSelection& deselected);
    void mark(int row, bool selected);
    // Measures the next block of lines.
    void measureBlock();

    QPointer<QItemSelectionModel> selectionModel_;
    std::vector<char> selected_;
    qint64 selectedCount_ = 0;
    QFont font_;
    // The line with the most Shift-JIS bytes, and that count; -1 when nothing is listed.
    int widestRow_ = -1;
    qint64 widestBytes_ = 0;
    int measuredTo_ = 0;
    db::Recordset records_;
    QTimer* measuring_ = nullptr;
    mutable int widestPixels_ = -1;
};

} // namespace list
