#pragma once
// Lost focus is the commit point of a box: the handler runs when the box loses the focus by Tab,
// Backtab, the mouse or the program, never when the focus goes to another window or a pop-up
// (a message box, a menu, a combo box's list).

#include <QObject>
#include <QWidget>

#include <functional>

namespace ui {

class FocusCommit : public QObject {
    Q_OBJECT
public:
    using Handler = std::function<void()>;

    // Watches `box`; the watcher is a child of the box and goes with it.
    FocusCommit(QWidget* box, Handler lostFocus);

    // Runs when the box gets the focus for the same reasons that commit.
    void setGotFocus(Handler gotFocus) { gotFocus_ = std::move(gotFocus); }

    // Runs the lost-focus handler now, as the program does before moving to another record.
    // Returns false, running nothing, while another commit is under way.
    bool commit();

    // Whether a focus change for this reason commits (and counts as getting the focus).
    static bool commitsOn(Qt::FocusReason reason);
    // True while any lost-focus handler runs: a handler that shows a message or moves the focus
    // does not set off the handler of another box.
    static bool committing();
    // While a got-focus handler runs: why the box got the focus (Tab, Shift+Tab, the mouse, the
    // program); Qt::OtherFocusReason when the handler is called directly.
    static Qt::FocusReason gotFocusReason();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* box_;
    Handler lostFocus_;
    Handler gotFocus_;
};

// Convenience: watches the box and returns the watcher.
FocusCommit* onLostFocus(QWidget* box, FocusCommit::Handler lostFocus);

// Gives the focus back to the box once the current event is handled (a zero timer), so that a
// lost-focus handler can refuse a value without fighting the focus change in progress. The focus
// change it makes commits nothing.
void refocusLater(QWidget* box);

// For a got-focus handler that sends the focus on: it goes on in the direction the user was
// moving. Reached by Tab, the focus goes to the next Tab stop after the box; by Shift+Tab, to the
// one before it; reached otherwise (the mouse, the program), to `onwards`. Later in the event
// loop, as refocusLater does, and only while the box still has the focus.
void passFocusOn(QWidget* box, QWidget* onwards);

}  // namespace ui
