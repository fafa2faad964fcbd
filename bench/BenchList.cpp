// The list window's workloads: its load (the first page shown, and the whole snapshot copied) and its
// six order changes beside plain SQLite doing the same reads, page moves on the shown window with
// their paint beside plain SQLite reading the same twenty rows, the peak memory of a process
// showing it, and "WEB区分" over a category of 1,000 records.
//
// Baselines, one line each:
//   list-load          plain SQLite counting the records and reading the query's first 20 rows in one read
//                      (the page's paint is the program's only)
//   list-load-copied   plain SQLite copying the whole query into a temporary table
//   list-order-1..6    plain SQLite copying the whole query of that order into a temporary table
//   list-page-*        plain SQLite reading the same 20 rows of the page from a temporary copy of
//                      the query (the page's paint is the program's only)

#include "BenchCommon.h"

#include "list/Form4.h"
#include "platform/db/Database.h"
#include "platform/shell/RecordingOpener.h"
#include "platform/ui/ScriptedDialogs.h"
#include "records/DisplayOrder.h"
#include "shell/Module1.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFocusEvent>
#include <QLineEdit>
#include <QProcess>
#include <QScrollBar>
#include <sqlite3.h>

namespace bench {

namespace {

void setOrder(const QString& book, int order)
{
    db::Database::open(book).execute(QStringLiteral("UPDATE \"管理情報\" SET \"表示順番\" = ?"),
                                     {QString::number(order)});
}

// What the list window's snapshot does, with plain SQLite: the query copied into a temporary table.
void sqliteCopy(const QString& book, const QString& select)
{
    sqlite3* h = bench::openPlain(book, SQLITE_OPEN_READWRITE);
    const QByteArray sql = "CREATE TEMP TABLE copy AS " + select.toUtf8();
    sqlite3_exec(h, sql.constData(), nullptr, nullptr, nullptr);
    sqlite3_exec(h, "DROP TABLE temp.copy", nullptr, nullptr, nullptr);
    sqlite3_close(h);
}

// What the list window must read before its first page, with plain SQLite: the count of the records
// and the first 20 rows of the query, in one read.
void sqliteFirstPage(const QString& book, const QString& select)
{
    sqlite3* h = nullptr;
    sqlite3_open_v2(QFile::encodeName(book).constData(), &h, SQLITE_OPEN_READONLY, nullptr);
    sqlite3_exec(h, "BEGIN", nullptr, nullptr, nullptr);
    sqlite3_stmt* s = nullptr;
    const QByteArray count = listwin::OrderCountSql().toUtf8();
    sqlite3_prepare_v2(h, count.constData(), -1, &s, nullptr);
    sqlite3_step(s);
    sqlite3_finalize(s);
    const QByteArray page = select.toUtf8() + " LIMIT 20";
    sqlite3_prepare_v2(h, page.constData(), -1, &s, nullptr);
    while (sqlite3_step(s) == SQLITE_ROW)
        for (int i = 0; i < sqlite3_column_count(s); ++i)
            sqlite3_column_text(s, i);
    sqlite3_finalize(s);
    sqlite3_exec(h, "COMMIT", nullptr, nullptr, nullptr);
    sqlite3_close(h);
}

// Plain SQLite over a temporary copy of a query, as the list window reads its snapshot: the 20
// rows of a page by their place.
class PlainPages {
public:
    PlainPages(const QString& book, const QString& select)
    {
        sqlite3_open_v2(QFile::encodeName(book).constData(), &h_, SQLITE_OPEN_READONLY, nullptr);
        const QByteArray sql = "CREATE TEMP TABLE copy AS " + select.toUtf8();
        sqlite3_exec(h_, sql.constData(), nullptr, nullptr, nullptr);
        sqlite3_prepare_v2(h_, "SELECT * FROM temp.copy WHERE rowid BETWEEN ?1 AND ?1 + 19", -1, &page_, nullptr);
    }
    ~PlainPages()
    {
        sqlite3_finalize(page_);
        sqlite3_close(h_);
    }
    PlainPages(const PlainPages&) = delete;
    PlainPages& operator=(const PlainPages&) = delete;
    void read(int position)
    {
        sqlite3_bind_int64(page_, 1, position + 1);
        while (sqlite3_step(page_) == SQLITE_ROW)
            for (int i = 0; i < sqlite3_column_count(page_); ++i)
                sqlite3_column_text(page_, i);
        sqlite3_reset(page_);
    }

private:
    sqlite3* h_ = nullptr;
    sqlite3_stmt* page_ = nullptr;
};

// Runs the event loop until the window's snapshot is copied whole.
void finishCopy(const Form4& w)
{
    while (w.copyingRecords())
        QApplication::processEvents(QEventLoop::AllEvents);
}

double peakListMemoryMB(const Options& o, int n)
{
    const QString probe = QFileInfo(o.self).dir().filePath(QStringLiteral("bench_list_memory"));
    if (!QFileInfo::exists(probe)) {
        qWarning("list-memory: %s is not built", qPrintable(probe));
        return 0;
    }
    QProcess p;
    p.start(probe, {bookPath(o, n)});
    p.waitForFinished(-1);
    return QString::fromLatin1(p.readAllStandardOutput()).trimmed().toDouble() / 1024.0;
}

// A copy of the generated book whose first 1,000 records (or all, when fewer) form one category,
// each with a web address, in the category order.
QString categoryBook(const Options& o, int n)
{
    const QString path = QDir(o.work).filePath(QStringLiteral("list-web-%1.mdb").arg(n));
    if (QFile::exists(path))
        return path;
    QFile::copy(bookPath(o, n), path);
    const db::Database d = db::Database::open(path);
    d.execute(QStringLiteral("UPDATE \"個人台帳\" SET \"会員区分\" = CASE WHEN \"会員NO\" <= 1000 THEN 1 ELSE 2 END, "
                             "\"WebHome\" = 'https://example.org/' || \"会員NO\""));
    return path;
}

QList<Result> runList(const Options& o, int n)
{
    QList<Result> out;
    // A part runs when its name or the name of one of its workloads is asked for ("list-order-3").
    const auto asked = [&](const QString& part) { return wanted(o, part) || o.only.startsWith(part); };
    const QStringList names = {QStringLiteral("list-load"), QStringLiteral("list-order"), QStringLiteral("list-page"),
                               QStringLiteral("list-memory"), QStringLiteral("list-webcategory")};
    if (std::none_of(names.begin(), names.end(), asked))
        return out;
    ensureBook(o, n);
    const QString book = bookPath(o, n);
    setOrder(book, 1);

    if (wanted(o, QStringLiteral("list-load"))) {
        // Shown: the window loaded, shown and its first page painted.
        Result r{QStringLiteral("list-load"), n};
        r.median = programSeconds(o, [&] {
            Form4 w;
            w.formLoad();
            PaintCounter painted;
            painted.watch(&w);
            w.show();
            painted.settle();
        }, [&] { Module1::PublishCurrentBook(book); });
        r.baseline = baselineSeconds(o, [&] { sqliteFirstPage(book, listwin::OrderSnapshotSql(1)); });
        out << r;
    }
    if (wanted(o, QStringLiteral("list-load-copied"))) {
        Result whole{QStringLiteral("list-load-copied"), n};
        whole.median = programSeconds(o, [&] {
            Form4 w;
            w.formLoad();
            finishCopy(w);
        }, [&] { Module1::PublishCurrentBook(book); });
        whole.baseline = baselineSeconds(o, [&] { sqliteCopy(book, listwin::OrderSnapshotSql(1)); });
        out << whole;
    }

    Module1::PublishCurrentBook(book);
    Form4 w;
    w.formLoad();
    w.show();
    finishCopy(w);
    if (asked(QStringLiteral("list-order"))) {
        for (int order = 1; order <= 6; ++order) {
            Result r{QStringLiteral("list-order-%1").arg(order), n};
            if (!wanted(o, r.name))
                continue;
            // From another order each time, so that every run opens the records; until the
            // snapshot is copied whole.
            r.median = programSeconds(o, [&] {
                w.Option2_Click(order - 1);
                finishCopy(w);
            }, [&] {
                w.Option2_Click(order == 1 ? 1 : 0);
                finishCopy(w);
            });
            r.baseline = baselineSeconds(o, [&] { sqliteCopy(book, listwin::OrderSnapshotSql(order)); });
            out << r;
        }
        w.Option2_Click(0);
        finishCopy(w);
    }
    if (wanted(o, QStringLiteral("list-page"))) {
        // On the screen (the offscreen platform): a move is done when the window has painted it.
        const int runs = qMax(o.runs, 25);
        QScrollBar* bar = w.hScroll1();
        PaintCounter painted;
        painted.watch(&w);
        painted.settle();
        PlainPages plain(book, listwin::OrderSnapshotSql(1));
        const int last = qMax(0, bar->maximum());
        auto page = [&](const QString& name, const std::function<void()>& move, int from, int to) {
            Result r{name, n};
            r.median = medianSeconds(runs, [&] {
                move();
                painted.settle();
            }, [&] {
                bar->setValue(from);
                painted.settle();
            });
            r.baseline = medianSeconds(runs, [&] { plain.read(to); });
            out << r;
        };
        page(QStringLiteral("list-page-next"), [&] { w.Command1_Click(2); }, 0, qMin(20, last));
        page(QStringLiteral("list-page-last"), [&] { w.Command1_Click(3); }, 0, qMax(0, last - 19));
        page(QStringLiteral("list-page-end"), [&] { bar->setValue(bar->maximum()); }, 0, last);
        page(QStringLiteral("list-page-back"), [&] { bar->setValue(0); }, last, 0);
    }
    w.close();

    if (wanted(o, QStringLiteral("list-memory"))) {
        Result r{QStringLiteral("list-memory"), n};
        r.peakMB = peakListMemoryMB(o, n);
        out << r;
    }

    if (wanted(o, QStringLiteral("list-webcategory"))) {
        const QString web = categoryBook(o, n);
        setOrder(web, 4);
        Module1::PublishCurrentBook(web);
        Form4 list;
        list.formLoad();
        desktop::RecordingOpener opener;
        desktop::ScopedOpener scope(&opener);
        auto* dialogs = dynamic_cast<ui::ScriptedDialogs*>(&ui::dialogs());
        Result r{QStringLiteral("list-webcategory"), n};
        r.median = medianSeconds(o.runs, [&] { list.Command1_Click(7); }, [&] {
            opener.requestedUrls.clear();
            opener.openedUrls.clear();
            if (dialogs)
                dialogs->queueAnswer(ui::Answer::Yes);  // the question before more than 20 pages
        });
        if (opener.openedUrls.size() != qMin(n, 1000))
            qWarning("list-webcategory opened %d pages", int(opener.openedUrls.size()));
        out << r;
        Module1::PublishCurrentBook(book);
    }
    return out;
}

} // namespace

static RegisterGroup g(QStringLiteral("list"), [](const Options& o) {
    QList<Result> all;
    for (int n : o.sizes)
        all << runList(o, n);
    return all;
});

} // namespace bench
