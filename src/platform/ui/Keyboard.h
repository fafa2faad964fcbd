#pragma once
// The keyboard works every control as the mouse does: Enter and the keypad's Enter press the
// focused command button in every window (not only in dialogs), and controls that are pressed
// like buttons without being buttons (pictures, thumbnails) take the focus by Tab, are pressed by
// Enter or the space bar and offer assistive technology the press action.

#include <QList>
#include <QObject>

#include <functional>

class QWidget;

namespace ui {

// Installs the application's keyboard rules once, the Tab chain's among them (TabChain.h); later
// calls do nothing. The window registry calls it when it loads a window, so that every window
// has them.
void installKeyboardRules();

// Makes a control pressable by keys and by assistive technology; press runs for each press. The
// control keeps its own mouse handling.
void makePressable(QWidget* control, std::function<void()> press);
// Whether the control was made pressable.
bool isPressable(const QWidget* control);

// Makes a row of controls one Tab stop, so that Tab passes the row in one press: the member
// that had the focus last holds the stop (the first at the start), Left and Right move the
// focus along the row, Home and End to its ends. Whether a click gives a member the focus stays
// as each member's focus policy says.
void makeOneTabStop(const QList<QWidget*>& row);

}  // namespace ui
