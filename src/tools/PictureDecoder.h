#pragma once
// One picture file of the viewer: its own size read from its header, and its pixels decoded at
// the size it is shown. JPEG, GIF, BMP and PNG through Qt's readers; enhanced metafiles through
// libemf2svg and Windows metafiles through libwmf's wmf2svg, both drawn through QtSvg.

#include <QImage>
#include <QSize>
#include <QString>

#include <memory>

class QSvgRenderer;

namespace tools {

class Picture {
public:
    // Reads the header (a metafile is converted here). An unreadable or corrupt file gives an
    // invalid picture; nothing is ever reported from here.
    static Picture open(const QString& path);

    bool isValid() const { return size_.width() > 0 && size_.height() > 0; }
    // The picture's own size in pixels.
    QSize size() const { return size_; }

    // The pixels stretched to target. An invalid target decodes the picture at its own size,
    // with the reader's allocation limit raised for that one read. A null image when decoding
    // fails.
    QImage decode(QSize target) const;

private:
    QString path_;
    QSize size_;
    std::shared_ptr<QSvgRenderer> vector_;
};

// How long the metafile converter may run before it is stopped.
inline constexpr int kConverterMilliseconds = 10000;

// The SVG text of a Windows metafile, from libwmf's wmf2svg, run without a shell and stopped after
// kConverterMilliseconds; empty when it fails or is not installed.
QByteArray ConvertWmf(const QString& path);
// The SVG text of an enhanced metafile through libemf2svg; empty when it is not one.
QByteArray ConvertEmf(const QByteArray& contents);

} // namespace tools
