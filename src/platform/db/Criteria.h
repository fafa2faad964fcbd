#pragma once
// A criterion for filters and finds: field, comparison, value. Values are kept apart from any
// statement text, so nothing a user typed is ever read as part of a query.

#include <QList>
#include <QString>
#include <QVariant>

namespace db {

enum class Op { Eq, Ne, Lt, Le, Gt, Ge };

struct Criterion {
    QString field;
    Op op = Op::Eq;
    QVariant value;
};

// All criteria must hold (AND).
using Criteria = QList<Criterion>;

inline Criteria eq(const QString& field, const QVariant& value) { return {Criterion{field, Op::Eq, value}}; }

// Compares two stored values the way the old engine did: text without regard to letter case,
// numbers as numbers (a numeric text against a number compares numerically), dates as dates.
// Returns <0, 0, >0; Null compares with nothing (matches() is then false).
int compareValues(const QVariant& a, const QVariant& b);
bool matches(const QVariant& value, Op op, const QVariant& operand);
// Whether a result of compareValues satisfies the comparison.
bool holdsComparison(int c, Op op);
// True for values held as numbers (integers, reals, booleans), not for numeric text.
bool isNumberValue(const QVariant& v);

} // namespace db
