#pragma once
// The database engine: the operations the windows use of the old engine, over SQLite files.

#include "platform/db/Error.h"
#include "platform/db/Recordset.h"

#include <QString>
#include <QVariantList>
#include <memory>

struct sqlite3;

namespace db {

struct Connection;

enum class OpenMode { ReadWrite, ReadOnly };

class Database {
public:
    Database() = default;

    // Opens an existing file. A missing path fails with 3024 and creates nothing; a file that is
    // not a database (or is truncated or damaged) fails with 3049.
    static Database open(const QString& path, OpenMode mode = OpenMode::ReadWrite);

    // A write that was cut off (the program or the machine stopped) leaves a hot journal, and a
    // read-only open refuses the book until a writer has rolled it back. Does that roll-back now,
    // as the first read of a read-write open would; true when it was done. Books without a hot
    // journal are left untouched, and one that cannot be written stays as it is.
    static bool rollBackHotJournal(const QString& path);

    bool isOpen() const;
    QString path() const;

    // source: a table name, a saved query name, or an SQL statement beginning with SELECT.
    Recordset openRecordset(const QString& source, RecordsetType type = RecordsetType::Dynaset) const;
    // An SQL statement with its "?" bound to params, in order (nothing pasted into its text).
    Recordset openRecordset(const QString& source, RecordsetType type, const QVariantList& params) const;

    // A snapshot whose copy is made in steps: the first rows at once, the rest as they are read or
    // as copyMore() is called. It holds the rows as they were at its opening all the same: any
    // write in the process first finishes the copy. Otherwise as openRecordset(source, Snapshot).
    // countSql, when given, counts the source's rows faster than counting the source itself
    // (the caller vouches that it counts the same rows); it is read in the same read as the copy.
    Recordset openSnapshotInSteps(const QString& source, const QString& countSql = {}) const;

    // Runs a statement with bound values; returns the number of rows changed.
    int execute(const QString& sql, const QVariantList& params = {}) const;

    // The first value of the first row of a query with bound values; invalid when no row.
    QVariant scalar(const QString& sql, const QVariantList& params = {}) const;

    // Nested transactions are allowed; a rollback undoes the innermost level.
    void beginTrans() const;
    void commitTrans() const;
    void rollback() const;
    int transactionLevel() const;

    // True when a table or saved query of that name exists.
    bool hasObject(const QString& name) const;

    // Closes this handle; recordsets opened from it keep the connection until they go.
    void close();

    sqlite3* handle() const;
    bool operator==(const Database& o) const { return conn_ == o.conn_; }

private:
    Recordset open(const QString& source, RecordsetType type, const QVariantList& params, bool inSteps,
                   const QString& countSql = {}) const;
    explicit Database(std::shared_ptr<Connection> c) : conn_(std::move(c)) {}
    std::shared_ptr<Connection> conn_;
};

} // namespace db
