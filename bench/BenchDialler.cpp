// The dialler on a book whose call history has as many rows as the book has records: loading
// the window for one member with its list filled, and "全履歴削除" of one member's many rows.
// Baselines: the same rows read (for the long history, its keys and the lines shown first), or
// deleted in one transaction, with plain SQLite.

#include "BenchCommon.h"

#include "platform/db/Database.h"
#include "platform/db/Schema.h"
#include "platform/ui/ScriptedDialogs.h"
#include "shell/Module1.h"
#include "tools/CallHistory.h"
#include "tools/Form11.h"

#include <QDir>
#include <QFile>
#include <memory>
#include <vector>
#include <sqlite3.h>

namespace bench {

namespace {

// Member 1 holds a tenth of the history, member 2 a few rows, the rest is spread over the others.
constexpr qint64 kLargeMember = 1;
constexpr qint64 kSmallMember = 2;
constexpr int kSmallRows = 50;
// The lines the history list shows first.
constexpr int kShownLines = 40;

QString historyBook(const Options& o, int n) { return QDir(bookFolder(o, n)).filePath(QStringLiteral("通話履歴.mdb")); }

void exec(sqlite3* h, const char* sql)
{
    char* msg = nullptr;
    if (sqlite3_exec(h, sql, nullptr, nullptr, &msg) != SQLITE_OK)
        qFatal("%s: %s", sql, msg);
}

// The generated book with n history rows, made once beside it.
void ensureHistoryBook(const Options& o, int n)
{
    const QString path = historyBook(o, n);
    if (QFile::exists(path))
        return;
    ensureBook(o, n);
    const QString part = path + QStringLiteral(".part");
    QFile::remove(part);
    if (!QFile::copy(bookPath(o, n), part))
        qFatal("cannot copy the book");
    sqlite3* h = nullptr;
    sqlite3_open_v2(QFile::encodeName(part).constData(), &h, SQLITE_OPEN_READWRITE, nullptr);
    exec(h, "BEGIN");
    sqlite3_stmt* s = nullptr;
    const QByteArray sql = QStringLiteral("INSERT INTO \"%1\"(\"会員NO\",\"電話番号\",\"開始時間\",\"終了時間\",\"通話時間\",\"用件\",\"通話中止\") "
                                          "VALUES(?,?,?,?,?,?,?)").arg(db::schema::historyTableName()).toUtf8();
    sqlite3_prepare_v2(h, sql.constData(), -1, &s, nullptr);
    // Steps of an even size never meet the multiples of 10 at 1 past a multiple.
    const int smallStep = qMax(2, n / kSmallRows);
    const QDateTime base(QDate(2024, 1, 1), QTime(9, 0));
    for (int i = 0; i < n; ++i) {
        const qint64 member = i % 10 == 0 ? kLargeMember : i % smallStep == 1 ? kSmallMember : 3 + i % qMax(1, n - 2);
        const QDateTime start = base.addSecs(qint64(i) * 600);
        const bool memo = i % 5 == 4;
        const QByteArray number = memo ? QByteArray(" ") : QByteArray("0312345") + QByteArray::number(1000 + i % 9000);
        const QByteArray startText = start.toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss")).toUtf8();
        const QByteArray endText = (memo ? start : start.addSecs(95)).toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss")).toUtf8();
        const QByteArray purpose = QStringLiteral("用件%1").arg(i).toUtf8();
        sqlite3_bind_int64(s, 1, member);
        sqlite3_bind_text(s, 2, number.constData(), int(number.size()), SQLITE_TRANSIENT);
        sqlite3_bind_text(s, 3, startText.constData(), int(startText.size()), SQLITE_TRANSIENT);
        sqlite3_bind_text(s, 4, endText.constData(), int(endText.size()), SQLITE_TRANSIENT);
        sqlite3_bind_text(s, 5, memo ? "1899-12-30T00:00:00" : "1899-12-30T00:01:35", -1, SQLITE_STATIC);
        sqlite3_bind_text(s, 6, purpose.constData(), int(purpose.size()), SQLITE_TRANSIENT);
        if (memo)
            sqlite3_bind_null(s, 7);
        else
            sqlite3_bind_int(s, 7, 0);
        if (sqlite3_step(s) != SQLITE_DONE)
            qFatal("cannot write the history: %s", sqlite3_errmsg(h));
        sqlite3_reset(s);
    }
    sqlite3_finalize(s);
    exec(h, "COMMIT");
    sqlite3_close(h);
    QFile::rename(part, path);
}

// The member's rows of the history query, every column read, with plain SQLite.
void sqliteMemberRows(const QString& book, qint64 member)
{
    sqlite3* h = bench::openPlain(book, SQLITE_OPEN_READONLY);
    sqlite3_stmt* s = nullptr;
    sqlite3_prepare_v2(h, "SELECT * FROM \"Q_電話履歴\" WHERE \"会員NO\" = ?", -1, &s, nullptr);
    sqlite3_bind_int64(s, 1, member);
    while (sqlite3_step(s) == SQLITE_ROW)
        for (int i = 0; i < sqlite3_column_count(s); ++i)
            (void)sqlite3_column_text(s, i);
    sqlite3_finalize(s);
    sqlite3_close(h);
}

// What the window reads for a member's long history with plain SQLite: the keys of all the
// member's rows of the history query (the list's length and its lines' rows), and every column
// of the rows the list shows first.
void sqliteMemberShownRows(const QString& book, qint64 member, int shown)
{
    sqlite3* h = bench::openPlain(book, SQLITE_OPEN_READONLY);
    sqlite3_stmt* s = nullptr;
    sqlite3_prepare_v2(h, "SELECT \"_rowid\" FROM \"Q_電話履歴\" WHERE \"会員NO\" = ?", -1, &s, nullptr);
    sqlite3_bind_int64(s, 1, member);
    std::vector<qint64> keys;
    while (sqlite3_step(s) == SQLITE_ROW)
        keys.push_back(sqlite3_column_int64(s, 0));
    sqlite3_finalize(s);
    sqlite3_prepare_v2(h, "SELECT * FROM \"Q_電話履歴\" WHERE \"会員NO\" = ? LIMIT ?", -1, &s, nullptr);
    sqlite3_bind_int64(s, 1, member);
    sqlite3_bind_int(s, 2, shown);
    int rows = 0;
    while (sqlite3_step(s) == SQLITE_ROW) {
        ++rows;
        for (int i = 0; i < sqlite3_column_count(s); ++i)
            (void)sqlite3_column_text(s, i);
    }
    sqlite3_finalize(s);
    sqlite3_close(h);
    if (rows != qMin<qsizetype>(shown, qsizetype(keys.size())))
        qFatal("dialler-load-large: the plain read found %d of %lld rows", rows, qint64(keys.size()));
}

void sqliteDeleteMember(const QString& book, qint64 member)
{
    sqlite3* h = bench::openPlain(book, SQLITE_OPEN_READWRITE);
    exec(h, "BEGIN");
    sqlite3_stmt* s = nullptr;
    const QByteArray sql = QStringLiteral("DELETE FROM \"%1\" WHERE \"会員NO\" = ?").arg(db::schema::historyTableName()).toUtf8();
    sqlite3_prepare_v2(h, sql.constData(), -1, &s, nullptr);
    sqlite3_bind_int64(s, 1, member);
    sqlite3_step(s);
    sqlite3_finalize(s);
    exec(h, "COMMIT");
    sqlite3_close(h);
}

// The dialler loaded for a member of the book, as the record window hands it over.
std::unique_ptr<Form11> loadDialler(const QString& book, qint64 member)
{
    Module1::DialMemberNo = QStringLiteral("%1").arg(member, 8, 10, QLatin1Char('0'));
    Module1::DialDatabase = db::Database::open(book);
    auto w = std::make_unique<Form11>();
    w->formLoad();
    return w;
}

QList<Result> runDialler(const Options& o)
{
    QList<Result> out;
    const bool load = wanted(o, QStringLiteral("dialler-load"));
    const bool remove = wanted(o, QStringLiteral("dialler-delete-all"));
    if (!load && !remove)
        return out;
    ui::ScriptedDialogs dialogs;
    ui::ScopedDialogs useDialogs(&dialogs);
    for (int n : o.sizes) {
        ensureHistoryBook(o, n);
        const QString book = historyBook(o, n);
        Module1::OpenCommonDatabase(QDir(bookFolder(o, n)).filePath(QStringLiteral("共通情報/共通情報.mdb")));
        const int large = n / 10;

        if (load) {
            Result r{QStringLiteral("dialler-load"), n};
            r.median = medianSeconds(o.runs, [&] {
                auto w = loadDialler(book, kSmallMember);
                if (w->historyModel()->rowCount() != kSmallRows)
                    qFatal("dialler-load: %d rows listed", w->historyModel()->rowCount());
            });
            r.baseline = medianSeconds(o.runs, [&] { sqliteMemberRows(book, kSmallMember); });
            out << r;

            Result big{QStringLiteral("dialler-load-large"), n};
            big.median = medianSeconds(o.runs, [&] {
                auto w = loadDialler(book, kLargeMember);
                if (w->historyModel()->rowCount() != large)
                    qFatal("dialler-load-large: %d rows listed", w->historyModel()->rowCount());
                // The lines the list shows first are formatted.
                for (int i = 0; i < qMin(kShownLines, large); ++i)
                    (void)w->historyModel()->line(i);
            });
            big.baseline = medianSeconds(o.runs, [&] { sqliteMemberShownRows(book, kLargeMember, kShownLines); });
            out << big;
        }

        if (remove) {
            const QString copy = QDir(bookFolder(o, n)).filePath(QStringLiteral("通話履歴-削除.mdb"));
            std::unique_ptr<Form11> w;
            auto fresh = [&] {
                w.reset();
                Module1::DialDatabase = db::Database();
                QFile::remove(copy);
                QFile::copy(book, copy);
            };
            Result r{QStringLiteral("dialler-delete-all"), n};
            r.median = medianSeconds(
                o.runs,
                [&] {
                    dialogs.queueAnswer(ui::Answer::Yes);
                    w->Command2_Click(0);
                    if (w->historyModel()->rowCount() != 0)
                        qFatal("dialler-delete-all: rows left");
                },
                [&] {
                    fresh();
                    w = loadDialler(copy, kLargeMember);
                });
            r.baseline = medianSeconds(o.runs, [&] { sqliteDeleteMember(copy, kLargeMember); }, fresh);
            w.reset();
            QFile::remove(copy);
            out << r;
        }
        Module1::CommonSettingsRs = db::Recordset();
        Module1::EraRs = db::Recordset();
        Module1::CommonDb = db::Database();
    }
    return out;
}

} // namespace

static RegisterGroup g(QStringLiteral("dialler"), [](const Options& o) { return runDialler(o); });

} // namespace bench
