// Workloads of the program on books of generated records, each beside a baseline that does the
// same work with plain SQLite (C calls or the sqlite3 tool) in the same run, so that the ratio
// holds on a noisy machine. Prints one line per workload and size and writes the same as JSON.
//
//   bench_workloads [--sizes 1000,10000,100000] [--runs 5] [--work <folder>] [--json <file>]
//                   [--only <name>] [--side program|baseline]

#include "BenchCommon.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <cstdio>
#include <cstring>

// What each baseline does, one line each: the plain way of the same work, in the same run.
static const char* const kBaselines[][2] = {
    {"list-101-books", "101 books opened with plain SQLite, each one's title read"},
    {"record-load", "the keys of the first display order's query read, then its first row"},
    {"record-next", "one record read whole by its key and the shown picture's file looked at (the paint is the program's only)"},
    {"record-order", "the keys of the reading-order query read"},
    {"record-search", "every name read on a kept connection, folded as the search folds, the folded key looked for; the shown record read again"},
    {"record-search-kana", "every reading read on a kept connection, folded as the search folds, the folded key looked for; the shown record read again"},
    {"record-search-phone", "count(*) of the records whose home or mobile number holds the key"},
    {"csv-export", "the sqlite3 tool writing the whole first-order query as CSV"},
    {"csv-import", "the file decoded, split and inserted with one bound statement in one transaction, indexes rebuilt"},
    {"dialler-load", "every column of the member's history rows read"},
    {"dialler-load-large", "the keys of the member's 1/10 of the history read, and every column of the 40 rows shown"},
    {"dialler-delete-all", "the member's history rows deleted in one transaction"},
    {"filtered-open", "every column of one member's history rows read with a bound statement"},
    {"find-first", "the keys of the last category's records read from the category-ordered query"},
    {"list-load", "the records counted and the first order's first 20 rows read in one read (the paint is the program's only)"},
    {"list-load-copied", "the first order's query copied into a temporary table"},
    {"list-order-N", "order N's query copied into a temporary table"},
    {"list-page-next", "the same 20 rows of the page read from a temporary copy of the query (the paint is the program's only)"},
    {"list-page-last", "the same 20 rows of the page read from a temporary copy of the query (the paint is the program's only)"},
    {"list-page-end", "the same 20 rows of the page read from a temporary copy of the query (the paint is the program's only)"},
    {"list-page-back", "the same 20 rows of the page read from a temporary copy of the query (the paint is the program's only)"},
    {"mail-fetch", "every message file parsed by GMime in the same process"},
    {"mail-send", "the same fake sendmail started with posix_spawn and the same bytes, once per message"},
    {"mail-recipients", "the \"全員\" addresses and names read from the first-order query and joined"},
    {"mail-register", "the senders inserted in one transaction, then one mkdir for each of both folders of every record"},
    {"mail-csv", "the same cells read from a snapshot of the Maildir, quoted, each line encoded to code page 932 and written, the file put in place at the end"},
    {"mail-csv-bodies", "the same, each file's body text read by GMime as its line is written (at 100,000: 2,000 messages of 1 MB bodies)"},
    {"mailwin-recipients", "the \"全員\" texts read and joined, and their shown start put into two plain line edits"},
    {"mailwin-load-sparse", "the 2,000 ordinary message files parsed whole by GMime's file stream (the 1 GB file left out)"},
    {"mailwin-load-parts", "the 2,000 ordinary message files and one plain text message of the hostile file's size parsed whole by GMime's file stream"},
    {"mailwin-load-parts-4mb", "the same, with a plain text message of the 4 MB file's size"},
    {"mailwin-load-nested", "the same, with a plain text message of the nested file's size"},
    {"mailwin-load-hostile", "the 2,000 ordinary message files parsed whole by GMime's file stream (the four hostile files left out)"},
    {"printing-load", "the keys of the first order's query read"},
    {"printing-labels-pdf", "the label lines read with plain SQLite and drawn with QPainter into a PDF"},
    {"viewer-open-metafiles", "a plain window shown with the JPEG read at the fitted size"},
    {"viewer-metafile-wait", "the longest wait of the same timer on an idle event loop for a second"},
    {"weblink-load", "the title, captions and categories read, the category-ordered query keyed, category 1's names read"},
    {"weblink-last-category", "the names of the last category's records read with one bound statement"},
    {"weblink-one-category", "the names of the category holding every record read with one bound statement"},
    {"weblink-add", "a record inserted, the category-ordered query keyed again and the category's names read"},
    {"weblink-delete", "a record deleted, the category-ordered query keyed again and the category's names read"},
    {"weblink-open-all", "the category's non-blank addresses read and handed to the same opener"},
};

static QString baselineHelp()
{
    QString text = QStringLiteral(
        "Workloads of the program on generated books, each beside a plain baseline (SQLite with the program's page\n"
        "cache, GMime, QPainter) run in the same process; ratio = median / baseline. The baselines:\n");
    for (const auto& b : kBaselines)
        text += QStringLiteral("  %1 %2\n").arg(QString::fromUtf8(b[0]), -22).arg(QString::fromUtf8(b[1]));
    text += QStringLiteral("Workloads without a baseline hold an absolute bar.");
    return text;
}

// True when --help says what the workload's baseline does.
static bool described(const QString& workload)
{
    for (const auto& b : kBaselines) {
        const QString name = QString::fromUtf8(b[0]);
        if (name == workload || (name.endsWith(QLatin1String("-N")) && workload.startsWith(name.chopped(1))))
            return true;
    }
    return false;
}

int main(int argc, char* argv[])
{
    // The printing probe starts as a program does, before any QApplication.
    for (int i = 1; i + 1 < argc; ++i)
        if (std::strcmp(argv[i], "--print-probe") == 0)
            return bench::printProbe(argc, argv, QString::fromLocal8Bit(argv[i + 1]));
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QCommandLineParser p;
    p.setApplicationDescription(baselineHelp());
    p.addHelpOption();
    p.addOption({"sizes", "record counts", "list", "1000,10000,100000"});
    p.addOption({"runs", "runs of each workload", "n", "5"});
    p.addOption({"work", "folder for the generated books (kept between runs)", "folder"});
    p.addOption({"json", "where to write the results", "file"});
    p.addOption({"only", "run only the workloads whose name contains this", "text"});
    p.addOption({"side", "run only one side of the list window's workloads: program or baseline (for an instruction count)", "side"});
    p.addOption({"memory-probe", "internal: load the record window on a book and print the peak memory", "book"});
    p.addOption({"print-probe", "internal: print every record of a book as labels to PDF in a fresh process (program|book|pdf or plain|book|pdf)", "what"});
    p.addOption({"mail-window-probe", "internal: load the mail window on book|maildir and print the peak memory", "book"});
    p.addOption({"mail-window-readers-probe", "internal: load the mail window on book|maildir and print the peak memory of it and of its mail readers", "book"});
    p.addOption({"mail-csv-probe", "internal: write the received-mail list with bodies of maildir|file and print the peak memory", "maildir"});
    p.process(app);

    if (p.isSet("memory-probe"))
        return bench::memoryProbe(p.value("memory-probe"));
    if (p.isSet("mail-window-probe"))
        return bench::mailWindowMemoryProbe(p.value("mail-window-probe"));
    if (p.isSet("mail-window-readers-probe"))
        return bench::mailWindowReadersProbe(p.value("mail-window-readers-probe"));
    if (p.isSet("mail-csv-probe"))
        return bench::mailCsvMemoryProbe(p.value("mail-csv-probe"));

    QTemporaryDir scratch;
    const QString work = p.isSet("work") ? p.value("work") : scratch.path();
    QDir().mkpath(work);
    bench::Options o;
    o.runs = qMax(1, p.value("runs").toInt());
    o.work = QDir(work).absolutePath();
    o.only = p.value("only");
    o.side = p.value("side");
    o.self = QCoreApplication::applicationFilePath();
    for (const QString& s : p.value("sizes").split(',', Qt::SkipEmptyParts))
        o.sizes << s.toInt();

    std::printf("%-22s %9s %11s %11s %7s %9s\n", "workload", "records", "median_s", "baseline_s", "ratio", "peak_MB");
    const QList<bench::Result> results = bench::runAll(o);
    QJsonArray arr;
    for (const bench::Result& r : results) {
        if (r.baseline > 0 && !described(r.name))
            std::fprintf(stderr, "%s has a baseline that --help does not describe\n", qPrintable(r.name));
        QJsonObject j{{"workload", r.name}, {"records", r.records}, {"median_s", r.median}};
        if (r.baseline > 0) {
            j["baseline_s"] = r.baseline;
            j["ratio"] = r.median / r.baseline;
        }
        if (r.peakMB > 0)
            j["peak_MB"] = r.peakMB;
        arr.append(j);
    }
    const QString json = p.isSet("json") ? p.value("json") : QDir(work).filePath("bench.json");
    QFile f(json);
    if (f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        f.write(QJsonDocument(arr).toJson());
    std::printf("results written to %s\n", qPrintable(json));
    return 0;
}
