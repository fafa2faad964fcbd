#include "mail/RecipientBox.h"

#include <QAccessible>
#include <QEvent>
#include <limits>

namespace mail {

RecipientBox::RecipientBox(QWidget* parent) : QLineEdit(parent)
{
    QAccessible::installActivationObserver(this);
    setMaxLength(std::numeric_limits<int>::max());
    // A change made through the line edit itself while only the start is held replaced the
    // whole text (edits by the person come after showWhole).
    connect(this, &QLineEdit::textChanged, this, [this] {
        if (!setting_ && startOnly_) {
            startOnly_ = false;
            whole_.clear();
        }
    });
}

RecipientBox::~RecipientBox() { QAccessible::removeActivationObserver(this); }

void RecipientBox::accessibilityActiveChanged(bool active)
{
    if (active)
        showWhole();
}

QString RecipientBox::text() const { return startOnly_ ? whole_ : QLineEdit::text(); }

void RecipientBox::setShown(const QString& shown)
{
    setting_ = true;
    QLineEdit::setText(shown);
    setting_ = false;
}

void RecipientBox::setText(const QString& text)
{
    if (text.size() <= ShownLength || hasFocus() || QAccessible::isActive()) {
        startOnly_ = false;
        whole_.clear();
        setShown(text);
        return;
    }
    qsizetype cut = ShownLength;
    if (text.at(cut - 1).isHighSurrogate())
        --cut;  // never half a character
    whole_ = text;
    startOnly_ = true;
    setShown(text.left(cut));
    // The start of the list in view, as with the whole line.
    setCursorPosition(0);
}

// setText, not QLineEdit::clear: clearing keeps an undo step per character of the old text.
void RecipientBox::clear() { setText(QString()); }

void RecipientBox::showWhole()
{
    if (!startOnly_)
        return;
    const QString whole = whole_;
    startOnly_ = false;
    whole_.clear();
    setShown(whole);
    setCursorPosition(0);
}

bool RecipientBox::event(QEvent* e)
{
    switch (e->type()) {
    case QEvent::FocusIn:
    case QEvent::KeyPress:
    case QEvent::ShortcutOverride:
    case QEvent::InputMethod:
    case QEvent::InputMethodQuery:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::DragEnter:
    case QEvent::Drop:
    case QEvent::ContextMenu:
        showWhole();
        break;
    default:
        break;
    }
    return QLineEdit::event(e);
}

} // namespace mail
