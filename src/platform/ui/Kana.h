#pragma once

#include <QString>

namespace ui {

// Hiragana and full-width katakana become half-width katakana, voiced and semi-voiced kana as
// two characters (が → ｶﾞ, ぱ → ﾊﾟ, ヴ → ｳﾞ); the long mark, the kana punctuation 、。「」・, the
// voicing marks and the full-width space become their half-width forms. Every other character
// stays as it is.
QString toHalfWidthKatakana(const QString& text);

}  // namespace ui
