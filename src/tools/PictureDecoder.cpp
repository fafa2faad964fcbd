#include "tools/PictureDecoder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QMutex>
#include <QPainter>
#include <QProcess>
#include <QScopeGuard>
#include <QSemaphore>
#include <QStandardPaths>
#include <QSvgRenderer>
#include <QTemporaryDir>
#include <QtEndian>

#include <algorithm>
#include <atomic>

namespace tools {

struct Picture::Vector {
    explicit Vector(const QByteArray& svg) : renderer(svg) {}
    QMutex lock;  // a renderer draws on one thread at a time
    QSvgRenderer renderer;
};

namespace {

// Metafiles larger than this are not pictures anyone keeps in a record folder.
constexpr qint64 kMaxMetafileBytes = 64ll * 1024 * 1024;
// Limits of a drawn metafile: its pixels at 4 bytes each stay below 1 GiB.
constexpr qint64 kMaxVectorPixels = 256ll * 1024 * 1024;
// A whole read of more than this many bytes of pixels is a large one.
constexpr qint64 kLargeReadBytes = 128ll * 1024 * 1024;
// How often a running converter, or work waiting its turn for a large read, is looked at, in
// milliseconds.
constexpr int kConverterPollMilliseconds = 25;

std::atomic<int> timeLimit{kPictureMilliseconds};

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

// The allocation limit of the image readers is one for the whole process: it stays raised while
// any whole read runs, on whichever thread, and returns to what it was after the last one.
QMutex limitLock;
int raisedReads = 0;
int savedLimit = 0;

class RaisedAllocationLimit {
public:
    explicit RaisedAllocationLimit(int mb)
    {
        QMutexLocker l(&limitLock);
        if (raisedReads++ == 0) {
            savedLimit = QImageReader::allocationLimit();
            QImageReader::setAllocationLimit(qMax(mb, savedLimit));
        }
    }
    ~RaisedAllocationLimit()
    {
        QMutexLocker l(&limitLock);
        if (--raisedReads == 0)
            QImageReader::setAllocationLimit(savedLimit);
    }
    RaisedAllocationLimit(const RaisedAllocationLimit&) = delete;
    RaisedAllocationLimit& operator=(const RaisedAllocationLimit&) = delete;
};

// 32 bits a pixel: scaling a palette or one-bit picture keeps its colours instead of dithering.
QImage FullColour(QImage image)
{
    switch (image.format()) {
    case QImage::Format_RGB32:
    case QImage::Format_ARGB32:
    case QImage::Format_ARGB32_Premultiplied:
        return image;
    default:
        return image.convertToFormat(image.hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32);
    }
}

QImage DecodeRaster(const QString& path, QSize target, const Abandoned& abandoned)
{
    QImageReader reader(path);
    if (target.isValid() && target.isEmpty())
        return {};
    // JPEG decodes straight at a smaller size, within the usual limit. Qt reads the other
    // formats only whole: they are read whole, in full colour, and only the scaled copy is kept.
    if (target.isValid() && reader.format() == "jpeg") {
        reader.setScaledSize(target);
        const QImage image = reader.read();
        return image.isNull() ? QImage() : FullColour(image);
    }
    // Whole reads past the usual limit run one at a time, so that the workers of the main
    // picture and of the thumbnails never hold several such pictures at once.
    static QSemaphore largeReads(1);
    const QSize header = reader.size();
    const bool large = header.isValid() && qint64(header.width()) * header.height() * 4 > kLargeReadBytes;
    // Waiting work that nobody wants any more gives its turn up instead of holding a thread.
    if (large) {
        while (!largeReads.tryAcquire(1, kConverterPollMilliseconds))
            if (abandoned && abandoned())
                return {};
    }
    const auto release = qScopeGuard([large] {
        if (large)
            largeReads.release();
    });
    QImage whole;
    {
        const RaisedAllocationLimit raised(kWholeReadAllocationMB);
        whole = reader.read();
    }
    if (whole.isNull())
        return {};
    whole = FullColour(std::move(whole));
    if (whole.isNull() || !target.isValid() || whole.size() == target)
        return whole;
    return whole.scaled(target, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

// An enhanced metafile's header and record chain: every record inside the file, with a size of
// whole 32-bit words, the last one the end record. Garbage never reaches the converter.
bool LooksLikeEmf(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly) || f.size() < 88 || f.size() > kMaxMetafileBytes)
        return false;
    const qint64 length = f.size();
    const uchar* data = f.map(0, length);
    if (!data)
        return false;
    // The header record (type 1) carries the signature " EMF" at offset 40.
    if (qFromLittleEndian<quint32>(data) != 1 || qFromLittleEndian<quint32>(data + 40) != 0x464D4520u)
        return false;
    qint64 at = 0;
    quint32 lastType = 0;
    while (at + 8 <= length) {
        lastType = qFromLittleEndian<quint32>(data + at);
        const quint32 size = qFromLittleEndian<quint32>(data + at + 4);
        if (size < 8 || size % 4 != 0 || size > quint64(length - at))
            return false;
        at += size;
        if (lastType == 14)  // EMR_EOF
            break;
    }
    return lastType == 14;
}

QString ConverterProgram(const char* variable, const QString& name)
{
    const QString named = qEnvironmentVariable(variable);
    if (!named.isEmpty())
        return named;
    return QStandardPaths::findExecutable(name);
}

QString PrivateFolderTemplate()
{
    QString program = QCoreApplication::applicationName();
    if (program.isEmpty() || program.contains(QLatin1Char('/')))
        program = QStringLiteral("kv");
    return QDir::temp().filePath(program + QStringLiteral("-picture-XXXXXX"));
}

// Runs a converter on a copy of source in a folder of its own (mode 0700, removed afterwards).
// toFile: the converter takes "-p -i copy -o out.svg" and writes the file; otherwise it takes
// the copy alone and writes the SVG to its standard output.
QByteArray RunConverter(const QString& program, const QString& source, const QString& suffix, bool toFile,
                        QDeadlineTimer deadline, const Abandoned& abandoned)
{
    if (program.isEmpty() || deadline.hasExpired())
        return {};
    QTemporaryDir folder(PrivateFolderTemplate());
    if (!folder.isValid())
        return {};
    const QString input = folder.filePath(QStringLiteral("picture.") + suffix);
    const QString output = folder.filePath(QStringLiteral("picture.svg"));
    if (!QFile::copy(source, input))
        return {};
    QProcess p;
    p.setWorkingDirectory(folder.path());
    p.setStandardInputFile(QProcess::nullDevice());
    p.setStandardErrorFile(QProcess::nullDevice());
    QStringList arguments;
    if (toFile) {
        p.setStandardOutputFile(QProcess::nullDevice());
        arguments = {QStringLiteral("-p"), QStringLiteral("-i"), input, QStringLiteral("-o"), output};
    } else {
        arguments = {input};
    }
    p.start(program, arguments, QIODevice::ReadOnly);
    QByteArray svg;
    bool stopped = !p.waitForStarted(int(qMax<qint64>(1, deadline.remainingTime())));
    while (!stopped) {
        const qint64 left = deadline.remainingTime();  // -1: no deadline
        const bool finished = p.waitForFinished(int(left < 0 ? kConverterPollMilliseconds : std::clamp<qint64>(left, 1, kConverterPollMilliseconds)));
        if (!toFile)
            svg += p.readAllStandardOutput();
        if (finished || p.state() == QProcess::NotRunning)
            break;
        const qint64 written = toFile ? QFileInfo(output).size() : svg.size();
        stopped = deadline.hasExpired() || written > kMaxSvgBytes || (abandoned && abandoned());
    }
    if (stopped) {
        p.kill();
        p.waitForFinished(1000);
        return {};
    }
    if (p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
        return {};
    if (toFile) {
        QFile f(output);
        if (!f.open(QIODevice::ReadOnly) || f.size() > kMaxSvgBytes)
            return {};
        svg = f.readAll();
    } else {
        svg += p.readAllStandardOutput();
    }
    if (svg.size() > kMaxSvgBytes)
        return {};
    return svg;
}

} // namespace

int PictureTimeLimit()
{
    return timeLimit.load();
}

void SetPictureTimeLimit(int milliseconds)
{
    timeLimit.store(milliseconds > 0 ? milliseconds : kPictureMilliseconds);
}

bool IsMetafile(const QString& path)
{
    return KindOf(path) != Kind::Raster;
}

QByteArray ConvertEmf(const QString& path, QDeadlineTimer deadline, const Abandoned& abandoned)
{
    if (!LooksLikeEmf(path))
        return {};
    return RunConverter(ConverterProgram("KV_EMF2SVG", QStringLiteral("emf2svg-conv")), path, QStringLiteral("emf"), true,
                        deadline, abandoned);
}

QByteArray ConvertWmf(const QString& path, QDeadlineTimer deadline, const Abandoned& abandoned)
{
    const QFileInfo info(path);
    if (!info.isFile() || info.size() > kMaxMetafileBytes)
        return {};
    return RunConverter(ConverterProgram("KV_WMF2SVG", QStringLiteral("wmf2svg")), path, QStringLiteral("wmf"), false,
                        deadline, abandoned);
}

Picture Picture::open(const QString& path, QDeadlineTimer deadline, const Abandoned& abandoned)
{
    Picture picture;
    picture.path_ = path;
    const Kind kind = KindOf(path);
    if (kind == Kind::Raster) {
        QImageReader reader(path);
        picture.size_ = reader.size();
    } else {
        const QByteArray svg = kind == Kind::Emf ? ConvertEmf(path, deadline, abandoned) : ConvertWmf(path, deadline, abandoned);
        if (!svg.isEmpty() && !deadline.hasExpired()) {
            auto vector = std::make_shared<Vector>(svg);
            if (vector->renderer.isValid()) {
                picture.size_ = vector->renderer.defaultSize();
                picture.vector_ = std::move(vector);
            }
        }
    }
    if (!picture.isValid())
        picture.size_ = QSize();
    return picture;
}

QImage Picture::decode(QSize target, const Abandoned& abandoned) const
{
    if (!isValid())
        return {};
    if (!vector_)
        return DecodeRaster(path_, target, abandoned);
    const QSize s = target.isValid() ? target : size_;
    if (s.isEmpty() || qint64(s.width()) * s.height() > kMaxVectorPixels)
        return {};
    QImage image(s, QImage::Format_RGB32);
    if (image.isNull())
        return {};
    image.fill(Qt::white);  // metafiles draw on white paper
    QPainter painter(&image);
    QMutexLocker l(&vector_->lock);
    vector_->renderer.render(&painter, QRectF(QPointF(0, 0), QSizeF(s)));
    return image;
}

} // namespace tools
