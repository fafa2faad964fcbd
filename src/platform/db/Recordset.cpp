#include "platform/db/Recordset.h"

#include "platform/db/Connection.h"
#include "platform/db/Database.h"
#include "platform/db/StagedCopy.h"

#include <QDate>
#include <QDateTime>
#include <QHash>
#include <QMap>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QSet>
#include <algorithm>
#include <cmath>
#include <functional>
#include <limits>
#include <optional>
#include <vector>

namespace db {

namespace {

struct Column {
    QString name;
    Kind kind = Kind::Unknown;
    QString baseName;     // the base table's column it writes to; empty: read-only
    bool hidden = false;  // engine columns such as "_rowid"
    bool storedAsIs = false;  // the base table's value itself, no expression over it
    int size = 0;             // characters a text of the base field may hold; 0: no limit
};

// The copy of a snapshot lives in a temporary table of the connection.
struct TempTable {
    std::shared_ptr<Connection> conn;
    QString name;
    ~TempTable()
    {
        if (conn && conn->db)
            dropSnapshotTable(conn, name);
    }
};

QVariant fromStorage(const QVariant& v, Kind kind)
{
    if (v.isNull() || !v.isValid())
        return {};
    switch (kind) {
    case Kind::Boolean: return v.toLongLong() != 0;
    case Kind::Date: return QDate::fromString(v.toString(), Qt::ISODate);
    case Kind::DateTime: return QDateTime::fromString(v.toString(), Qt::ISODate);
    default: return v;
    }
}

QString baseFromSql(const QString& sql)
{
    static const QRegularExpression re(QStringLiteral("\\bFROM\\s+(\"([^\"]+)\"|([^\\s,;()]+))"),
                                       QRegularExpression::CaseInsensitiveOption);
    const auto m = re.match(sql);
    if (!m.hasMatch())
        return {};
    return m.captured(2).isEmpty() ? m.captured(3) : m.captured(2);
}

// Reads made together take the file's lock once, not once a statement; inside a transaction
// of the caller's they are part of it.
class ReadTogether {
public:
    explicit ReadTogether(sqlite3* db) : db_(db)
    {
        if (sqlite3_get_autocommit(db_))
            began_ = sqlite3_exec(db_, "BEGIN", nullptr, nullptr, nullptr) == SQLITE_OK;
    }
    ~ReadTogether()
    {
        if (began_ && !sqlite3_get_autocommit(db_) && sqlite3_exec(db_, "COMMIT", nullptr, nullptr, nullptr) != SQLITE_OK)
            sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
    }
    ReadTogether(const ReadTogether&) = delete;
    ReadTogether& operator=(const ReadTogether&) = delete;

private:
    sqlite3* db_;
    bool began_ = false;
};

} // namespace

struct RecordsetImpl {
    std::shared_ptr<Connection> conn;
    RecordsetType type = RecordsetType::Dynaset;
    bool open = true;
    bool updatable = false;
    QString baseTable;
    QString keySql;
    // Rows are read a page at a time: one statement (and one lock of the file) per page.
    QString pageSql;     // the row query with "IN (?1, ... ?kPage)" on the key
    int keyColumn = 0;   // where the page query gives each row's key
    QString pagePrefix;  // the row query without its key condition
    QString keyExpr;     // the key column in that query
    QString fromPart;    // what the row query reads: a table, a view, "(statement)" or the copy
    // Values bound to the "?" of an SQL source; they come first in every statement made from
    // it, so the engine's own key marks are numbered after them.
    QVariantList params;
    void bindParams(Stmt& s) const
    {
        for (int i = 0; i < params.size(); ++i)
            s.bind(i + 1, params[i]);
    }
    int keyMark(int i) const { return int(params.size()) + i + 1; }
    int firstValue = 0;  // where the page query's values begin
    std::shared_ptr<TempTable> snap;
    // Declared after snap, so that the copy's read ends before its table is dropped.
    std::shared_ptr<StagedCopy> staged;
    // Makes sure the rows before position upTo are in the copy.
    void need(int upTo) const
    {
        if (staged)
            staged->copyUpTo(upTo);
    }
    std::vector<Column> cols;
    QHash<QString, int> colIndex;  // case-folded name -> column
    QHash<QString, int> colExact;  // the name as the query spells it -> column (the usual case)
    std::vector<qint64> keys;
    // Where each key stands: by the key itself when the keys are dense (row ids mostly are),
    // else by a hash.
    mutable std::vector<int> keyPlace;
    mutable QHash<qint64, int> keyIndex;
    mutable bool keyIndexValid = false;
    int pos = -1;
    bool onDeleted = false;

    mutable std::vector<QVariant> row;
    mutable qint64 rowKey = 0;
    mutable quint64 rowGen = 0;
    mutable bool rowLoaded = false;
    // The page statement; a recordset opened from this one shares it (they read one at a time).
    mutable std::shared_ptr<Stmt> fetch;
    // Writes of the same shape (the same columns) reuse their prepared statement: a CSV import
    // adds thousands of rows.
    QHash<QByteArray, std::shared_ptr<Stmt>> writes;

    Stmt& writeStmt(EditMode m)
    {
        QByteArray shape(1, m == EditMode::Add ? 'A' : 'E');
        for (auto it = pending.constBegin(); it != pending.constEnd(); ++it)
            shape.append(reinterpret_cast<const char*>(&it.key()), sizeof(int));
        auto& slot = writes[shape];
        if (!slot) {
            QStringList names;
            for (auto it = pending.constBegin(); it != pending.constEnd(); ++it)
                names << quoteIdent(cols[size_t(it.key())].baseName);
            const QString table = quoteIdent(baseTable);
            QString sql;
            if (m == EditMode::Edit)
                sql = QStringLiteral("UPDATE %1 SET %2 = ? WHERE rowid = ?").arg(table, names.join(QStringLiteral(" = ?,")));
            else if (names.isEmpty())
                sql = QStringLiteral("INSERT INTO %1 DEFAULT VALUES").arg(table);
            else
                sql = QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                          .arg(table, names.join(QLatin1Char(',')),
                               QStringList(names.size(), QStringLiteral("?")).join(QLatin1Char(',')));
            slot = std::make_shared<Stmt>(conn->db, sql);
        }
        slot->reset();
        int i = 0;
        for (auto it = pending.constBegin(); it != pending.constEnd(); ++it)
            slot->bind(++i, it.value());
        return *slot;
    }

    EditMode mode = EditMode::None;
    QMap<int, QVariant> pending;  // column -> value to store, in column order
    Bookmark lastMod;
    bool noMatch = false;
    Criteria filter;

    int size() const { return int(keys.size()); }
    void checkOpen() const
    {
        if (!open || !conn || !conn->db)
            throw Error(err::ObjectClosed);
    }
    bool hasCurrent() const { return !onDeleted && pos >= 0 && pos < size(); }

    int column(const QString& name) const
    {
        if (const auto exact = colExact.constFind(name); exact != colExact.constEnd())
            return *exact;
        const auto it = colIndex.constFind(name.toCaseFolded());
        if (it == colIndex.constEnd())
            throw Error(err::ItemNotFound, name);
        return *it;
    }

    static constexpr int kPage = 64;
    mutable QHash<qint64, std::vector<QVariant>> page;
    mutable QSet<qint64> pageAsked;
    mutable quint64 pageGen = 0;

    // Reads the page of rows around keys[index]; a later write anywhere makes it stale.
    void loadPage(int index) const
    {
        if (!fetch)
            fetch = std::make_shared<Stmt>(conn->db, pageSql);
        page.clear();
        pageAsked.clear();
        const int from = qMax(0, qMin(index - kPage / 4, size() - kPage));
        const int to = qMin(size(), from + kPage);
        need(to);
        bindParams(*fetch);
        for (int i = 0; i < kPage; ++i) {
            const qint64 key = keys[size_t(from + i < to ? from + i : index)];
            fetch->bind(keyMark(i), key);
            pageAsked.insert(key);
        }
        try {
            while (fetch->step()) {
                std::vector<QVariant> values(cols.size());
                for (size_t c = 0; c < cols.size(); ++c)
                    values[c] = fetch->column(int(c) + firstValue, cols[c].kind);
                page.insert(fetch->int64(keyColumn), std::move(values));
            }
        } catch (...) {
            fetch->reset();
            page.clear();
            pageAsked.clear();
            throw;
        }
        fetch->reset();
        pageGen = g_generation.load(std::memory_order_relaxed);
    }

    // Puts the row keys[index] in the cache; false when the row no longer exists.
    bool fetchRow(int index) const
    {
        const qint64 key = keys[size_t(index)];
        const quint64 gen = g_generation.load(std::memory_order_relaxed);
        if (pageGen != gen || !pageAsked.contains(key))
            loadPage(index);
        const auto it = page.constFind(key);
        rowKey = key;
        rowGen = gen;
        rowLoaded = it != page.constEnd();
        if (rowLoaded)
            row = *it;
        return rowLoaded;
    }

    void ensureRow() const
    {
        if (onDeleted)
            throw Error(err::RecordDeleted);
        if (!hasCurrent())
            throw Error(err::NoCurrentRecord);
        const qint64 key = keys[size_t(pos)];
        if (rowLoaded && rowKey == key && rowGen == g_generation.load(std::memory_order_relaxed))
            return;
        if (!fetchRow(pos))
            throw Error(err::RecordDeleted);
    }

    // Steps past rows deleted elsewhere, in the direction of the move.
    void settle(int dir)
    {
        while (pos >= 0 && pos < size()) {
            if (fetchRow(pos))
                return;
            pos += dir;
        }
        if (pos < 0)
            pos = -1;
        if (pos > size())
            pos = size();
    }

    void leaveEdit()
    {
        mode = EditMode::None;
        pending.clear();
    }

    int indexOfKey(qint64 key) const
    {
        if (!keyIndexValid) {
            keyIndex.clear();
            keyPlace.clear();
            qint64 low = 0, high = -1;
            if (!keys.empty()) {
                const auto [lo, hi] = std::minmax_element(keys.begin(), keys.end());
                low = *lo;
                high = *hi;
            }
            if (low >= 0 && high <= 4 * qint64(size()) + 1024) {
                keyPlace.assign(size_t(high + 1), -1);
                for (int i = 0; i < size(); ++i)
                    keyPlace[size_t(keys[size_t(i)])] = i;
            } else {
                keyIndex.reserve(size());
                for (int i = 0; i < size(); ++i)
                    keyIndex.insert(keys[size_t(i)], i);
            }
            keyIndexValid = true;
        }
        if (!keyPlace.empty() || keyIndex.isEmpty())
            return key >= 0 && key < qint64(keyPlace.size()) ? keyPlace[size_t(key)] : -1;
        return keyIndex.value(key, -1);
    }

    // A key added at the end: the places known stay right.
    void noteAppended(qint64 key)
    {
        if (!keyIndexValid)
            return;
        if (!keyPlace.empty() && key >= 0 && key < qint64(keyPlace.size()))
            keyPlace[size_t(key)] = size() - 1;
        else if (keyPlace.empty() && !keyIndex.isEmpty())
            keyIndex.insert(key, size() - 1);
        else
            keyIndexValid = false;
    }

    // True when every one of these columns is a column of the base table as it is stored, so
    // that the table itself can be read for them.
    bool readsFromBase(const std::vector<int>& columns) const
    {
        return !snap && !baseTable.isEmpty()
               && std::all_of(columns.begin(), columns.end(), [&](int c) { return cols[size_t(c)].storedAsIs; });
    }

    // Reads those columns of every row of the base table in the table's own order, which needs
    // no index and no lookup a row, and hands each row of the recordset over with its position.
    // Values are at 1.. in the statement.
    void scanBase(const std::vector<int>& columns, const std::function<void(int, const Stmt&)>& visit) const
    {
        QStringList names;
        for (int c : columns)
            names << quoteIdent(cols[size_t(c)].baseName);
        const qint64 maxKey = keys.empty() ? -1 : *std::max_element(keys.begin(), keys.end());
        const bool dense = maxKey >= 0 && maxKey <= 4 * qint64(size()) + 1024;
        std::vector<int> placeOf(dense ? size_t(maxKey) + 1 : 0, -1);
        QHash<qint64, int> placeOfSparse;
        for (int i = 0; i < size(); ++i) {
            if (dense && keys[size_t(i)] >= 0)
                placeOf[size_t(keys[size_t(i)])] = i;
            else
                placeOfSparse.insert(keys[size_t(i)], i);
        }
        Stmt s(conn->db, QStringLiteral("SELECT rowid, %1 FROM %2").arg(names.join(QLatin1Char(',')), quoteIdent(baseTable)));
        while (s.step()) {
            const qint64 k = s.int64(0);
            const int place = dense && k >= 0 && k <= maxKey ? placeOf[size_t(k)] : placeOfSparse.value(k, -1);
            if (place >= 0)
                visit(place, s);
        }
    }

    void loadKeys()
    {
        keys.clear();
        keyIndexValid = false;
        Stmt s(conn->db, keySql);
        bindParams(s);
        while (s.step())
            keys.push_back(s.int64(0));
    }

    bool rowMatches(const Criteria& c) const
    {
        for (const Criterion& k : c)
            if (!matches(row[size_t(column(k.field))], k.op, k.value))
                return false;
        return true;
    }

    void validate(const Criteria& c) const
    {
        for (const Criterion& k : c)
            column(k.field);
    }

    // True when the base table's field holds a text or a binary value: then a numeric range
    // cannot stand for the comparison (such a value compares as text). With the field indexed,
    // this reads one entry of the index.
    bool baseHoldsText(const Column& col) const
    {
        Stmt& s = kept(QStringLiteral("SELECT 1 FROM %1 WHERE %2 >= '' LIMIT 1").arg(quoteIdent(baseTable), quoteIdent(col.baseName)));
        const auto resetAfter = qScopeGuard([&s] { s.reset(); });
        return s.step();
    }

    // A statement of the connection's, prepared the first time; reset after each use, and held
    // by no caller while another is asked for. A few dozen shapes are kept (each copy of a
    // snapshot has a name of its own, so they are let go now and then).
    Stmt& kept(const QString& sql) const
    {
        if (conn->statements.size() >= 64 && !conn->statements.contains(sql))
            conn->statements.clear();
        auto& slot = conn->statements[sql];
        if (!slot)
            slot = std::make_shared<Stmt>(conn->db, sql);
        return *slot;
    }

    // The keys of the rows that exist now and satisfy every criterion, in no particular order,
    // read with one bound statement. Each value is compared by kv_match exactly as a row read in
    // full is compared; for a number against a numeric field a range on the stored value comes
    // first, so that the field's index narrows the rows. nullopt: the statement could not be
    // built for this recordset (the caller then reads the rows).
    std::optional<std::vector<qint64>> matchedKeys(const Criteria& c) const
    {
        std::vector<qint64> found;
        if (!matchedRows(c, {}, [&](qint64 key, const Stmt&) { found.push_back(key); }))
            return std::nullopt;
        return found;
    }

    // The same statement reading the values of these columns too: each matching row is handed
    // over with its key, its values at 1.. in the statement. False: no statement for this
    // recordset, nothing handed over.
    bool matchedRows(const Criteria& c, const std::vector<int>& columns,
                     const std::function<void(qint64, const Stmt&)>& visit) const
    {
        need(size());
        // A statement with values of its own numbers its marks first: such a recordset is
        // scanned row by row instead.
        if (!params.isEmpty())
            return false;
        std::vector<MatchArg> args;
        args.reserve(size_t(c.size()));
        QStringList terms;
        QVariantList bounds;  // the range bounds, bound after the criteria
        for (const Criterion& k : c) {
            const Column& col = cols[size_t(column(k.field))];
            args.push_back(makeMatchArg(col.kind, k));
            const MatchArg& m = args.back();
            if (m.operandNull)
                return true;  // Null matches nothing
            const QString ref = quoteIdent(col.name);
            terms << QStringLiteral("kv_match(%1, ?%2)").arg(ref).arg(args.size());
            // The stored numbers a value read as a number near x can come from: an integer
            // field rounds a real it holds, so the range is half a unit wider.
            const bool ranged = m.number && k.op != Op::Ne && std::abs(m.x) < 4503599627370496.0
                                && (col.kind == Kind::Integer || col.kind == Kind::Real) && col.storedAsIs
                                && !snap && !baseTable.isEmpty() && !col.baseName.isEmpty();
            if (ranged && !baseHoldsText(col)) {
                // Numbered after the criteria, which take ?1 .. ?n.
                if (k.op == Op::Eq || k.op == Op::Ge || k.op == Op::Gt) {
                    terms << QStringLiteral("%1 >= ?%2").arg(ref).arg(c.size() + bounds.size() + 1);
                    bounds << m.x - 0.5;
                }
                if (k.op == Op::Eq || k.op == Op::Le || k.op == Op::Lt) {
                    terms << QStringLiteral("%1 <= ?%2").arg(ref).arg(c.size() + bounds.size() + 1);
                    bounds << m.x + 0.5;
                }
            }
        }
        QString selected = keyExpr;
        for (int col : columns)
            selected += QLatin1Char(',') + quoteIdent(cols[size_t(col)].name);
        const QString sql = QStringLiteral("SELECT %1 FROM %2 WHERE %3").arg(selected, fromPart, terms.join(QStringLiteral(" AND ")));
        Stmt* s = nullptr;
        try {
            s = &kept(sql);
        } catch (const Error&) {
            conn->statements.remove(sql);
            return false;
        }
        // The criteria are bound by address: unbound again before they go.
        const auto resetAfter = qScopeGuard([s] { s->reset(); });
        for (size_t i = 0; i < args.size(); ++i)
            if (sqlite3_bind_pointer(s->raw(), int(i) + 1, const_cast<MatchArg*>(&args[i]), kMatchArgType, nullptr) != SQLITE_OK)
                return false;
        for (int i = 0; i < bounds.size(); ++i)
            s->bind(int(c.size()) + i + 1, bounds[i]);
        while (s->step())
            visit(s->int64(0), *s);
        return true;
    }

    // The positions in this recordset of those keys, in its order.
    std::vector<int> positionsOf(const std::vector<qint64>& found) const
    {
        std::vector<int> at;
        at.reserve(found.size());
        for (const qint64 k : found)
            if (const int p = indexOfKey(k); p >= 0)
                at.push_back(p);
        std::sort(at.begin(), at.end());
        at.erase(std::unique(at.begin(), at.end()), at.end());
        return at;
    }

    // Scans from index `from` in direction `dir` for the first row matching c.
    bool find(const Criteria& c, int from, int dir)
    {
        checkOpen();
        validate(c);
        leaveEdit();
        const ReadTogether together(conn->db);
        // The rows of the page that holds the start are compared first: a match close by (the
        // next one of a few) is found without going through the whole book.
        const int start = from;
        for (int i = start; i >= 0 && i < size(); i += dir) {
            const bool inPage = pageGen == g_generation.load(std::memory_order_relaxed) && pageAsked.contains(keys[size_t(i)]);
            if (i != start && !inPage)
                break;
            from = i + dir;  // the first row not compared yet
            if (fetchRow(i) && rowMatches(c)) {
                pos = i;
                onDeleted = false;
                noMatch = false;
                return true;
            }
        }
        if (!c.isEmpty() && from >= 0 && from < size()) {
            if (const auto found = matchedKeys(c)) {
                int best = -1;
                for (const qint64 k : *found) {
                    const int p = indexOfKey(k);
                    if (p < 0 || (dir > 0 ? p < from : p > from))
                        continue;
                    if (best < 0 || (dir > 0 ? p < best : p > best))
                        best = p;
                }
                if (best >= 0 && fetchRow(best)) {
                    pos = best;
                    onDeleted = false;
                    noMatch = false;
                    return true;
                }
                if (best < 0) {
                    noMatch = true;
                    return false;
                }
                from = best;  // gone meanwhile: read on from there
            }
        }
        for (int i = from; i >= 0 && i < size(); i += dir) {
            if (fetchRow(i) && rowMatches(c)) {
                pos = i;
                onDeleted = false;
                noMatch = false;
                return true;
            }
        }
        noMatch = true;
        return false;
    }
};

// ---- opening ----

Recordset Database::openRecordset(const QString& source, RecordsetType type) const
{
    return openRecordset(source, type, {});
}

Recordset Database::openRecordset(const QString& source, RecordsetType type, const QVariantList& params) const
{
    return open(source, type, params, false);
}

Recordset Database::openSnapshotInSteps(const QString& source, const QString& countSql) const
{
    return open(source, RecordsetType::Snapshot, {}, true, countSql);
}

Recordset Database::open(const QString& source, RecordsetType type, const QVariantList& params, bool inSteps,
                         const QString& countSql) const
{
    if (!conn_ || !conn_->db)
        throw Error(err::ObjectClosed);
    Connection& c = *conn_;
    auto d = std::make_shared<RecordsetImpl>();
    d->conn = conn_;
    d->type = type;

    const QString trimmed = source.trimmed();
    const bool isSql = trimmed.startsWith(QLatin1String("SELECT"), Qt::CaseInsensitive)
                       || trimmed.startsWith(QLatin1String("WITH"), Qt::CaseInsensitive);
    QString rowSql, keySql, pagePrefix, keyExpr, fromPart, base;
    bool isTable = false;

    auto queryBase = [&](const QString& name) -> QString {
        if (!hasObject(QStringLiteral("_query_base")))
            return {};
        Stmt s(c.db, QStringLiteral("SELECT base FROM \"_query_base\" WHERE query = ? COLLATE NOCASE"));
        s.bind(1, name);
        return s.step() ? s.column(0, Kind::Text).toString() : QString();
    };

    if (!isSql && !params.isEmpty())
        throw Error(err::InvalidArgument, source);
    d->params = params;
    if (!isSql) {
        Stmt s(c.db, QStringLiteral("SELECT type, name FROM sqlite_master WHERE type IN ('table','view') "
                                    "AND name = ? COLLATE NOCASE"));
        s.bind(1, trimmed);
        if (!s.step())
            throw Error(err::ObjectNotFound, source);
        isTable = s.column(0, Kind::Text).toString() == QLatin1String("table");
        const QString name = s.column(1, Kind::Text).toString();
        if (isTable) {
            base = name;
            // Key order: the primary key when the table has one, else the order rows were added.
            QStringList pk;
            {
                Stmt ti(c.db, QStringLiteral("SELECT name, pk FROM pragma_table_info(?) WHERE pk > 0 ORDER BY pk"));
                ti.bind(1, name);
                while (ti.step())
                    pk << quoteIdent(ti.column(0, Kind::Text).toString());
            }
            const QString order = pk.isEmpty() ? QStringLiteral("rowid") : pk.join(QLatin1Char(','));
            rowSql = QStringLiteral("SELECT rowid AS _rowid, * FROM %1 ORDER BY %2").arg(quoteIdent(name), order);
            keySql = QStringLiteral("SELECT rowid FROM %1 ORDER BY %2").arg(quoteIdent(name), order);
            pagePrefix = QStringLiteral("SELECT rowid AS _rowid, * FROM %1").arg(quoteIdent(name));
            fromPart = quoteIdent(name);
            keyExpr = QStringLiteral("rowid");
        } else {
            if (type == RecordsetType::Table)
                throw Error(err::InvalidOperation, source);
            base = queryBase(name);
            rowSql = QStringLiteral("SELECT * FROM %1").arg(quoteIdent(name));
            keySql = QStringLiteral("SELECT \"_rowid\" FROM %1").arg(quoteIdent(name));
            pagePrefix = QStringLiteral("SELECT * FROM %1").arg(quoteIdent(name));
            fromPart = quoteIdent(name);
            keyExpr = QStringLiteral("\"_rowid\"");
        }
    } else {
        if (type == RecordsetType::Table)
            throw Error(err::InvalidOperation, source);
        rowSql = trimmed;
        const QString from = baseFromSql(trimmed);
        base = from.isEmpty() ? QString() : queryBase(from);
        keySql = QStringLiteral("SELECT \"_rowid\" FROM (%1)").arg(trimmed);
        pagePrefix = QStringLiteral("SELECT * FROM (%1)").arg(trimmed);
        fromPart = QStringLiteral("(%1)").arg(trimmed);
        keyExpr = QStringLiteral("\"_rowid\"");
    }

    // Columns, their kinds and where each one writes to.
    struct BaseColumn {
        QString name;
        Kind kind;
        int size;
    };
    QHash<QString, BaseColumn> baseCols;
    if (!base.isEmpty()) {
        Stmt ti(c.db, QStringLiteral("SELECT name, type FROM pragma_table_info(?)"));
        ti.bind(1, base);
        while (ti.step()) {
            const QString n = ti.column(0, Kind::Text).toString();
            const QByteArray decl = ti.column(1, Kind::Text).toString().toUtf8();
            baseCols.insert(n.toCaseFolded(), {n, kindFromDeclType(decl.constData()), sizeFromDeclType(decl.constData())});
        }
    }
    bool keyed = false;
    {
        Stmt s(c.db, rowSql);
        for (int i = 0; i < s.columnCount(); ++i) {
            Column col;
            col.name = s.columnName(i);
            col.kind = s.columnKind(i);
            col.hidden = col.name.startsWith(QLatin1Char('_'));
            if (col.name.compare(QLatin1String("_rowid"), Qt::CaseInsensitive) == 0 && i == 0)
                keyed = true;
            const char* origin = sqlite3_column_table_name(s.raw(), i);
            const bool fromBase = !origin || base.compare(QString::fromUtf8(origin), Qt::CaseInsensitive) == 0;
            const auto it = baseCols.constFind(col.name.toCaseFolded());
            if (!col.hidden && fromBase && it != baseCols.constEnd()) {
                col.baseName = it->name;
                col.storedAsIs = origin != nullptr;
                col.size = it->size;
                if (col.kind == Kind::Unknown)
                    col.kind = it->kind;
            }
            if (!col.hidden && !d->colIndex.contains(col.name.toCaseFolded())) {
                d->colIndex.insert(col.name.toCaseFolded(), int(d->cols.size()));
                d->colExact.insert(col.name, int(d->cols.size()));
            }
            d->cols.push_back(col);
        }
    }

    // A query wider than a step takes is copied whole now.
    inSteps = inSteps && int(d->cols.size()) <= kStagedColumns;
    if (type == RecordsetType::Snapshot || !keyed) {
        // Copy the rows now: later writes do not reach this recordset.
        auto t = std::make_shared<TempTable>();
        t->conn = conn_;
        t->name = QStringLiteral("_snap_%1").arg(++c.snapshotCounter);
        if (inSteps) {
            {
                Stmt make(c.db, QStringLiteral("CREATE TEMP TABLE %1 AS SELECT * FROM (%2) LIMIT 0").arg(quoteIdent(t->name), rowSql));
                d->bindParams(make);
                make.step();
            }
            auto staged = std::make_shared<StagedCopy>(conn_, t->name, int(d->cols.size()));
            staged->source = std::make_unique<Stmt>(c.db, rowSql);
            d->bindParams(*staged->source);
            // The first row takes the read that the count and the rest of the copy share.
            staged->start();
            if (!countSql.isEmpty()) {
                Stmt count(c.db, countSql);
                staged->total = count.step() ? int(count.int64(0)) : 0;
            } else {
                Stmt count(c.db, QStringLiteral("SELECT count(*) FROM (%1)").arg(rowSql));
                d->bindParams(count);
                staged->total = count.step() ? int(count.int64(0)) : 0;
            }
            if (!staged->haveRow)
                staged->release();
            d->staged = staged;
        } else {
            Stmt copy(c.db, QStringLiteral("CREATE TEMP TABLE %1 AS %2").arg(quoteIdent(t->name), rowSql));
            d->bindParams(copy);
            copy.step();
        }
        d->params.clear();  // the copy is read from here on
        d->snap = t;
        keySql = QStringLiteral("SELECT rowid FROM temp.%1 ORDER BY rowid").arg(quoteIdent(t->name));
        pagePrefix = QStringLiteral("SELECT rowid, * FROM temp.%1").arg(quoteIdent(t->name));
        fromPart = QStringLiteral("temp.%1").arg(quoteIdent(t->name));
        keyExpr = QStringLiteral("rowid");
        d->firstValue = 1;  // the copy's own rowid comes first
        for (Column& col : d->cols)
            col.baseName.clear();
        base.clear();
    }
    d->baseTable = base;
    d->keySql = keySql;
    d->pagePrefix = pagePrefix;
    d->keyExpr = keyExpr;
    d->fromPart = fromPart;
    QStringList marks;
    for (int i = 0; i < RecordsetImpl::kPage; ++i)
        marks << QStringLiteral("?%1").arg(d->keyMark(i));
    d->pageSql = QStringLiteral("%1 WHERE %2 IN (%3)").arg(pagePrefix, keyExpr, marks.join(QLatin1Char(',')));
    d->updatable = !base.isEmpty() && !c.readOnly;
    if (d->staged) {
        // The copy numbers its rows 1, 2, ... in the query's order.
        d->keys.resize(size_t(d->staged->total));
        for (int i = 0; i < d->staged->total; ++i)
            d->keys[size_t(i)] = i + 1;
    } else {
        d->loadKeys();
    }
    if (!d->keys.empty()) {
        d->pos = 0;
        d->settle(+1);
    }
    return Recordset(d);
}

// ---- the recordset ----

RecordsetImpl& Recordset::impl() const
{
    if (!d)
        throw Error(err::ObjectClosed);
    d->checkOpen();
    return *d;
}

bool Recordset::isOpen() const { return d && d->open && d->conn && d->conn->db; }
RecordsetType Recordset::type() const { return impl().type; }
bool Recordset::updatable() const { return impl().updatable; }

void Recordset::close()
{
    if (!d)
        return;
    d->open = false;
    d->fetch.reset();
    d->staged.reset();
    d->snap.reset();
    d->keys.clear();
    d.reset();
}

bool Recordset::bof() const
{
    const auto& r = impl();
    return r.size() == 0 || r.pos < 0;
}

bool Recordset::eof() const
{
    const auto& r = impl();
    return r.size() == 0 || r.pos >= r.size();
}

int Recordset::recordCount() const { return impl().size(); }

int Recordset::absolutePosition() const
{
    const auto& r = impl();
    return r.hasCurrent() ? r.pos : -1;
}

void Recordset::setAbsolutePosition(int position)
{
    auto& r = impl();
    if (position < 0 || position >= r.size())
        throw Error(err::InvalidArgument, QString::number(position));
    r.leaveEdit();
    r.onDeleted = false;
    r.pos = position;
    r.settle(+1);
}

void Recordset::moveFirst()
{
    auto& r = impl();
    if (r.size() == 0)
        throw Error(err::NoCurrentRecord);
    r.leaveEdit();
    r.onDeleted = false;
    r.pos = 0;
    r.settle(+1);
}

void Recordset::moveLast()
{
    auto& r = impl();
    if (r.size() == 0)
        throw Error(err::NoCurrentRecord);
    r.leaveEdit();
    r.onDeleted = false;
    r.pos = r.size() - 1;
    r.settle(-1);
}

void Recordset::moveNext()
{
    auto& r = impl();
    // After deleting the last row, the next move reaches the end, as it did on the old engine.
    if (eof() && !r.onDeleted)
        throw Error(err::NoCurrentRecord);
    r.leaveEdit();
    if (r.onDeleted)
        r.onDeleted = false;  // the row after the deleted one already stands at this index
    else
        ++r.pos;
    r.settle(+1);
}

void Recordset::movePrevious()
{
    auto& r = impl();
    if (bof())
        throw Error(err::NoCurrentRecord);
    r.leaveEdit();
    r.onDeleted = false;
    --r.pos;
    r.settle(-1);
}

void Recordset::move(int rows)
{
    auto& r = impl();
    if (!r.hasCurrent())
        throw Error(err::NoCurrentRecord);
    r.leaveEdit();
    if (rows == 0) {
        r.rowLoaded = false;
        r.pageGen = 0;  // read the row again
        r.ensureRow();
        return;
    }
    const qint64 target = qint64(r.pos) + rows;
    r.pos = target < 0 ? -1 : (target >= r.size() ? r.size() : int(target));
    r.settle(rows > 0 ? +1 : -1);
}

Bookmark Recordset::bookmark() const
{
    const auto& r = impl();
    if (!r.hasCurrent())
        throw Error(err::NoCurrentRecord);
    return Bookmark{r.keys[size_t(r.pos)], true};
}

Bookmark Recordset::bookmarkAt(int position) const
{
    const auto& r = impl();
    if (position < 0 || position >= r.size())
        return Bookmark{};
    return Bookmark{r.keys[size_t(position)], true};
}

void Recordset::setBookmark(const Bookmark& b)
{
    auto& r = impl();
    const int i = b.valid ? r.indexOfKey(b.key) : -1;
    if (i < 0)
        throw Error(err::InvalidBookmark);
    r.leaveEdit();
    r.onDeleted = false;
    r.pos = i;
    if (!r.fetchRow(i))
        throw Error(err::RecordDeleted);
}

Bookmark Recordset::lastModified() const
{
    const auto& r = impl();
    if (!r.lastMod.valid)
        throw Error(err::NoCurrentRecord);
    return r.lastMod;
}

QStringList Recordset::fieldNames() const
{
    QStringList names;
    for (const auto& c : impl().cols)
        if (!c.hidden)
            names << c.name;
    return names;
}

bool Recordset::hasField(const QString& name) const { return impl().colIndex.contains(name.toCaseFolded()); }

QVariant Recordset::value(const QString& field) const
{
    const auto& r = impl();
    const int i = r.column(field);
    if (r.mode == EditMode::Add)
        return fromStorage(r.pending.value(i), r.cols[size_t(i)].kind);
    if (r.mode == EditMode::Edit && r.pending.contains(i))
        return fromStorage(r.pending.value(i), r.cols[size_t(i)].kind);
    r.ensureRow();
    return r.row[size_t(i)];
}

QString TextOf(const QVariant& v)
{
    if (v.isNull())
        return {};
    if (v.typeId() == QMetaType::QDate)
        return v.toDate().toString(QStringLiteral("yyyy/MM/dd"));
    if (v.typeId() == QMetaType::Bool)
        return v.toBool() ? QStringLiteral("True") : QStringLiteral("False");
    return v.toString();
}

QString Recordset::text(const QString& field) const { return TextOf(value(field)); }

bool Recordset::isNull(const QString& field) const { return value(field).isNull(); }

void Recordset::edit()
{
    auto& r = impl();
    if (!r.updatable)
        throw Error(err::ReadOnly);
    r.leaveEdit();
    r.ensureRow();
    r.mode = EditMode::Edit;
}

void Recordset::addNew()
{
    auto& r = impl();
    if (!r.updatable)
        throw Error(err::ReadOnly);
    r.leaveEdit();
    r.mode = EditMode::Add;
}

void Recordset::setValue(const QString& field, const QVariant& value)
{
    auto& r = impl();
    if (r.mode == EditMode::None)
        throw Error(err::NotInEditMode);
    const int i = r.column(field);
    const Column& c = r.cols[size_t(i)];
    if (c.baseName.isEmpty())
        throw Error(err::FieldNotUpdatable, field);
    QVariant stored = toStorage(value, c.kind);
    // Only what is assigned is measured: a longer text stored before stays as it is.
    checkTextSize(stored, c.size, field);
    r.pending.insert(i, std::move(stored));
}

void Recordset::update()
{
    auto& r = impl();
    if (r.mode == EditMode::None)
        throw Error(err::NotInEditMode);
    const bool changes = !r.pending.isEmpty();
    if (r.mode == EditMode::Edit) {
        const qint64 key = r.keys[size_t(r.pos)];
        if (changes) {
            Stmt& s = r.writeStmt(EditMode::Edit);
            s.bind(int(r.pending.size()) + 1, key);
            const auto resetAfter = qScopeGuard([&s] { s.reset(); });
            s.step();
            bumpGeneration();
            if (sqlite3_changes(r.conn->db) == 0)
                throw Error(err::RecordDeleted);
        }
        r.lastMod = Bookmark{key, true};
        r.leaveEdit();
        if (r.type == RecordsetType::Table && changes) {
            r.loadKeys();  // a changed key moves the row to its place
            r.pos = r.indexOfKey(key);
        }
        return;
    }

    {
        Stmt& s = r.writeStmt(EditMode::Add);
        const auto resetAfter = qScopeGuard([&s] { s.reset(); });
        s.step();
    }
    bumpGeneration();
    const qint64 key = sqlite3_last_insert_rowid(r.conn->db);
    r.lastMod = Bookmark{key, true};
    r.leaveEdit();
    if (r.type == RecordsetType::Table) {
        const qint64 current = r.hasCurrent() ? r.keys[size_t(r.pos)] : 0;
        const bool atEnd = r.pos >= r.size();
        const bool had = r.hasCurrent();
        r.loadKeys();
        r.pos = had ? r.indexOfKey(current) : (atEnd ? r.size() : -1);
    } else {
        // A reused rowid means its earlier row is gone: keep one entry, the new row's.
        if (const int earlier = r.indexOfKey(key); earlier >= 0) {
            r.keys.erase(r.keys.begin() + earlier);
            r.keyIndexValid = false;
            if (r.pos > earlier)
                --r.pos;
        }
        const bool atEnd = r.pos >= r.size();
        r.keys.push_back(key);
        r.noteAppended(key);
        if (atEnd)
            r.pos = r.size();
    }
}

void Recordset::cancelUpdate() { impl().leaveEdit(); }

void Recordset::deleteRecord()
{
    auto& r = impl();
    if (!r.updatable)
        throw Error(err::ReadOnly);
    if (!r.hasCurrent())
        throw Error(err::NoCurrentRecord);
    r.leaveEdit();
    const qint64 key = r.keys[size_t(r.pos)];
    Stmt s(r.conn->db, QStringLiteral("DELETE FROM %1 WHERE rowid = ?").arg(quoteIdent(r.baseTable)));
    s.bind(1, key);
    s.step();
    bumpGeneration();
    const bool gone = sqlite3_changes(r.conn->db) > 0;
    r.keys.erase(r.keys.begin() + r.pos);
    r.keyIndexValid = false;
    r.onDeleted = true;
    r.rowLoaded = false;
    if (!gone)
        throw Error(err::RecordDeleted);
}

EditMode Recordset::editMode() const { return impl().mode; }

bool Recordset::findFirst(const Criteria& c) { return impl().find(c, 0, +1); }

bool Recordset::findNext(const Criteria& c)
{
    auto& r = impl();
    const int from = r.pos < 0 ? 0 : (r.onDeleted ? r.pos : r.pos + 1);
    return r.find(c, from, +1);
}

bool Recordset::findLast(const Criteria& c) { return impl().find(c, impl().size() - 1, -1); }

bool Recordset::findPrevious(const Criteria& c)
{
    auto& r = impl();
    const int from = r.pos >= r.size() ? r.size() - 1 : r.pos - 1;
    return r.find(c, from, -1);
}

bool Recordset::noMatch() const { return impl().noMatch; }

void Recordset::setFilter(const Criteria& c)
{
    auto& r = impl();
    r.validate(c);
    r.filter = c;
}

Criteria Recordset::filter() const { return impl().filter; }

Recordset Recordset::openRecordset() const
{
    const auto& r = impl();
    r.need(r.size());
    auto n = std::make_shared<RecordsetImpl>();
    n->conn = r.conn;
    n->type = r.type == RecordsetType::Table ? RecordsetType::Dynaset : r.type;
    n->updatable = r.updatable;
    n->baseTable = r.baseTable;
    n->keySql = r.keySql;
    n->pageSql = r.pageSql;
    n->keyColumn = r.keyColumn;
    n->pagePrefix = r.pagePrefix;
    n->params = r.params;
    n->keyExpr = r.keyExpr;
    n->firstValue = r.firstValue;
    n->fromPart = r.fromPart;
    n->fetch = r.fetch;
    n->snap = r.snap;
    n->cols = r.cols;
    n->colIndex = r.colIndex;
    n->colExact = r.colExact;
    const ReadTogether together(r.conn->db);
    std::optional<std::vector<qint64>> found;
    if (!r.filter.isEmpty())
        found = r.matchedKeys(r.filter);
    if (found) {
        // The matching rows in this recordset's order, as reading every row would keep them.
        const std::vector<int> at = r.positionsOf(*found);
        n->keys.reserve(at.size());
        for (const int p : at)
            n->keys.push_back(r.keys[size_t(p)]);
    } else {
        n->keys = r.keys;
    }
    if (!r.filter.isEmpty() && !found) {
        std::vector<qint64> kept;
        for (int i = 0; i < n->size(); ++i)
            if (n->fetchRow(i) && n->rowMatches(r.filter))
                kept.push_back(n->keys[size_t(i)]);
        n->keys = std::move(kept);
        n->page.clear();
        n->pageAsked.clear();
    }
    if (!n->keys.empty()) {
        n->pos = 0;
        n->settle(+1);
    }
    return Recordset(n);
}

bool Recordset::copyMore(int rows)
{
    auto& r = impl();
    if (!r.staged || r.staged->done)
        return false;
    r.staged->copyUpTo(int(std::min<qint64>(qint64(r.staged->copied) + std::max(0, rows), r.size())));
    return !r.staged->done;
}

QList<QVariantList> Recordset::readColumns(const QStringList& fields) const
{
    return readColumns(fields, 0, impl().size());
}

QList<QVariantList> Recordset::readColumns(const QStringList& fields, int from, int count) const
{
    const auto& r = impl();
    from = qBound(0, from, r.size());
    const int end = int(std::min<qint64>(qint64(from) + std::max(0, count), r.size()));
    r.need(end);
    std::vector<int> cols;
    QStringList exprs;
    for (const QString& f : fields) {
        const int c = r.column(f);
        cols.push_back(c);
        exprs << quoteIdent(r.cols[size_t(c)].name);
    }
    const QString key = r.firstValue == 1 ? QStringLiteral("rowid") : QStringLiteral("\"_rowid\"");
    QList<QVariantList> out;
    out.reserve(end - from);
    auto readRow = [&](const Stmt& s) {
        QVariantList values;
        values.reserve(qsizetype(cols.size()));
        for (size_t k = 0; k < cols.size(); ++k)
            values << s.column(int(k) + 1, r.cols[size_t(cols[k])].kind);
        return values;
    };

    // Rows the recordset has just read (the page around its current record, read at open) are
    // not read again.
    if (from < end && r.pageGen == g_generation.load(std::memory_order_relaxed)) {
        bool cached = true;
        for (int i = from; i < end && cached; ++i)
            cached = r.pageAsked.contains(r.keys[size_t(i)]);
        if (cached) {
            for (int i = from; i < end; ++i) {
                const auto it = r.page.constFind(r.keys[size_t(i)]);
                QVariantList values;  // empty when the row is gone
                if (it != r.page.constEnd()) {
                    values.reserve(qsizetype(cols.size()));
                    for (int c : cols)
                        values << (*it)[size_t(c)];
                }
                out << values;
            }
            return out;
        }
    }

    if (from == 0 && end == r.size() && r.size() > 2048 && r.readsFromBase(cols)) {
        out.resize(r.size());  // a row deleted elsewhere keeps its empty list
        r.scanBase(cols, [&](int place, const Stmt& s) { out[place] = readRow(s); });
        return out;
    }

    if (from == 0 && end == r.size() && r.size() > 2048) {
        // Most of the records: one pass over the row query in its own order, which is the
        // recordset's order unless rows were added since; anything else is matched by key.
        Stmt s(r.conn->db, QStringLiteral("SELECT %1, %2 FROM (%3)").arg(key, exprs.join(QLatin1Char(',')), r.pagePrefix));
        r.bindParams(s);
        QHash<qint64, QVariantList> strays;
        int next = 0;
        while (s.step()) {
            const qint64 k = s.int64(0);
            if (next < r.size() && r.keys[size_t(next)] == k) {
                out << readRow(s);
                ++next;
                while (next < r.size() && strays.contains(r.keys[size_t(next)]))
                    out << strays.take(r.keys[size_t(next++)]);
            } else {
                strays.insert(k, readRow(s));
            }
        }
        for (; next < r.size(); ++next)
            out << strays.take(r.keys[size_t(next)]);  // empty when the row is gone
        return out;
    }

    constexpr int kChunk = 256;
    QStringList marks;
    for (int i = 0; i < kChunk; ++i)
        marks << QStringLiteral("?%1").arg(r.keyMark(i));
    const QString sql = QStringLiteral("SELECT %1, %2 FROM (%3) WHERE %1 IN (%4)")
                            .arg(key, exprs.join(QLatin1Char(',')), r.pagePrefix, marks.join(QLatin1Char(',')));
    // Prepared once for the connection: a page of the list window reads through it every time.
    Stmt& s = r.kept(sql);
    const auto resetAfter = qScopeGuard([&s] { s.reset(); });
    QHash<qint64, QVariantList> chunk;
    for (int first = from; first < end; first += kChunk) {
        const int to = qMin(end, first + kChunk);
        s.reset();
        r.bindParams(s);
        for (int i = 0; i < kChunk; ++i)
            s.bind(r.keyMark(i), r.keys[size_t(first + i < to ? first + i : first)]);
        chunk.clear();
        while (s.step())
            chunk.insert(s.int64(0), readRow(s));
        for (int i = first; i < to; ++i)
            out << chunk.value(r.keys[size_t(i)]);
    }
    return out;
}

QByteArrayView ScannedRow::storedText(int i) const
{
    if (!stmt_ || (*kinds_)[size_t(i)] != Kind::Text)
        return {};
    sqlite3_stmt* raw = stmt_->raw();
    if (sqlite3_column_type(raw, i + 1) != SQLITE_TEXT)
        return {};
    const char* text = reinterpret_cast<const char*>(sqlite3_column_text(raw, i + 1));
    if (!text)
        return QByteArrayView("", 0);  // an empty text is still a text
    return QByteArrayView(text, sqlite3_column_bytes(raw, i + 1));
}

QVariant ScannedRow::value(int i) const
{
    if (stmt_)
        return stmt_->column(i + 1, (*kinds_)[size_t(i)]);
    return values_->value(i);
}

void Recordset::scanColumns(const QStringList& fields, const std::function<void(int, const ScannedRow&)>& visit) const
{
    const auto& r = impl();
    r.need(r.size());
    std::vector<int> cols;
    std::vector<Kind> kinds;
    for (const QString& f : fields) {
        cols.push_back(r.column(f));
        kinds.push_back(r.cols[size_t(cols.back())].kind);
    }
    ScannedRow row;
    if (r.size() > 2048 && r.readsFromBase(cols)) {
        row.kinds_ = &kinds;
        r.scanBase(cols, [&](int place, const Stmt& s) {
            row.stmt_ = &s;
            visit(place, row);
        });
        return;
    }
    const QList<QVariantList> rows = readColumns(fields);
    for (int i = 0; i < rows.size(); ++i) {
        if (rows[i].isEmpty())
            continue;  // deleted elsewhere
        row.values_ = &rows[i];
        visit(i, row);
    }
}

std::vector<int> Recordset::positionsWhere(const QStringList& fields,
                                           const std::function<bool(const QVariantList&)>& matches) const
{
    const auto& r = impl();
    r.need(r.size());
    std::vector<int> cols;
    for (const QString& f : fields)
        cols.push_back(r.column(f));
    std::vector<int> found;
    if (r.size() > 2048 && r.readsFromBase(cols)) {
        // One row's values at a time; only the places of the matches are kept.
        QVariantList values;
        r.scanBase(cols, [&](int place, const Stmt& s) {
            values.clear();
            for (size_t k = 0; k < cols.size(); ++k)
                values << s.column(int(k) + 1, r.cols[size_t(cols[k])].kind);
            if (matches(values))
                found.push_back(place);
        });
        std::sort(found.begin(), found.end());
        return found;
    }
    const QList<QVariantList> rows = readColumns(fields);
    for (int i = 0; i < rows.size(); ++i)
        if (!rows[i].isEmpty() && matches(rows[i]))
            found.push_back(i);
    return found;
}

std::vector<int> Recordset::positionsWhereText(const QString& field, const std::function<bool(QByteArrayView)>& matchesText,
                                               const std::function<bool(const QVariantList&)>& matches) const
{
    std::vector<int> found;
    QVariantList values;
    scanColumns({field}, [&](int place, const ScannedRow& row) {
        const QByteArrayView text = row.storedText(0);
        bool match;
        if (text.data()) {
            match = matchesText(text);
        } else {
            values.clear();
            values << row.value(0);
            match = matches(values);
        }
        if (match)
            found.push_back(place);
    });
    std::sort(found.begin(), found.end());
    return found;
}

std::vector<PlacedRow> Recordset::readWhere(const Criteria& c, const QStringList& fields, int from) const
{
    const auto& r = impl();
    r.need(r.size());
    r.validate(c);
    std::vector<int> cols;
    for (const QString& f : fields)
        cols.push_back(r.column(f));
    from = qMax(0, from);
    std::vector<PlacedRow> out;
    if (from >= r.size())
        return out;
    const ReadTogether together(r.conn->db);
    const bool bound = !c.isEmpty() && r.matchedRows(c, cols, [&](qint64 key, const Stmt& s) {
        const int place = r.indexOfKey(key);
        if (place < from)
            return;  // before the start, or added elsewhere after the recordset was opened
        QVariantList values;
        values.reserve(qsizetype(cols.size()));
        for (size_t k = 0; k < cols.size(); ++k)
            values << s.column(int(k) + 1, r.cols[size_t(cols[k])].kind);
        out.push_back(PlacedRow{place, std::move(values)});
    });
    if (bound) {
        std::sort(out.begin(), out.end(), [](const PlacedRow& a, const PlacedRow& b) { return a.position < b.position; });
        return out;
    }
    // Row by row: the criteria's fields are read after the ones asked for.
    QStringList read = fields;
    for (const Criterion& k : c)
        read << k.field;
    const QList<QVariantList> rows = readColumns(read, from, r.size() - from);
    for (int i = 0; i < rows.size(); ++i) {
        const QVariantList& row = rows[i];
        if (row.isEmpty())
            continue;
        bool all = true;
        for (qsizetype k = 0; k < c.size() && all; ++k)
            all = matches(row[fields.size() + k], c[k].op, c[k].value);
        if (all)
            out.push_back(PlacedRow{from + i, row.mid(0, fields.size())});
    }
    return out;
}

} // namespace db
