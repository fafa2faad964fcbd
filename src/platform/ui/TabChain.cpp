#include "platform/ui/TabChain.h"

#include <QAbstractButton>
#include <QApplication>
#include <QButtonGroup>
#include <QKeyEvent>
#include <QPointer>
#include <QSet>
#include <QWidget>

namespace ui {
namespace {

// An option of a group whose options exclude each other, as Qt forms the groups: the members of
// an exclusive button group, or the auto-exclusive buttons under one parent.
bool isGroupOption(const QAbstractButton* b)
{
    if (!b->isCheckable())
        return false;
    if (const QButtonGroup* group = b->group())
        return group->exclusive();
    return b->autoExclusive() && b->parentWidget();
}

QList<QAbstractButton*> groupOf(const QAbstractButton* b)
{
    QList<QAbstractButton*> members;
    if (const QButtonGroup* group = b->group()) {
        members = group->buttons();
    } else {
        for (QAbstractButton* c : b->parentWidget()->findChildren<QAbstractButton*>())
            if (c->autoExclusive() && !c->group())
                members << c;
    }
    members.removeIf([](const QAbstractButton* m) { return !m->isCheckable(); });
    return members;
}

bool takesFocus(const QAbstractButton* b)
{
    return b->isEnabled() && !b->isHidden() && (b->focusPolicy() & Qt::ClickFocus);
}

QAbstractButton* tabStopOf(const QList<QAbstractButton*>& group, const QWidget* focus)
{
    for (QAbstractButton* m : group)
        if (m == focus)
            return m;
    for (QAbstractButton* m : group)
        if (m->isChecked() && takesFocus(m))
            return m;
    for (QAbstractButton* m : group)
        if (takesFocus(m))
            return m;
    return nullptr;
}

// QWidget's own step through the Tab chain, which a key press takes; it is protected.
struct TabStep : QWidget {
    static bool take(QWidget* w, bool forwards)
    {
        bool (QWidget::*step)(bool) = &TabStep::focusNextPrevChild;
        return (w->*step)(forwards);
    }
};

class TabChainRules : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (!watched->isWidgetType())
            return false;
        auto* w = static_cast<QWidget*>(watched);
        if (event->type() == QEvent::KeyPress) {
            const auto* key = static_cast<QKeyEvent*>(event);
            const bool tab = key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab;
            if (tab && !(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier)))
                settleOptionTabStops(w->window());
        } else if (event->type() == QEvent::Show && w->isWindow()) {
            // The window's first focus goes to its first Tab stop.
            settleOptionTabStops(w);
        }
        return false;
    }
};

}  // namespace

void installTabChainRules()
{
    static QPointer<QObject> installed;
    if (installed || !qApp)
        return;
    installed = new TabChainRules(qApp);
    qApp->installEventFilter(installed);
}

void settleOptionTabStops(QWidget* window)
{
    if (!window)
        return;
    const QWidget* focus = window->focusWidget();
    QSet<const QAbstractButton*> settled;
    for (QAbstractButton* b : window->findChildren<QAbstractButton*>()) {
        if (settled.contains(b) || !isGroupOption(b))
            continue;
        const QList<QAbstractButton*> group = groupOf(b);
        const QAbstractButton* stop = tabStopOf(group, focus);
        for (QAbstractButton* m : group) {
            settled.insert(m);
            const Qt::FocusPolicy now = m->focusPolicy();
            const auto wanted = Qt::FocusPolicy(m == stop ? now | Qt::TabFocus : now & ~Qt::TabFocus);
            if (wanted != now)
                m->setFocusPolicy(wanted);
        }
    }
}

void stepFocus(QWidget* from, bool forwards)
{
    if (!from)
        return;
    settleOptionTabStops(from->window());
    TabStep::take(from, forwards);
}

}  // namespace ui
