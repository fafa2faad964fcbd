#include "platform/db/Database.h"
#include "platform/db/StagedCopy.h"

#include "platform/db/Connection.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace db {

namespace {

quint32 be32(const unsigned char* p) { return (quint32(p[0]) << 24) | (quint32(p[1]) << 16) | (quint32(p[2]) << 8) | p[3]; }

// SQLite would happily treat an empty file as an empty database and cannot tell a truncated
// file until it reads past the end: look at the header first.
void checkHeader(const QString& path)
{
    // Opened without blocking and looked at before anything is read: a FIFO, socket or device
    // named like a book would otherwise wait for ever for a writer.
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        const int e = errno;
        if (e == EACCES || e == EPERM)
            throw Error(err::NoPermission, path);
        if (e == ENOENT || e == ENOTDIR)
            throw Error(err::FileNotFound, path);
        throw Error(err::NotADatabase, path + QStringLiteral(": ") + QString::fromLocal8Bit(std::strerror(e)));
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        throw Error(err::NotADatabase, path + QStringLiteral(": 通常のファイルではありません"));
    }
    QFile f;
    if (!f.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        throw Error(err::NotADatabase, path);
    }
    const qint64 size = f.size();
    const QByteArray h = f.read(100);
    if (h.size() < 100 || !h.startsWith(QByteArrayLiteral("SQLite format 3\0")))
        throw Error(err::NotADatabase, path);
    const auto* p = reinterpret_cast<const unsigned char*>(h.constData());
    quint32 pageSize = (quint32(p[16]) << 8) | p[17];
    if (pageSize == 1)
        pageSize = 65536;
    if (pageSize < 512 || (pageSize & (pageSize - 1)))
        throw Error(err::NotADatabase, path);
    const quint32 pages = be32(p + 28);
    const bool pagesValid = pages > 0 && be32(p + 92) == be32(p + 96);
    if (size < qint64(pageSize) || (pagesValid && size < qint64(pages) * pageSize))
        throw Error(err::NotADatabase, path);
}

// The extended result of reading the schema through a connection opened with these flags.
int schemaReadResult(const QString& path, int flags)
{
    sqlite3* h = nullptr;
    int rc = sqlite3_open_v2(QFile::encodeName(path).constData(), &h, flags | SQLITE_OPEN_NOMUTEX, nullptr);
    if (rc == SQLITE_OK) {
        sqlite3_extended_result_codes(h, 1);
        sqlite3_busy_timeout(h, 3000);
        rc = sqlite3_exec(h, "SELECT count(*) FROM sqlite_master", nullptr, nullptr, nullptr);
    }
    sqlite3_close_v2(h);
    return rc;
}

} // namespace

bool Database::rollBackHotJournal(const QString& path)
{
    const QFileInfo book(path);
    const QFileInfo journal(path + QStringLiteral("-journal"));
    if (!book.isFile() || !journal.isFile() || journal.size() == 0)
        return false;
    // Only a file that is a database is handed to SQLite here: beside anything else it would
    // take the journal for stale and delete it.
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly) || f.size() < 512 || !f.read(16).startsWith(QByteArrayLiteral("SQLite format 3\0")))
        return false;
    f.close();
    // SQLite alone tells a hot journal from one that another connection's open write holds.
    if (schemaReadResult(path, SQLITE_OPEN_READONLY) != SQLITE_READONLY_ROLLBACK)
        return false;
    return schemaReadResult(path, SQLITE_OPEN_READWRITE) == SQLITE_OK;
}

Database Database::open(const QString& path, OpenMode mode)
{
    const QFileInfo fi(path);
    if (path.isEmpty() || !fi.exists() || fi.isDir())
        throw Error(err::FileNotFound, path);
    checkHeader(path);  // regular, readable files only

    auto c = std::make_shared<Connection>();
    c->path = fi.absoluteFilePath();
    c->readOnly = mode == OpenMode::ReadOnly;
    const int flags = (c->readOnly ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE) | SQLITE_OPEN_NOMUTEX;
    const int rc = sqlite3_open_v2(QFile::encodeName(path).constData(), &c->db, flags, nullptr);
    if (rc != SQLITE_OK) {
        const int ext = c->db ? sqlite3_extended_errcode(c->db) : rc;
        if ((ext & 0xff) == SQLITE_CANTOPEN)
            throw Error(QFileInfo::exists(path) ? err::NoPermission : err::FileNotFound, path);
        raise(c->db, ext, path);
    }
    sqlite3_extended_result_codes(c->db, 1);
    sqlite3_busy_timeout(c->db, 3000);
    registerFunctions(c->db);
    registerStagedCopies(c->db);
    // A book's seven indexes outgrow the default page cache on a large import.
    sqlite3_exec(c->db, "PRAGMA cache_size = -32768", nullptr, nullptr, nullptr);
    try {
        // Reading the schema is where a damaged file shows itself.
        Stmt s(c->db, QStringLiteral("SELECT count(*) FROM sqlite_master"));
        s.step();
    } catch (const Error& e) {
        throw Error(e.number() == err::Other ? err::NotADatabase : e.number(), path);
    }
    return Database(std::move(c));
}

bool Database::isOpen() const { return conn_ && conn_->db; }

QString Database::path() const { return conn_ ? conn_->path : QString(); }

sqlite3* Database::handle() const { return conn_ ? conn_->db : nullptr; }

static Connection& need(const std::shared_ptr<Connection>& c)
{
    if (!c || !c->db)
        throw Error(err::Other, QStringLiteral("database is closed"));
    return *c;
}

int Database::execute(const QString& sql, const QVariantList& params) const
{
    Connection& c = need(conn_);
    Stmt s(c.db, sql);
    s.bindAll(params);
    while (s.step()) {
    }
    const int changed = sqlite3_changes(c.db);
    bumpGeneration();
    return changed;
}

QVariant Database::scalar(const QString& sql, const QVariantList& params) const
{
    Connection& c = need(conn_);
    Stmt s(c.db, sql);
    s.bindAll(params);
    return s.step() ? s.column(0, s.columnKind(0)) : QVariant();
}

void Database::beginTrans() const
{
    Connection& c = need(conn_);
    if (c.txLevel == 0)
        execSql(c.db, QStringLiteral("BEGIN IMMEDIATE"));
    else
        execSql(c.db, QStringLiteral("SAVEPOINT kv_%1").arg(c.txLevel));
    ++c.txLevel;
}

void Database::commitTrans() const
{
    Connection& c = need(conn_);
    if (c.txLevel == 0)
        throw Error(err::NotInTransaction);
    if (c.txLevel == 1)
        execSql(c.db, QStringLiteral("COMMIT"));
    else
        execSql(c.db, QStringLiteral("RELEASE kv_%1").arg(c.txLevel - 1));
    --c.txLevel;
}

void Database::rollback() const
{
    Connection& c = need(conn_);
    if (c.txLevel == 0)
        throw Error(err::NotInTransaction);
    if (c.txLevel == 1) {
        execSql(c.db, QStringLiteral("ROLLBACK"));
    } else {
        const QString sp = QStringLiteral("kv_%1").arg(c.txLevel - 1);
        execSql(c.db, QStringLiteral("ROLLBACK TO ") + sp);
        execSql(c.db, QStringLiteral("RELEASE ") + sp);
    }
    --c.txLevel;
    bumpGeneration();
}

int Database::transactionLevel() const { return conn_ ? conn_->txLevel : 0; }

bool Database::hasObject(const QString& name) const
{
    Connection& c = need(conn_);
    Stmt s(c.db, QStringLiteral("SELECT 1 FROM sqlite_master WHERE type IN ('table','view') AND name = ?"));
    s.bind(1, name);
    return s.step();
}

void Database::close()
{
    if (conn_ && conn_->txLevel > 0) {
        try {
            execSql(conn_->db, QStringLiteral("ROLLBACK"));
        } catch (const Error&) {
        }
        conn_->txLevel = 0;
    }
    conn_.reset();
}

} // namespace db
