#pragma once
// Metafiles of many drawing records, for the benchmarks and tests of the image viewer: an enhanced
// metafile and a placeable Windows metafile, each a field of ellipses on a white page.

#include <cstdint>
#include <string>

namespace metafile {

// An enhanced metafile of `ellipses` ellipse records (24 bytes each) drawn on a page of
// width x height pixels; about 24 MB for a million. False when the file cannot be written.
bool WriteEllipseEmf(const std::string& path, std::uint32_t ellipses, int width = 800, int height = 600);

// A placeable Windows metafile of `ellipses` ellipse records (14 bytes each), 96 units an inch;
// about 4 MB for 300,000.
bool WriteEllipseWmf(const std::string& path, std::uint32_t ellipses, int width = 800, int height = 600);

} // namespace metafile
