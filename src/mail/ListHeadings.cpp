#include "mail/ListHeadings.h"

#include <QEvent>
#include <QFontMetrics>
#include <QLabel>
#include <QListView>
#include <QPointer>
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

class ScrollOnShow : public QObject {
public:
    explicit ScrollOnShow(QListView* list) : QObject(list), list_(list) { list->installEventFilter(this); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == list_ && event->type() == QEvent::Show) {
            // After the show the list lays out its rows; the scroll comes after that.
            QPointer<QListView> list = list_;
            QTimer::singleShot(0, list_, [list] {
                if (list && list->currentIndex().isValid())
                    list->scrollTo(list->currentIndex());
            });
            list_->removeEventFilter(this);
            deleteLater();
        }
        return false;
    }

private:
    QListView* list_;
};

} // namespace

void ScrollToCurrentWhenShown(QListView* list)
{
    if (list->isVisible()) {
        list->scrollTo(list->currentIndex());
        return;
    }
    new ScrollOnShow(list);
}

} // namespace mail
