#pragma once
// The old fonts named in the windows are served by the IPA fonts.

namespace ui {

// "ＭＳ ゴシック" → "IPAGothic" (fixed pitch: a double-byte character is twice as wide as a
// single-byte one), "ＭＳ 明朝" → "IPAMincho", "ＭＳ Ｐゴシック" → "IPAPGothic".
void installFontSubstitutions();

}  // namespace ui
