#include "platform/ui/FocusCommit.h"

#include "platform/ui/TabChain.h"

#include <QFocusEvent>
#include <QPointer>
#include <QTimer>

namespace ui {
namespace {

int commitDepth = 0;
Qt::FocusReason arrivalReason = Qt::OtherFocusReason;

struct CommitGuard {
    CommitGuard() { ++commitDepth; }
    ~CommitGuard() { --commitDepth; }
    CommitGuard(const CommitGuard&) = delete;
    CommitGuard& operator=(const CommitGuard&) = delete;
};

}  // namespace

FocusCommit::FocusCommit(QWidget* box, Handler lostFocus)
    : QObject(box), box_(box), lostFocus_(std::move(lostFocus))
{
    box->installEventFilter(this);
}

bool FocusCommit::commitsOn(Qt::FocusReason reason)
{
    switch (reason) {
    case Qt::TabFocusReason:
    case Qt::BacktabFocusReason:
    case Qt::MouseFocusReason:
    case Qt::OtherFocusReason:
        return true;
    default:
        return false;
    }
}

bool FocusCommit::committing()
{
    return commitDepth > 0;
}

Qt::FocusReason FocusCommit::gotFocusReason()
{
    return arrivalReason;
}

bool FocusCommit::commit()
{
    if (committing() || !lostFocus_)
        return false;
    CommitGuard guard;
    lostFocus_();
    return true;
}

bool FocusCommit::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == box_) {
        if (event->type() == QEvent::FocusOut) {
            if (commitsOn(static_cast<QFocusEvent*>(event)->reason()))
                commit();
        } else if (event->type() == QEvent::FocusIn && gotFocus_) {
            const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
            if (commitsOn(reason)) {
                const Qt::FocusReason outer = arrivalReason;
                arrivalReason = reason;
                gotFocus_();
                arrivalReason = outer;
            }
        }
    }
    return QObject::eventFilter(watched, event);
}

FocusCommit* onLostFocus(QWidget* box, FocusCommit::Handler lostFocus)
{
    return new FocusCommit(box, std::move(lostFocus));
}

void refocusLater(QWidget* box)
{
    QPointer<QWidget> target(box);
    QTimer::singleShot(0, box, [target] {
        if (!target || !target->isVisible() || !target->isEnabled())
            return;
        CommitGuard guard;
        if (!target->isActiveWindow())
            target->activateWindow();
        target->setFocus(Qt::OtherFocusReason);
    });
}

void passFocusOn(QWidget* box, QWidget* onwards)
{
    const Qt::FocusReason reason = FocusCommit::gotFocusReason();
    if (reason != Qt::TabFocusReason && reason != Qt::BacktabFocusReason) {
        refocusLater(onwards);
        return;
    }
    // The next control's own got-focus handler sees the same direction, so that a row of such
    // boxes passes the focus on the same way.
    const bool forwards = reason == Qt::TabFocusReason;
    QPointer<QWidget> from(box);
    QTimer::singleShot(0, box, [from, forwards] {
        if (!from || !from->hasFocus())
            return;  // the user or the program has moved the focus meanwhile
        CommitGuard guard;
        stepFocus(from, forwards);
    });
}

}  // namespace ui
