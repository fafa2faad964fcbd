#pragma once
// The list window's top bar in each program: which controls it has, their captions and places.

#include "edition/Profile.h"

#include <QList>
#include <QString>

namespace listwin {

struct BarItem {
    QString systemName;  // "Command1", "HScroll1", "Label2", "Option2"
    int index = -1;      // the control-array index; -1 for a single control
    QString caption;
    int left = 0;        // twips
    int width = 0;       // twips
};

inline constexpr int BarTop = 0;
inline constexpr int BarHeight = 375;

// The bar from left to right. The address-book program has no "WEB区分" (Command1(7)).
QList<BarItem> TopBar(const edition::Profile& profile);

} // namespace listwin
