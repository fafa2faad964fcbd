#include "tools/PictureDecoder.h"

#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QPainter>
#include <QProcess>
#include <QStandardPaths>
#include <QSvgRenderer>
#include <QtEndian>

#include <cstdlib>

#include <emf2svg.h>

namespace tools {

namespace {

// Metafiles larger than this are not pictures anyone keeps in a record folder.
constexpr qint64 kMaxMetafileBytes = 64ll * 1024 * 1024;
// Limits of a drawn metafile: its pixels at 4 bytes each stay below 1 GiB.
constexpr qint64 kMaxVectorPixels = 256ll * 1024 * 1024;
// The allocation limit, in MiB, of the one read of a raster picture at its own size.
constexpr int kOwnSizeAllocationMB = 4096;

enum class Kind { Raster, Emf, Wmf };

Kind KindOf(const QString& path)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == QLatin1String("emf"))
        return Kind::Emf;
    if (suffix == QLatin1String("wmf"))
        return Kind::Wmf;
    return Kind::Raster;
}

std::shared_ptr<QSvgRenderer> Render(const QByteArray& svg)
{
    if (svg.isEmpty())
        return {};
    auto renderer = std::make_shared<QSvgRenderer>(svg);
    if (!renderer->isValid())
        return {};
    return renderer;
}

// Restores the process-wide allocation limit of the image readers when the read is over.
class RaisedAllocationLimit {
public:
    explicit RaisedAllocationLimit(int mb) : saved_(QImageReader::allocationLimit()) { QImageReader::setAllocationLimit(mb); }
    ~RaisedAllocationLimit() { QImageReader::setAllocationLimit(saved_); }
    RaisedAllocationLimit(const RaisedAllocationLimit&) = delete;
    RaisedAllocationLimit& operator=(const RaisedAllocationLimit&) = delete;

private:
    int saved_;
};

} // namespace

QByteArray ConvertEmf(const QByteArray& contents)
{
    // The header record (type 1) carries the signature " EMF" at offset 40.
    if (contents.size() < 88 || qFromLittleEndian<quint32>(contents.constData()) != 1
        || qFromLittleEndian<quint32>(contents.constData() + 40) != 0x464D4520u)
        return {};
    // Every record must lie inside the file, with a size of whole 32-bit words, and the last one
    // must end the file: a damaged file never reaches the converter.
    qsizetype at = 0;
    quint32 lastType = 0;
    while (at + 8 <= contents.size()) {
        lastType = qFromLittleEndian<quint32>(contents.constData() + at);
        const quint32 size = qFromLittleEndian<quint32>(contents.constData() + at + 4);
        if (size < 8 || size % 4 != 0 || size > quint64(contents.size() - at))
            return {};
        at += size;
        if (lastType == 14)  // EMR_EOF
            break;
    }
    if (lastType != 14)
        return {};
    QByteArray data = contents;  // the converter takes a writable buffer
    generatorOptions options{};
    char ns[] = "svg";
    options.nameSpace = ns;
    options.svgDelimiter = true;
    options.emfplus = true;
    char* out = nullptr;
    size_t length = 0;
    const int ok = emf2svg(data.data(), size_t(data.size()), &out, &length, &options);
    QByteArray svg;
    if (ok && out)
        svg = QByteArray(out, qsizetype(length));
    std::free(out);
    return svg;
}

QByteArray ConvertWmf(const QString& path)
{
    const QString tool = QStandardPaths::findExecutable(QStringLiteral("wmf2svg"));
    if (tool.isEmpty())
        return {};
    QProcess p;
    p.setStandardErrorFile(QProcess::nullDevice());
    p.setStandardInputFile(QProcess::nullDevice());
    // An absolute path, so that no file name can read as an option.
    p.start(tool, {QFileInfo(path).absoluteFilePath()}, QIODevice::ReadOnly);
    if (!p.waitForStarted(kConverterMilliseconds))
        return {};
    if (!p.waitForFinished(kConverterMilliseconds)) {
        p.kill();
        p.waitForFinished(1000);
        return {};
    }
    if (p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
        return {};
    return p.readAllStandardOutput();
}

Picture Picture::open(const QString& path)
{
    Picture picture;
    picture.path_ = path;
    switch (KindOf(path)) {
    case Kind::Raster: {
        QImageReader reader(path);
        picture.size_ = reader.size();
        break;
    }
    case Kind::Emf: {
        QFile f(path);
        if (!f.open(QIODevice::ReadOnly) || f.size() > kMaxMetafileBytes)
            break;
        picture.vector_ = Render(ConvertEmf(f.readAll()));
        break;
    }
    case Kind::Wmf: {
        if (QFileInfo(path).size() > kMaxMetafileBytes)
            break;
        picture.vector_ = Render(ConvertWmf(path));
        break;
    }
    }
    if (picture.vector_)
        picture.size_ = picture.vector_->defaultSize();
    if (!picture.isValid())
        picture.size_ = QSize();
    return picture;
}

QImage Picture::decode(QSize target) const
{
    if (!isValid())
        return {};
    if (vector_) {
        const QSize s = target.isValid() ? target : size_;
        if (s.isEmpty() || qint64(s.width()) * s.height() > kMaxVectorPixels)
            return {};
        QImage image(s, QImage::Format_RGB32);
        if (image.isNull())
            return {};
        image.fill(Qt::white);  // metafiles draw on white paper
        QPainter painter(&image);
        vector_->render(&painter, QRectF(QPointF(0, 0), QSizeF(s)));
        return image;
    }
    QImageReader reader(path_);
    if (target.isValid()) {
        if (target.isEmpty())
            return {};
        reader.setScaledSize(target);
        return reader.read();
    }
    const RaisedAllocationLimit raised(kOwnSizeAllocationMB);
    return reader.read();
}

} // namespace tools
