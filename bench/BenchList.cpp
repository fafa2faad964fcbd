// The list window's workloads: its load and its six order changes beside the plain SQLite copy of
// the same query, page moves on the shown window, the peak memory of a process showing it, and
// "WEB区分" over a category of 1,000 records.

#include "BenchCommon.h"

#include "list/Form4.h"
#include "platform/db/Database.h"
#include "platform/shell/RecordingOpener.h"
#include "platform/ui/ScriptedDialogs.h"
#include "records/DisplayOrder.h"
#include "shell/Module1.h"

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
    const QStringList names = {QStringLiteral("list-load"), QStringLiteral("list-order"), QStringLiteral("list-page"),
                               QStringLiteral("list-memory"), QStringLiteral("list-webcategory")};
    if (std::none_of(names.begin(), names.end(), [&](const QString& name) { return wanted(o, name); }))
        return out;
    ensureBook(o, n);
    const QString book = bookPath(o, n);
    setOrder(book, 1);

    if (wanted(o, QStringLiteral("list-load"))) {
        Result r{QStringLiteral("list-load"), n};
        r.median = medianSeconds(o.runs, [&] {
            Form4 w;
            w.formLoad();
        }, [&] { Module1::PublishCurrentBook(book); });
        r.baseline = medianSeconds(o.runs, [&] { sqliteCopy(book, listwin::OrderSnapshotSql(1)); });
        out << r;
    }

    Module1::PublishCurrentBook(book);
    Form4 w;
    w.formLoad();
    w.show();
    if (wanted(o, QStringLiteral("list-order"))) {
        for (int order = 1; order <= 6; ++order) {
            Result r{QStringLiteral("list-order-%1").arg(order), n};
            // From another order each time, so that every run opens the records.
            r.median = medianSeconds(o.runs, [&] { w.Option2_Click(order - 1); },
                                     [&] { w.Option2_Click(order == 1 ? 1 : 0); });
            r.baseline = medianSeconds(o.runs, [&] { sqliteCopy(book, listwin::OrderSnapshotSql(order)); });
            out << r;
        }
        w.Option2_Click(0);
    }
    if (wanted(o, QStringLiteral("list-page"))) {
        const int runs = qMax(o.runs, 25);
        QScrollBar* bar = w.hScroll1();
        auto page = [&](const QString& name, const std::function<void()>& move, const std::function<void()>& before) {
            Result r{name, n};
            r.median = medianSeconds(runs, move, before);
            out << r;
        };
        page(QStringLiteral("list-page-next"), [&] { w.Command1_Click(2); }, [&] { bar->setValue(0); });
        page(QStringLiteral("list-page-last"), [&] { w.Command1_Click(3); }, [&] { bar->setValue(0); });
        page(QStringLiteral("list-page-end"), [&] { bar->setValue(bar->maximum()); }, [&] { bar->setValue(0); });
        page(QStringLiteral("list-page-back"), [&] { bar->setValue(0); }, [&] { bar->setValue(bar->maximum()); });
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
