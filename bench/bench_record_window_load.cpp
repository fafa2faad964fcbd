// How long the record window takes to load a large address book until its first record is
// shown. Makes a book of generated records once, then loads the window several times in each
// display order and prints the median.
//
//   bench_record_window_load [records] [runs]     (defaults: 100000 records, 7 runs)

#include "DemoFolder.h"
#include "platform/db/Database.h"
#include "records/Form3.h"
#include "shell/Module1.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

// What the main window does at start and at its menu click.
void openShared(const QString& folder, const QString& book)
{
    using namespace Module1;
    CommonDb = db::Database::open(folder + QStringLiteral("/共通情報/共通情報.mdb"));
    CommonSettingsRs = CommonDb.openRecordset(QStringLiteral("基本情報"), db::RecordsetType::Table);
    EraRs = CommonDb.openRecordset(QStringLiteral("年号ｺｰﾄﾞ"), db::RecordsetType::Snapshot);
    CurrentDb = db::Database::open(book);
    BookSettingsRs = CurrentDb.openRecordset(QStringLiteral("管理情報"), db::RecordsetType::Table);
    DbFile f;
    f.FullPath = book;
    SplitDbFilePath(f, f);
    CurrentDbFile = f;
    CurrentDbFileCopy = f;
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    const size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
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

    Module1::CloseSharedObjects();
    return 0;
}
