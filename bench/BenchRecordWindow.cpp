#include "BenchCommon.h"

#include "platform/db/Database.h"
#include "platform/ui/ScriptedDialogs.h"
#include "records/Form3.h"
#include "records/SearchKeys.h"
#include "shell/Module1.h"

#include <QApplication>
#include <QEvent>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QProcess>
#include <QRadioButton>
#include <QScrollBar>
#include <algorithm>
#include <cstdio>
#include <sqlite3.h>

namespace bench {

namespace {

// What the main window does at start and at its menu click.
void openShared(const QString& folder, const QString& book)
{
    Module1::OpenCommonDatabase(folder + QStringLiteral("/共通情報/共通情報.mdb"));
    Module1::PublishCurrentBook(book);
}

void setOrder(const QString& book, const QString& order)
{
    const db::Database d = db::Database::open(book);
    d.execute(QStringLiteral("UPDATE \"管理情報\" SET \"表示順番\" = ?"), {order});
}

// The ordered query of a display order with plain SQLite: every key, then the first row.
void sqliteOrderedKeys(const QString& book, const char* query, bool fetchFirst)
{
    sqlite3* h = bench::openPlain(book, SQLITE_OPEN_READONLY);
    sqlite3_stmt* s = nullptr;
    const QByteArray sql = QByteArray("SELECT \"_rowid\" FROM \"") + query + "\"";
    sqlite3_prepare_v2(h, sql.constData(), -1, &s, nullptr);
    std::vector<sqlite3_int64> keys;
    while (sqlite3_step(s) == SQLITE_ROW)
        keys.push_back(sqlite3_column_int64(s, 0));
    sqlite3_finalize(s);
    if (fetchFirst && !keys.empty()) {
        const QByteArray one = QByteArray("SELECT * FROM \"") + query + "\" WHERE \"_rowid\" = ?";
        sqlite3_prepare_v2(h, one.constData(), -1, &s, nullptr);
        sqlite3_bind_int64(s, 1, keys.front());
        sqlite3_step(s);
        for (int i = 0; i < sqlite3_column_count(s); ++i)
            (void)sqlite3_column_text(s, i);
        sqlite3_finalize(s);
    }
    sqlite3_close(h);
}

// Plain SQLite: how many records hold the key in one of these fields.
void sqliteContains(const QString& book, const char* where, const QString& key)
{
    sqlite3* h = bench::openPlain(book, SQLITE_OPEN_READONLY);
    sqlite3_stmt* s = nullptr;
    const QByteArray sql = QByteArray("SELECT count(*) FROM \"個人台帳\" WHERE ") + where;
    sqlite3_prepare_v2(h, sql.constData(), -1, &s, nullptr);
    const QByteArray k = key.toUtf8();
    sqlite3_bind_text(s, 1, k.constData(), int(k.size()), SQLITE_TRANSIENT);
    sqlite3_step(s);
    sqlite3_finalize(s);
    sqlite3_close(h);
}

// Plain SQLite with the comparison the search has to make: every value of the field read and
// folded as the search folds texts (full- and half-width forms, hiragana and katakana, letter
// case alike), the folded key looked for in it; then, nothing being found, the record shown
// again read whole by its key. On a connection kept open, as the window keeps its own.
int sqliteFoldedContains(sqlite3* h, const char* field, const QString& key)
{
    sqlite3_stmt* s = nullptr;
    const QByteArray sql = QByteArray("SELECT \"") + field + "\" FROM \"個人台帳\"";
    sqlite3_prepare_v2(h, sql.constData(), -1, &s, nullptr);
    const QString folded = records::SearchFolded(key);
    int found = 0;
    while (sqlite3_step(s) == SQLITE_ROW) {
        const char* text = reinterpret_cast<const char*>(sqlite3_column_text(s, 0));
        const int bytes = sqlite3_column_bytes(s, 0);
        if (text && bytes > 0 && records::SearchFoldedUtf8(QByteArrayView(text, bytes)).contains(folded))
            ++found;
    }
    sqlite3_finalize(s);
    sqlite3_prepare_v2(h, "SELECT * FROM \"個人台帳\" WHERE rowid = 1", -1, &s, nullptr);
    if (sqlite3_step(s) == SQLITE_ROW)
        for (int c = 0; c < sqlite3_column_count(s); ++c)
            (void)sqlite3_column_text(s, c);
    sqlite3_finalize(s);
    return found;
}

double peakMemoryMB(const Options& o, int n)
{
    QProcess p;
    p.start(o.self, {QStringLiteral("--memory-probe"), bookPath(o, n)});
    p.waitForFinished(-1);
    return QString::fromLatin1(p.readAllStandardOutput()).trimmed().toDouble() / 1024.0;
}

} // namespace

QList<Result> runRecordWindow(const Options& o, int n)
{
    auto wanted = [&](const QString& name) { return o.only.isEmpty() || name.contains(o.only); };
    QList<Result> out;
    const QStringList names = {QStringLiteral("record-load"), QStringLiteral("record-next"), QStringLiteral("record-order"),
                               QStringLiteral("record-search"), QStringLiteral("record-search-kana"),
                               QStringLiteral("record-search-phone")};
    if (std::none_of(names.begin(), names.end(), wanted))
        return out;
    ensureBook(o, n);
    const QString folder = bookFolder(o, n);
    const QString book = bookPath(o, n);
    setOrder(book, QStringLiteral("1"));

    if (wanted(QStringLiteral("record-load"))) {
        Result r{QStringLiteral("record-load"), n};
        r.median = medianSeconds(o.runs, [&] {
            openShared(folder, book);
            Form3 w;
            w.formLoad();
        });
        r.baseline = medianSeconds(o.runs, [&] { sqliteOrderedKeys(book, "Q_個人台帳", true); });
        r.peakMB = peakMemoryMB(o, n);
        out << r;
    }

    openShared(folder, book);
    Form3 w;
    w.formLoad();
    if (wanted(QStringLiteral("record-next"))) {
        // On the screen (the offscreen platform): a move is done when the window has painted it.
        PaintCounter painted;
        w.show();
        painted.watch(&w);
        painted.settle();
        // Runs of 64 moves to the next record, each run starting in a part of the book not read
        // yet, so that every run crosses into pages the moves have to read: the time of a move
        // is a run's time over its moves, the median over the runs.
        Result r{QStringLiteral("record-next"), n};
        QScrollBar* bar = w.hScroll1();
        constexpr int kMoves = 64;
        const int last = qMax(1, bar->maximum());
        int run = 0;
        r.median = medianSeconds(
                       qMax(o.runs, 5),
                       [&] {
                           for (int i = 0; i < kMoves; ++i) {
                               bar->setValue(qMin(last, bar->value() + 1));
                               painted.settle();
                           }
                       },
                       [&] {
                           // Somewhere else in the book, a few pages past the last run.
                           bar->setValue(int((qint64(++run) * 7919 * kMoves + 13) % qMax(1, last - kMoves)));
                           painted.settle();
                       })
                   / kMoves;
        // Plain SQLite: one record read whole by its key, and the shown picture's file looked
        // at, per move.
        const QString picture = w.shownPicture();
        if (picture.isEmpty())
            qFatal("the record window shows no picture");
        sqlite3* h = nullptr;
        sqlite3_open_v2(QFile::encodeName(book).constData(), &h, SQLITE_OPEN_READONLY, nullptr);
        sqlite3_stmt* one = nullptr;
        sqlite3_prepare_v2(h, "SELECT * FROM \"個人台帳\" WHERE rowid = ?", -1, &one, nullptr);
        sqlite3_int64 key = 1;
        r.baseline = medianSeconds(qMax(o.runs, 5), [&] {
                         for (int i = 0; i < kMoves; ++i) {
                             sqlite3_bind_int64(one, 1, key);
                             key = key % qMax(1, n) + 1;
                             if (sqlite3_step(one) == SQLITE_ROW)
                                 for (int c = 0; c < sqlite3_column_count(one); ++c)
                                     (void)sqlite3_column_text(one, c);
                             sqlite3_reset(one);
                             (void)QFileInfo(picture).lastModified();
                         }
                     })
                     / kMoves;
        sqlite3_finalize(one);
        sqlite3_close(h);
        out << r;
        w.hide();
        painted.unwatch(&w);
    }
    if (wanted(QStringLiteral("record-order"))) {
        Result r{QStringLiteral("record-order"), n};
        int turn = 0;
        r.median = medianSeconds(o.runs, [&] {
            const int index = turn++ % 2 == 0 ? 2 : 0;  // reading order, then number order
            w.Option2_Click(index);
        });
        r.baseline = medianSeconds(o.runs, [&] { sqliteOrderedKeys(book, "Q_個人台帳フリガナ順", false); });
        out << r;
    }
    if (wanted(QStringLiteral("record-search"))) {
        // A name that no record holds: the whole book is compared.
        Result r{QStringLiteral("record-search"), n};
        auto* name = w.findChild<QLineEdit*>(QStringLiteral("Text1_2"));
        const QString key = QStringLiteral("該当者なし");
        r.median = medianSeconds(o.runs, [&] {
            w.EnterSearchMode();
            name->setText(key);
            w.ExecuteSearch(2);
        });
        // The name is compared folded, as the search compares it.
        sqlite3* h = bench::openPlain(book, SQLITE_OPEN_READONLY);
        r.baseline = medianSeconds(o.runs, [&] { sqliteFoldedContains(h, "氏名", key); });
        sqlite3_close(h);
        out << r;
    }
    if (wanted(QStringLiteral("record-search-kana"))) {
        // A reading that no record holds, typed in half-width katakana as the readings are kept.
        Result r{QStringLiteral("record-search-kana"), n};
        auto* reading = w.findChild<QLineEdit*>(QStringLiteral("Text1_1"));
        const QString key = QStringLiteral("ﾝｶﾞｲﾄｳﾅｼ");
        r.median = medianSeconds(o.runs, [&] {
            w.EnterSearchMode();
            reading->setText(key);
            w.ExecuteSearch(1);
        });
        sqlite3* h = bench::openPlain(book, SQLITE_OPEN_READONLY);
        r.baseline = medianSeconds(o.runs, [&] { sqliteFoldedContains(h, "フリガナ", key); });
        sqlite3_close(h);
        out << r;
    }
    if (wanted(QStringLiteral("record-search-phone"))) {
        // A telephone number that no record holds: both numbers of every record are compared.
        Result r{QStringLiteral("record-search-phone"), n};
        auto* phone = w.findChild<QLineEdit*>(QStringLiteral("Text1_8"));
        const QString key = QStringLiteral("00-0000-0009");
        r.median = medianSeconds(o.runs, [&] {
            w.EnterSearchMode();
            phone->setText(key);
            w.ExecuteSearch(8);
        });
        r.baseline = medianSeconds(o.runs, [&] {
            sqliteContains(book, "(instr(\"自宅電話\", ?1) > 0 OR instr(\"携帯電話\", ?1) > 0)", key);
        });
        out << r;
    }
    return out;
}

int memoryProbe(const QString& book)
{
    static ui::ScriptedDialogs dialogs;
    ui::setDialogs(&dialogs);
    const QString folder = book.left(book.lastIndexOf(QLatin1Char('/')));
    openShared(folder, book);
    Form3 w;
    w.formLoad();
    // The window as a person sees it: shown and painted.
    w.show();
    for (int i = 0; i < 5; ++i)
        QApplication::processEvents(QEventLoop::AllEvents);
    const qint64 peak = peakResidentKB();
    if (peak <= 0)
        return 1;
    std::printf("%lld\n", static_cast<long long>(peak));
    return 0;
}

} // namespace bench
