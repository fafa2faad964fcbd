#include "platform/db/Connection.h"
#include "platform/db/Recordset.h"

#include <QDate>
#include <QDateTime>
#include <QRegularExpression>
#include <QStringDecoder>
#include <cmath>
#include <cstring>
#include <algorithm>
#include <cstdlib>

namespace db {

std::atomic<quint64> g_generation{1};

Kind kindFromDeclType(const char* decl)
{
    if (!decl || !*decl)
        return Kind::Unknown;
    const QByteArray d = QByteArray(decl).toUpper();
    if (d.contains("BOOL"))
        return Kind::Boolean;
    if (d.contains("DATETIME") || d.contains("TIMESTAMP"))
        return Kind::DateTime;
    if (d.contains("DATE"))
        return Kind::Date;
    if (d.contains("INT"))
        return Kind::Integer;
    if (d.contains("CHAR") || d.contains("TEXT") || d.contains("CLOB"))
        return Kind::Text;
    if (d.contains("BLOB"))
        return Kind::Blob;
    if (d.contains("REAL") || d.contains("DOUB") || d.contains("FLOA") || d.contains("NUM")
        || d.contains("DEC") || d.contains("CURRENCY"))
        return Kind::Real;
    return Kind::Unknown;
}

QString quoteIdent(const QString& name)
{
    QString q = name;
    q.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + q + QLatin1Char('"');
}

// A date (and time) as stored or typed. Kept apart from QDateTime, whose local-time rules would
// consult the time-zone files for every value read.
struct DateTimeText {
    QDate date;
    QTime time{0, 0};
    bool valid() const { return date.isValid() && time.isValid(); }
};

static DateTimeText parseDateTimeText(const QString& raw)
{
    // Accepts the stored ISO form and the slash form people type: 2024/01/05, 2024-1-5 10:30:00.
    static const QRegularExpression re(
        QStringLiteral("^\\s*(\\d{1,4})[/-](\\d{1,2})[/-](\\d{1,2})(?:[T ](\\d{1,2}):(\\d{2})(?::(\\d{2}))?)?\\s*$"));
    DateTimeText r;
    // The stored form is read most often: take it without the expression.
    if (raw.size() == 10 && raw[4] == QLatin1Char('-') && raw[7] == QLatin1Char('-')) {
        r.date = QDate::fromString(raw, Qt::ISODate);
        return r;
    }
    // So is the stored date and time, "yyyy-MM-ddTHH:mm:ss" in ASCII digits.
    if (raw.size() == 19 && raw[4] == u'-' && raw[7] == u'-' && raw[10] == u'T' && raw[13] == u':' && raw[16] == u':') {
        auto number = [&](int from, int length, bool* ok) {
            int n = 0;
            for (int i = from; i < from + length; ++i) {
                const char16_t c = raw[i].unicode();
                if (c < u'0' || c > u'9')
                    *ok = false;
                n = n * 10 + (c - u'0');
            }
            return n;
        };
        bool ok = true;
        const int y = number(0, 4, &ok), mo = number(5, 2, &ok), d = number(8, 2, &ok);
        const int h = number(11, 2, &ok), mi = number(14, 2, &ok), sec = number(17, 2, &ok);
        if (ok) {
            r.date = QDate(y, mo, d);
            r.time = QTime(h, mi, sec);
            return r;
        }
    }
    const auto m = re.match(raw);
    if (!m.hasMatch())
        return {QDate(), QTime()};
    r.date = QDate(m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt());
    if (!m.captured(4).isEmpty())
        r.time = QTime(m.captured(4).toInt(), m.captured(5).toInt(), m.captured(6).isEmpty() ? 0 : m.captured(6).toInt());
    return r;
}

static QString isoDate(const QDate& d)
{
    int y = 0, m = 0, day = 0;
    d.getDate(&y, &m, &day);
    if (y < 0 || y > 9999)
        return d.toString(Qt::ISODate);
    const char16_t text[10] = {char16_t(u'0' + y / 1000), char16_t(u'0' + y / 100 % 10), char16_t(u'0' + y / 10 % 10),
                               char16_t(u'0' + y % 10), u'-', char16_t(u'0' + m / 10), char16_t(u'0' + m % 10), u'-',
                               char16_t(u'0' + day / 10), char16_t(u'0' + day % 10)};
    return QString(reinterpret_cast<const QChar*>(text), 10);
}

static bool textToBool(const QString& s, bool* ok)
{
    const QString t = s.trimmed().toLower();
    *ok = true;
    if (t == QLatin1String("true") || t == QLatin1String("yes") || t == QLatin1String("on"))
        return true;
    if (t == QLatin1String("false") || t == QLatin1String("no") || t == QLatin1String("off"))
        return false;
    const double n = t.toDouble(ok);
    return *ok && n != 0;
}

QVariant toStorage(const QVariant& v, Kind kind)
{
    if (!v.isValid() || v.isNull())
        return {};
    const auto type = v.typeId();
    const bool isText = type == QMetaType::QString || type == QMetaType::QByteArray;
    auto fail = [&]() -> QVariant { throw Error(err::TypeMismatch, v.toString()); };
    // Values already in their stored form, the common case of a bulk load, go as they are.
    if ((kind == Kind::Text && type == QMetaType::QString) || (kind == Kind::Integer && type == QMetaType::LongLong))
        return v;

    switch (kind) {
    case Kind::Text:
        if (type == QMetaType::QDate)
            return v.toDate().toString(QStringLiteral("yyyy/MM/dd"));
        if (type == QMetaType::Bool)
            return v.toBool() ? QStringLiteral("True") : QStringLiteral("False");
        return v.toString();
    case Kind::Integer: {
        if (type == QMetaType::Bool)
            return qint64(v.toBool() ? 1 : 0);
        if (isText) {
            bool ok = false;
            const double d = v.toString().trimmed().toDouble(&ok);
            if (!ok || !std::isfinite(d))
                return fail();
            return qint64(std::llround(d));
        }
        if (type == QMetaType::Double || type == QMetaType::Float) {
            const double d = v.toDouble();
            if (!std::isfinite(d))
                return fail();
            return qint64(std::llround(d));
        }
        bool ok = false;
        const qint64 n = v.toLongLong(&ok);
        return ok ? QVariant(n) : fail();
    }
    case Kind::Real: {
        bool ok = false;
        const double d = isText ? v.toString().trimmed().toDouble(&ok) : v.toDouble(&ok);
        if (!ok || !std::isfinite(d))
            return fail();
        return d;
    }
    case Kind::Boolean: {
        if (type == QMetaType::Bool)
            return qint64(v.toBool() ? 1 : 0);
        bool ok = false;
        const bool b = isText ? textToBool(v.toString(), &ok) : (v.toDouble(&ok) != 0);
        return ok ? QVariant(qint64(b ? 1 : 0)) : fail();
    }
    case Kind::Date:
    case Kind::DateTime: {
        DateTimeText dt{QDate(), QTime()};
        if (type == QMetaType::QDate)
            dt = {v.toDate(), QTime(0, 0)};
        else if (type == QMetaType::QDateTime)
            dt = {v.toDateTime().date(), v.toDateTime().time()};
        else if (isText)
            dt = parseDateTimeText(v.toString());
        if (!dt.valid())
            return fail();
        if (kind == Kind::Date)
            return isoDate(dt.date);
        return isoDate(dt.date) + QLatin1Char('T') + dt.time.toString(QStringLiteral("HH:mm:ss"));
    }
    case Kind::Blob:
        return v.toByteArray();
    case Kind::Unknown:
        if (type == QMetaType::Bool)
            return qint64(v.toBool() ? 1 : 0);
        if (type == QMetaType::QDate)
            return v.toDate().toString(Qt::ISODate);
        if (type == QMetaType::QDateTime)
            return v.toDateTime().toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss"));
        return v;
    }
    return v;
}

// ---- statements ----

Connection::~Connection()
{
    if (db)
        sqlite3_close_v2(db);
}

void raise(sqlite3* db, int rc, const QString& context)
{
    const QString msg = db ? QString::fromUtf8(sqlite3_errmsg(db)) : QString::fromUtf8(sqlite3_errstr(rc));
    const int primary = rc & 0xff;
    const QString detail = context.isEmpty() ? msg : context + QStringLiteral(": ") + msg;
    switch (primary) {
    case SQLITE_CONSTRAINT:
        if (rc == SQLITE_CONSTRAINT_UNIQUE || rc == SQLITE_CONSTRAINT_PRIMARYKEY)
            throw Error(err::DuplicateKey, detail);
        throw Error(err::Other, detail);
    case SQLITE_NOTADB:
    case SQLITE_CORRUPT:
        throw Error(err::NotADatabase, detail);
    case SQLITE_READONLY:
        throw Error(err::ReadOnly, detail);
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        throw Error(err::Locked, detail);
    case SQLITE_CANTOPEN:
        throw Error(err::FileNotFound, detail);
    default:
        throw Error(err::Other, detail);
    }
}

Stmt::Stmt(sqlite3* db, const QString& sql) : db_(db)
{
    const QByteArray u = sql.toUtf8();
    const int rc = sqlite3_prepare_v2(db, u.constData(), int(u.size()), &s_, nullptr);
    if (rc != SQLITE_OK) {
        const int ext = sqlite3_extended_errcode(db);
        const QString msg = QString::fromUtf8(sqlite3_errmsg(db));
        if (s_)
            sqlite3_finalize(s_);
        s_ = nullptr;
        if ((ext & 0xff) == SQLITE_ERROR && msg.startsWith(QLatin1String("no such table")))
            throw Error(err::ObjectNotFound, msg);
        if ((ext & 0xff) == SQLITE_ERROR && msg.startsWith(QLatin1String("no such column")))
            throw Error(err::ItemNotFound, msg);
        raise(db, ext);
    }
}

Stmt::~Stmt()
{
    if (s_)
        sqlite3_finalize(s_);
}

void Stmt::bind(int i, const QVariant& v)
{
    int rc = SQLITE_OK;
    if (!v.isValid() || v.isNull()) {
        rc = sqlite3_bind_null(s_, i);
    } else {
        switch (v.typeId()) {
        case QMetaType::Bool:
            rc = sqlite3_bind_int64(s_, i, v.toBool() ? 1 : 0);
            break;
        case QMetaType::Int:
        case QMetaType::UInt:
        case QMetaType::LongLong:
        case QMetaType::ULongLong:
        case QMetaType::Long:
        case QMetaType::Short:
        case QMetaType::UShort:
            rc = sqlite3_bind_int64(s_, i, v.toLongLong());
            break;
        case QMetaType::Double:
        case QMetaType::Float:
            rc = sqlite3_bind_double(s_, i, v.toDouble());
            break;
        case QMetaType::QByteArray: {
            const QByteArray b = v.toByteArray();
            rc = sqlite3_bind_blob64(s_, i, b.constData(), sqlite3_uint64(b.size()), SQLITE_TRANSIENT);
            break;
        }
        case QMetaType::QDate:
        {
            const QByteArray u = v.toDate().toString(Qt::ISODate).toUtf8();
            rc = sqlite3_bind_text(s_, i, u.constData(), int(u.size()), SQLITE_TRANSIENT);
            break;
        }
        default: {
            const QByteArray u = v.toString().toUtf8();
            rc = sqlite3_bind_text64(s_, i, u.constData(), sqlite3_uint64(u.size()), SQLITE_TRANSIENT,
                                     SQLITE_UTF8);
        }
        }
    }
    if (rc != SQLITE_OK)
        raise(db_, rc);
}

void Stmt::bindAll(const QVariantList& params)
{
    for (int i = 0; i < params.size(); ++i)
        bind(i + 1, params[i]);
}

bool Stmt::step()
{
    if (g_stagedCopies > 0 && !sqlite3_stmt_readonly(s_))
        finishStagedCopies();
    const int rc = sqlite3_step(s_);
    if (rc == SQLITE_ROW)
        return true;
    if (rc == SQLITE_DONE)
        return false;
    raise(db_, sqlite3_extended_errcode(db_));
}

void Stmt::reset()
{
    sqlite3_reset(s_);
    sqlite3_clear_bindings(s_);
}

int Stmt::columnCount() const { return sqlite3_column_count(s_); }

QString Stmt::columnName(int i) const { return QString::fromUtf8(sqlite3_column_name(s_, i)); }

Kind Stmt::columnKind(int i) const { return kindFromDeclType(sqlite3_column_decltype(s_, i)); }

namespace {

// The stored UTF-8 text as it is: QString::fromUtf8 would drop a leading byte-order mark, which
// is part of the text here.
QString storedText(const char* p, int bytes)
{
    static constexpr char kMark[] = "\xEF\xBB\xBF";
    int marks = 0;
    while (bytes - 3 * marks >= 3 && std::memcmp(p + 3 * marks, kMark, 3) == 0)
        ++marks;
    if (marks == 0)
        return QString::fromUtf8(p, bytes);
    return QString(marks, QChar(0xFEFF)) + QString::fromUtf8(p + 3 * marks, bytes - 3 * marks);
}

} // namespace

QChar* AppendStoredText(QChar* out, QByteArrayView utf8)
{
    // Well-formed UTF-8 is widened here, with no decoder to set up per text (a scan of the book
    // decodes hundreds of thousands of short texts). From the first sequence that is not
    // well-formed on, the decoder takes the rest and marks what is broken as fromUtf8 does.
    const auto* p = reinterpret_cast<const uchar*>(utf8.data());
    const auto* const end = p + utf8.size();
    const auto follows = [](uchar b) { return (b & 0xC0) == 0x80; };
    while (p != end) {
        const uchar b = *p;
        if (b < 0x80) {
            *out++ = QChar(char16_t(b));
            ++p;
        } else if (b >= 0xC2 && b < 0xE0) {
            if (end - p < 2 || !follows(p[1]))
                break;
            *out++ = QChar(char16_t(((b & 0x1F) << 6) | (p[1] & 0x3F)));
            p += 2;
        } else if (b >= 0xE0 && b < 0xF0) {
            if (end - p < 3 || !follows(p[1]) || !follows(p[2]))
                break;
            const char16_t c = char16_t(((b & 0x0F) << 12) | ((p[1] & 0x3F) << 6) | (p[2] & 0x3F));
            if (c < 0x800 || QChar::isSurrogate(c))
                break;  // too long a form, or half of a pair
            *out++ = QChar(c);
            p += 3;
        } else if (b >= 0xF0 && b < 0xF5) {
            if (end - p < 4 || !follows(p[1]) || !follows(p[2]) || !follows(p[3]))
                break;
            const char32_t c = char32_t(((b & 0x07) << 18) | ((p[1] & 0x3F) << 12) | ((p[2] & 0x3F) << 6) | (p[3] & 0x3F));
            if (c < 0x10000 || c > 0x10FFFF)
                break;
            *out++ = QChar(QChar::highSurrogate(c));
            *out++ = QChar(QChar::lowSurrogate(c));
            p += 4;
        } else {
            break;
        }
    }
    if (p == end)
        return out;
    // Stateless, so that a sequence broken at the end is not carried into the next text; a mark
    // at the start of the rest is a character of the text, as storedText keeps it.
    QStringDecoder decode(QStringConverter::Utf8, QStringConverter::Flag::Stateless | QStringConverter::Flag::ConvertInitialBom);
    return decode.appendToBuffer(out, QByteArrayView(p, end - p));
}

namespace {

// A stored value as the engine hands it over, read from a row of a statement or from an
// argument of a function the engine gives SQLite: both read it alike.
template <class Source> QVariant convertStored(const Source& v, Kind kind)
{
    switch (v.type()) {
    case SQLITE_NULL:
        return {};
    case SQLITE_INTEGER: {
        const qint64 n = v.int64();
        if (kind == Kind::Boolean)
            return n != 0;
        if (kind == Kind::Real)
            return double(n);
        return n;
    }
    case SQLITE_FLOAT: {
        const double d = v.real();
        if (kind == Kind::Integer)
            return qint64(std::llround(d));
        return d;
    }
    case SQLITE_BLOB: {
        const auto* p = static_cast<const char*>(v.blob());
        return QByteArray(p, v.bytes());
    }
    default: {
        const auto* p = reinterpret_cast<const char*>(v.text());
        const QString t = storedText(p, v.bytes());
        if (kind == Kind::Date || kind == Kind::DateTime) {
            const DateTimeText dt = parseDateTimeText(t);
            if (dt.valid())
                return kind == Kind::Date ? QVariant(dt.date) : QVariant(QDateTime(dt.date, dt.time));
        }
        return t;
    }
    }
}

struct ColumnSource {
    sqlite3_stmt* s;
    int i;
    int type() const { return sqlite3_column_type(s, i); }
    qint64 int64() const { return sqlite3_column_int64(s, i); }
    double real() const { return sqlite3_column_double(s, i); }
    const void* blob() const { return sqlite3_column_blob(s, i); }
    const unsigned char* text() const { return sqlite3_column_text(s, i); }
    int bytes() const { return sqlite3_column_bytes(s, i); }
};

struct ValueSource {
    sqlite3_value* v;
    int type() const { return sqlite3_value_type(v); }
    qint64 int64() const { return sqlite3_value_int64(v); }
    double real() const { return sqlite3_value_double(v); }
    const void* blob() const { return sqlite3_value_blob(v); }
    const unsigned char* text() const { return sqlite3_value_text(v); }
    int bytes() const { return sqlite3_value_bytes(v); }
};

} // namespace

QVariant Stmt::column(int i, Kind kind) const { return convertStored(ColumnSource{s_, i}, kind); }

QVariant storedValue(sqlite3_value* v, Kind kind) { return convertStored(ValueSource{v}, kind); }

int sizeFromDeclType(const char* decl)
{
    // "VARCHAR(255)": the characters a text of the field may hold.
    if (!decl || kindFromDeclType(decl) != Kind::Text)
        return 0;
    const char* open = std::strchr(decl, '(');
    return open ? std::max(0, std::atoi(open + 1)) : 0;
}

qsizetype characterCount(const QString& text)
{
    qsizetype n = text.size();
    for (const QChar c : text)
        if (c.isLowSurrogate())
            --n;
    return n;
}

void checkTextSize(const QVariant& stored, int size, const QString& field)
{
    // A text has at least as many UTF-16 units as characters: only a long one is counted.
    if (size <= 0 || stored.typeId() != QMetaType::QString)
        return;
    const QString& text = *static_cast<const QString*>(stored.constData());
    if (text.size() > size && characterCount(text) > size)
        throw Error(err::FieldTooSmall, field);
}

void execSql(sqlite3* db, const QString& sql)
{
    beforeWrite();
    char* msg = nullptr;
    const int rc = sqlite3_exec(db, sql.toUtf8().constData(), nullptr, nullptr, &msg);
    if (msg)
        sqlite3_free(msg);
    if (rc != SQLITE_OK)
        raise(db, sqlite3_extended_errcode(db));
}

} // namespace db
