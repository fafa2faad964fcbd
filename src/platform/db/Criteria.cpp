#include "platform/db/Criteria.h"

#include <QDate>
#include <QDateTime>

namespace db {

bool isNumberValue(const QVariant& v)
{
    switch (v.typeId()) {
    case QMetaType::Int: case QMetaType::UInt: case QMetaType::LongLong: case QMetaType::ULongLong:
    case QMetaType::Double: case QMetaType::Float: case QMetaType::Bool: case QMetaType::Long:
    case QMetaType::Short: case QMetaType::UShort:
        return true;
    default:
        return false;
    }
}

namespace {

bool isNumber(const QVariant& v) { return isNumberValue(v); }

bool isDate(const QVariant& v) { return v.typeId() == QMetaType::QDate || v.typeId() == QMetaType::QDateTime; }

QDateTime asDateTime(const QVariant& v, bool* ok)
{
    *ok = true;
    if (v.typeId() == QMetaType::QDate)
        return QDateTime(v.toDate(), QTime(0, 0));
    if (v.typeId() == QMetaType::QDateTime)
        return v.toDateTime();
    for (const auto* f : {"yyyy/M/d", "yyyy-M-d"}) {
        const QDate d = QDate::fromString(v.toString().trimmed(), QLatin1String(f));
        if (d.isValid())
            return QDateTime(d, QTime(0, 0));
    }
    *ok = false;
    return {};
}

template <class T> int cmp(const T& a, const T& b) { return a < b ? -1 : (b < a ? 1 : 0); }

} // namespace

int compareValues(const QVariant& a, const QVariant& b)
{
    if (isNumber(a) || isNumber(b)) {
        bool okA = false, okB = false;
        const double x = isNumber(a) ? a.toDouble(&okA) : a.toString().trimmed().toDouble(&okA);
        const double y = isNumber(b) ? b.toDouble(&okB) : b.toString().trimmed().toDouble(&okB);
        if (okA && okB)
            return cmp(x, y);
    }
    if (a.typeId() == QMetaType::QDate && b.typeId() == QMetaType::QDate)
        return cmp(a.toDate(), b.toDate());
    if (isDate(a) || isDate(b)) {
        bool okA = false, okB = false;
        const QDateTime x = asDateTime(a, &okA), y = asDateTime(b, &okB);
        if (okA && okB)
            return cmp(x, y);
    }
    return QString::compare(a.toString(), b.toString(), Qt::CaseInsensitive);
}

bool matches(const QVariant& value, Op op, const QVariant& operand)
{
    if (!value.isValid() || value.isNull() || !operand.isValid() || operand.isNull())
        return false;
    return holdsComparison(compareValues(value, operand), op);
}

bool holdsComparison(int c, Op op)
{
    switch (op) {
    case Op::Eq: return c == 0;
    case Op::Ne: return c != 0;
    case Op::Lt: return c < 0;
    case Op::Le: return c <= 0;
    case Op::Gt: return c > 0;
    case Op::Ge: return c >= 0;
    }
    return false;
}

} // namespace db
