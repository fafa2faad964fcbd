#include "platform/ui/Keyboard.h"

#include "platform/ui/Accessibility.h"
#include "platform/ui/TabChain.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QApplication>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QToolButton>

namespace ui {
namespace {

bool isEnter(const QKeyEvent* key)
{
    return (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter)
        && (key->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
}

// Enter on a focused command button presses it, as the space bar does. Dialogs did so already
// for their own buttons; this gives every window the same.
class EnterPressesButtons : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::KeyPress)
            return false;
        auto* key = static_cast<QKeyEvent*>(event);
        if (!isEnter(key))
            return false;
        // Command buttons and the picture buttons of the tool bars; an option or a check box
        // keeps Enter for its window.
        auto* button = qobject_cast<QAbstractButton*>(watched);
        if (!button || button->isCheckable() || !button->hasFocus() || !button->isEnabled() || !button->isVisible())
            return false;
        if (!qobject_cast<QPushButton*>(button) && !qobject_cast<QToolButton*>(button))
            return false;
        if (!key->isAutoRepeat()) {
            auto* push = qobject_cast<QPushButton*>(button);
            auto* tool = qobject_cast<QToolButton*>(button);
            if (push && push->menu())
                push->showMenu();
            else if (tool && tool->menu())
                tool->showMenu();
            else
                button->click();
        }
        return true;
    }
};

class Pressable : public QObject {
public:
    Pressable(QWidget* control, std::function<void()> press) : QObject(control), control_(control), press_(std::move(press))
    {
        setObjectName(QStringLiteral("ui_pressable"));
        control->setFocusPolicy(Qt::StrongFocus);
        control->installEventFilter(this);
    }
    void press()
    {
        if (press_ && control_->isEnabled())
            press_();
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched != control_)
            return false;
        switch (event->type()) {
        case QEvent::KeyPress: {
            auto* key = static_cast<QKeyEvent*>(event);
            const bool space = key->key() == Qt::Key_Space && key->modifiers() == Qt::NoModifier;
            if (!space && !isEnter(key))
                return false;
            if (!key->isAutoRepeat())
                press();
            return true;
        }
        case QEvent::FocusIn:
        case QEvent::FocusOut:
            // A framed control shows the focus by a heavier frame, one without a frame (a label
            // pressed like a button) by a frame while it has the focus; other controls paint it.
            if (auto* frame = qobject_cast<QFrame*>(control_)) {
                const bool in = event->type() == QEvent::FocusIn;
                if (in && frame->frameShape() == QFrame::NoFrame) {
                    frame->setFrameShape(QFrame::Box);
                    framedForFocus_ = true;
                } else if (!in && framedForFocus_) {
                    frame->setFrameShape(QFrame::NoFrame);
                    framedForFocus_ = false;
                }
                frame->setLineWidth(in ? 2 : 1);
            }
            return false;
        default:
            return false;
        }
    }

private:
    QWidget* control_;
    std::function<void()> press_;
    bool framedForFocus_ = false;
};

Pressable* pressableOf(const QWidget* control)
{
    return control ? control->findChild<Pressable*>(QStringLiteral("ui_pressable"), Qt::FindDirectChildrenOnly) : nullptr;
}

// Read as a button, pressed by the press action; name and description are the control's own,
// and a label without a name of its own is read by what it shows ("ｶ" for a kana entry).
class PressableAccessible : public QAccessibleWidget {
public:
    explicit PressableAccessible(QWidget* w) : QAccessibleWidget(w, QAccessible::Button) {}

    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Name && widget()->accessibleName().isEmpty())
            if (const auto* l = qobject_cast<const QLabel*>(widget()))
                return labelText(l);
        return QAccessibleWidget::text(t);
    }

    QStringList actionNames() const override
    {
        QStringList names = QAccessibleWidget::actionNames();
        names.prepend(pressAction());
        return names;
    }
    void doAction(const QString& actionName) override
    {
        if (actionName == pressAction()) {
            if (Pressable* p = pressableOf(widget()))
                p->press();
            return;
        }
        QAccessibleWidget::doAction(actionName);
    }
    QStringList keyBindingsForAction(const QString& actionName) const override
    {
        if (actionName == pressAction())
            return {QStringLiteral("Return"), QStringLiteral("Space")};
        return QAccessibleWidget::keyBindingsForAction(actionName);
    }
};

QAccessibleInterface* pressableFactory(const QString&, QObject* object)
{
    if (!object || !object->isWidgetType())
        return nullptr;
    auto* widget = static_cast<QWidget*>(object);
    return pressableOf(widget) ? new PressableAccessible(widget) : nullptr;
}

class OneTabStop : public QObject {
public:
    explicit OneTabStop(const QList<QWidget*>& row) : QObject(row.first()), row_(row.begin(), row.end())
    {
        setObjectName(QStringLiteral("ui_onetabstop"));
        for (QWidget* member : row)
            member->installEventFilter(this);
        hold(0);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        const int at = indexOf(watched);
        if (at < 0)
            return false;
        if (event->type() == QEvent::FocusIn) {
            hold(at);
            return false;
        }
        if (event->type() != QEvent::KeyPress)
            return false;
        auto* key = static_cast<QKeyEvent*>(event);
        if ((key->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier)
            return false;
        int to = -1;
        switch (key->key()) {
        case Qt::Key_Left: to = at - 1; break;
        case Qt::Key_Right: to = at + 1; break;
        case Qt::Key_Home: to = 0; break;
        case Qt::Key_End: to = int(row_.size()) - 1; break;
        default: return false;
        }
        // At an end of the row the focus stays where it is.
        if (to >= 0 && to < int(row_.size()) && to != at && row_[to] && row_[to]->isEnabled() && row_[to]->isVisible()) {
            hold(to);
            row_[to]->setFocus(Qt::OtherFocusReason);
        }
        return true;
    }

private:
    int indexOf(const QObject* o) const
    {
        for (int i = 0; i < int(row_.size()); ++i)
            if (row_[i] == o)
                return i;
        return -1;
    }
    // Only the holder is reached by Tab; a member that takes a click keeps taking it.
    void hold(int at)
    {
        for (int i = 0; i < int(row_.size()); ++i) {
            if (!row_[i])
                continue;
            const bool click = row_[i]->focusPolicy() & Qt::ClickFocus;
            if (i == at)
                row_[i]->setFocusPolicy(click ? Qt::StrongFocus : Qt::TabFocus);
            else
                row_[i]->setFocusPolicy(click ? Qt::ClickFocus : Qt::NoFocus);
        }
    }

    QList<QPointer<QWidget>> row_;
};

}  // namespace

void installKeyboardRules()
{
    installTabChainRules();
    static QPointer<QObject> installed;
    if (installed || !qApp)
        return;
    installed = new EnterPressesButtons(qApp);
    qApp->installEventFilter(installed);
}

void makePressable(QWidget* control, std::function<void()> press)
{
    if (!control || pressableOf(control))
        return;
    static const bool factoryInstalled = [] {
        QAccessible::installFactory(&pressableFactory);
        return true;
    }();
    Q_UNUSED(factoryInstalled);
    new Pressable(control, std::move(press));
    // An interface made for the control before it was pressable would hide the press action.
    if (QAccessibleInterface* made = QAccessible::queryAccessibleInterface(control);
        made && !dynamic_cast<PressableAccessible*>(made))
        QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(made));
}

bool isPressable(const QWidget* control)
{
    return pressableOf(control) != nullptr;
}

void makeOneTabStop(const QList<QWidget*>& row)
{
    if (row.isEmpty() || row.contains(nullptr))
        return;
    new OneTabStop(row);
}

}  // namespace ui
