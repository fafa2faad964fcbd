// The printing window's workloads: its load, toggling one line of a fully selected list on the
// shown window until it is painted, all records as labels into a PDF file in a fresh process
// (beside a plain SQLite read and a plain QPdfWriter loop that draws the same lines, also in a
// fresh process), and the selected lines only.

#include "BenchCommon.h"

#include "list/Form5.h"
#include "list/PrintListModel.h"
#include "platform/print/QtPrinter.h"
#include "platform/ui/Fonts.h"
#include "platform/ui/ScriptedDialogs.h"
#include "shell/Module1.h"
#include "shell/Startup.h"

#include <QDir>
#include <QFile>
#include <QFont>
#include <QFontMetricsF>
#include <QApplication>
#include <QElapsedTimer>
#include <QListView>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <QProcess>
#include <QRadioButton>
#include <algorithm>
#include <cstdio>
#include <sqlite3.h>

namespace {

void publish(const bench::Options& o, int n)
{
    Module1::PublishCurrentBook(bench::bookPath(o, n));
}

// Every key of the first order with plain SQLite.
void sqliteKeyScan(const QString& book)
{
    sqlite3* h = bench::openPlain(book, SQLITE_OPEN_READONLY);
    sqlite3_stmt* s = nullptr;
    sqlite3_prepare_v2(h, "SELECT \"_rowid\" FROM \"Q_個人台帳\"", -1, &s, nullptr);
    std::vector<sqlite3_int64> keys;
    while (sqlite3_step(s) == SQLITE_ROW)
        keys.push_back(sqlite3_column_int64(s, 0));
    sqlite3_finalize(s);
    sqlite3_close(h);
}

QString col(sqlite3_stmt* s, int i)
{
    const auto* t = reinterpret_cast<const char*>(sqlite3_column_text(s, i));
    return t ? QString::fromUtf8(t, sqlite3_column_bytes(s, i)) : QString();
}

// The same label lines with a plain SQLite read and a plain QPdfWriter loop.
void baselineLabels(const QString& book, const QString& pdf)
{
    QPdfWriter device(pdf);
    device.setPageSize(QPageSize(QPageSize::A4));
    QPainter painter(&device);
    QFont font(QStringLiteral("ＭＳ 明朝"));
    font.setPointSizeF(10);
    painter.setFont(font);
    const double scale = device.resolution() / 1440.0;
    const double ascent = QFontMetricsF(painter.font(), &device).ascent();

    sqlite3* h = bench::openPlain(book, SQLITE_OPEN_READONLY);
    sqlite3_stmt* s = nullptr;
    sqlite3_prepare_v2(h, "SELECT \"郵便番号\", \"都道府県\", \"市町村\", \"番地\", \"住所2\", \"氏名\" FROM \"Q_個人台帳\"",
                       -1, &s, nullptr);
    int label = 0;
    auto draw = [&](double x, double y, const QString& text) {
        painter.drawText(QPointF(x * scale, y * scale + ascent), text);
    };
    while (sqlite3_step(s) == SQLITE_ROW) {
        const QString city = col(s, 2);
        if (city.isEmpty())
            continue;
        if (label > 0 && label % 20 == 0)
            device.newPage();
        const int column = (label % 20) / 10, row = label % 10;
        const double left = 1000 + 5800 * column, top = 600 + 1400 * row;
        if (const QString zip = col(s, 0); !zip.isEmpty())
            draw(left, top, zip);
        draw(left, top + 200, col(s, 1) + city + col(s, 3));
        if (const QString a2 = col(s, 4); !a2.isEmpty())
            draw(left, top + 400, a2);
        if (const QString name = col(s, 5); !name.isEmpty())
            draw(left + 100, top + 800, name + QStringLiteral("　様"));
        ++label;
    }
    sqlite3_finalize(s);
    sqlite3_close(h);
    painter.end();
}

// One print in a fresh process (bench::printProbe): its seconds and peak memory.
struct ProbeResult {
    double seconds = 0;
    double peakMB = 0;
};

ProbeResult runProbe(const bench::Options& o, const QString& kind, const QString& book, const QString& pdf)
{
    QFile::remove(pdf);
    QProcess p;
    p.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    p.start(o.self, {QStringLiteral("--print-probe"), kind + u'|' + book + u'|' + pdf});
    if (!p.waitForFinished(-1) || p.exitCode() != 0 || !QFile::exists(pdf))
        qFatal("the %s print probe failed", qPrintable(kind));
    const QList<QByteArray> out = p.readAllStandardOutput().trimmed().split(' ');
    return {out.value(0).toDouble(), out.value(1).toDouble()};
}

QList<bench::Result> run(const bench::Options& o)
{
    QList<bench::Result> out;
    const QStringList names = {QStringLiteral("printing-load"), QStringLiteral("printing-toggle"),
                               QStringLiteral("printing-labels-pdf"), QStringLiteral("printing-selected-100")};
    if (std::none_of(names.begin(), names.end(), [&](const QString& n) { return bench::wanted(o, n); }))
        return out;
    ui::installFontSubstitutions();
    ui::ScriptedDialogs dialogs;
    ui::ScopedDialogs scope(&dialogs);

    for (int n : o.sizes) {
        bench::ensureBook(o, n);
        const QString book = bench::bookPath(o, n);
        const QString pdf = QDir(bench::bookFolder(o, n)).filePath(QStringLiteral("宛名印刷.pdf"));
        const QString basePdf = QDir(bench::bookFolder(o, n)).filePath(QStringLiteral("baseline.pdf"));
        dialogs.setPrinterSetup([pdf](QPrinter* p) {
            p->setOutputFormat(QPrinter::PdfFormat);
            p->setOutputFileName(pdf);
        });

        if (bench::wanted(o, QStringLiteral("printing-load"))) {
            bench::Result r{QStringLiteral("printing-load"), n};
            // The main menu publishes the book; the window's load is what is timed.
            // Short runs on a busy machine: more of them, so that the medians hold.
            const int runs = qMax(o.runs, 9);
            r.median = bench::medianSeconds(
                runs,
                [&] {
                    Form5 w;
                    w.formLoad();
                },
                [&] { publish(o, n); });
            r.baseline = bench::medianSeconds(runs, [&] { sqliteKeyScan(book); });
            out << r;
        }

        publish(o, n);
        Form5 w;
        w.formLoad();
        const int lines = w.listModel()->rowCount();

        if (bench::wanted(o, QStringLiteral("printing-toggle"))) {
            for (int i = 0; i < lines; ++i)
                w.ToggleLine(i);
            // On the screen (the offscreen platform): a toggle is done when the list has painted it.
            bench::PaintCounter painted;
            w.resize(1280, 800);
            w.show();
            painted.watch(&w);
            // The lines are measured after the load, between events: done before the timing.
            while (!w.listModel()->widthKnown())
                QApplication::processEvents();
            painted.settle();
            QListView* list = w.list1();
            bench::Result r{QStringLiteral("printing-toggle"), n};
            const int paintsBefore = painted.paints;
            int turn = 0;
            int line = 0;
            r.median = bench::medianSeconds(
                qMax(o.runs, 25),
                [&] {
                    w.ToggleLine(line);
                    painted.settle();
                },
                [&] {
                    // Each line twice (off, then on again), in view, somewhere else in the book.
                    line = (turn++ / 2) * 7919 % lines;
                    list->scrollTo(w.listModel()->index(line));
                    painted.settle();
                });
            if (painted.paints - paintsBefore < 2 * qMax(o.runs, 25))
                qFatal("the toggles were not painted");
            out << r;
            w.hide();
            painted.unwatch(&w);
            for (int i = 0; i < lines; ++i)
                if (w.listModel()->isSelected(i))
                    w.ToggleLine(i);
        }

        if (bench::wanted(o, QStringLiteral("printing-labels-pdf"))) {
            // A user's first print: a fresh process, set up as the program sets itself up, beside
            // a plain program with the same allocator settings, each timed from its first read.
            bench::Result r{QStringLiteral("printing-labels-pdf"), n};
            QList<double> program, plain;
            double peak = 0;
            for (int i = 0; i < o.runs; ++i) {
                const ProbeResult a = runProbe(o, QStringLiteral("program"), book, pdf);
                program << a.seconds;
                peak = qMax(peak, a.peakMB);
                plain << runProbe(o, QStringLiteral("plain"), book, basePdf).seconds;
            }
            std::sort(program.begin(), program.end());
            std::sort(plain.begin(), plain.end());
            r.median = program[program.size() / 2];
            r.baseline = plain[plain.size() / 2];
            r.peakMB = peak;
            out << r;
        }

        if (bench::wanted(o, QStringLiteral("printing-selected-100"))) {
            const int step = qMax(1, lines / 100);
            for (int i = 0, k = 0; i < lines && k < 100; i += step, ++k)
                w.ToggleLine(i);
            bench::Result r{QStringLiteral("printing-selected-100"), n};
            r.median = bench::medianSeconds(
                o.runs,
                [&] {
                    dialogs.queueAnswer(ui::Answer::Yes);
                    w.Command1_Click(0);
                },
                [&] { QFile::remove(pdf); });
            if (!QFile::exists(pdf))
                qFatal("the selected labels were not printed");
            dialogs.clearRecord();
            out << r;
        }
    }
    Module1::CloseSharedObjects();
    return out;
}

} // namespace

namespace bench {

int printProbe(int argc, char* argv[], const QString& what)
{
    const QStringList parts = what.split(u'|');
    if (parts.size() != 3)
        return 2;
    // "-defaults" after the kind: the C library's allocator as it comes, to compare by hand.
    const bool defaults = parts[0].endsWith(QStringLiteral("-defaults"));
    const QString kind = defaults ? parts[0].chopped(9) : parts[0];
    const QString& book = parts[1];
    const QString& pdf = parts[2];
    // Both as a program starts: the allocator set up before anything else.
    if (!defaults)
        Module1::PrepareMemory();
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ui::installFontSubstitutions();
    QElapsedTimer clock;
    if (kind == QStringLiteral("plain")) {
        clock.start();
        baselineLabels(book, pdf);
    } else {
        ui::ScriptedDialogs dialogs;
        ui::ScopedDialogs scope(&dialogs);
        dialogs.setPrinterSetup([pdf](QPrinter* p) {
            p->setOutputFormat(QPrinter::PdfFormat);
            p->setOutputFileName(pdf);
        });
        Module1::PublishCurrentBook(book);
        Form5 w;
        w.formLoad();
        // The window as the user sees it before pressing "印刷": shown, its lines measured.
        w.show();
        while (!w.listModel()->widthKnown())
            QApplication::processEvents();
        QApplication::processEvents();
        dialogs.queueAnswer(ui::Answer::Yes);
        clock.start();
        w.Command1_Click(0);
        if (dialogs.shown().size() != 1)
            qFatal("the labels were not printed");
    }
    const double seconds = clock.nsecsElapsed() / 1e9;
    std::printf("%.6f %.1f\n", seconds, peakResidentKB() / 1024.0);
    std::fflush(stdout);
    Module1::CloseSharedObjects();
    return QFile::exists(pdf) ? 0 : 1;
}

} // namespace bench

namespace {

static bench::RegisterGroup g("printing", [](const bench::Options& o) { return run(o); });

} // namespace
