#include "platform/ui/Twips.h"

#include <QtGlobal>

namespace ui {

int twips(int lengthInTwips)
{
    const qint64 half = twipsPerPixel / 2;   // 7.5 twips: 7 rounds down, 8 up
    const qint64 t = lengthInTwips;
    return int(t >= 0 ? (t + half) / twipsPerPixel : -((-t + half) / twipsPerPixel));
}

QRect twipsRect(int left, int top, int width, int height)
{
    return QRect(twips(left), twips(top), twips(width), twips(height));
}

}  // namespace ui
