// How long the record window takes to load a large address book until its first record is
// shown. Makes a book of generated records once, then loads the window several times in each
// display order and prints the median. Then times the record list alone (its bulk read and its
// lines), a change of display order, the birthday order with every "誕生日" stale, and a kana jump.
//
//   bench_record_window_load [records] [runs]     (defaults: 100000 records, 7 runs)

#include "DemoFolder.h"
#include "platform/db/Database.h"
#include "platform/ui/ScriptedDialogs.h"
#include "records/Birthdays.h"
#include "records/Form3.h"
#include "records/RecordListLine.h"
#include "shell/Module1.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QAbstractItemView>
#include <QScrollBar>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

// What the main window does at start and at its menu click.
void openShared(const QString& folder, const QString& book)
{
    Module1::OpenCommonDatabase(folder + QStringLiteral("/共通情報/共通情報.mdb"));
    Module1::PublishCurrentBook(book);
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    const size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

// Median milliseconds of runs calls; prepare runs untimed before each.
template <class F, class P>
double timeMs(int runs, F&& work, P&& prepare)
{
    std::vector<double> times;
    QElapsedTimer timer;
    for (int r = 0; r < runs; ++r) {
        prepare();
        timer.restart();
        work();
        times.push_back(double(timer.nsecsElapsed()) / 1e6);
    }
    return median(times);
}

template <class F>
double timeMs(int runs, F&& work)
{
    return timeMs(runs, std::forward<F>(work), [] {});
}

// The record list, the orders and the kana index of one loaded window.
int benchListAndOrders(const QString& folder, const QString& book, int records, int runs)
{
    {
        db::Database d = db::Database::open(book);
        d.execute(QStringLiteral("UPDATE \"管理情報\" SET \"表示順番\" = '1'"));
    }
    openShared(folder, book);
    ui::ScriptedDialogs dialogs;
    ui::ScopedDialogs useDialogs(&dialogs);
    Form3 window;
    window.formLoad();
    auto* list = window.findChild<QAbstractItemView*>(QStringLiteral("List1"));
    if (list->model()->rowCount() != records) {
        std::fprintf(stderr, "the record list has %d lines, not %d\n", list->model()->rowCount(), records);
        return 1;
    }

    const db::Recordset& rs = window.cursor().records();
    QList<QVariantList> rows;
    const double read = timeMs(runs, [&] { rows = rs.readColumns(records::RecordListFields()); });
    const double lines = timeMs(runs, [&] { records::RecordListLines(rows, QDate(2024, 4, 1)); });
    const double fill = timeMs(runs, [&] { window.FillRecordList(); });
    std::printf("record list, %d records: FillRecordList median %.1f ms (bulk read %.1f ms, lines %.1f ms)\n", records,
                fill, read, lines);

    // From the number order to the reading order and back, each a reopening and a rebuilt list.
    const double order = timeMs(runs, [&] { window.Option2_Click(2); }, [&] { window.Option2_Click(0); });
    std::printf("display order change, %d records: median %.1f ms\n", records, order);

    const double kana = timeMs(runs, [&] { window.Label1_Click(9); }, [&] { window.hScroll1()->setValue(0); });
    std::printf("kana jump to the last reading, %d records: median %.1f ms\n", records, kana);

    // The birthday order with every day stale: the whole book rewritten, then reopened.
    const double birthdays = timeMs(runs, [&] { window.Option2_Click(5); }, [&] {
        window.Option2_Click(0);
        window.windowDb().execute(QStringLiteral("UPDATE \"個人台帳\" SET \"誕生日\" = NULL"));
    });
    const double current = timeMs(runs, [&] { window.Option2_Click(5); }, [&] { window.Option2_Click(0); });
    const double rewrite = timeMs(runs, [&] { records::RewriteBirthdays(window.windowDb()); }, [&] {
        window.windowDb().execute(QStringLiteral("UPDATE \"個人台帳\" SET \"誕生日\" = NULL"));
    });
    std::printf("birthday rewrite alone, %d records all stale: median %.1f ms\n", records, rewrite);
    std::printf("birthday order, %d records: median %.1f ms with every day stale, %.1f ms with none\n", records,
                birthdays, current);
    if (!dialogs.shown().isEmpty()) {
        std::fprintf(stderr, "unexpected message: %s\n", qPrintable(dialogs.shownTexts().join(QLatin1Char('|'))));
        return 1;
    }
    return 0;
}

} // namespace

int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int records = argc > 1 ? std::max(1, std::atoi(argv[1])) : 100000;
    const int runs = argc > 2 ? std::max(1, std::atoi(argv[2])) : 7;

    QTemporaryDir dir;
    QString error;
    QElapsedTimer timer;
    timer.start();
    if (!demo::makeGeneratedBook(dir.path(), records, QStringLiteral("ベンチ"), &error)) {
        std::fprintf(stderr, "cannot make the book: %s\n", qPrintable(error));
        return 1;
    }
    std::printf("book of %d records written in %lld ms\n", records, static_cast<long long>(timer.elapsed()));
    const QString book = dir.filePath(QStringLiteral("ベンチ.mdb"));

    std::vector<double> all;
    for (int order = 1; order <= 6; ++order) {
        {
            db::Database d = db::Database::open(book);
            d.execute(QStringLiteral("UPDATE \"管理情報\" SET \"表示順番\" = ?"), {QString::number(order)});
        }
        openShared(dir.path(), book);
        std::vector<double> times;
        for (int r = 0; r < runs; ++r) {
            timer.restart();
            auto* window = new Form3;
            window->formLoad();
            const double ms = double(timer.nsecsElapsed()) / 1e6;
            if (window->cursor().count() != records
                || window->findChild<QLineEdit*>(QStringLiteral("Text1_0"))->text().isEmpty()) {
                std::fprintf(stderr, "order %d: the first record was not shown\n", order);
                return 1;
            }
            delete window;
            times.push_back(ms);
            all.push_back(ms);
        }
        std::printf("display order %d: median %.1f ms over %d loads (min %.1f, max %.1f)\n", order, median(times), runs,
                    *std::min_element(times.begin(), times.end()), *std::max_element(times.begin(), times.end()));
    }
    std::printf("record window load, %d records: median %.1f ms\n", records, median(all));

    if (const int failed = benchListAndOrders(dir.path(), book, records, runs))
        return failed;

    Module1::CloseSharedObjects();
    return 0;
}
