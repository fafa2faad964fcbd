#include "records/RecordFolder.h"

#include "shell/Helpers.h"

#include <QDir>
#include <QImageReader>

#include <algorithm>

namespace records {

QString RecordFolder(const Module1::DbFile& book, qint64 memberNo)
{
    return Module1::RecordFolderPath(book, memberNo);
}

QString RecordPreviewFolder(const Module1::DbFile& book, qint64 memberNo)
{
    return RecordFolder(book, memberNo) + Module1::PathSeparator(book) + QStringLiteral("Preview");
}

QString CommonFolder(const Module1::DbFile& book)
{
    return book.Drive + book.Folder + Module1::PathSeparator(book) + QStringLiteral("共通情報");
}

QString FirstPictureIn(const QString& folder)
{
    const QDir dir(folder);
    if (folder.isEmpty() || !dir.exists())
        return {};
    QStringList names = dir.entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::NoSort);
    std::sort(names.begin(), names.end(), [](const QString& a, const QString& b) {
        const int c = a.compare(b, Qt::CaseInsensitive);
        return c != 0 ? c < 0 : a < b;
    });
    for (const QString& name : names) {
        if (Module1::ImageFileName(name).isEmpty())
            continue;
        const QString path = dir.filePath(name);
        // A file that only bears a picture's name is passed over.
        if (QImageReader(path).canRead())
            return path;
    }
    return {};
}

QString RecordPicture(const Module1::DbFile& book, qint64 memberNo)
{
    const QString own = FirstPictureIn(RecordPreviewFolder(book, memberNo));
    return own.isEmpty() ? FirstPictureIn(CommonFolder(book)) : own;
}

} // namespace records
