#pragma once
// Shared pieces of the benchmarks: options, results, timing, generated books.

#include <QList>
#include <QObject>
#include <QWidget>
#include <QString>
#include <functional>

struct sqlite3;

namespace bench {

struct Options {
    QList<int> sizes;
    int runs = 5;
    QString work;   // books are made here once and kept
    QString only;
    QString self;   // this program, for the memory probe
    QString side;   // "program" or "baseline": only that side of a workload runs; empty: both
};

struct Result {
    QString name;
    int records = 0;
    double median = 0;
    double baseline = 0;  // 0: an absolute bar, no baseline
    double peakMB = 0;
};

// Median wall-clock seconds of runs calls of work; prepare runs untimed before each call.
double medianSeconds(int runs, const std::function<void()>& work, const std::function<void()>& prepare = {});
// The same for one side of a workload; 0 when --side leaves that side out.
double programSeconds(const Options& o, const std::function<void()>& work, const std::function<void()>& prepare = {});
double baselineSeconds(const Options& o, const std::function<void()>& work, const std::function<void()>& prepare = {});
// Every timed call goes through this one function, kept out of line, so that an instruction count
// can take the timed work alone (bench/callgrind-copy.sh: callgrind --toggle-collect).
void timedWork(const std::function<void()>& work);

// A folder holding the common database and a book of n generated records; made once.
QString bookFolder(const Options& o, int n);
QString bookPath(const Options& o, int n);
void ensureBook(const Options& o, int n);

void print(const Result& r);

// This process's peak resident memory so far (VmHWM) in kB; 0 when it cannot be read.
qint64 peakResidentKB();

// Plain SQLite on a book for a baseline (flags as for sqlite3_open_v2), with the page cache the
// program's engine gives its own connections, so that a sort that stays in memory for the
// program stays in memory for the baseline too. Fails loudly when the book cannot be opened.
sqlite3* openPlain(const QString& path, int flags);
// That page cache as "PRAGMA cache_size" gives it (negative: KiB), read from the engine once.
int programCacheSize(const QString& anyBook);

// A group of workloads kept in a file of its own, registered by a static object of that file.
// Groups run after the built-in workloads, in name order; each filters with wanted() itself.
using Group = std::function<QList<Result>(const Options& o)>;
struct RegisterGroup {
    RegisterGroup(const QString& name, Group g);
};
bool wanted(const Options& o, const QString& name);
QList<Result> runAll(const Options& o);

// The record window's workloads (load, next record, order change, search) and its peak memory.
QList<Result> runRecordWindow(const Options& o, int n);
int memoryProbe(const QString& book);
// The mail window loaded on "book|maildir": prints its peak memory.
int mailWindowMemoryProbe(const QString& bookAndMaildir);
int mailWindowReadersProbe(const QString& bookAndMaildir);
// The received-mail list with bodies of "maildir|path without .csv" written: prints its peak memory.
int mailCsvMemoryProbe(const QString& maildirAndOut);

// A print of every record as labels into a PDF file in this fresh process; what is
// "program|book|pdf" (the printing window) or "plain|book|pdf" (plain SQLite and QPdfWriter),
// both with the allocator set up as the programs set it ("program-defaults", "plain-defaults":
// as glibc has it); prints the seconds and the peak memory. Runs before any QApplication exists.
int printProbe(int argc, char* argv[], const QString& what);

// The recipients of "全員" (both kinds) read with plain SQLite: the addresses, and the names
// in *names when given.
QString plainRecipients(const QString& book, QString* names);

// Counts the paints of a window and of everything in it, so that a timed change can wait until
// the shown window has painted it.
class PaintCounter : public QObject {
public:
    int paints = 0;
    bool eventFilter(QObject*, QEvent* e) override;
    void watch(QWidget* w);
    void unwatch(QWidget* w);
    // Processes events until the paint a change caused is done (or nothing more is waiting).
    void settle() const;
};

} // namespace bench
