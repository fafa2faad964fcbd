#include "records/MemberNumbers.h"

#include "platform/db/Schema.h"

#include <QDir>
#include <QFileInfo>


namespace records {

bool MemberNoInUse(const db::Database& book, qint64 memberNo)
{
    if (!book.isOpen())
        throw db::Error(db::err::ObjectClosed);
    // Through the unique index on the number, the number bound.
    QString table = db::schema::personTableName();
    table.replace(u'"', QStringLiteral("\"\""));
    return book.scalar(QStringLiteral("SELECT 1 FROM \"%1\" WHERE \"会員NO\" = ? LIMIT 1").arg(table), {memberNo}).isValid();
}

bool RecordFolderTaken(const Module1::DbFile& book, qint64 memberNo)
{
    return !book.DataFolder.isEmpty() && QFileInfo::exists(Module1::RecordFolderPath(book, memberNo));
}

FolderRename RenameRecordFolder(const Module1::DbFile& book, qint64 oldNo, qint64 newNo)
{
    if (book.DataFolder.isEmpty())
        return FolderRename::NoFolder;
    const QString from = Module1::RecordFolderPath(book, oldNo);
    const QString to = Module1::RecordFolderPath(book, newNo);
    if (!QFileInfo(from).isDir())
        return FolderRename::NoFolder;
    if (QFileInfo::exists(to))
        return FolderRename::Taken;
    return QDir().rename(from, to) ? FolderRename::Renamed : FolderRename::Failed;
}

} // namespace records
