#pragma once
// Texts placed at design widths were measured in the old fonts; the fonts here may be wider.
// These make a control's whole text readable where it would be cut off, keeping its place.

#include <QString>

class QLineEdit;
class QWidget;

namespace ui {

// The width a control needs to show its whole text in its own font: a label's text within its
// margins, a check box's or option's text beside its mark, a button's caption within its frame.
int widthForText(const QWidget* control);
// The same for a box showing this text whole.
int widthForText(const QLineEdit* box, const QString& text);

// Makes the control's whole text readable: widens it, its left edge staying (its right edge, for
// a text aligned to the right), up to the room between `left` and `right` (its parent's
// coordinates); where that room is not enough, its font is made smaller until the text fits.
// Returns whether the text fits now.
bool fitText(QWidget* control, int left, int right);

} // namespace ui
