#pragma once
// Positions and sizes of the old windows were given in twips; the screen has 15 twips a pixel.

#include <QRect>

namespace ui {

inline constexpr int twipsPerPixel = 15;

// Pixels for a length in twips, rounded to the nearest pixel (halves away from zero).
int twips(int lengthInTwips);
QRect twipsRect(int left, int top, int width, int height);

}  // namespace ui
