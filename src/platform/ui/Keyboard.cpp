#include "platform/ui/Keyboard.h"

#include "platform/ui/TabChain.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QApplication>
#include <QFrame>
#include <QKeyEvent>
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
            // A framed control shows the focus by a heavier frame; other controls paint it.
            if (auto* frame = qobject_cast<QFrame*>(control_))
                frame->setLineWidth(event->type() == QEvent::FocusIn ? 2 : 1);
            return false;
        default:
            return false;
        }
    }

private:
    QWidget* control_;
    std::function<void()> press_;
};

Pressable* pressableOf(const QWidget* control)
{
    return control ? control->findChild<Pressable*>(QStringLiteral("ui_pressable"), Qt::FindDirectChildrenOnly) : nullptr;
}

// Read as a button, pressed by the press action; name and description are the control's own.
class PressableAccessible : public QAccessibleWidget {
public:
    explicit PressableAccessible(QWidget* w) : QAccessibleWidget(w, QAccessible::Button) {}

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

}  // namespace ui
