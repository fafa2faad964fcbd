#pragma once
// Headings over the columns of a fixed-pitch list: each heading's left edge stands where its
// column's text starts in the list's lines (the column counted in half-width cells, as the lines
// are built), in the list's font, and follows the list when it scrolls sideways.

#include <QList>
#include <QWidget>

class QLabel;
class QListView;

namespace mail {

class ListHeadings : public QWidget {
    Q_OBJECT
public:
    explicit ListHeadings(QListView* list, QWidget* parent = nullptr);

    // Puts the label (made a child of this strip) over the column that starts `column`
    // half-width cells into a line; a label added again moves to the new column.
    void setColumn(QLabel* label, int column);
    int column(const QLabel* label) const;
    // Where text starting `column` cells into a line stands, in this strip's coordinates.
    int columnX(int column) const;
    // Where the text of the list's lines starts, in the coordinates of its viewport.
    static int lineStartX(const QListView* list);
    // The width of `column` half-width cells in the list's font.
    static int cellsWidth(const QListView* list, int column);

    void place();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    struct Heading {
        QLabel* label;
        int column;
    };
    QListView* list_;
    QList<Heading> headings_;
};

// Puts the list's current row in view: at once on a shown list, else as soon as the list is shown
// with its final size (a scroll made before that is lost, since the list has no size yet). Later
// changes of the list's size keep the row in view while the user has not scrolled it out of view.
void ShowCurrentRow(QListView* list);

} // namespace mail
