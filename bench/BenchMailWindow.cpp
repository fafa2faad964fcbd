// The mail window's workloads: its load over a book and a generated Maildir (records, fetch,
// lists) with its peak memory, beside a sparse 1 GB message and beside messages of millions of
// parts or levels and beside messages that take the mail readers to their memory limit (the
// readers' memory reported apart), the filter changes, the sender list, the address-book list's
// order change and the recipients of "全員" built into the boxes.

#include "BenchCommon.h"
#include "BenchMailBaseline.h"
#include "MaildirMaker.h"
#include "mail/Form22.h"
#include "mail/RecipientBox.h"
#include "platform/ui/ScriptedDialogs.h"
#include "shell/Module1.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QListView>
#include <QProcess>
#include <QRadioButton>
#include <QStringListModel>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <functional>
#include <limits>
#include <sys/resource.h>
#include <thread>
#include <unistd.h>

namespace bench {
namespace {

// A Maildir of n generated messages, made once (the same maker and seed as the mail client's).
QString maildir(const Options& o, int n)
{
    const QString folder = QDir(o.work).filePath(QStringLiteral("maildir%1").arg(n));
    if (!QFileInfo::exists(folder + QStringLiteral("/done"))) {
        QDir(folder).removeRecursively();
        maildirmaker::Options m;
        m.seed = 42;
        m.count = n;
        maildirmaker::makeMaildir(QFile::encodeName(folder).toStdString(), m);
        QFile(folder + QStringLiteral("/done")).open(QIODevice::WriteOnly);
    }
    return folder;
}

// 2,000 generated messages and one message file of 1 GB: its headers, then zeros that take no
// disk (a sparse file). Made once.
QString sparseMaildir(const Options& o)
{
    const QString folder = QDir(o.work).filePath(QStringLiteral("maildir2000-sparse"));
    if (!QFileInfo::exists(folder + QStringLiteral("/done"))) {
        QDir(folder).removeRecursively();
        maildirmaker::Options m;
        m.seed = 42;
        m.count = 2000;
        maildirmaker::makeMaildir(QFile::encodeName(folder).toStdString(), m);
        QFile big(folder + QStringLiteral("/cur/9999999999.sparse.host:2,S"));
        big.open(QIODevice::WriteOnly);
        big.write("From: Big <big@example.jp>\r\nDate: Fri, 5 Apr 2024 09:00:00 +0900\r\nSubject: 1 GB\r\n"
                  "MIME-Version: 1.0\r\nContent-Type: multipart/mixed; boundary=\"XX\"\r\n\r\n"
                  "--XX\r\nContent-Type: text/plain\r\n\r\nhello\r\n--XX\r\n"
                  "Content-Type: application/octet-stream\r\nContent-Disposition: attachment; filename=\"big.bin\"\r\n\r\n");
        big.resize(qint64(1) << 30);
        big.close();
        QFile(folder + QStringLiteral("/done")).open(QIODevice::WriteOnly);
    }
    return folder;
}

std::vector<std::string> messageFiles(const QString& folder, qint64 smallerThan)
{
    std::vector<std::string> files;
    for (const char* sub : {"cur", "new"}) {
        const QDir d(folder + QLatin1Char('/') + QLatin1String(sub));
        for (const QFileInfo& f : d.entryInfoList(QDir::Files, QDir::Name))
            if (f.size() < smallerThan)
                files.push_back(QFile::encodeName(f.filePath()).toStdString());
    }
    return files;
}

// The window shown and drawn once, as a user sees it: the preview and the rows are laid out.
void showOnce(Form22& w)
{
    w.show();
    QApplication::processEvents();
    w.grab();
}

void openShared(const QString& book)
{
    const QString folder = book.left(book.lastIndexOf(QLatin1Char('/')));
    Module1::OpenCommonDatabase(folder + QStringLiteral("/共通情報/共通情報.mdb"));
    Module1::PublishCurrentBook(book);
}

double peakMemoryMB(const Options& o, const QString& book, const QString& box)
{
    QProcess p;
    p.start(o.self, {QStringLiteral("--mail-window-probe"), book + QLatin1Char('|') + box});
    p.waitForFinished(-1);
    return QString::fromLatin1(p.readAllStandardOutput()).trimmed().toDouble() / 1024.0;
}

QList<Result> run(const Options& o, int n)
{
    QList<Result> out;
    const QStringList names = {QStringLiteral("mailwin-load"), QStringLiteral("mailwin-filter-all"),
                               QStringLiteral("mailwin-filter-sender"), QStringLiteral("mailwin-filter-subject"),
                               QStringLiteral("mailwin-filter-book"), QStringLiteral("mailwin-senders"),
                               QStringLiteral("mailwin-list-order"), QStringLiteral("mailwin-recipients")};
    if (std::none_of(names.begin(), names.end(), [&](const QString& name) { return wanted(o, name); }))
        return out;
    static ui::ScriptedDialogs dialogs;
    ui::ScopedDialogs scope(&dialogs);
    ensureBook(o, n);
    const QString book = bookPath(o, n);
    const int messages = std::clamp(n / 10, 10, 10000);
    const QString box = maildir(o, messages);
    qputenv("MAILDIR", QFile::encodeName(box));
    openShared(book);

    if (wanted(o, QStringLiteral("mailwin-load"))) {
        Result r{QStringLiteral("mailwin-load"), n};
        r.median = medianSeconds(o.runs, [&] {
            Form22 w;
            w.formLoad();
        });
        r.peakMB = peakMemoryMB(o, book, box);
        out << r;
    }

    Form22 w;
    w.formLoad();
    const auto filter = [&](const QString& name, int index, const std::function<void()>& prepare) {
        if (!wanted(o, name))
            return;
        Result r{name, n};
        r.median = medianSeconds(o.runs, [&] { w.Option4_Click(index); }, [&] {
            if (prepare)
                prepare();
            w.option4(index)->setChecked(true);
        });
        out << r;
    };
    if (wanted(o, QStringLiteral("mailwin-filter-book")))
        std::fprintf(stderr, "mailwin: %d messages from %d senders\n", messages, int(w.senderCount()));
    filter(QStringLiteral("mailwin-filter-all"), 0, {});
    filter(QStringLiteral("mailwin-filter-sender"), 1, [&] {
        w.option4(0)->setChecked(true);
        w.Option4_Click(0);
        w.list5()->setCurrentIndex(w.list5Model()->index(0, 0));
    });
    filter(QStringLiteral("mailwin-filter-subject"), 2, [&] { w.text7(3)->setText(QStringLiteral("re")); });
    filter(QStringLiteral("mailwin-filter-book"), 3, {});
    w.option4(0)->setChecked(true);
    w.Option4_Click(0);
    if (wanted(o, QStringLiteral("mailwin-senders"))) {
        Result r{QStringLiteral("mailwin-senders"), n};
        r.median = medianSeconds(o.runs, [&] { w.BuildSenderList(); });
        out << r;
    }
    if (wanted(o, QStringLiteral("mailwin-list-order"))) {
        Result r{QStringLiteral("mailwin-list-order"), n};
        int turn = 0;
        r.median = medianSeconds(o.runs, [&] {
            const int index = turn++ % 2 == 0 ? 2 : 0;  // reading order, then number order
            w.option6(index)->setChecked(true);
            w.list1()->scrollToBottom();  // the lines a screen shows are built
        });
        out << r;
    }
    if (wanted(o, QStringLiteral("mailwin-recipients"))) {
        // Every record with either kind of address, the boxes filled as the window shows them.
        Result r{QStringLiteral("mailwin-recipients"), n};
        w.option2(2)->setChecked(true);
        w.option1(0)->setChecked(true);
        r.median = medianSeconds(o.runs, [&] { w.BuildRecipients(); });
        if (w.text2()->text().isEmpty())
            std::fprintf(stderr, "mailwin-recipients: no address\n");
        // Plain SQLite read into two texts kept whole, the start of each shown in a plain box
        // with the window's font, as much as the window's boxes lay out.
        QString keptNames, keptAddresses;
        QLineEdit names, addresses;
        names.setFont(w.text1()->font());
        addresses.setFont(w.text2()->font());
        names.setMaxLength(std::numeric_limits<int>::max());
        addresses.setMaxLength(std::numeric_limits<int>::max());
        r.baseline = medianSeconds(
            o.runs,
            [&] {
                keptAddresses = plainRecipients(book, &keptNames);
                addresses.setText(keptAddresses.left(mail::RecipientBox::ShownLength));
                names.setText(keptNames.left(mail::RecipientBox::ShownLength));
            },
            [&] {
                // An unchanged text is not laid out again: start from empty boxes as the window does.
                addresses.setText(QString());
                names.setText(QString());
            });
        out << r;
    }
    return out;
}

} // namespace

namespace {

// A probe's book opened and its Maildir named ("book|maildir"), its questions answered by script.
void openProbeBook(const QString& bookAndMaildir)
{
    static ui::ScriptedDialogs dialogs;
    ui::setDialogs(&dialogs);
    qputenv("MAILDIR", QFile::encodeName(bookAndMaildir.section(QLatin1Char('|'), 1)));
    openShared(bookAndMaildir.section(QLatin1Char('|'), 0, 0));
}

} // namespace

int mailWindowMemoryProbe(const QString& bookAndMaildir)
{
    openProbeBook(bookAndMaildir);
    Form22 w;
    w.formLoad();
    showOnce(w);
    const qint64 peak = peakResidentKB();
    if (peak <= 0)
        return 1;
    std::printf("%lld\n", static_cast<long long>(peak));
    return 0;
}

namespace {

qint64 residentKB(const QString& statusPath)
{
    QFile status(statusPath);
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').first().toLongLong();
    return 0;
}

// The resident memory of this process's children now (the mail readers), summed.
qint64 childrenResidentKB()
{
    qint64 sum = 0;
    for (const QString& task : QDir(QStringLiteral("/proc/self/task")).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        QFile children(QStringLiteral("/proc/self/task/%1/children").arg(task));
        if (!children.open(QIODevice::ReadOnly))
            continue;
        for (const QByteArray& pid : children.readAll().split(' '))
            if (!pid.trimmed().isEmpty())
                sum += residentKB(QStringLiteral("/proc/%1/status").arg(QString::fromLatin1(pid.trimmed())));
    }
    return sum;
}

} // namespace

// As mailWindowMemoryProbe, the readers watched every 2 ms as well: prints the program's peak,
// the readers' largest sum, the largest sum of both and the largest single reader (kB).
int mailWindowReadersProbe(const QString& bookAndMaildir)
{
    openProbeBook(bookAndMaildir);
    std::atomic<bool> done{false};
    std::atomic<qint64> readersPeak{0}, bothPeak{0};
    std::thread watch([&] {
        while (!done) {
            const qint64 readers = childrenResidentKB();
            const qint64 both = readers + residentKB(QStringLiteral("/proc/self/status"));
            readersPeak = std::max<qint64>(readersPeak, readers);
            bothPeak = std::max<qint64>(bothPeak, both);
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
    });
    {
        Form22 w;
        w.formLoad();
        showOnce(w);
    }
    done = true;
    watch.join();
    rusage children {};
    ::getrusage(RUSAGE_CHILDREN, &children);
    std::printf("%lld %lld %lld %lld\n", static_cast<long long>(peakResidentKB()), static_cast<long long>(readersPeak.load()),
                static_cast<long long>(bothPeak.load()), static_cast<long long>(children.ru_maxrss));
    return 0;
}

namespace {

// The window opened and shown beside a 1 GB message file (read for its headers only), on n
// records. Baseline: a plain program parsing the 2,000 other files whole with GMime's file stream
// (a plain parse of the 1 GB file would read all of it).
QList<Result> runSparse(const Options& o, int n)
{
    const QString name = QStringLiteral("mailwin-load-sparse");
    if (!wanted(o, name))
        return {};
    static ui::ScriptedDialogs dialogs;
    ui::ScopedDialogs scope(&dialogs);
    ensureBook(o, n);
    const QString book = bookPath(o, n);
    const QString box = sparseMaildir(o);
    qputenv("MAILDIR", QFile::encodeName(box));
    openShared(book);
    Result r{name, n};
    r.median = medianSeconds(o.runs, [&] {
        Form22 w;
        w.formLoad();
        showOnce(w);
        if (w.list3Model()->rowCount() != 2001)
            std::fprintf(stderr, "%s: %d messages listed\n", qPrintable(name), w.list3Model()->rowCount());
    });
    const std::vector<std::string> files = messageFiles(box, qint64(1) << 20);
    r.baseline = medianSeconds(o.runs, [&] { plainGMimeParse(files); });
    r.peakMB = peakMemoryMB(o, book, box);
    return {r};
}

void writeBytes(const QString& path, const std::string& bytes)
{
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    f.write(bytes.data(), qint64(bytes.size()));
}

// The messages of a Maildir linked into another, so that they take no more disk.
void linkMaildir(const QString& base, const QString& folder)
{
    for (const char* sub : {"cur", "new", "tmp"}) {
        const QString to = folder + QLatin1Char('/') + QLatin1String(sub);
        QDir().mkpath(to);
        const QDir from(base + QLatin1Char('/') + QLatin1String(sub));
        for (const QFileInfo& f : from.entryInfoList(QDir::Files))
            if (::link(QFile::encodeName(f.filePath()).constData(), QFile::encodeName(to + QLatin1Char('/') + f.fileName()).constData()) != 0)
                QFile::copy(f.filePath(), to + QLatin1Char('/') + f.fileName());
    }
}

// The 2,000 generated messages (linked from maildir(o, 2000), so that they take no more disk) and
// one more message file, made once.
QString maildirWith(const Options& o, const QString& name, const std::function<std::string()>& make)
{
    const QString folder = QDir(o.work).filePath(QStringLiteral("maildir2000-") + name);
    if (!QFileInfo::exists(folder + QStringLiteral("/done"))) {
        QDir(folder).removeRecursively();
        const QString base = maildir(o, 2000);
        linkMaildir(base, folder);
        writeBytes(folder + QStringLiteral("/cur/9999999999.hostile.host:2,S"), make());
        QFile(folder + QStringLiteral("/done")).open(QIODevice::WriteOnly);
    }
    return folder;
}

// A plain text message of about the bytes given, made once: what a file of that size costs GMime.
std::string plainMessageOfSize(const Options& o, qint64 bytes)
{
    const QString path = QDir(o.work).filePath(QStringLiteral("plain-%1.eml").arg(bytes));
    if (!QFileInfo::exists(path)) {
        std::string m = "From: Plain <plain@example.jp>\nSubject: plain\nContent-Type: text/plain\n\n";
        const std::string line = "a plain line of text of the kind a long mail holds, nothing more\n";
        m.reserve(size_t(bytes) + line.size());
        while (qint64(m.size()) < bytes)
            m += line;
        writeBytes(path + QStringLiteral(".part"), m);
        QFile::rename(path + QStringLiteral(".part"), path);
    }
    return QFile::encodeName(path).toStdString();
}

// The window opened and shown beside one message of a hostile structure (read for its headers
// only), on n records: 12.5 million empty parts (62.5 MB), 800,000 (4 MB), and multiparts nested
// 100,000 levels deep, smaller below 100,000 records but always past the bounds. Baseline: a
// plain program parsing the 2,000 other files whole with GMime's file stream, and a plain text
// message of the hostile file's size.
QList<Result> runHostile(const Options& o, int n)
{
    struct Hostile {
        QString workload;
        long long count;
        bool nested;
    };
    const Hostile all[] = {
        {QStringLiteral("mailwin-load-parts"), std::clamp<long long>(125LL * n, 20000, 12500000), false},
        {QStringLiteral("mailwin-load-parts-4mb"), std::clamp<long long>(8LL * n, 20000, 800000), false},
        {QStringLiteral("mailwin-load-nested"), std::clamp<long long>(n, 1000, 100000), true},
    };
    QList<Result> out;
    for (const Hostile& h : all) {
        if (!wanted(o, h.workload))
            continue;
        static ui::ScriptedDialogs dialogs;
        ui::ScopedDialogs scope(&dialogs);
        ensureBook(o, n);
        const QString book = bookPath(o, n);
        const QString box = maildirWith(o, (h.nested ? QStringLiteral("nested") : QStringLiteral("parts")) + QString::number(h.count), [&] {
            return h.nested ? maildirmaker::nestedMessage(int(h.count), "nested")
                            : maildirmaker::manyPartsMessage(size_t(h.count));
        });
        qputenv("MAILDIR", QFile::encodeName(box));
        openShared(book);
        Result r{h.workload, n};
        r.median = medianSeconds(o.runs, [&] {
            Form22 w;
            w.formLoad();
            showOnce(w);
            if (w.list3Model()->rowCount() != 2001)
                std::fprintf(stderr, "%s: %d messages listed\n", qPrintable(h.workload), w.list3Model()->rowCount());
        });
        std::vector<std::string> files = messageFiles(box, qint64(1) << 20);
        const qint64 hostileBytes = QFileInfo(box + QStringLiteral("/cur/9999999999.hostile.host:2,S")).size();
        files.erase(std::remove_if(files.begin(), files.end(),
                                   [](const std::string& f) { return f.find("9999999999.hostile") != std::string::npos; }),
                    files.end());
        files.push_back(plainMessageOfSize(o, hostileBytes));
        r.baseline = medianSeconds(o.runs, [&] { plainGMimeParse(files); });
        r.peakMB = peakMemoryMB(o, book, box);
        std::fprintf(stderr, "%s: %lld %s, %.1f MB\n", qPrintable(h.workload), h.count, h.nested ? "levels" : "parts",
                     double(hostileBytes) / 1e6);
        out << r;
    }
    return out;
}

// The window opened and shown beside the four structures GMime splits into far more than their
// bytes suggest (maildirmaker::hostileMessage), 62.5 MB each at 100,000 records (at least 1 MB at
// smaller sizes), and the 2,000 ordinary messages: each takes its reader to the memory limit, and
// the window lists it by its headers. Bars: shown within 3 s; the program under 400 MB, with its
// readers under 800 MB. Baseline: a plain program parsing the 2,000 other files whole with
// GMime's file stream.
QList<Result> runReadersBounded(const Options& o, int n)
{
    const QString name = QStringLiteral("mailwin-load-hostile");
    if (!wanted(o, name))
        return {};
    static ui::ScriptedDialogs dialogs;
    ui::ScopedDialogs scope(&dialogs);
    ensureBook(o, n);
    const QString book = bookPath(o, n);
    const size_t bytes = size_t(std::clamp<long long>(655LL * n + n * 36 / 100, 1 << 20, 65536000));
    const QString folder = QDir(o.work).filePath(QStringLiteral("maildir2000-hostile%1").arg(bytes));
    if (!QFileInfo::exists(folder + QStringLiteral("/done"))) {
        const QString base = maildir(o, 2000);
        QDir(folder).removeRecursively();
        linkMaildir(base, folder);
        int k = 0;
        for (const char* const* kind = maildirmaker::hostileKinds(); *kind; ++kind, ++k)
            writeBytes(folder + QStringLiteral("/cur/999999999%1.hostile-%2.host:2,S").arg(k).arg(QLatin1String(*kind)),
                       maildirmaker::hostileMessage(*kind, bytes));
        QFile(folder + QStringLiteral("/done")).open(QIODevice::WriteOnly);
    }
    qputenv("MAILDIR", QFile::encodeName(folder));
    openShared(book);
    Result r{name, n};
    r.median = medianSeconds(o.runs, [&] {
        Form22 w;
        w.formLoad();
        showOnce(w);
        if (w.list3Model()->rowCount() != 2004)
            std::fprintf(stderr, "%s: %d messages listed\n", qPrintable(name), w.list3Model()->rowCount());
    });
    r.baseline = medianSeconds(o.runs, [&] { plainGMimeParse(messageFiles(folder, qint64(1) << 20)); });
    QProcess p;
    p.start(o.self, {QStringLiteral("--mail-window-readers-probe"), book + QLatin1Char('|') + folder});
    p.waitForFinished(-1);
    const QStringList kb = QString::fromLatin1(p.readAllStandardOutput()).simplified().split(QLatin1Char(' '));
    const auto mb = [&](int i) { return i < kb.size() ? kb[i].toDouble() / 1024.0 : 0.0; };
    r.peakMB = mb(0);
    std::fprintf(stderr,
                 "%s: 4 messages of %.1f MB; shown in %.2f s (bar 3 s); peak memory: program %.1f MB (bar 400), "
                 "readers together %.1f MB, program and readers %.1f MB (bar 800), largest reader %.1f MB\n",
                 qPrintable(name), double(bytes) / 1e6, r.median, mb(0), mb(1), mb(2), mb(3));
    if (r.median >= 3.0 || mb(0) >= 400 || mb(2) >= 800)
        std::fprintf(stderr, "%s: OVER A BAR\n", qPrintable(name));
    return {r};
}

} // namespace

// Sizes at or above 100,000 records run the bars' Maildir of 10,000 messages.
static RegisterGroup g(QStringLiteral("mailwin"), [](const Options& o) {
    QList<Result> out;
    for (int size : o.sizes) {
        out << run(o, size);
        out << runSparse(o, size);
        out << runHostile(o, size);
        out << runReadersBounded(o, size);
    }
    return out;
});

} // namespace bench
