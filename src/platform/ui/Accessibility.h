#pragma once
// Every control can be reached by assistive technology under its system name.

#include <QList>
#include <QString>

class QLabel;
class QWidget;

namespace ui {

// "Text1_6" for system name "Text1" index 6; "Form3" without an index.
QString objectNameFor(const QString& systemName, int index = -1);
// "Text1(6)" for system name "Text1" index 6; "Form3" without an index.
QString systemNameText(const QString& systemName, int index = -1);

// Names a control: its object name and accessible description come from its system name, its
// accessible name is what a person reads for it. Without an accessible name given, buttons,
// labels and group boxes are read by their own caption, which Qt follows as it changes.
void name(QWidget* widget, const QString& systemName, int index = -1, const QString& accessibleName = {});

// From here on a label is read by the text it shows, nothing when it shows none; a combo box
// by the field it holds (its accessible name, else its buddy label), with what it holds as its
// value; and a scrolled box's or list's scroll bar by the box's name and its direction
// ("本文の縦スクロールバー"). name() sees to it; windows that name no control themselves call it
// before their controls are first read.
void readControlsAsShown();

// Gathers controls of one parent that the window shows under a caption of its own (a label beside
// them, or nothing) into a group read by `name`, as a group box is, so that each of them is read
// with what it belongs to ("表示順番"). The group draws nothing and takes no focus or click; the
// controls keep their places in the window and their order in the Tab round. Returns the group.
QWidget* groupControls(const QList<QWidget*>& controls, const QString& name);

// The text a label puts on the screen: markup rendered, a mnemonic ampersand only with a buddy.
QString labelText(const QLabel* label);

}  // namespace ui
