// The web-link window on books of 20 categories: load, a click on the last category, a category
// holding every record, adding and deleting a site with the list read again, and opening the
// pages of a category of 1,000 addresses through a recording opener.
// Baselines: plain SQLite on a connection kept open, as the window keeps its book, reading the
// category's names in the category order with one bound statement (and writing the one row),
// and the same opener handed the addresses so read; the load, the add and the delete key the
// whole category-ordered query, as the window opens and reopens its records.

#include "BenchCommon.h"

#include "platform/db/Database.h"
#include "platform/db/Schema.h"
#include "platform/shell/RecordingOpener.h"
#include "platform/ui/ScriptedDialogs.h"
#include "shell/Module1.h"
#include "tools/Form6.h"

#include <QDir>
#include <QFile>
#include <QPushButton>
#include <sqlite3.h>
#include <vector>

namespace {

using namespace bench;

// A copy of the generated book with its records spread over 20 categories; the first 1,000
// records (a twentieth of a small book) form category 1, each with a web address.
QString spreadBook(const Options& o, int n, bool oneCategory)
{
    const QString path = QDir(bookFolder(o, n)).filePath(oneCategory ? QStringLiteral("web-one.mdb") : QStringLiteral("web-20.mdb"));
    QFile::remove(path);
    QFile::copy(bookPath(o, n), path);
    db::Database d = db::Database::open(path);
    const QString table = QLatin1Char('"') + db::schema::personTableName() + QLatin1Char('"');
    d.beginTrans();
    d.execute(QStringLiteral("DELETE FROM \"会員区分ｺｰﾄﾞ表\""));
    for (int c = 1; c <= 20; ++c)
        d.execute(QStringLiteral("INSERT INTO \"会員区分ｺｰﾄﾞ表\"(\"会員区分コード\", \"会員区分名称\") VALUES(?, ?)"),
                  {c, QStringLiteral("区分%1").arg(c)});
    const int first = qMin(1000, qMax(1, n / 20));
    if (oneCategory)
        d.execute(QStringLiteral("UPDATE %1 SET \"会員区分\" = 1").arg(table));
    else
        d.execute(QStringLiteral("UPDATE %1 SET \"会員区分\" = CASE WHEN \"会員NO\" <= ? THEN 1 ELSE \"会員NO\" % 19 + 2 END, "
                                 "\"WebHome\" = CASE WHEN \"会員NO\" <= ? THEN 'https://example.com/' || \"会員NO\" ELSE \"WebHome\" END")
                      .arg(table),
                  {first, first});
    d.commitTrans();
    return path;
}

const char* const kView = "\"Q_個人台帳登録区分順\"";

// The window's work done with plain SQLite on one open connection.
class Plain {
public:
    explicit Plain(const QString& path)
    {
        h_ = bench::openPlain(path, SQLITE_OPEN_READWRITE);
    }
    ~Plain() { sqlite3_close(h_); }
    Plain(const Plain&) = delete;
    Plain& operator=(const Plain&) = delete;

    // The names of a category's records in the category order, as the site list shows them.
    QStringList sites(qint64 code) const
    {
        QStringList names;
        sqlite3_stmt* s = prepare(QByteArray("SELECT \"_rowid\", \"氏名\" FROM ") + kView + " WHERE \"会員区分\" = ?");
        sqlite3_bind_int64(s, 1, code);
        while (sqlite3_step(s) == SQLITE_ROW) {
            (void)sqlite3_column_int64(s, 0);
            names << QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(s, 1)));
        }
        sqlite3_finalize(s);
        return names;
    }

    // Every key of the category-ordered query, as the window's records are keyed.
    std::vector<qint64> keys() const
    {
        std::vector<qint64> out;
        sqlite3_stmt* s = prepare(QByteArray("SELECT \"_rowid\" FROM ") + kView);
        while (sqlite3_step(s) == SQLITE_ROW)
            out.push_back(sqlite3_column_int64(s, 0));
        sqlite3_finalize(s);
        return out;
    }

    // Title, captions, the whole query keyed, the category list, the first category's sites and
    // its first site's fields.
    int load() const
    {
        if (keys().empty())
            return 0;
        for (const char* sql : {"SELECT \"タイトル\" FROM \"管理情報\"", "SELECT * FROM \"住所録ラベル\"",
                                "SELECT \"会員区分コード\", \"会員区分名称\" FROM \"会員区分ｺｰﾄﾞ表\" ORDER BY \"会員区分コード\""}) {
            sqlite3_stmt* s = prepare(sql);
            while (sqlite3_step(s) == SQLITE_ROW)
                for (int i = 0; i < sqlite3_column_count(s); ++i)
                    (void)sqlite3_column_text(s, i);
            sqlite3_finalize(s);
        }
        const QStringList names = sites(1);
        sqlite3_stmt* s = prepare(QByteArray("SELECT \"氏名\", \"WebHome\", \"記事\" FROM ") + kView
                                  + " WHERE \"会員区分\" = 1 LIMIT 1");
        if (sqlite3_step(s) == SQLITE_ROW)
            for (int i = 0; i < 3; ++i)
                (void)sqlite3_column_text(s, i);
        sqlite3_finalize(s);
        return int(names.size());
    }

    // A record numbered after the largest, in the category, and the records keyed and the
    // category read again, as the window reopens its records.
    void add(qint64 code) const
    {
        sqlite3_stmt* s = prepare(QByteArray("SELECT MAX(\"会員NO\") FROM \"") + db::schema::personTableName().toUtf8() + '"');
        sqlite3_step(s);
        const qint64 no = sqlite3_column_int64(s, 0) + 1;
        sqlite3_finalize(s);
        s = prepare(QByteArray("INSERT INTO \"") + db::schema::personTableName().toUtf8()
                    + "\"(\"会員NO\", \"登録日\", \"性別\", \"状態\", \"会員区分\", \"フリガナ\", \"氏名\") "
                      "VALUES(?, date('now'), '1', '1', ?, '', '新規')");
        sqlite3_bind_int64(s, 1, no);
        sqlite3_bind_int64(s, 2, code);
        if (sqlite3_step(s) != SQLITE_DONE)
            qFatal("plain add: %s", sqlite3_errmsg(h_));
        sqlite3_finalize(s);
        (void)keys();
        (void)sites(code);
    }

    // The record in the middle of the category, its row key taken untimed by middleOf.
    qint64 middleOf(qint64 code) const
    {
        const qsizetype count = sites(code).size();
        sqlite3_stmt* s = prepare(QByteArray("SELECT \"_rowid\" FROM ") + kView + " WHERE \"会員区分\" = ? LIMIT 1 OFFSET ?");
        sqlite3_bind_int64(s, 1, code);
        sqlite3_bind_int64(s, 2, count / 2);
        const qint64 key = sqlite3_step(s) == SQLITE_ROW ? sqlite3_column_int64(s, 0) : 0;
        sqlite3_finalize(s);
        return key;
    }
    void remove(qint64 key, qint64 code) const
    {
        sqlite3_stmt* s = prepare(QByteArray("DELETE FROM \"") + db::schema::personTableName().toUtf8() + "\" WHERE rowid = ?");
        sqlite3_bind_int64(s, 1, key);
        if (sqlite3_step(s) != SQLITE_DONE)
            qFatal("plain delete: %s", sqlite3_errmsg(h_));
        sqlite3_finalize(s);
        (void)keys();
        (void)sites(code);
    }

    // The category's addresses that are not blank, handed to the opener.
    int openAll(qint64 code) const
    {
        sqlite3_stmt* s = prepare(QByteArray("SELECT \"WebHome\" FROM ") + kView
                                  + " WHERE \"会員区分\" = ? AND trim(\"WebHome\", ' ') <> ''");
        sqlite3_bind_int64(s, 1, code);
        int opened = 0;
        while (sqlite3_step(s) == SQLITE_ROW) {
            QString error;
            opened += desktop::opener().openUrl(QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(s, 0))), &error, {});
        }
        sqlite3_finalize(s);
        return opened;
    }

private:
    sqlite3_stmt* prepare(const QByteArray& sql) const
    {
        sqlite3_stmt* s = nullptr;
        if (sqlite3_prepare_v2(h_, sql.constData(), -1, &s, nullptr) != SQLITE_OK)
            qFatal("%s: %s", sql.constData(), sqlite3_errmsg(h_));
        return s;
    }
    sqlite3* h_ = nullptr;
};

// A workload whose window shows something else than plain SQLite would is measured, and told.
void check(const QString& name, qsizetype got, qsizetype expected)
{
    if (got != expected)
        qWarning("%s: %lld lines where plain SQLite has %lld", qPrintable(name), qint64(got), qint64(expected));
}

QList<Result> run(const Options& o)
{
    QList<Result> out;
    const QStringList names = {QStringLiteral("weblink-load"), QStringLiteral("weblink-last-category"),
                               QStringLiteral("weblink-one-category"), QStringLiteral("weblink-add"),
                               QStringLiteral("weblink-delete"), QStringLiteral("weblink-open-all")};
    bool any = false;
    for (const QString& name : names)
        any = any || wanted(o, name);
    if (!any)
        return out;

    ui::ScriptedDialogs dialogs;
    ui::ScopedDialogs scope(&dialogs);
    desktop::RecordingOpener opener;
    desktop::ScopedOpener openerScope(&opener);

    for (int n : o.sizes) {
        ensureBook(o, n);
        const QString spread = spreadBook(o, n, false);
        const QString one = spreadBook(o, n, true);
        Module1::PublishCurrentBook(spread);
        const Plain plain(spread);
        std::unique_ptr<Form6> w;
        // The last category line holds code 20.
        constexpr qint64 kLast = 20;

        if (wanted(o, names[0])) {
            Result r{names[0], n};
            r.median = medianSeconds(o.runs, [&] {
                w = std::make_unique<Form6>();
                w->formLoad();
            }, [&] { w.reset(); });
            int shown = 0;
            r.baseline = medianSeconds(o.runs, [&] { shown = plain.load(); });
            check(names[0], w->siteLines().size(), shown);
            out << r;
        }
        w = std::make_unique<Form6>();
        w->formLoad();
        if (wanted(o, names[1])) {
            Result r{names[1], n};
            r.median = medianSeconds(o.runs, [&] { w->selectCategory(19); }, [&] { w->selectCategory(0); });
            QStringList shown;
            r.baseline = medianSeconds(o.runs, [&] { shown = plain.sites(kLast); });
            check(names[1], w->siteLines().size(), shown.size());
            out << r;
        }
        if (wanted(o, names[3])) {
            Result r{names[3], n};
            r.median = medianSeconds(o.runs, [&] {
                dialogs.queueAnswer(ui::Answer::Yes);
                w->command1(3)->click();
            }, [&] { w->selectCategory(19); });
            check(names[3], w->siteLines().size(), plain.sites(kLast).size());
            r.baseline = medianSeconds(o.runs, [&] { plain.add(kLast); });
            out << r;
        }
        if (wanted(o, names[4])) {
            Result r{names[4], n};
            r.median = medianSeconds(o.runs, [&] {
                dialogs.queueAnswer(ui::Answer::Yes);
                w->command1(4)->click();
            }, [&] {
                w->selectCategory(19);
                w->selectSite(w->siteLines().size() / 2);
            });
            check(names[4], w->siteLines().size(), plain.sites(kLast).size());
            qint64 key = 0;
            r.baseline = medianSeconds(o.runs, [&] { plain.remove(key, kLast); }, [&] { key = plain.middleOf(kLast); });
            out << r;
        }
        if (wanted(o, names[5])) {
            Result r{names[5], n};
            r.median = medianSeconds(o.runs, [&] {
                if (w->siteLines().size() > 20)
                    dialogs.queueAnswer(ui::Answer::Yes);
                w->command1(1)->click();
            }, [&] {
                w->selectCategory(0);
                opener.requestedUrls.clear();
                opener.openedUrls.clear();
            });
            const qsizetype opened = opener.openedUrls.size();
            int plainOpened = 0;
            r.baseline = medianSeconds(o.runs, [&] { plainOpened = plain.openAll(1); }, [&] {
                opener.requestedUrls.clear();
                opener.openedUrls.clear();
            });
            check(names[5], opened, plainOpened);
            out << r;
        }
        w.reset();

        if (wanted(o, names[2])) {
            Module1::PublishCurrentBook(one);
            const Plain plainOne(one);
            auto single = std::make_unique<Form6>();
            single->formLoad();
            Result r{names[2], n};
            r.median = medianSeconds(o.runs, [&] { single->selectCategory(0); }, [&] { single->selectCategory(1); });
            QStringList shown;
            r.baseline = medianSeconds(o.runs, [&] { shown = plainOne.sites(1); });
            check(names[2], single->siteLines().size(), shown.size());
            if (single->siteLines() != shown)
                qWarning("%s: the lines differ from plain SQLite's", qPrintable(names[2]));
            out << r;
        }
        Module1::BookSettingsRs = db::Recordset();
        Module1::CurrentDb = db::Database();
        dialogs.clearRecord();
    }
    return out;
}

const RegisterGroup group(QStringLiteral("weblinks"), run);

} // namespace
