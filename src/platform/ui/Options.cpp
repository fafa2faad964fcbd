#include "platform/ui/Options.h"

#include <QSignalBlocker>

namespace ui {
namespace {

const char* const kArrayProperty = "ui_optionArray";

OptionArray* arrayOf(const QAbstractButton* option)
{
    return option ? qobject_cast<OptionArray*>(option->property(kArrayProperty).value<QObject*>()) : nullptr;
}

}  // namespace

OptionArray::OptionArray(const QList<QAbstractButton*>& options, Handler handler, ChosenClick chosenClick, QObject* parent)
    : QObject(parent), handler_(std::move(handler))
{
    for (int i = 0; i < options.size(); ++i) {
        QAbstractButton* option = options[i];
        options_ << option;
        if (!option)
            continue;
        option->setProperty(kArrayProperty, QVariant::fromValue<QObject*>(this));
        // toggled, not clicked: the toggle action of assistive technology and the program check a
        // button without any click.
        connect(option, &QAbstractButton::toggled, this, [this, i, option](bool on) {
            if (!on)
                return;
            justChecked_ = option;
            run(i);
        });
        if (chosenClick != ChosenClick::Runs)
            continue;
        // A press starts a click (mouse, space bar, click()): what was checked before it is old.
        connect(option, &QAbstractButton::pressed, this, [this] { justChecked_ = nullptr; });
        connect(option, &QAbstractButton::clicked, this, [this, i, option] {
            const bool checkedByThisClick = justChecked_ == option;
            justChecked_ = nullptr;
            if (!checkedByThisClick && option->isChecked())
                run(i);
        });
    }
}

void OptionArray::run(int index)
{
    if (running_ || !handler_ || index < 0)
        return;
    running_ = true;
    // A handler may close the window and so destroy the array: it must not be touched after.
    QPointer<OptionArray> alive(this);
    const Handler handler = handler_;
    handler(index);
    if (alive)
        running_ = false;
}

int OptionArray::indexOf(const QAbstractButton* option) const
{
    for (int i = 0; i < options_.size(); ++i)
        if (options_[i] == option)
            return i;
    return -1;
}

OptionArray* onOptionChecked(const QList<QAbstractButton*>& options, OptionArray::Handler handler, ChosenClick chosenClick)
{
    QObject* owner = nullptr;
    for (QAbstractButton* b : options)
        if (b && !owner)
            owner = b;
    return new OptionArray(options, std::move(handler), chosenClick, owner);
}

void checkOption(QAbstractButton* option)
{
    if (!option)
        return;
    if (!option->isChecked()) {
        option->setChecked(true);  // the array's handler runs from toggled
        return;
    }
    if (OptionArray* array = arrayOf(option))
        array->run(array->indexOf(option));
}

void checkOptionQuietly(QAbstractButton* option)
{
    if (!option || option->isChecked())
        return;
    // The button that goes off says so (toggled off), which runs nothing.
    const QSignalBlocker quiet(option);
    option->setChecked(true);
}

void onCheckChanged(QAbstractButton* box, std::function<void()> handler)
{
    if (!box)
        return;
    QObject::connect(box, &QAbstractButton::toggled, box, [handler = std::move(handler)](bool) {
        if (handler)
            handler();
    });
}

}  // namespace ui
