#include "BenchCommon.h"

#include "DemoFolder.h"
#include "platform/db/Database.h"
#include "platform/db/Schema.h"
#include "platform/text/Cp932.h"
#include "records/AddressBookCsv.h"
#include "shell/Form1.h"
#include "shell/Module1.h"
#include "platform/ui/ScriptedDialogs.h"

#include <QApplication>
#include <QDate>
#include <QEvent>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QMap>
#include <QProcess>
#include <QStringDecoder>
#include <algorithm>
#include <cstdio>
#include <sqlite3.h>

namespace bench {

double medianSeconds(int runs, const std::function<void()>& work, const std::function<void()>& prepare)
{
    QList<double> t;
    for (int i = 0; i < runs; ++i) {
        if (prepare)
            prepare();
        QElapsedTimer timer;
        timer.start();
        timedWork(work);
        t << timer.nsecsElapsed() / 1e9;
    }
    std::sort(t.begin(), t.end());
    return t[t.size() / 2];
}

__attribute__((noinline)) void timedWork(const std::function<void()>& work)
{
    work();
    asm volatile("" ::: "memory");  // not folded into its caller
}

double programSeconds(const Options& o, const std::function<void()>& work, const std::function<void()>& prepare)
{
    return o.side == QLatin1String("baseline") ? 0 : medianSeconds(o.runs, work, prepare);
}

double baselineSeconds(const Options& o, const std::function<void()>& work, const std::function<void()>& prepare)
{
    return o.side == QLatin1String("program") ? 0 : medianSeconds(o.runs, work, prepare);
}

QString bookFolder(const Options& o, int n) { return QDir(o.work).filePath(QStringLiteral("book%1").arg(n)); }
QString bookPath(const Options& o, int n) { return QDir(bookFolder(o, n)).filePath(QStringLiteral("生成住所録.mdb")); }

void ensureBook(const Options& o, int n)
{
    if (QFile::exists(bookPath(o, n)))
        return;
    QString error;
    if (!demo::makeGeneratedBook(bookFolder(o, n), n, {}, &error))
        qFatal("cannot make a book of %d records: %s", n, qPrintable(error));
}

void print(const Result& r)
{
    const QString base = r.baseline > 0 ? QString::number(r.baseline, 'f', 4) : QStringLiteral("-");
    const QString ratio = r.baseline > 0 ? QString::number(r.median / r.baseline, 'f', 2) : QStringLiteral("-");
    const QString peak = r.peakMB > 0 ? QString::number(r.peakMB, 'f', 1) : QStringLiteral("-");
    std::printf("%-22s %9d %11.4f %11s %7s %9s\n", qPrintable(r.name), r.records, r.median, qPrintable(base),
                qPrintable(ratio), qPrintable(peak));
    std::fflush(stdout);
}

int programCacheSize(const QString& anyBook)
{
    static const int size = [&] {
        const db::Database d = db::Database::open(anyBook, db::OpenMode::ReadOnly);
        return d.scalar(QStringLiteral("PRAGMA cache_size")).toInt();
    }();
    return size;
}

qint64 peakResidentKB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').first().toLongLong();
    return 0;
}

sqlite3* openPlain(const QString& path, int flags)
{
    const int cache = programCacheSize(path);
    sqlite3* h = nullptr;
    if (sqlite3_open_v2(QFile::encodeName(path).constData(), &h, flags, nullptr) != SQLITE_OK)
        qFatal("cannot open %s: %s", qPrintable(path), h ? sqlite3_errmsg(h) : "out of memory");
    const QByteArray pragma = "PRAGMA cache_size = " + QByteArray::number(cache);
    sqlite3_exec(h, pragma.constData(), nullptr, nullptr, nullptr);
    return h;
}

bool wanted(const Options& o, const QString& name) { return o.only.isEmpty() || name.contains(o.only); }

static QMap<QString, Group>& groups()
{
    static QMap<QString, Group> g;
    return g;
}

RegisterGroup::RegisterGroup(const QString& name, Group g)
{
    groups().insert(name, std::move(g));
}

// 1. The main window lists 101 books with their titles.
static Result listBooks(const Options& o)
{
    const int n = 1000;
    ensureBook(o, n);
    const QString folder = QDir(o.work).filePath(QStringLiteral("list101"));
    QDir().mkpath(folder);
    QStringList files;
    for (int i = 0; i < 101; ++i) {
        const QString f = QDir(folder).filePath(QStringLiteral("book%1.mdb").arg(i, 3, 10, QLatin1Char('0')));
        if (!QFile::exists(f))
            QFile::copy(bookPath(o, n), f);
        files << f;
    }
    QDir(folder).mkpath(QStringLiteral("共通情報"));
    QFile::copy(QDir(bookFolder(o, n)).filePath(QStringLiteral("共通情報/共通情報.mdb")),
                QDir(folder).filePath(QStringLiteral("共通情報/共通情報.mdb")));
    QString error;
    Module1::WritePmPath(folder, files.first(), &error);
    const QString saved = QDir::currentPath();
    QDir::setCurrent(folder);
    Form1 form;
    form.formLoad();
    QDir::setCurrent(saved);
    if (form.dbFileNames().size() != 101)
        qFatal("the main window listed %d books", int(form.dbFileNames().size()));
    Result r{QStringLiteral("list-101-books"), n};
    r.median = medianSeconds(o.runs, [&] { form.FillDatabaseFileList(); });
    r.baseline = medianSeconds(o.runs, [&] {
        for (const QString& file : files) {
            sqlite3* h = openPlain(file, SQLITE_OPEN_READONLY);
            sqlite3_stmt* s = nullptr;
            sqlite3_prepare_v2(h, "SELECT \"タイトル\" FROM \"管理情報\"", -1, &s, nullptr);
            sqlite3_step(s);
            (void)sqlite3_column_text(s, 0);
            sqlite3_finalize(s);
            sqlite3_close(h);
        }
    });
    return r;
}

// 6. The CSV export of the whole book.
static Result exportCsv(const Options& o, int n)
{
    ensureBook(o, n);
    const db::Database book = db::Database::open(bookPath(o, n));
    const QString out = QDir(bookFolder(o, n)).filePath(QStringLiteral("export"));
    Result r{QStringLiteral("csv-export"), n};
    r.median = medianSeconds(o.runs, [&] {
        db::Recordset rs = book.openRecordset(QStringLiteral("Q_個人台帳"));
        const records::CsvExportResult e = records::ExportAddressBookCsv(rs, {}, out, QDate::currentDate());
        if (!e.ok)
            qFatal("export failed: %s", qPrintable(e.error));
    });
    r.baseline = medianSeconds(o.runs, [&] {
        QProcess p;
        p.setStandardOutputFile(out + QStringLiteral("-baseline.csv"));
        p.start(QStringLiteral("sqlite3"),
                {QStringLiteral("-csv"), QStringLiteral("-cmd"),
                 QStringLiteral("PRAGMA cache_size = %1").arg(programCacheSize(bookPath(o, n))), bookPath(o, n),
                 QStringLiteral("SELECT * FROM \"Q_個人台帳\"")});
        p.waitForFinished(-1);
    });
    return r;
}

// Plain SQLite loading a CSV file into an empty book's personal-record table, as the import does
// it: the file decoded from code page 932 to UTF-8, its lines split into cells (quoted cells
// with doubled quotes and line breaks), one bound insert a line in one transaction, the unique
// "会員NO" index kept and the other indexes dropped before the load and built after it.
static void sqliteLoadCsv(const QString& csv, const QString& book)
{
    QFile f(csv);
    if (!f.open(QIODevice::ReadOnly))
        qFatal("cannot read %s", qPrintable(csv));
    QStringDecoder decode("windows-31j");
    const QByteArray text = QString(decode(f.readAll())).toUtf8();

    sqlite3* h = openPlain(book, SQLITE_OPEN_READWRITE);
    sqlite3_exec(h, "BEGIN", nullptr, nullptr, nullptr);
    QList<QByteArray> creates;
    {
        sqlite3_stmt* s = nullptr;
        sqlite3_prepare_v2(h, "SELECT m.name, m.sql FROM sqlite_master AS m JOIN pragma_index_list('個人台帳') AS i "
                              "ON i.name = m.name WHERE m.sql IS NOT NULL AND i.\"unique\" = 0", -1, &s, nullptr);
        QList<QByteArray> names;
        while (sqlite3_step(s) == SQLITE_ROW) {
            names << QByteArray(reinterpret_cast<const char*>(sqlite3_column_text(s, 0)));
            creates << QByteArray(reinterpret_cast<const char*>(sqlite3_column_text(s, 1)));
        }
        sqlite3_finalize(s);
        for (const QByteArray& n : names)
            sqlite3_exec(h, ("DROP INDEX \"" + n + "\"").constData(), nullptr, nullptr, nullptr);
    }
    // The 38 cells go to the table's first 38 fields, the number as a number.
    QByteArray columns, marks;
    const QList<db::schema::FieldDef>& fields = db::schema::personFields();
    for (int i = 0; i < 38; ++i) {
        columns += (i ? ",\"" : "\"") + fields[i].name.toUtf8() + "\"";
        marks += i ? ",?" : "?";
    }
    sqlite3_stmt* ins = nullptr;
    sqlite3_prepare_v2(h, ("INSERT INTO \"個人台帳\"(" + columns + ") VALUES(" + marks + ")").constData(), -1, &ins, nullptr);
    const char* p = text.constData();
    const char* end = p + text.size();
    bool header = true;
    QByteArray cell;
    while (p < end) {
        int column = 0;
        bool lineDone = false;
        while (!lineDone) {
            cell.clear();
            if (p < end && *p == '"') {
                ++p;
                while (p < end) {
                    if (*p == '"') {
                        if (p + 1 < end && p[1] == '"') {
                            cell += '"';
                            p += 2;
                            continue;
                        }
                        ++p;
                        break;
                    }
                    cell += *p++;
                }
            }
            while (p < end && *p != ',' && *p != '\r' && *p != '\n')
                cell += *p++;
            if (!header && column < 38) {
                if (column == 0)
                    sqlite3_bind_int64(ins, 1, cell.toLongLong());
                else
                    sqlite3_bind_text(ins, column + 1, cell.constData(), int(cell.size()), SQLITE_TRANSIENT);
            }
            ++column;
            if (p < end && *p == ',') {
                ++p;
            } else {
                if (p < end && *p == '\r')
                    ++p;
                if (p < end && *p == '\n')
                    ++p;
                lineDone = true;
            }
        }
        if (!header) {
            sqlite3_step(ins);
            sqlite3_reset(ins);
        }
        header = false;
    }
    sqlite3_finalize(ins);
    for (const QByteArray& c : creates)
        sqlite3_exec(h, c.constData(), nullptr, nullptr, nullptr);
    sqlite3_exec(h, "COMMIT", nullptr, nullptr, nullptr);
    sqlite3_close(h);
}

// 7. The CSV import of that file into an empty book (replacing).
static Result importCsv(const Options& o, int n)
{
    const QString csv = QDir(bookFolder(o, n)).filePath(QStringLiteral("export.csv"));
    if (!QFile::exists(csv))
        exportCsv(Options{{n}, 1, o.work, {}, o.self}, n);
    const QString target = QDir(bookFolder(o, n)).filePath(QStringLiteral("import.mdb"));
    const QString baseTarget = QDir(bookFolder(o, n)).filePath(QStringLiteral("import-baseline.mdb"));
    Result r{QStringLiteral("csv-import"), n};
    r.median = medianSeconds(
        o.runs,
        [&] {
            const db::Database book = db::Database::open(target);
            const text::ReadResult file = text::readCp932File(csv);
            const records::ParsedCsv parsed = records::ParseAddressBookCsv(file.content, {}, {}, QStringLiteral("東京都"),
                                                                            QDate::currentDate());
            const records::CsvImportResult res = records::ImportAddressBookCsv(book, parsed, true);
            if (!res.ok || res.added != n)
                qFatal("import failed: %s (%d)", qPrintable(res.error), res.added);
        },
        [&] {
            QFile::remove(target);
            QString error;
            db::schema::createAddressBook(target, QStringLiteral("取込"), &error);
        });
    r.baseline = medianSeconds(
        o.runs, [&] { sqliteLoadCsv(csv, baseTarget); },
        [&] {
            QFile::remove(baseTarget);
            QString error;
            db::schema::createAddressBook(baseTarget, QStringLiteral("取込"), &error);
        });
    // The baseline loaded every line.
    {
        const db::Database loaded = db::Database::open(baseTarget);
        const qint64 rows = loaded.scalar(QStringLiteral("SELECT count(*) FROM \"個人台帳\"")).toLongLong();
        if (rows != n)
            qFatal("the plain load stored %lld of %d records", rows, n);
    }
    return r;
}

QList<Result> runAll(const Options& o)
{
    // Nothing may wait for a person: every box is answered and recorded.
    static ui::ScriptedDialogs dialogs;
    ui::setDialogs(&dialogs);
    QList<Result> all;
    auto add = [&](const Result& r) {
        print(r);
        all << r;
    };
    if (wanted(o, QStringLiteral("list-101-books")))
        add(listBooks(o));
    for (int n : o.sizes) {
        for (const Result& r : runRecordWindow(o, n))
            if (wanted(o, r.name))
                add(r);
        if (wanted(o, QStringLiteral("csv-export")))
            add(exportCsv(o, n));
        if (wanted(o, QStringLiteral("csv-import")))
            add(importCsv(o, n));
    }
    for (auto it = groups().cbegin(); it != groups().cend(); ++it)
        for (const Result& r : it.value()(o))
            add(r);
    return all;
}

bool PaintCounter::eventFilter(QObject*, QEvent* e)
{
    if (e->type() == QEvent::Paint)
        ++paints;
    return false;
}

void PaintCounter::watch(QWidget* w)
{
    w->installEventFilter(this);
    for (QWidget* child : w->findChildren<QWidget*>())
        child->installEventFilter(this);
}

void PaintCounter::unwatch(QWidget* w)
{
    for (QWidget* child : w->findChildren<QWidget*>())
        child->removeEventFilter(this);
    w->removeEventFilter(this);
}

void PaintCounter::settle() const
{
    const int before = paints;
    for (int i = 0; i < 20 && paints == before; ++i)
        QApplication::processEvents(QEventLoop::AllEvents);
    QApplication::processEvents(QEventLoop::AllEvents);
}

} // namespace bench
