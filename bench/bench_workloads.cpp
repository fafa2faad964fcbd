// Workloads of the program on books of generated records, each beside a baseline that does the
// same work with plain SQLite (C calls or the sqlite3 tool) in the same run, so that the ratio
// holds on a noisy machine. Prints one line per workload and size and writes the same as JSON.
//
//   bench_workloads [--sizes 1000,10000,100000] [--runs 5] [--work <folder>] [--json <file>]

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

int main(int argc, char* argv[])
{
    // The printing probe starts as a program does, before any QApplication.
    for (int i = 1; i + 1 < argc; ++i)
        if (std::strcmp(argv[i], "--print-probe") == 0)
            return bench::printProbe(argc, argv, QString::fromLocal8Bit(argv[i + 1]));
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QCommandLineParser p;
    p.addOption({"sizes", "record counts", "list", "1000,10000,100000"});
    p.addOption({"runs", "runs of each workload", "n", "5"});
    p.addOption({"work", "folder for the generated books (kept between runs)", "folder"});
    p.addOption({"json", "where to write the results", "file"});
    p.addOption({"only", "run only the workloads whose name contains this", "text"});
    p.addOption({"memory-probe", "internal: load the record window on a book and print the peak memory", "book"});
    p.addOption({"print-probe", "internal: print every record of a book as labels to PDF in a fresh process (program|book|pdf or plain|book|pdf)", "what"});
    p.addOption({"mail-window-probe", "internal: load the mail window on book|maildir and print the peak memory", "book"});
    p.process(app);

    if (p.isSet("memory-probe"))
        return bench::memoryProbe(p.value("memory-probe"));
    if (p.isSet("mail-window-probe"))
        return bench::mailWindowMemoryProbe(p.value("mail-window-probe"));

    QTemporaryDir scratch;
    const QString work = p.isSet("work") ? p.value("work") : scratch.path();
    QDir().mkpath(work);
    bench::Options o;
    o.runs = qMax(1, p.value("runs").toInt());
    o.work = QDir(work).absolutePath();
    o.only = p.value("only");
    o.self = QCoreApplication::applicationFilePath();
    for (const QString& s : p.value("sizes").split(',', Qt::SkipEmptyParts))
        o.sizes << s.toInt();

    std::printf("%-22s %9s %11s %11s %7s %9s\n", "workload", "records", "median_s", "baseline_s", "ratio", "peak_MB");
    const QList<bench::Result> results = bench::runAll(o);
    QJsonArray arr;
    for (const bench::Result& r : results) {
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
