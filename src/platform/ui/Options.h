#pragma once
// Option buttons raise their handler whenever they become checked, as the old controls did: by
// the mouse, by keys, by the program and by assistive technology's toggle action (which checks a
// button without a click). Check boxes whose handler reacts to their value raise it on every change.

#include <QAbstractButton>
#include <QList>
#include <QObject>
#include <QPointer>

#include <array>
#include <functional>

namespace ui {

// What a click on the option that is already checked does.
enum class ChosenClick {
    Ignored,  // nothing: the handler follows the choice
    Runs,     // the handler runs again for it, as for any click
};

// The handler of an option array: handler(index) runs once each time an option of the array
// becomes checked, never when one becomes unchecked. While it runs, an option of the same array
// that the handler puts back checked runs nothing (a refused change stays refused).
class OptionArray : public QObject {
    Q_OBJECT
public:
    using Handler = std::function<void(int index)>;

    OptionArray(const QList<QAbstractButton*>& options, Handler handler, ChosenClick chosenClick, QObject* parent);

    // Runs the handler of that option now, unless a handler of the array is running.
    void run(int index);
    int indexOf(const QAbstractButton* option) const;
    bool running() const { return running_; }

private:
    QList<QPointer<QAbstractButton>> options_;
    Handler handler_;
    bool running_ = false;
    QAbstractButton* justChecked_ = nullptr;  // checked since the last press began a click
};

// Connects handler(index) to the options; the connection lives as long as the first option.
OptionArray* onOptionChecked(const QList<QAbstractButton*>& options, OptionArray::Handler handler,
                             ChosenClick chosenClick = ChosenClick::Ignored);
template <class Button, size_t N>
OptionArray* onOptionChecked(const std::array<Button*, N>& options, OptionArray::Handler handler,
                             ChosenClick chosenClick = ChosenClick::Ignored)
{
    QList<QAbstractButton*> list;
    for (Button* b : options)
        list << b;
    return onOptionChecked(list, std::move(handler), chosenClick);
}

// The program checks an option: its handler runs once, also when it was checked already.
void checkOption(QAbstractButton* option);
// The program checks an option without running its handler (an option put back as it was).
void checkOptionQuietly(QAbstractButton* option);

// A check box whose handler reacts to its value: handler() runs on every change of it, by the
// mouse, keys, the program or assistive technology.
void onCheckChanged(QAbstractButton* box, std::function<void()> handler);

}  // namespace ui
