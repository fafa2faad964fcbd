#include "tools/PictureList.h"

#include "shell/Formats.h"
#include "shell/Helpers.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>

#include <algorithm>
#include <cmath>

namespace tools {

namespace {

// Regular files only, hidden ones left out; read-only files are listed like any other.
constexpr QDir::Filters kFileFilter = QDir::Files | QDir::NoDotAndDotDot;

// Listing order: the case-folded name, then the name itself so that the order is total.
bool ListedBefore(const QString& a, const QString& b, const QString& foldedA, const QString& foldedB)
{
    if (foldedA != foldedB)
        return foldedA < foldedB;
    return a < b;
}

} // namespace

PictureFolderScan ScanPictureFolder(const QString& folder)
{
    PictureFolderScan scan;
    if (folder.isEmpty())
        return scan;
    QDirIterator it(folder, kFileFilter);
    while (it.hasNext()) {
        it.next();
        scan.anyFile = true;
        const QString name = it.fileName();
        if (Module1::ImageFileName(name).isEmpty())
            continue;
        if (it.fileInfo().size() <= 0)
            continue;
        scan.names << name;
    }
    if (scan.names.size() > kMaxPictures) {
        // The first ones in listing order are kept; only then is the order of the names made.
        std::vector<std::pair<QString, QString>> keyed;
        keyed.reserve(size_t(scan.names.size()));
        for (const QString& n : std::as_const(scan.names))
            keyed.emplace_back(n.toCaseFolded(), n);
        std::partial_sort(keyed.begin(), keyed.begin() + kMaxPictures, keyed.end(), [](const auto& x, const auto& y) {
            return ListedBefore(x.second, y.second, x.first, y.first);
        });
        QStringList kept;
        kept.reserve(kMaxPictures);
        for (int i = 0; i < kMaxPictures; ++i)
            kept << keyed[size_t(i)].second;
        scan.names = std::move(kept);
    }
    std::sort(scan.names.begin(), scan.names.end());
    return scan;
}

QString ThumbnailPrefix(const QString& thumbnailFolder)
{
    if (thumbnailFolder.isEmpty())
        return {};
    QString first;
    QString firstFolded;
    QDirIterator it(thumbnailFolder, kFileFilter);
    while (it.hasNext()) {
        it.next();
        const QString name = it.fileName();
        const QString folded = name.toCaseFolded();
        if (first.isEmpty() || ListedBefore(name, first, folded, firstFolded)) {
            first = name;
            firstFolded = folded;
        }
    }
    const QString head = first.left(3);
    if (head == QLatin1String("sn_") || head == QLatin1String("tm_"))
        return head;
    return {};
}

QString ThumbnailFile(const QString& thumbnailFolder, const QString& prefix, const QString& name)
{
    if (thumbnailFolder.isEmpty() || name.isEmpty())
        return {};
    const QString path = JoinPath(thumbnailFolder, prefix + name);
    const QFileInfo info(path);
    if (info.isFile() && !info.fileName().startsWith(QLatin1Char('.')))
        return path;
    return {};
}

QString JoinPath(const QString& folder, const QString& name)
{
    if (folder.endsWith(QLatin1Char('/')))
        return folder + name;
    return folder + QLatin1Char('/') + name;
}

QString FormatFileTime(const QDateTime& time)
{
    if (!time.isValid())
        return {};
    const QDate d = time.date();
    const QTime t = time.time();
    QString text = Module1::FormatSlashDate(d);
    if (t.hour() == 0 && t.minute() == 0 && t.second() == 0)
        return text;
    text += QLatin1Char(' ') + QString::number(t.hour()) + QLatin1Char(':') + Module1::FormatTwoDigits(t.minute())
            + QLatin1Char(':') + Module1::FormatTwoDigits(t.second());
    return text;
}

QString PictureCaption(const QString& title, const QString& folder, const QString& name,
                       std::optional<qint64> length, const QDateTime& modified, int n, int count)
{
    const QString five(5, QLatin1Char(' '));
    // Lengths of files stay far below 2^53, so the double of the shared formatter holds them exactly.
    const QString size = length ? Module1::FormatNumber(double(*length), 0) : QString();
    return title + QString(10, QLatin1Char(' ')) + JoinPath(folder, name) + five + size + five
           + FormatFileTime(modified) + five + QString::number(qint64(n) + 1) + QLatin1Char('/') + QString::number(count);
}

qint64 RoundHalfEven(double value)
{
    // The default rounding mode of the floating-point unit is to nearest, ties to even.
    return qint64(std::nearbyint(value));
}

FitSize FitPicture(qint64 naturalHeight, qint64 naturalWidth, qint64 screenHeight)
{
    FitSize fit;
    fit.height = RoundHalfEven(0.9 * double(screenHeight));
    if (naturalHeight < naturalWidth)
        fit.width = RoundHalfEven(1024.0 / 768.0 * double(screenHeight) * 0.9);
    else if (naturalHeight > 0)
        fit.width = RoundHalfEven(double(fit.height) / double(naturalHeight) * double(naturalWidth) * 0.9);
    return fit;
}

qint64 ProportionalHeight(qint64 fitWidth, qint64 naturalHeight, qint64 naturalWidth)
{
    if (naturalWidth <= 0)
        return 0;
    return RoundHalfEven(double(fitWidth) / double(naturalWidth) * double(naturalHeight));
}

} // namespace tools
