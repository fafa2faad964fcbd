// The comparison of filters and finds, run inside SQLite: a filtered recordset or a find reads
// the keys of the matching rows with one bound statement instead of reading every row, and
// still compares each value exactly as compareValues / matches compare a row read in full.

#include "platform/db/Connection.h"

#include <cmath>

namespace db {

namespace {

void kvMatch(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    const auto* m = static_cast<const MatchArg*>(sqlite3_value_pointer(argv[1], kMatchArgType));
    if (!m) {
        sqlite3_result_error(ctx, "kv_match: no criterion bound", -1);
        return;
    }
    sqlite3_value* v = argv[0];
    const int type = sqlite3_value_type(v);
    if (type == SQLITE_NULL || m->operandNull) {
        sqlite3_result_int(ctx, 0);
        return;
    }
    try {
        if (m->number && (type == SQLITE_INTEGER || type == SQLITE_FLOAT)) {
            // A stored number against a number: the value as the recordset reads it (a boolean as
            // 0 / 1, a real in an integer field rounded), then compared as two doubles.
            double a = 0;
            if (type == SQLITE_INTEGER) {
                const qint64 n = sqlite3_value_int64(v);
                a = m->kind == Kind::Boolean ? (n != 0 ? 1.0 : 0.0) : double(n);
            } else {
                const double d = sqlite3_value_double(v);
                a = m->kind == Kind::Integer ? double(qint64(std::llround(d))) : d;
            }
            const int c = a < m->x ? -1 : (m->x < a ? 1 : 0);
            sqlite3_result_int(ctx, holdsComparison(c, m->op) ? 1 : 0);
            return;
        }
        sqlite3_result_int(ctx, matches(storedValue(v, m->kind), m->op, m->operand) ? 1 : 0);
    } catch (...) {
        sqlite3_result_error(ctx, "kv_match failed", -1);
    }
}

} // namespace

MatchArg makeMatchArg(Kind kind, const Criterion& c)
{
    MatchArg m;
    m.kind = kind;
    m.op = c.op;
    m.operand = c.value;
    m.operandNull = !c.value.isValid() || c.value.isNull();
    if (!m.operandNull) {
        bool ok = false;
        m.x = isNumberValue(c.value) ? c.value.toDouble(&ok) : c.value.toString().trimmed().toDouble(&ok);
        m.number = ok;
    }
    return m;
}

void registerFunctions(sqlite3* db)
{
    sqlite3_create_function_v2(db, "kv_match", 2, SQLITE_UTF8, nullptr, kvMatch, nullptr, nullptr, nullptr);
}

} // namespace db
