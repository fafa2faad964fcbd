#include "records/Boxes.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextCursor>
#include <QWheelEvent>

namespace records {

LockableComboBox::LockableComboBox(QWidget* parent) : QComboBox(parent)
{
    setEditable(true);
    // The window decides what joins a list; Enter adds nothing.
    setInsertPolicy(QComboBox::NoInsert);
    // What is typed is stored as typed: no completion from the list ("東" must not become "東京都").
    setCompleter(nullptr);
}

void LockableComboBox::setLocked(bool locked)
{
    locked_ = locked;
    if (lineEdit())
        lineEdit()->setReadOnly(locked);
}

void LockableComboBox::showPopup()
{
    if (locked_)
        return;
    if (beforePopup_)
        beforePopup_();
    QComboBox::showPopup();
}

void LockableComboBox::keyPressEvent(QKeyEvent* event)
{
    if (locked_) {
        switch (event->key()) {
        case Qt::Key_Up:
        case Qt::Key_Down:
        case Qt::Key_PageUp:
        case Qt::Key_PageDown:
        case Qt::Key_Home:
        case Qt::Key_End:
        case Qt::Key_F4:
            event->ignore();
            return;
        default:
            break;
        }
    }
    QComboBox::keyPressEvent(event);
}

void LockableComboBox::wheelEvent(QWheelEvent* event)
{
    if (locked_) {
        event->ignore();
        return;
    }
    QComboBox::wheelEvent(event);
}

QString BoxText(const QWidget* box)
{
    if (const auto* e = qobject_cast<const QLineEdit*>(box))
        return e->text();
    if (const auto* p = qobject_cast<const QPlainTextEdit*>(box))
        return p->toPlainText();
    if (const auto* c = qobject_cast<const QComboBox*>(box))
        return c->currentText();
    return {};
}

void SetBoxText(QWidget* box, const QString& text)
{
    // A text longer than its box shows its start, not its end (where setting it leaves the cursor).
    if (auto* e = qobject_cast<QLineEdit*>(box)) {
        e->setText(text);
        e->setCursorPosition(0);
    } else if (auto* p = qobject_cast<QPlainTextEdit*>(box)) {
        p->setPlainText(text);
        p->moveCursor(QTextCursor::Start);
    } else if (auto* c = qobject_cast<QComboBox*>(box)) {
        c->setEditText(text);
        if (c->lineEdit())
            c->lineEdit()->setCursorPosition(0);
    }
}

void SetBoxLocked(QWidget* box, bool locked)
{
    if (auto* e = qobject_cast<QLineEdit*>(box))
        e->setReadOnly(locked);
    else if (auto* p = qobject_cast<QPlainTextEdit*>(box))
        p->setReadOnly(locked);
    else if (auto* c = qobject_cast<LockableComboBox*>(box))
        c->setLocked(locked);
}

bool IsBoxLocked(const QWidget* box)
{
    if (const auto* e = qobject_cast<const QLineEdit*>(box))
        return e->isReadOnly();
    if (const auto* p = qobject_cast<const QPlainTextEdit*>(box))
        return p->isReadOnly();
    if (const auto* c = qobject_cast<const LockableComboBox*>(box))
        return c->isLocked();
    return false;
}

} // namespace records
