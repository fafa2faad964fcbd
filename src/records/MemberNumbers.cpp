#include "records/MemberNumbers.h"

#include "platform/db/Schema.h"

#include <QDir>
#include <QFileInfo>

#include <sqlite3.h>

namespace records {

bool MemberNoInUse(const db::Database& book, qint64 memberNo)
{
    sqlite3* handle = book.handle();
    if (!handle)
        throw db::Error(db::err::ObjectClosed);
    QString table = db::schema::personTableName();
    table.replace(u'"', QStringLiteral("\"\""));
    const QByteArray sql = QStringLiteral("SELECT 1 FROM \"%1\" WHERE \"会員NO\" = ?1 LIMIT 1").arg(table).toUtf8();
    sqlite3_stmt* stmt = nullptr;
    if (sqlite3_prepare_v2(handle, sql.constData(), int(sql.size()), &stmt, nullptr) != SQLITE_OK)
        throw db::Error(db::err::Other, QString::fromUtf8(sqlite3_errmsg(handle)));
    sqlite3_bind_int64(stmt, 1, memberNo);
    const int rc = sqlite3_step(stmt);
    const QString message = QString::fromUtf8(sqlite3_errmsg(handle));
    sqlite3_finalize(stmt);
    if (rc != SQLITE_ROW && rc != SQLITE_DONE)
        throw db::Error(db::err::Other, message);
    return rc == SQLITE_ROW;
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
