#include "mail/ListHeadings.h"

#include <QEvent>
#include <QFontMetrics>
#include <QLabel>
#include <QListView>
#include <QResizeEvent>
#include <QScrollBar>
#include <QStyle>
#include <QTimer>

namespace mail {

ListHeadings::ListHeadings(QListView* list, QWidget* parent) : QWidget(parent), list_(list)
{
    list_->installEventFilter(this);
    list_->viewport()->installEventFilter(this);
    connect(list_->horizontalScrollBar(), &QScrollBar::valueChanged, this, &ListHeadings::place);
    setMinimumHeight(QFontMetrics(list_->font()).height() + 4);
}

void ListHeadings::setColumn(QLabel* label, int column)
{
    for (Heading& h : headings_) {
        if (h.label == label) {
            h.column = column;
            place();
            return;
        }
    }
    label->setParent(this);
    label->setFont(list_->font());
    label->setMargin(0);
    label->setIndent(0);
    headings_.append({label, column});
    setMinimumHeight(std::max(minimumHeight(), label->sizeHint().height() + 4));
    place();
}

int ListHeadings::column(const QLabel* label) const
{
    for (const Heading& h : headings_)
        if (h.label == label)
            return h.column;
    return -1;
}

int ListHeadings::lineStartX(const QListView* list)
{
    // The item delegate draws the text inside a margin of the item's rectangle.
    const int margin = list->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, list) + 1;
    const QAbstractItemModel* model = list->model();
    if (model && model->rowCount(list->rootIndex()) > 0) {
        const QRect item = list->visualRect(model->index(0, list->modelColumn(), list->rootIndex()));
        if (item.isValid())
            return item.left() + margin;
    }
    return list->spacing() - list->horizontalScrollBar()->value() + margin;
}

int ListHeadings::cellsWidth(const QListView* list, int column)
{
    return QFontMetrics(list->font()).horizontalAdvance(QString(column, u' '));
}

int ListHeadings::columnX(int column) const
{
    const QPoint start(lineStartX(list_) + cellsWidth(list_, column), 0);
    return mapFromGlobal(list_->viewport()->mapToGlobal(start)).x();
}

void ListHeadings::place()
{
    for (const Heading& h : headings_) {
        h.label->setFont(list_->font());
        h.label->adjustSize();
        h.label->move(columnX(h.column), std::max(0, (height() - h.label->height()) / 2));
    }
}

bool ListHeadings::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::Resize:
    case QEvent::Move:
    case QEvent::Show:
    case QEvent::FontChange:
    case QEvent::StyleChange:
        if (watched == list_ || watched == list_->viewport())
            place();
        break;
    default:
        break;
    }
    return QWidget::eventFilter(watched, event);
}

void ListHeadings::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    place();
}

void ListHeadings::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    place();
}

namespace {

// Keeps a list's current row in view through the list's changes of size. A row the window chose
// is followed until it has been put in view on the shown list; after that a resize keeps the row
// in view while it was in view, so a row the user scrolled away from stays out of view.
class CurrentRowInView : public QObject {
public:
    explicit CurrentRowInView(QListView* list) : QObject(list), list_(list)
    {
        list->viewport()->installEventFilter(this);
    }

    void follow()
    {
        following_ = true;
        scroll();
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched != list_->viewport())
            return false;
        if (event->type() == QEvent::Show && following_) {
            later();
        } else if (event->type() == QEvent::Resize) {
            const QSize before = static_cast<QResizeEvent*>(event)->oldSize();
            if (following_ || (before.isValid() && inView(before.height())))
                later();
        }
        return false;
    }

private:
    bool inView(int height) const
    {
        // Rows are wider than the list (it scrolls sideways): their height is what counts.
        const QModelIndex current = list_->currentIndex();
        if (!current.isValid())
            return false;
        const QRect row = list_->visualRect(current);
        return row.isValid() && row.top() >= 0 && row.bottom() < height;
    }

    // After the resize the list lays out its rows and scroll bars; the scroll comes after that.
    void later()
    {
        if (pending_)
            return;
        pending_ = true;
        QTimer::singleShot(0, this, [this] {
            pending_ = false;
            scroll();
        });
    }

    void scroll()
    {
        const QModelIndex current = list_->currentIndex();
        if (!current.isValid())
            return;
        // Only up and down: a sideways scroll the user made stays.
        QScrollBar* sideways = list_->horizontalScrollBar();
        const int x = sideways->value();
        list_->scrollTo(current);
        sideways->setValue(x);
        if (list_->isVisible() && inView(list_->viewport()->height()))
            following_ = false;
    }

    QListView* list_;
    bool following_ = false;
    bool pending_ = false;
};

} // namespace

void ShowCurrentRow(QListView* list)
{
    CurrentRowInView* keeper = nullptr;
    for (QObject* child : list->children())
        if ((keeper = dynamic_cast<CurrentRowInView*>(child)))
            break;
    if (!keeper)
        keeper = new CurrentRowInView(list);
    keeper->follow();
}

} // namespace mail
