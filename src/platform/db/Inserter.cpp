#include "platform/db/Inserter.h"

#include "platform/db/Connection.h"

#include <QHash>
#include <QScopeGuard>
#include <QStringEncoder>
#include <exception>
#include <unordered_map>
#include <vector>

namespace db {

namespace {
// The text a converted value holds, without a copy.
const QString& textOf(const QVariant& v) { return *static_cast<const QString*>(v.constData()); }
} // namespace

struct InserterImpl {
    Database database;  // declared first, so that it is closed after the statements are finalised
    sqlite3* db = nullptr;
    QString table;
    std::vector<QString> names;
    std::vector<Kind> kinds;
    std::vector<int> sizes;  // characters a text may hold; 0: no limit
    QHash<QString, int> exact;
    QHash<QString, int> folded;

    std::vector<QVariant> values;
    std::vector<char> set;  // one flag a field; also the key of the row's shape
    std::unordered_map<std::string, std::unique_ptr<Stmt>> statements;

    // Texts of the row in UTF-8, bound without another copy: SQLite reads them during the step.
    std::vector<char> utf8;
    // Stateless: a text ending in half a surrogate pair must not spill into the next one.
    QStringEncoder encoder{QStringEncoder::Utf8, QStringConverter::Flag::Stateless};

    QStringList droppedIndexes;  // their CREATE statements
    int unwindingAtStart = std::uncaught_exceptions();

    void dropSecondaryIndexes()
    {
        QStringList names, creates;
        {
            Stmt list(db, QStringLiteral("SELECT m.name, m.sql FROM sqlite_master AS m JOIN pragma_index_list(?1) AS i "
                                         "ON i.name = m.name WHERE m.type = 'index' AND m.sql IS NOT NULL AND i.\"unique\" = 0"));
            list.bind(1, table);
            while (list.step()) {
                names << list.column(0, Kind::Text).toString();
                creates << list.column(1, Kind::Text).toString();
            }
        }
        for (int i = 0; i < names.size(); ++i) {
            execSql(db, QStringLiteral("DROP INDEX %1").arg(quoteIdent(names[i])));
            droppedIndexes << creates[i];
        }
    }

    void rebuildIndexes()
    {
        if (droppedIndexes.isEmpty())
            return;
        // Building an index sorts the whole table. Sorted in small runs and merged (what a small
        // page cache makes the engine do), on a few worker threads of its own, it takes a good
        // deal less time than sorted in one piece.
        const QVariant cache = database.scalar(QStringLiteral("PRAGMA cache_size"));
        execSql(db, QStringLiteral("PRAGMA cache_size = -2048"));
        execSql(db, QStringLiteral("PRAGMA threads = 4"));
        const auto restore = qScopeGuard([&] {
            try {
                execSql(db, QStringLiteral("PRAGMA cache_size = %1").arg(cache.toLongLong()));
                execSql(db, QStringLiteral("PRAGMA threads = 0"));
            } catch (const Error&) {
                // Left as they are, they cost only speed.
            }
        });
        while (!droppedIndexes.isEmpty()) {
            execSql(db, droppedIndexes.first());
            droppedIndexes.removeFirst();
        }
    }

    Stmt& statementFor(const std::string& shape)
    {
        auto& slot = statements[shape];
        if (!slot) {
            QStringList cols, marks;
            for (size_t i = 0; i < shape.size(); ++i) {
                if (shape[i]) {
                    cols << quoteIdent(names[i]);
                    marks << QStringLiteral("?");
                }
            }
            const QString sql = cols.isEmpty()
                                    ? QStringLiteral("INSERT INTO %1 DEFAULT VALUES").arg(quoteIdent(table))
                                    : QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                                          .arg(quoteIdent(table), cols.join(QLatin1Char(',')), marks.join(QLatin1Char(',')));
            slot = std::make_unique<Stmt>(db, sql);
        }
        return *slot;
    }

    void clear()
    {
        std::fill(set.begin(), set.end(), 0);
        for (QVariant& v : values)
            v = QVariant();
    }
};

Inserter::Inserter(const Database& database, const QString& table, Indexes indexes) : d(std::make_unique<InserterImpl>())
{
    if (!database.isOpen())
        throw Error(err::ObjectClosed);
    if (!database.hasObject(table))
        throw Error(err::ObjectNotFound, table);
    d->database = database;
    d->db = database.handle();
    d->table = table;
    Stmt s(d->db, QStringLiteral("SELECT * FROM %1 LIMIT 0").arg(quoteIdent(table)));
    for (int i = 0; i < s.columnCount(); ++i) {
        const QString name = s.columnName(i);
        // Hidden columns (the row key) are the engine's own.
        if (name.startsWith(QLatin1Char('_')))
            continue;
        const int index = int(d->names.size());
        d->names.push_back(name);
        d->kinds.push_back(s.columnKind(i));
        d->sizes.push_back(sizeFromDeclType(sqlite3_column_decltype(s.raw(), i)));
        d->exact.insert(name, index);
        if (!d->folded.contains(name.toCaseFolded()))
            d->folded.insert(name.toCaseFolded(), index);
    }
    d->values.resize(d->names.size());
    d->set.assign(d->names.size(), 0);
    // Only inside a transaction: the indexes come back with a rollback, whatever happens.
    if (indexes == Indexes::RebuiltAtFinish && database.transactionLevel() > 0) {
        try {
            d->dropSecondaryIndexes();
        } catch (const Error&) {
            // A statement still reading the table keeps its indexes: load row by row instead.
            d->rebuildIndexes();
        }
    }
}

Inserter::~Inserter()
{
    // Gone while an error unwinds: the caller's rollback brings the indexes back, and building
    // them over rows about to be thrown away would only keep the user waiting.
    if (!d || std::uncaught_exceptions() > d->unwindingAtStart)
        return;
    try {
        d->rebuildIndexes();
    } catch (const Error&) {
        // The caller's rollback brings them back.
    }
}

void Inserter::finish() { d->rebuildIndexes(); }
Inserter::Inserter(Inserter&&) noexcept = default;

int Inserter::field(const QString& name) const
{
    if (const auto it = d->exact.constFind(name); it != d->exact.constEnd())
        return *it;
    if (const auto it = d->folded.constFind(name.toCaseFolded()); it != d->folded.constEnd())
        return *it;
    throw Error(err::ItemNotFound, name);
}

void Inserter::setValue(int field, const QVariant& value)
{
    if (field < 0 || size_t(field) >= d->names.size())
        throw Error(err::ItemNotFound, QString::number(field));
    QVariant stored = toStorage(value, d->kinds[size_t(field)]);
    checkTextSize(stored, d->sizes[size_t(field)], d->names[size_t(field)]);
    d->values[size_t(field)] = std::move(stored);
    d->set[size_t(field)] = 1;
}

void Inserter::clear() { d->clear(); }

qint64 Inserter::insert()
{
    InserterImpl& r = *d;
    const auto clearAfter = qScopeGuard([&r] { r.clear(); });
    const std::string shape(r.set.begin(), r.set.end());
    Stmt& s = r.statementFor(shape);
    // Every parameter is bound again for each row: a reset without clearing the bindings will do.
    const auto resetAfter = qScopeGuard([&s] { sqlite3_reset(s.raw()); });

    // Every text of the row is encoded into one buffer first, so that no pointer bound moves.
    qsizetype room = 0;
    for (size_t i = 0; i < r.values.size(); ++i)
        if (r.set[i] && r.values[i].typeId() == QMetaType::QString)
            room += r.encoder.requiredSpace(textOf(r.values[i]).size());
    if (r.utf8.size() < size_t(room) + 1)
        r.utf8.resize(size_t(room) + 1);
    char* out = r.utf8.data();
    int param = 0;
    for (size_t i = 0; i < r.values.size(); ++i) {
        if (!r.set[i])
            continue;
        ++param;
        const QVariant& v = r.values[i];
        if (v.typeId() != QMetaType::QString) {
            s.bind(param, v);
            continue;
        }
        char* begin = out;
        out = r.encoder.appendToBuffer(out, textOf(v));
        const int rc = sqlite3_bind_text64(s.raw(), param, begin, sqlite3_uint64(out - begin), SQLITE_STATIC, SQLITE_UTF8);
        if (rc != SQLITE_OK)
            raise(r.db, rc);
    }
    s.step();
    bumpGeneration();
    return sqlite3_last_insert_rowid(r.db);
}

} // namespace db
