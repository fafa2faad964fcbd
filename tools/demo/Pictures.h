#pragma once
// Generated PNG pictures for the demo folder (no photograph of anyone).

#include <QSize>
#include <QString>

namespace demo {

// A stylised portrait, coloured by the seed, with a caption text; false when it cannot be written.
bool writePortrait(const QString& file, QSize size, int seed, const QString& caption);

// The record window's common picture for records without one of their own.
bool writeDefaultPicture(const QString& file);

} // namespace demo
