#include "platform/db/StagedCopy.h"

#include <QStringList>
#include <algorithm>
#include <cstring>
#include <limits>
#include <new>
#include <vector>

namespace db {

int g_stagedCopies = 0;

namespace {

std::vector<StagedCopy*> g_staged;

struct PendingDrop {
    std::weak_ptr<Connection> conn;  // a closed connection takes its temporary tables with it
    QString table;
};
std::vector<PendingDrop> g_pendingDrops;

bool copyingOn(const Connection* conn)
{
    return std::any_of(g_staged.begin(), g_staged.end(), [&](const StagedCopy* s) { return s->conn.get() == conn; });
}

// False while another read of the connection keeps the table.
bool dropNow(sqlite3* db, const QString& table)
{
    char* msg = nullptr;
    const int rc = sqlite3_exec(db, ("DROP TABLE IF EXISTS temp." + quoteIdent(table).toUtf8()).constData(), nullptr,
                                nullptr, &msg);
    sqlite3_free(msg);
    return (rc & 0xff) != SQLITE_LOCKED;
}

// The tables of a connection left to drop once its copies are done.
void dropPending(const Connection* conn)
{
    std::vector<PendingDrop> mine;
    for (auto it = g_pendingDrops.begin(); it != g_pendingDrops.end();) {
        const std::shared_ptr<Connection> c = it->conn.lock();
        if (!c || c.get() == conn) {
            if (c)
                mine.push_back(std::move(*it));
            it = g_pendingDrops.erase(it);
        } else {
            ++it;
        }
    }
    for (PendingDrop& d : mine) {
        const std::shared_ptr<Connection> c = d.conn.lock();
        if (c && c->db && !dropNow(c->db, d.table))
            g_pendingDrops.push_back(std::move(d));  // tried again when the next copy is done
    }
}

constexpr const char* kCopyPointerType = "kv_staged_copy";

// kv_staged(copy, upto): the rows of a copy's open query from the one it stands on, as long as
// fewer than upto are copied. Columns c0, c1, ... are the query's. Eponymous: nothing to create
// or drop, and no schema change while a copy's read is open.
struct Cursor {
    sqlite3_vtab_cursor base;  // first, as SQLite requires
    StagedCopy* copy = nullptr;
    qint64 upTo = 0;
};

int stagedConnect(sqlite3* db, void*, int, const char* const*, sqlite3_vtab** out, char**)
{
    QByteArray schema = "CREATE TABLE x(";
    for (int i = 0; i < kStagedColumns; ++i)
        schema += 'c' + QByteArray::number(i) + ',';
    schema += "copy HIDDEN, upto HIDDEN)";
    const int rc = sqlite3_declare_vtab(db, schema.constData());
    if (rc != SQLITE_OK)
        return rc;
    auto* t = static_cast<sqlite3_vtab*>(sqlite3_malloc(sizeof(sqlite3_vtab)));
    if (!t)
        return SQLITE_NOMEM;
    std::memset(t, 0, sizeof *t);
    *out = t;
    return SQLITE_OK;
}

int stagedDisconnect(sqlite3_vtab* t)
{
    sqlite3_free(t);
    return SQLITE_OK;
}

int stagedBestIndex(sqlite3_vtab*, sqlite3_index_info* info)
{
    int copyAt = -1;
    int upToAt = -1;
    for (int i = 0; i < info->nConstraint; ++i) {
        const auto& c = info->aConstraint[i];
        if (!c.usable || c.op != SQLITE_INDEX_CONSTRAINT_EQ)
            continue;
        if (c.iColumn == kStagedColumns)
            copyAt = i;
        else if (c.iColumn == kStagedColumns + 1)
            upToAt = i;
    }
    if (copyAt < 0 || upToAt < 0)
        return SQLITE_CONSTRAINT;
    info->aConstraintUsage[copyAt].argvIndex = 1;
    info->aConstraintUsage[copyAt].omit = 1;
    info->aConstraintUsage[upToAt].argvIndex = 2;
    info->aConstraintUsage[upToAt].omit = 1;
    info->estimatedCost = 1;
    return SQLITE_OK;
}

int stagedOpen(sqlite3_vtab*, sqlite3_vtab_cursor** out)
{
    auto* c = new (std::nothrow) Cursor;
    if (!c)
        return SQLITE_NOMEM;
    *out = &c->base;
    return SQLITE_OK;
}

int stagedClose(sqlite3_vtab_cursor* cur)
{
    delete reinterpret_cast<Cursor*>(cur);
    return SQLITE_OK;
}

int stagedFilter(sqlite3_vtab_cursor* cur, int, const char*, int argc, sqlite3_value** argv)
{
    auto* c = reinterpret_cast<Cursor*>(cur);
    c->copy = argc == 2 ? static_cast<StagedCopy*>(sqlite3_value_pointer(argv[0], kCopyPointerType)) : nullptr;
    c->upTo = argc == 2 ? sqlite3_value_int64(argv[1]) : 0;
    return SQLITE_OK;
}

int stagedNext(sqlite3_vtab_cursor* cur)
{
    auto* c = reinterpret_cast<Cursor*>(cur);
    const int rc = c->copy->advance();
    if (rc != SQLITE_OK) {
        sqlite3_free(cur->pVtab->zErrMsg);
        cur->pVtab->zErrMsg = sqlite3_mprintf("%s", sqlite3_errmsg(c->copy->conn->db));
    }
    return rc;
}

int stagedEof(sqlite3_vtab_cursor* cur)
{
    const auto* c = reinterpret_cast<const Cursor*>(cur);
    return !c->copy || !c->copy->haveRow || c->copy->copied >= c->upTo;
}

int stagedColumn(sqlite3_vtab_cursor* cur, sqlite3_context* ctx, int i)
{
    const StagedCopy* copy = reinterpret_cast<const Cursor*>(cur)->copy;
    if (i >= copy->columns)
        return SQLITE_OK;  // Null
    // Each value by its own kind. A text or BLOB is handed over without a copy: SQLite reads it
    // into the row it inserts before the step moves the query on (stagedNext), and the query's
    // value stays as it is until then.
    sqlite3_value* v = copy->values[size_t(i)];
    switch (sqlite3_value_type(v)) {
    case SQLITE_INTEGER:
        sqlite3_result_int64(ctx, sqlite3_value_int64(v));
        break;
    case SQLITE_FLOAT:
        sqlite3_result_double(ctx, sqlite3_value_double(v));
        break;
    case SQLITE_TEXT: {
        const auto* text = reinterpret_cast<const char*>(sqlite3_value_text(v));
        sqlite3_result_text(ctx, text, sqlite3_value_bytes(v), SQLITE_STATIC);
        break;
    }
    case SQLITE_BLOB: {
        // An empty BLOB reads as a null pointer, and a null pointer handed back stores Null.
        const void* blob = sqlite3_value_blob(v);
        if (blob)
            sqlite3_result_blob(ctx, blob, sqlite3_value_bytes(v), SQLITE_STATIC);
        else
            sqlite3_result_zeroblob(ctx, 0);
        break;
    }
    default:
        break;  // Null
    }
    return SQLITE_OK;
}

int stagedRowid(sqlite3_vtab_cursor* cur, sqlite3_int64* rowid)
{
    *rowid = reinterpret_cast<const Cursor*>(cur)->copy->copied + 1;
    return SQLITE_OK;
}

const sqlite3_module kStagedModule = {
    0,                 // iVersion
    nullptr,           // xCreate: eponymous only
    stagedConnect,     // xConnect
    stagedBestIndex,   // xBestIndex
    stagedDisconnect,  // xDisconnect
    stagedDisconnect,  // xDestroy
    stagedOpen,        // xOpen
    stagedClose,       // xClose
    stagedFilter,      // xFilter
    stagedNext,        // xNext
    stagedEof,         // xEof
    stagedColumn,      // xColumn
    stagedRowid,       // xRowid
    nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
};

} // namespace

void registerStagedCopies(sqlite3* db) { sqlite3_create_module_v2(db, "kv_staged", &kStagedModule, nullptr, nullptr); }

void dropSnapshotTable(const std::shared_ptr<Connection>& conn, const QString& table)
{
    if (copyingOn(conn.get()) || !dropNow(conn->db, table))
        g_pendingDrops.push_back({conn, table});
}

void finishStagedCopies()
{
    const std::vector<StagedCopy*> pending = g_staged;
    for (StagedCopy* copy : pending) {
        if (std::find(g_staged.begin(), g_staged.end(), copy) == g_staged.end())
            continue;  // finished meanwhile
        try {
            copy->copyUpTo(std::numeric_limits<int>::max());
        } catch (const Error&) {
            // Kept as the copy's failure: the rows it could not copy fail when they are read.
        }
    }
}

StagedCopy::StagedCopy(std::shared_ptr<Connection> c, const QString& into, int columnCount)
    : conn(std::move(c)), table(into), columns(columnCount)
{
    g_staged.push_back(this);
    ++g_stagedCopies;
    QStringList names;
    for (int i = 0; i < columns; ++i)
        names << QStringLiteral("c%1").arg(i);
    const QByteArray sql = QStringLiteral("INSERT INTO temp.%1 SELECT %2 FROM kv_staged(?1, ?2)")
                               .arg(quoteIdent(table), names.join(QLatin1Char(',')))
                               .toUtf8();
    if (sqlite3_prepare_v2(conn->db, sql.constData(), int(sql.size()), &insert, nullptr) != SQLITE_OK) {
        const int rc = sqlite3_extended_errcode(conn->db);
        release();
        raise(conn->db, rc, QStringLiteral("snapshot"));
    }
}

void StagedCopy::release()
{
    if (insert)
        sqlite3_finalize(insert);
    insert = nullptr;
    source.reset();
    if (!done) {
        done = true;
        g_staged.erase(std::remove(g_staged.begin(), g_staged.end(), this), g_staged.end());
        --g_stagedCopies;
        if (conn && !copyingOn(conn.get()))
            dropPending(conn.get());
    }
}

void StagedCopy::takeRow()
{
    // SQLite hands out a row's values as the elements of one array of the statement, filled again
    // by the next row: they are looked up again only when that array moves.
    sqlite3_stmt* s = source->raw();
    if (columns <= 0)
        return;
    if (values.empty() || sqlite3_column_value(s, 0) != values.front()
        || sqlite3_column_value(s, columns - 1) != values.back()) {
        values.resize(size_t(columns));
        for (int i = 0; i < columns; ++i)
            values[size_t(i)] = sqlite3_column_value(s, i);
    }
}

bool StagedCopy::start()
{
    haveRow = source->step();
    if (haveRow)
        takeRow();
    return haveRow;
}

int StagedCopy::advance()
{
    ++copied;
    const int rc = sqlite3_step(source->raw());
    haveRow = rc == SQLITE_ROW;
    if (haveRow)
        takeRow();
    if (rc == SQLITE_ROW || rc == SQLITE_DONE)
        return SQLITE_OK;
    // Told as the query's own read tells it.
    try {
        raise(conn->db, sqlite3_extended_errcode(conn->db));
    } catch (const Error& e) {
        sourceFailure = e;
    }
    return rc;
}

void StagedCopy::copyUpTo(int n)
{
    if (done) {
        if (failure && n > copied)
            throw *failure;
        return;
    }
    if (copied < n && haveRow) {
        // One statement for the step; on its own it is one transaction (of the temporary table
        // only), inside a transaction of the caller's part of it.
        sqlite3_bind_pointer(insert, 1, this, kCopyPointerType, nullptr);
        sqlite3_bind_int64(insert, 2, n);
        const int rc = sqlite3_step(insert);
        if (rc != SQLITE_DONE) {
            std::optional<Error> e = sourceFailure;
            if (!e) {
                try {
                    raise(conn->db, sqlite3_extended_errcode(conn->db), QStringLiteral("snapshot"));
                } catch (const Error& insertFailure) {
                    e = insertFailure;
                }
            }
            sqlite3_reset(insert);
            // The failed statement's rows are not in the copy; the rows before it are.
            sqlite3_stmt* count = nullptr;
            const QByteArray sql = "SELECT count(*) FROM temp." + quoteIdent(table).toUtf8();
            if (sqlite3_prepare_v2(conn->db, sql.constData(), int(sql.size()), &count, nullptr) == SQLITE_OK
                && sqlite3_step(count) == SQLITE_ROW)
                copied = sqlite3_column_int(count, 0);
            sqlite3_finalize(count);
            failure = *e;
            release();
            throw *e;
        }
        sqlite3_reset(insert);
    }
    if (!haveRow)
        release();
}

} // namespace db
