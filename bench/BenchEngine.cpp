// The engine's own workloads: a recordset opened from a filtered one (the dialler's call history
// of one member) and a find by criterion over a sorted query. Each beside plain SQLite doing the
// same bound lookup on the same view, in the same run.

#include "BenchCommon.h"

#include "platform/db/Database.h"

#include <QDir>
#include <QFile>
#include <algorithm>
#include <functional>
#include <sqlite3.h>

namespace bench {

namespace {

// Members a call history is spread over: a member has about a hundred calls in 100,000 rows.
constexpr int kCallers = 1000;

// The book with n rows of call history, made once beside the generated book.
QString historyBook(const Options& o, int n)
{
    const QString path = QDir(bookFolder(o, n)).filePath(QStringLiteral("履歴.mdb"));
    if (QFile::exists(path))
        return path;
    ensureBook(o, n);
    const QString part = path + QStringLiteral(".part");
    QFile::remove(part);
    if (!QFile::copy(bookPath(o, n), part))
        qFatal("cannot copy the book");
    sqlite3* h = nullptr;
    sqlite3_open_v2(QFile::encodeName(part).constData(), &h, SQLITE_OPEN_READWRITE, nullptr);
    sqlite3_exec(h, "BEGIN", nullptr, nullptr, nullptr);
    sqlite3_stmt* s = nullptr;
    sqlite3_prepare_v2(h,
                       "INSERT INTO \"電話履歴\"(\"会員NO\",\"電話番号\",\"開始時間\",\"終了時間\",\"通話時間\",\"用件\",\"通話中止\") "
                       "VALUES(?,?,?,?,?,?,0)",
                       -1, &s, nullptr);
    for (int i = 0; i < n; ++i) {
        const QByteArray phone = QByteArray("03-") + QByteArray::number(1000 + i % 9000) + "-" + QByteArray::number(1000 + i % 7919);
        const QByteArray start = QStringLiteral("2024-%1-%2T10:%3:00")
                                     .arg(1 + i % 12, 2, 10, QLatin1Char('0'))
                                     .arg(1 + i % 28, 2, 10, QLatin1Char('0'))
                                     .arg(i % 60, 2, 10, QLatin1Char('0'))
                                     .toUtf8();
        const QByteArray memo = QStringLiteral("用件 %1").arg(i).toUtf8();
        sqlite3_bind_int64(s, 1, 1 + (i * 7919) % kCallers);
        sqlite3_bind_text(s, 2, phone.constData(), int(phone.size()), SQLITE_TRANSIENT);
        sqlite3_bind_text(s, 3, start.constData(), int(start.size()), SQLITE_TRANSIENT);
        sqlite3_bind_text(s, 4, start.constData(), int(start.size()), SQLITE_TRANSIENT);
        sqlite3_bind_text(s, 5, "1899-12-30T00:03:00", -1, SQLITE_STATIC);
        sqlite3_bind_text(s, 6, memo.constData(), int(memo.size()), SQLITE_TRANSIENT);
        sqlite3_step(s);
        sqlite3_reset(s);
    }
    sqlite3_finalize(s);
    sqlite3_exec(h, "COMMIT", nullptr, nullptr, nullptr);
    sqlite3_close(h);
    QFile::rename(part, path);
    return path;
}

// Medians of the program's work and of its baseline, run by turns, so that a busy machine weighs
// on both alike.
void byTurns(int runs, Result& r, const std::function<void()>& work, const std::function<void()>& baseline)
{
    QList<double> a, b;
    for (int i = 0; i < runs; ++i) {
        a << medianSeconds(1, work);
        b << medianSeconds(1, baseline);
    }
    std::sort(a.begin(), a.end());
    std::sort(b.begin(), b.end());
    r.median = a[a.size() / 2];
    r.baseline = b[b.size() / 2];
}

// Plain SQLite: every value of the rows a bound statement gives, or only their first column.
int readBound(sqlite3* h, const char* sql, qint64 key, bool everyColumn)
{
    sqlite3_stmt* s = nullptr;
    sqlite3_prepare_v2(h, sql, -1, &s, nullptr);
    sqlite3_bind_int64(s, 1, key);
    int rows = 0;
    while (sqlite3_step(s) == SQLITE_ROW) {
        ++rows;
        const int columns = everyColumn ? sqlite3_column_count(s) : 1;
        for (int i = 0; i < columns; ++i)
            (void)sqlite3_column_text(s, i);
    }
    sqlite3_finalize(s);
    return rows;
}

Result filteredOpen(const Options& o, int n)
{
    const QString path = historyBook(o, n);
    const db::Database book = db::Database::open(path);
    // The dialler's history, opened once; each run filters it to another member.
    db::Recordset history = book.openRecordset(QStringLiteral("Q_電話履歴"));
    const int members = qMin(kCallers, n);
    int turn = 0, baseTurn = 0;
    int rows = 0;
    Result r{QStringLiteral("filtered-open"), n};
    sqlite3* h = bench::openPlain(path, SQLITE_OPEN_READONLY);
    byTurns(
        o.runs, r,
        [&] {
            history.setFilter(db::eq(QStringLiteral("会員NO"), 1 + (turn++ * 37) % members));
            const db::Recordset calls = history.openRecordset();
            rows = calls.recordCount();
        },
        [&] { readBound(h, "SELECT * FROM \"Q_電話履歴\" WHERE \"会員NO\" = ?", 1 + (baseTurn++ * 37) % members, true); });
    sqlite3_close(h);
    if (rows == 0)
        qFatal("the filtered history is empty");
    return r;
}

Result findFirst(const Options& o, int n)
{
    ensureBook(o, n);
    const QString path = bookPath(o, n);
    const db::Database book = db::Database::open(path);
    const qint64 last = book.scalar(QStringLiteral("SELECT max(\"会員区分\") FROM \"個人台帳\"")).toLongLong();
    db::Recordset rs = book.openRecordset(QStringLiteral("Q_個人台帳登録区分順"));
    Result r{QStringLiteral("find-first"), n};
    int at = -1;
    sqlite3* h = bench::openPlain(path, SQLITE_OPEN_READONLY);
    byTurns(
        o.runs, r,
        [&] {
            if (rs.findFirst(db::eq(QStringLiteral("会員区分"), last)))
                at = rs.absolutePosition();
        },
        [&] { readBound(h, "SELECT \"_rowid\" FROM \"Q_個人台帳登録区分順\" WHERE \"会員区分\" = ?", last, false); });
    sqlite3_close(h);
    if (at < 0)
        qFatal("the last category was not found");
    return r;
}

const RegisterGroup g(QStringLiteral("engine"), [](const Options& o) {
    QList<Result> out;
    for (const int n : o.sizes) {
        if (wanted(o, QStringLiteral("filtered-open")))
            out << filteredOpen(o, n);
        if (wanted(o, QStringLiteral("find-first")))
            out << findFirst(o, n);
    }
    return out;
});

} // namespace

} // namespace bench
