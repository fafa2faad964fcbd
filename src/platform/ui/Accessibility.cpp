#include "platform/ui/Accessibility.h"

#include "platform/ui/Keyboard.h"

#include <QAbstractScrollArea>
#include <QAccessibleWidget>
#include <QAbstractItemView>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QScrollBar>
#include <QRegularExpression>
#include <QTextDocument>
#include <QWidget>

namespace ui {

QString labelText(const QLabel* l)
{
    QString s = l->text();
    if (l->textFormat() == Qt::RichText || (l->textFormat() == Qt::AutoText && Qt::mightBeRichText(s))) {
        QTextDocument doc;
        doc.setHtml(s);
        s = doc.toPlainText();
    }
    // Only a label with a buddy turns "&x" into an underlined mnemonic.
    if (l->buddy()) {
        static const QRegularExpression mnemonic(QStringLiteral("&(.)"));
        s.replace(mnemonic, QStringLiteral("\\1"));
    }
    return s;
}

namespace {

// Qt reads a label without text by the title of its group box, and drops every ampersand of a
// label's text, also where the label shows it; a label is read by exactly what it shows.
class ShownLabel : public QAccessibleWidget {
public:
    explicit ShownLabel(QLabel* label) : QAccessibleWidget(label, QAccessible::StaticText) {}

    QAccessible::Role role() const override
    {
        const QLabel* l = label();
        return l->text().isEmpty() && !l->pixmap().isNull() ? QAccessible::Graphic : QAccessible::StaticText;
    }

    QString text(QAccessible::Text t) const override
    {
        if (t != QAccessible::Name)
            return QAccessibleWidget::text(t);
        if (!widget()->accessibleName().isEmpty())
            return widget()->accessibleName();
        return labelText(label());
    }

    QList<std::pair<QAccessibleInterface*, QAccessible::Relation>>
    relations(QAccessible::Relation match) const override
    {
        QList<std::pair<QAccessibleInterface*, QAccessible::Relation>> found = QAccessibleWidget::relations(match);
        if (QWidget* buddy = label()->buddy(); buddy && (match & QAccessible::Labelled))
            if (QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(buddy))
                found.append({iface, QAccessible::Labelled});
        return found;
    }

private:
    QLabel* label() const { return static_cast<QLabel*>(widget()); }
};

// Qt reads a combo box on Linux by the text it holds, and by its own name only while it holds
// none: a screen reader then says "令和" and never which field that is. A combo box is read by
// its field (its accessible name, else its buddy label) whatever it holds; what it holds is its
// value. The list and the edit field stay its children, as in Qt's own interface.
class FieldComboBox : public QAccessibleWidget {
public:
    explicit FieldComboBox(QComboBox* box) : QAccessibleWidget(box, QAccessible::ComboBox) {}

    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Value)
            return comboBox()->lineEdit() ? comboBox()->lineEdit()->text() : comboBox()->currentText();
        return QAccessibleWidget::text(t);
    }

    int childCount() const override { return comboBox()->lineEdit() ? 2 : 1; }
    QAccessibleInterface* child(int index) const override
    {
        if (index == 0)
            return QAccessible::queryAccessibleInterface(comboBox()->view());
        if (index == 1 && comboBox()->lineEdit())
            return QAccessible::queryAccessibleInterface(comboBox()->lineEdit());
        return nullptr;
    }
    int indexOfChild(const QAccessibleInterface* child) const override
    {
        if (!child)
            return -1;
        if (child->object() == comboBox()->view())
            return 0;
        if (comboBox()->lineEdit() && child->object() == comboBox()->lineEdit())
            return 1;
        return -1;
    }
    QAccessibleInterface* childAt(int x, int y) const override
    {
        QLineEdit* edit = comboBox()->lineEdit();
        if (edit && edit->isVisible() && QRect(edit->mapToGlobal(QPoint(0, 0)), edit->size()).contains(x, y))
            return child(1);
        return nullptr;
    }

    // Pressed, or its menu shown, the list opens; pressed again it closes.
    QStringList actionNames() const override { return {showMenuAction(), pressAction()}; }
    void doAction(const QString& actionName) override
    {
        if (actionName != showMenuAction() && actionName != pressAction())
            return;
        if (comboBox()->view()->isVisible())
            comboBox()->hidePopup();
        else
            comboBox()->showPopup();
    }
    QStringList keyBindingsForAction(const QString&) const override { return {}; }

private:
    QComboBox* comboBox() const { return static_cast<QComboBox*>(widget()); }
};

QAccessibleInterface* labelFactory(const QString& className, QObject* object)
{
    // A label pressed like a button is read as a button (Keyboard.h).
    if (className == QLatin1String("QLabel"))
        if (auto* l = qobject_cast<QLabel*>(object); l && !isPressable(l))
            return new ShownLabel(l);
    return nullptr;
}

// Asked for every class of an object's chain from its own upwards: a box of a class derived
// from QComboBox is answered at its own class, before Qt's interface for QComboBox.
QAccessibleInterface* comboBoxFactory(const QString&, QObject* object)
{
    if (auto* box = qobject_cast<QComboBox*>(object))
        return new FieldComboBox(box);
    return nullptr;
}

// A scroll bar of a scrolled box or list has no caption of its own: it is read by the name of the
// box it scrolls and its direction, as that name is at the time it is read. Worked as Qt's own
// scroll bars are, by its value.
class AreaScrollBar : public QAccessibleWidget, public QAccessibleValueInterface {
public:
    AreaScrollBar(QScrollBar* bar, QAbstractScrollArea* area)
        : QAccessibleWidget(bar, QAccessible::ScrollBar), area_(area)
    {
    }

    void* interface_cast(QAccessible::InterfaceType t) override
    {
        if (t == QAccessible::ValueInterface)
            return static_cast<QAccessibleValueInterface*>(this);
        return QAccessibleWidget::interface_cast(t);
    }

    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Value)
            return QString::number(bar()->value());
        if (t != QAccessible::Name || !widget()->accessibleName().isEmpty())
            return QAccessibleWidget::text(t);
        const QString direction =
            bar()->orientation() == Qt::Vertical ? QStringLiteral("縦スクロールバー") : QStringLiteral("横スクロールバー");
        QString box;
        if (area_)
            if (QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(area_.data()))
                box = iface->text(QAccessible::Name);
        return box.isEmpty() ? direction : box + QStringLiteral("の") + direction;
    }

    QVariant currentValue() const override { return bar()->value(); }
    void setCurrentValue(const QVariant& value) override { bar()->setValue(value.toInt()); }
    QVariant maximumValue() const override { return bar()->maximum(); }
    QVariant minimumValue() const override { return bar()->minimum(); }
    QVariant minimumStepSize() const override { return bar()->singleStep(); }

private:
    QScrollBar* bar() const { return static_cast<QScrollBar*>(widget()); }
    QPointer<QAbstractScrollArea> area_;
};

// The scroll bars a scrolled box or list holds in its own containers; a free-standing scroll bar
// is named by its window.
QAccessibleInterface* scrollBarFactory(const QString& className, QObject* object)
{
    if (className != QLatin1String("QScrollBar"))
        return nullptr;
    auto* bar = qobject_cast<QScrollBar*>(object);
    QWidget* container = bar ? bar->parentWidget() : nullptr;
    if (!container || !container->objectName().startsWith(QLatin1String("qt_scrollarea_")))
        return nullptr;
    auto* area = qobject_cast<QAbstractScrollArea*>(container->parentWidget());
    return area ? new AreaScrollBar(bar, area) : nullptr;
}

// A group box that shows nothing of itself: its title is only what assistive technology reads
// for it and for the controls in it (Qt reads a group box's title as their label).
class UnseenGroup : public QGroupBox {
public:
    UnseenGroup(const QString& title, QWidget* parent) : QGroupBox(title, parent)
    {
        setFlat(true);
        setFocusPolicy(Qt::NoFocus);
    }

protected:
    void paintEvent(QPaintEvent*) override {}
};

}  // namespace

QWidget* groupControls(const QList<QWidget*>& controls, const QString& name)
{
    if (controls.isEmpty() || controls.contains(nullptr))
        return nullptr;
    QWidget* parent = controls.first()->parentWidget();
    QRect room;
    for (QWidget* c : controls) {
        if (c->parentWidget() != parent)
            return nullptr;
        room |= c->geometry();
    }
    const bool shown = parent->isVisible();
    auto* group = new UnseenGroup(name, parent);
    group->setGeometry(room);
    // Where its first control stood among the parent's children: a window whose controls move
    // onto a scrolled content later (ScrolledContent.h) rebuilds its Tab round in that order.
    group->stackUnder(controls.first());
    // Within one window the Tab round stays as it was. A control the window hid stays hidden;
    // the others are shown with the window, or now when it is shown.
    for (QWidget* c : controls) {
        const bool keptHidden = c->testAttribute(Qt::WA_WState_ExplicitShowHide) && c->isHidden();
        const QRect place = c->geometry().translated(-room.topLeft());
        c->setParent(group);
        c->setGeometry(place);
        if (shown && !keptHidden)
            c->show();
    }
    if (shown)
        group->show();
    return group;
}

void readControlsAsShown()
{
    static bool installed = false;
    if (!installed) {
        installed = true;
        QAccessible::installFactory(&labelFactory);
        QAccessible::installFactory(&comboBoxFactory);
        QAccessible::installFactory(&scrollBarFactory);
    }
}

QString objectNameFor(const QString& systemName, int index)
{
    return index < 0 ? systemName : systemName + QLatin1Char('_') + QString::number(index);
}

QString systemNameText(const QString& systemName, int index)
{
    return index < 0 ? systemName : systemName + QLatin1Char('(') + QString::number(index) + QLatin1Char(')');
}

void name(QWidget* widget, const QString& systemName, int index, const QString& accessibleName)
{
    if (!widget)
        return;
    readControlsAsShown();
    widget->setObjectName(objectNameFor(systemName, index));
    widget->setAccessibleDescription(systemNameText(systemName, index));
    // Left unset, Qt reads a button, label or group box by its current caption (mnemonic
    // ampersands removed), which stays right when the program changes the caption later.
    if (!accessibleName.isEmpty())
        widget->setAccessibleName(accessibleName);
}

}  // namespace ui
