#pragma once
// Internal to the engine: one SQLite connection, statements and value conversion.

#include "platform/db/Criteria.h"
#include "platform/db/Error.h"

#include <QString>
#include <QVariant>
#include <QHash>
#include <atomic>
#include <memory>
#include <sqlite3.h>

namespace db {

// Storage kind of a column, from its declared type.
enum class Kind { Unknown, Text, Integer, Real, Boolean, Date, DateTime, Blob };
Kind kindFromDeclType(const char* decl);

// Any write anywhere in the process moves this on, so cached rows know to read again.
extern std::atomic<quint64> g_generation;
inline void bumpGeneration() { g_generation.fetch_add(1, std::memory_order_relaxed); }

class Stmt;

// Snapshots copied in steps keep a read of their query open until the copy is done. Any write in
// the process first finishes them, so that no copy takes in a change made after its opening.
extern int g_stagedCopies;
void finishStagedCopies();
inline void beforeWrite()
{
    if (g_stagedCopies > 0)
        finishStagedCopies();
}

struct Connection {
    sqlite3* db = nullptr;
    // Statements run again and again with other values (filters and finds), prepared once.
    QHash<QString, std::shared_ptr<Stmt>> statements;
    QString path;
    bool readOnly = false;
    int txLevel = 0;
    int snapshotCounter = 0;
    ~Connection();
};

// Turns a failed SQLite call into the engine's error.
[[noreturn]] void raise(sqlite3* db, int rc, const QString& context = {});

// A prepared statement; finalised when it goes.
class Stmt {
public:
    Stmt(sqlite3* db, const QString& sql);
    ~Stmt();
    Stmt(const Stmt&) = delete;
    Stmt& operator=(const Stmt&) = delete;

    void bind(int index1, const QVariant& v);
    void bindAll(const QVariantList& params);
    // True when a row is ready, false when done.
    bool step();
    void reset();
    int columnCount() const;
    QString columnName(int i) const;
    Kind columnKind(int i) const;
    QVariant column(int i, Kind kind) const;
    qint64 int64(int i) const { return sqlite3_column_int64(s_, i); }
    sqlite3_stmt* raw() const { return s_; }

private:
    sqlite3* db_;
    sqlite3_stmt* s_ = nullptr;
};

void execSql(sqlite3* db, const QString& sql);

// A value handed to a function of the engine's, converted as Stmt::column converts it.
QVariant storedValue(sqlite3_value* v, Kind kind);

// The size of a text field from its declared type ("VARCHAR(255)": 255); 0 when it has none.
int sizeFromDeclType(const char* decl);
// Characters of a text as the old engine counted them: a surrogate pair is one.
qsizetype characterCount(const QString& text);
// Refuses a stored text longer than size characters with 3163 (size 0: no limit).
void checkTextSize(const QVariant& stored, int size, const QString& field);

// One criterion as the function kv_match(value, criterion) reads it: the criterion is bound to
// the statement as a pointer, so that its value keeps its own type (a date stays a date) and is
// compared by compareValues, exactly as a row read into the recordset is.
struct MatchArg {
    Kind kind = Kind::Unknown;  // of the column, as the recordset reads it
    Op op = Op::Eq;
    QVariant operand;
    bool operandNull = false;
    bool number = false;  // the operand read as a number against a number (compareValues' first rule)
    double x = 0;
};
MatchArg makeMatchArg(Kind kind, const Criterion& c);
inline constexpr const char* kMatchArgType = "kv_match_arg";

// Gives a new connection the functions bound criteria use.
void registerFunctions(sqlite3* db);

// Converts a value for storage in a column of the given kind (3421 when it cannot be held).
QVariant toStorage(const QVariant& v, Kind kind);

QString quoteIdent(const QString& name);

} // namespace db
