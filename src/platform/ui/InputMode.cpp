#include "platform/ui/InputMode.h"

#include <QEvent>
#include <QInputMethodQueryEvent>
#include <QObject>
#include <QVariant>
#include <QWidget>

namespace ui {
namespace {

const char* const modeProperty = "kvInputMode";

// The input method asks the focused box whether it may attach (Qt::ImEnabled). QLineEdit and
// the text edits answer from their read-only state alone and turn Qt::WA_InputMethodEnabled back
// on when they are unlocked, so the answer is given here: the box answers every other question,
// then "no" for this one.
class InputMethodOff : public QObject {
public:
    explicit InputMethodOff(QWidget* box) : QObject(box) { setObjectName(QStringLiteral("kvInputMethodOff")); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::InputMethodQuery || answering_)
            return QObject::eventFilter(watched, event);
        auto* query = static_cast<QInputMethodQueryEvent*>(event);
        if (!(query->queries() & Qt::ImEnabled))
            return QObject::eventFilter(watched, event);
        auto* box = static_cast<QWidget*>(watched);
        if (box->testAttribute(Qt::WA_InputMethodEnabled))
            box->setAttribute(Qt::WA_InputMethodEnabled, false);
        answering_ = true;
        watched->event(event);
        answering_ = false;
        query->setValue(Qt::ImEnabled, false);
        query->accept();
        return true;
    }

private:
    bool answering_ = false;
};

InputMethodOff* offFilter(QWidget* box)
{
    return box->findChild<InputMethodOff*>(QStringLiteral("kvInputMethodOff"), Qt::FindDirectChildrenOnly);
}

}  // namespace

void setInputMode(QWidget* box, InputMode mode)
{
    if (!box)
        return;
    box->setProperty(modeProperty, int(mode));
    const Qt::InputMethodHints latin = Qt::ImhLatinOnly | Qt::ImhPreferLatin;
    InputMethodOff* filter = offFilter(box);
    if (mode == InputMode::Off) {
        box->setAttribute(Qt::WA_InputMethodEnabled, false);
        box->setInputMethodHints(box->inputMethodHints() | latin);
        if (!filter)
            box->installEventFilter(new InputMethodOff(box));
        return;
    }
    delete filter;
    box->setInputMethodHints(box->inputMethodHints() & ~latin);
    box->setAttribute(Qt::WA_InputMethodEnabled, true);
}

InputMode inputMode(const QWidget* box)
{
    const QVariant v = box ? box->property(modeProperty) : QVariant();
    return v.isValid() ? InputMode(v.toInt()) : InputMode::Hiragana;
}

}  // namespace ui
