#pragma once
// One picture file of the viewer: its own size read from its header, and its pixels decoded at
// the size it is shown, always in full colour. JPEG, GIF, BMP and PNG through Qt's readers;
// enhanced and Windows metafiles converted to SVG by the converters emf2svg-conv and wmf2svg, run
// as child processes with a time limit, and drawn through QtSvg.
//
// Everything here may run on any thread; the viewer calls it off its window's thread.

#include <QDeadlineTimer>
#include <QImage>
#include <QSize>
#include <QString>

#include <functional>
#include <memory>

namespace tools {

// How long the conversion and drawing of one picture may take before it counts as one that
// cannot be shown.
inline constexpr int kPictureMilliseconds = 10000;
// The longest SVG text a metafile may convert to: 32 MiB. QtSvg parses and draws such a text of
// about 100,000 shapes in 2 to 3 s on one core, well inside the time limit, and keeps it in a few
// hundred MB; a converter that writes more is stopped at once.
inline constexpr qint64 kMaxSvgBytes = 32ll * 1024 * 1024;
// The allocation limit, in MiB, of the one whole read of a raster picture (a large BMP or GIF,
// or the own size of any picture).
inline constexpr int kWholeReadAllocationMB = 1024;

// The time limit in force; tests shorten it.
int PictureTimeLimit();
void SetPictureTimeLimit(int milliseconds);

// True when the work may stop: nobody waits for its result any more.
using Abandoned = std::function<bool()>;

class Picture {
public:
    // Reads the header (a metafile is converted here, within the deadline). An unreadable or
    // corrupt file gives an invalid picture; nothing is ever reported from here.
    static Picture open(const QString& path, QDeadlineTimer deadline = QDeadlineTimer(PictureTimeLimit()),
                        const Abandoned& abandoned = {});

    bool isValid() const { return size_.width() > 0 && size_.height() > 0; }
    // The picture's own size in pixels.
    QSize size() const { return size_; }

    // The pixels stretched to target, in full colour (32 bits a pixel). An invalid target
    // decodes the picture at its own size. A null image when decoding fails, or when the work is
    // abandoned while it waits its turn for a large read.
    QImage decode(QSize target, const Abandoned& abandoned = {}) const;

private:
    struct Vector;
    QString path_;
    QSize size_;
    std::shared_ptr<Vector> vector_;
};

// Whether a file's name makes it a metafile, which takes a converter to open.
bool IsMetafile(const QString& path);

// The SVG text of a Windows metafile from wmf2svg (or the program named by KV_WMF2SVG), and of
// an enhanced metafile from emf2svg-conv (or KV_EMF2SVG). The converter runs without a shell on
// a copy in a private temporary folder, and is stopped at the deadline, when its SVG grows past
// kMaxSvgBytes, or when the work is abandoned. Empty when it fails, crashes, is stopped, writes
// no SVG or is not installed, and for a file that is not such a metafile.
QByteArray ConvertWmf(const QString& path, QDeadlineTimer deadline = QDeadlineTimer(PictureTimeLimit()),
                      const Abandoned& abandoned = {});
QByteArray ConvertEmf(const QString& path, QDeadlineTimer deadline = QDeadlineTimer(PictureTimeLimit()),
                      const Abandoned& abandoned = {});

} // namespace tools
