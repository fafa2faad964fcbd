// The web-link window on books of 20 categories: load, a click on the last category, a category
// holding every record, adding and deleting a site with the list read again, and opening the
// pages of a category of 1,000 addresses through a recording opener.

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
        std::unique_ptr<Form6> w;

        if (wanted(o, names[0]))
            out << Result{names[0], n, medianSeconds(o.runs, [&] {
                              w = std::make_unique<Form6>();
                              w->formLoad();
                          }, [&] { w.reset(); })};
        w = std::make_unique<Form6>();
        w->formLoad();
        if (wanted(o, names[1]))
            out << Result{names[1], n, medianSeconds(o.runs, [&] { w->selectCategory(19); }, [&] { w->selectCategory(0); })};
        if (wanted(o, names[3]))
            out << Result{names[3], n, medianSeconds(o.runs, [&] {
                              dialogs.queueAnswer(ui::Answer::Yes);
                              w->command1(3)->click();
                          }, [&] { w->selectCategory(19); })};
        if (wanted(o, names[4]))
            out << Result{names[4], n, medianSeconds(o.runs, [&] {
                              dialogs.queueAnswer(ui::Answer::Yes);
                              w->command1(4)->click();
                          }, [&] {
                              w->selectCategory(19);
                              w->selectSite(w->siteLines().size() / 2);
                          })};
        if (wanted(o, names[5]))
            out << Result{names[5], n, medianSeconds(o.runs, [&] {
                              if (w->siteLines().size() > 20)
                                  dialogs.queueAnswer(ui::Answer::Yes);
                              w->command1(1)->click();
                          }, [&] {
                              w->selectCategory(0);
                              opener.requestedUrls.clear();
                              opener.openedUrls.clear();
                          })};
        w.reset();

        if (wanted(o, names[2])) {
            Module1::PublishCurrentBook(one);
            auto single = std::make_unique<Form6>();
            single->formLoad();
            out << Result{names[2], n, medianSeconds(o.runs, [&] { single->selectCategory(0); }, [&] { single->selectCategory(1); })};
        }
        Module1::BookSettingsRs = db::Recordset();
        Module1::CurrentDb = db::Database();
        dialogs.clearRecord();
    }
    return out;
}

const RegisterGroup group(QStringLiteral("weblinks"), run);

} // namespace
