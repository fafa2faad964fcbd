#pragma once
// The Tab chain as a person walks it. A group of options (option buttons that exclude each
// other) is one Tab stop, entered on its chosen option, so that a screen reader reads what the
// record holds: Qt makes every option of a group a Tab stop until one of them has had the focus,
// and then keeps the one that had it last, whichever option is chosen. The arrow keys still move
// and choose within the group, as Qt does.

class QWidget;

namespace ui {

// Installs the rules once for the whole application: before every Tab and Shift+Tab, and when a
// window is shown, the Tab stops of the options of the window are settled. installKeyboardRules
// calls it.
void installTabChainRules();

// Makes one option of each group of options in the window its only Tab stop: the option that has
// the focus while the focus is in the group, else the chosen option, else the first one that can
// take the focus.
void settleOptionTabStops(QWidget* window);

// Moves the focus from `from` to the next Tab stop of its window (or the one before it), as Tab
// (or Shift+Tab) does, with the same focus reason.
void stepFocus(QWidget* from, bool forwards);

}  // namespace ui
