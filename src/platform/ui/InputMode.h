#pragma once
// Input-method modes of text boxes. Linux input methods cannot be switched by the program: a box
// whose mode is off gets no input method at all, the others keep theirs. The half-width katakana
// box converts what was typed when it is stored (toHalfWidthKatakana).

class QWidget;

namespace ui {

enum class InputMode { Off, Hiragana, HalfWidthKatakana };

// Off survives the box being made read-only and editable again (Qt would otherwise turn the
// input method back on).
void setInputMode(QWidget* box, InputMode mode);
// The mode set on the box; Hiragana when none was set.
InputMode inputMode(const QWidget* box);

}  // namespace ui
