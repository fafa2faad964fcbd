#pragma once
// What the image viewer reads of its folders and how it words and sizes what it shows; no window.

#include <QDateTime>
#include <QString>
#include <QStringList>

#include <optional>

namespace tools {

// The viewer keeps at most this many pictures of a folder.
inline constexpr int kMaxPictures = 10000;

struct PictureFolderScan {
    bool anyFile = false;  // the folder holds at least one file the viewer may list
    QStringList names;     // its pictures, at most kMaxPictures, sorted
};

// Lists a picture folder once. Every regular, non-hidden file counts, read-only or not;
// subfolders never do. A picture is a file whose name passes the picture-name test and whose
// length is above 0. When there are more than kMaxPictures of them, the first ones in listing
// order (case-folded name order) are kept; the names kept are then sorted by UTF-16 code units
// (upper-case Latin letters before lower-case).
PictureFolderScan ScanPictureFolder(const QString& folder);

// The prefix of a thumbnail folder: "sn_" or "tm_" when the first file of its listing begins
// with it, else "".
QString ThumbnailPrefix(const QString& thumbnailFolder);

// The thumbnail of a picture: exactly thumbnailFolder/prefix+name when that is a regular,
// non-hidden file, else "". Names are taken as they are, never as patterns.
QString ThumbnailFile(const QString& thumbnailFolder, const QString& prefix, const QString& name);

// folder and name joined with one "/".
QString JoinPath(const QString& folder, const QString& name);

// "yyyy/mm/dd h:mm:ss", the hour without a leading zero; the date alone at 00:00:00. "" for an
// invalid time. Seconds below one are dropped.
QString FormatFileTime(const QDateTime& time);

// The window caption while a picture is shown: the title, 10 blanks, the picture's path,
// 5 blanks, its length as "###,###,##0", 5 blanks, its time, 5 blanks, n + 1, "/", count.
// A length or time that could not be read is left empty.
QString PictureCaption(const QString& title, const QString& folder, const QString& name,
                       std::optional<qint64> length, const QDateTime& modified, int n, int count);

// The nearest whole number, halves to even.
qint64 RoundHalfEven(double value);

struct FitSize {
    qint64 height = 0;  // twips
    qint64 width = 0;
};

// The size a picture of its own size (twips) is shown at, on a screen screenHeight twips high:
// landscape pictures in a fixed 4:3 frame 0.9 of the screen high; portrait and square ones 0.9
// of the screen high and 0.9 of the width that would keep their proportions.
FitSize FitPicture(qint64 naturalHeight, qint64 naturalWidth, qint64 screenHeight);

// The height that keeps the picture's proportions at the width it was fitted to.
qint64 ProportionalHeight(qint64 fitWidth, qint64 naturalHeight, qint64 naturalWidth);

} // namespace tools
