// The printing window's workloads: its load, toggling one line of a fully selected list, all
// records as labels into a PDF file (beside a plain SQLite read and a plain QPainter loop that
// draws the same lines), and the selected lines only.

#include "BenchCommon.h"

#include "list/Form5.h"
#include "list/PrintListModel.h"
#include "platform/print/QtPrinter.h"
#include "platform/ui/Fonts.h"
#include "platform/ui/ScriptedDialogs.h"
#include "shell/Module1.h"

#include <QDir>
#include <QFile>
#include <QFont>
#include <QFontMetricsF>
#include <QPainter>
#include <QPrinter>
#include <QRadioButton>
#include <algorithm>
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

// Resets the peak resident size so that the next reading is the peak of what follows.
void resetPeak()
{
    QFile f(QStringLiteral("/proc/self/clear_refs"));
    if (f.open(QIODevice::WriteOnly))
        f.write("5");
}

double peakMB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').first().toDouble() / 1024.0;
    return 0;
}

QString col(sqlite3_stmt* s, int i)
{
    const auto* t = reinterpret_cast<const char*>(sqlite3_column_text(s, i));
    return t ? QString::fromUtf8(t, sqlite3_column_bytes(s, i)) : QString();
}

// The same label lines with a plain SQLite read and a plain QPainter loop into a PDF.
void baselineLabels(const QString& book, const QString& pdf)
{
    QPrinter device(QPrinter::HighResolution);
    device.setFullPage(false);
    device.setOutputFormat(QPrinter::PdfFormat);
    device.setOutputFileName(pdf);
    device.setPageSize(QPageSize(QPageSize::A4));
    QPainter painter(&device);
    QFont font(QStringLiteral("ＭＳ 明朝"));
    font.setPointSizeF(10);
    painter.setFont(font);
    const double scale = device.logicalDpiY() / 1440.0;
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
            bench::Result r{QStringLiteral("printing-toggle"), n};
            int turn = 0;
            r.median = bench::medianSeconds(qMax(o.runs, 25), [&] { w.ToggleLine((turn++ / 2) * 7 % lines); });
            out << r;
            for (int i = 0; i < lines; ++i)
                if (w.listModel()->isSelected(i))
                    w.ToggleLine(i);
        }

        if (bench::wanted(o, QStringLiteral("printing-labels-pdf"))) {
            bench::Result r{QStringLiteral("printing-labels-pdf"), n};
            w.findChild<QRadioButton*>(QStringLiteral("Option2_0"))->setChecked(true);
            double peak = 0;
            r.median = bench::medianSeconds(
                o.runs,
                [&] {
                    dialogs.queueAnswer(ui::Answer::Yes);
                    w.Command1_Click(0);
                    peak = qMax(peak, peakMB());
                },
                [&] {
                    QFile::remove(pdf);
                    resetPeak();
                });
            if (!QFile::exists(pdf) || dialogs.shown().size() != o.runs)
                qFatal("the labels were not printed");
            r.baseline = bench::medianSeconds(o.runs, [&] { baselineLabels(book, basePdf); });
            r.peakMB = peak;
            dialogs.clearRecord();
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

static bench::RegisterGroup g("printing", [](const bench::Options& o) { return run(o); });

} // namespace
