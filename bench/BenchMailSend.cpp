// The mail window's book and list workloads: the recipients of "全員" built from the whole
// book, 1,000 senders appended to a book whose record folders exist, and the received-mail
// CSV list of a fetched Maildir with and without the bodies (with them also its peak memory).

#include "BenchCommon.h"
#include "BenchMailBaseline.h"
#include "MaildirMaker.h"
#include "mail/ReceivedMailCsv.h"
#include "mail/Recipients.h"
#include "mail/SenderRegistration.h"
#include "platform/db/Database.h"
#include "platform/db/Schema.h"
#include "platform/mail/MailSession.h"
#include "shell/DbFile.h"
#include "shell/Helpers.h"
#include "platform/text/Cp932.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSaveFile>
#include <algorithm>
#include <cerrno>
#include <sqlite3.h>
#include <string>
#include <sys/stat.h>

namespace bench {
namespace {

// Plain SQLite on one connection: the baselines of the book workloads.
class PlainBook {
public:
    explicit PlainBook(const QString& path)
    {
        h_ = bench::openPlain(path, SQLITE_OPEN_READWRITE);
    }
    ~PlainBook() { sqlite3_close(h_); }
    PlainBook(const PlainBook&) = delete;
    PlainBook& operator=(const PlainBook&) = delete;
    sqlite3_stmt* prepare(const QString& sql) const
    {
        sqlite3_stmt* s = nullptr;
        const QByteArray utf8 = sql.toUtf8();
        if (sqlite3_prepare_v2(h_, utf8.constData(), int(utf8.size()), &s, nullptr) != SQLITE_OK)
            qFatal("%s: %s", utf8.constData(), sqlite3_errmsg(h_));
        return s;
    }
    void exec(const char* sql) const { sqlite3_exec(h_, sql, nullptr, nullptr, nullptr); }

private:
    sqlite3* h_ = nullptr;
};

QString columnText(sqlite3_stmt* s, int i)
{
    return QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(s, i)), sqlite3_column_bytes(s, i));
}


Result recipients(const Options& o, int n)
{
    ensureBook(o, n);
    const db::Database book = db::Database::open(bookPath(o, n), db::OpenMode::ReadOnly);
    const db::Recordset persons = book.openRecordset(db::schema::personQueryNames().value(0), db::RecordsetType::Dynaset);
    mail::RecipientOptions opt;
    opt.target = mail::Target::AllExceptSelected;
    opt.kind = mail::AddressKind::Both;
    Result r;
    r.name = QStringLiteral("mail-recipients");
    r.records = n;
    r.median = medianSeconds(o.runs, [&] {
        const mail::RecipientTexts t = mail::BuildRecipients(persons, [](int) { return false; }, opt);
        if (t.addresses.isEmpty())
            std::fprintf(stderr, "mail-recipients: no address\n");
    });
    r.baseline = medianSeconds(o.runs, [&] { (void)plainRecipients(bookPath(o, n), nullptr); });
    return r;
}

Result registration(const Options& o, int n, int senders)
{
    ensureBook(o, n);
    const QString folder = QDir(o.work).filePath(QStringLiteral("register%1").arg(n));
    Module1::DbFile src;
    src.FullPath = folder + QStringLiteral("/Ｅメール専用住所録.mdb");
    Module1::DbFile f;
    QDir().mkpath(folder);
    if (!QFile::exists(src.FullPath))
        QFile::copy(bookPath(o, n), src.FullPath);
    Module1::SplitDbFilePath(src, f);
    // The record folders of the book, made once.
    if (!QFileInfo::exists(folder + QStringLiteral("/folders-done"))) {
        Module1::EnsureFolder(f.DataFolder);
        const db::Database book = db::Database::open(bookPath(o, n), db::OpenMode::ReadOnly);
        const db::Recordset rs = book.openRecordset(QStringLiteral("SELECT \"会員NO\" FROM \"") + db::schema::personTableName() +
                                                        QStringLiteral("\""),
                                                    db::RecordsetType::Snapshot);
        for (const QVariantList& row : rs.readColumns({QStringLiteral("会員NO")})) {
            const QString rf = Module1::RecordFolderPath(f, row.value(0).toLongLong());
            Module1::EnsureFolder(rf);
            Module1::EnsureFolder(rf + QStringLiteral("/Preview"));
        }
        QFile(folder + QStringLiteral("/folders-done")).open(QIODevice::WriteOnly);
    }
    QList<mail::MailSender> list;
    for (int i = 0; i < senders; ++i)
        list.append({QStringLiteral("2026/12/01 09:00"), QStringLiteral("2026/12/02 09:00"), 2,
                     QStringLiteral("差出人 %1").arg(i), QStringLiteral("sender%1@example.jp").arg(i)});
    Result r;
    r.name = QStringLiteral("mail-register");
    r.records = n;
    bool failed = false;
    r.median = medianSeconds(
        o.runs,
        [&] {
            const db::Database book = db::Database::open(f.FullPath);
            const mail::RegistrationResult res = mail::AddSenderRecords(book, f, list, false);
            failed = failed || !res.ok;
        },
        [&] {
            // The book as generated again: the senders of the run before removed.
            QFile::remove(f.FullPath);
            QFile::copy(bookPath(o, n), f.FullPath);
        });
    if (failed)
        std::fprintf(stderr, "mail-register: the registration failed\n");
    // Plain SQLite and plain mkdir: the highest number, the senders inserted in one transaction,
    // then the data folder and both folders of every record of the book, old and new, made sure
    // to exist with one mkdir each (an existing folder answers EEXIST).
    const QByteArray dataFolder = QFile::encodeName(f.DataFolder);
    r.baseline = medianSeconds(
        o.runs,
        [&] {
            PlainBook b(f.FullPath);
            b.exec("BEGIN");
            const QString table = u'"' + db::schema::personTableName() + u'"';
            sqlite3_stmt* max = b.prepare(QStringLiteral("SELECT MAX(\"会員NO\") FROM ") + table);
            sqlite3_step(max);
            qint64 next = sqlite3_column_int64(max, 0) + 1;
            sqlite3_finalize(max);
            sqlite3_stmt* ins = b.prepare(QStringLiteral("INSERT INTO ") + table
                                          + QStringLiteral(" (\"会員NO\", \"登録日\", \"会員区分\", \"フリガナ\", \"氏名\", "
                                                           "\"Eメール\", \"携帯Eメール\") VALUES (?, ?, 0, '', ?, ?, ?)"));
            for (const mail::MailSender& m : list) {
                const QByteArray name = m.SenderName.toUtf8(), address = m.SenderAddress.toUtf8();
                sqlite3_bind_int64(ins, 1, next);
                sqlite3_bind_text(ins, 2, "2026-12-01", -1, SQLITE_STATIC);
                sqlite3_bind_text(ins, 3, name.constData(), int(name.size()), SQLITE_TRANSIENT);
                sqlite3_bind_text(ins, 4, address.constData(), int(address.size()), SQLITE_TRANSIENT);
                sqlite3_bind_text(ins, 5, address.constData(), int(address.size()), SQLITE_TRANSIENT);
                if (sqlite3_step(ins) != SQLITE_DONE)
                    std::fprintf(stderr, "mail-register: the plain insert failed\n");
                sqlite3_reset(ins);
                ++next;
            }
            sqlite3_finalize(ins);
            b.exec("COMMIT");
            ::mkdir(dataFolder.constData(), 0777);
            sqlite3_stmt* numbers = b.prepare(QStringLiteral("SELECT \"会員NO\" FROM ") + table);
            std::string path;
            while (sqlite3_step(numbers) == SQLITE_ROW) {
                if (sqlite3_column_type(numbers, 0) == SQLITE_NULL)
                    continue;
                path.assign(dataFolder.constData(), size_t(dataFolder.size()));
                path += '/';
                path += std::to_string(sqlite3_column_int64(numbers, 0));
                if (::mkdir(path.c_str(), 0777) != 0 && errno != EEXIST)
                    std::fprintf(stderr, "mail-register: cannot make %s\n", path.c_str());
                path += "/Preview";
                if (::mkdir(path.c_str(), 0777) != 0 && errno != EEXIST)
                    std::fprintf(stderr, "mail-register: cannot make %s\n", path.c_str());
            }
            sqlite3_finalize(numbers);
        },
        [&] {
            QFile::remove(f.FullPath);
            QFile::copy(bookPath(o, n), f.FullPath);
        });
    return r;
}

// n generated messages, with body texts of about bodyBytes each (0: a few lines); made once.
QString maildir(const Options& o, int n, size_t bodyBytes = 0)
{
    const QString folder = QDir(o.work).filePath(bodyBytes ? QStringLiteral("maildir%1-body%2").arg(n).arg(bodyBytes)
                                                             : QStringLiteral("maildir%1").arg(n));
    if (!QFileInfo::exists(folder + QStringLiteral("/done"))) {
        QDir(folder).removeRecursively();
        maildirmaker::Options m;
        m.seed = 42;
        m.count = n;
        m.bodyBytes = bodyBytes;
        maildirmaker::makeMaildir(QFile::encodeName(folder).toStdString(), m);
        QFile(folder + QStringLiteral("/done")).open(QIODevice::WriteOnly);
    }
    return folder;
}

// The peak resident memory of the list with bodies written in a fresh process, in MB.
double csvPeakMemoryMB(const Options& o, const QString& box, const QString& out)
{
    QProcess p;
    p.start(o.self, {QStringLiteral("--mail-csv-probe"), box + QLatin1Char('|') + out});
    p.waitForFinished(-1);
    return QString::fromLatin1(p.readAllStandardOutput()).trimmed().toDouble() / 1024.0;
}

Result csv(const Options& o, int n, bool bodies, size_t bodyBytes = 0)
{
    const QString box = maildir(o, n, bodyBytes);
    qputenv("MAILDIR", QFile::encodeName(box));
    mailclient::MailSession session;
    session.SignOn();
    mailclient::MailMessages m;
    m.setSessionID(session.SessionID());
    const QString out = QDir(o.work).filePath(QStringLiteral("受信メール一覧表"));
    Result r;
    r.name = bodies ? QStringLiteral("mail-csv-bodies") : QStringLiteral("mail-csv");
    r.records = n;
    r.median = medianSeconds(
        o.runs,
        [&] {
            const mail::ReceivedMailCsvResult res = mail::ExportReceivedMailCsv(m, {}, bodies, out);
            if (!res.ok || res.lines != n)
                std::fprintf(stderr, "%s: %lld of %d lines\n", qPrintable(r.name), res.lines, n);
        },
        [&] { m.Fetch(); });  // a fresh snapshot: the bodies are read from the files again
    // Plain libraries on a snapshot of the same Maildir taken untimed, as the window's fetch is:
    // the same cells read from the snapshot (with the bodies, each file's body text by GMime),
    // written as the list output writes them (a text quoted, an empty cell bare, an empty last
    // cell one space), each line encoded to code page 932 and written before the next message
    // is read, into a file put in place whole at the end, as the program's list is.
    const std::string path = QFile::encodeName(box).toStdString();
    std::vector<std::string> files;
    mailcore::Inbox inbox;
    const auto prepare = [&] {
        inbox = mailcore::Inbox::fetch(path, true, "/nonexistent");
        files.clear();
        for (size_t i = 0; i < inbox.count(); ++i) {
            const mailcore::MessageInfo& info = inbox.message(i);
            files.push_back(path + '/' + info.folder + '/' + info.fileName);
        }
    };
    r.baseline = medianSeconds(
        o.runs,
        [&] {
            QSaveFile plain(out + QStringLiteral("-plain.csv"));
            if (!plain.open(QIODevice::WriteOnly))
                return;
            QString text;  // one line
            const auto cell = [&](const QString& value, bool last) {
                if (!value.isEmpty())
                    text += u'"' + value + u'"';
                else if (last)
                    text += u' ';
                text += last ? QStringLiteral("\r\n") : QStringLiteral(",");
                if (last) {
                    plain.write(text::encodeCp932(text).bytes);
                    text.clear();
                }
            };
            QStringList header{QStringLiteral("NO"), QStringLiteral("日付"), QStringLiteral("差出人氏名"),
                               QStringLiteral("メールアドレス"), QStringLiteral("件名")};
            if (bodies)
                header << QStringLiteral("テキスト本文");
            header << QStringLiteral("添付ファイル数") << QStringLiteral("添付ファイル名");
            for (qsizetype i = 0; i < header.size(); ++i)
                cell(header[i], i + 1 == header.size());
            for (size_t i = 0; i < inbox.count(); ++i) {
                const mailcore::MessageInfo& info = inbox.message(i);
                QString address = QString::fromStdString(info.address);
                if (address.startsWith(QLatin1String("SMTP:")))
                    address = address.mid(5);
                cell(QString::number(i + 1).rightJustified(4, u' '), false);
                cell(QString::fromStdString(info.dateReceived), false);
                cell(QString::fromStdString(info.displayName), false);
                cell(address, false);
                cell(QString::fromStdString(info.subject), false);
                if (bodies)
                    cell(QString::fromStdString(plainGMimeBody(files[i])), false);
                cell(QString::number(info.attachments.size()), false);
                QString paths;
                for (size_t j = 0; j < info.attachments.size(); ++j)
                    paths += (j ? QStringLiteral(",") : QString()) + QString::fromStdString(inbox.attachmentPath(i, j));
                cell(paths, true);
            }
            plain.commit();
        },
        prepare);
    if (bodies)
        r.peakMB = csvPeakMemoryMB(o, box, out);
    return r;
}

} // namespace

int mailCsvMemoryProbe(const QString& maildirAndOut)
{
    qputenv("MAILDIR", QFile::encodeName(maildirAndOut.section(QLatin1Char('|'), 0, 0)));
    mailclient::MailSession session;
    session.SignOn();
    mailclient::MailMessages m;
    m.setSessionID(session.SessionID());
    m.Fetch();
    const mail::ReceivedMailCsvResult res =
        mail::ExportReceivedMailCsv(m, {}, true, maildirAndOut.section(QLatin1Char('|'), 1));
    if (!res.ok)
        return 1;
    const qint64 peak = peakResidentKB();
    if (peak <= 0)
        return 1;
    std::printf("%lld\n", static_cast<long long>(peak));
    return 0;
}

// The addresses of every record that does not refuse mail, with a name per record, joined by
// ";": the recipients of "全員" without the window.
QString plainRecipients(const QString& path, QString* namesOut)
{
    PlainBook b(path);
    sqlite3_stmt* s = b.prepare(QStringLiteral("SELECT \"氏名\", \"Eメール\", \"携帯Eメール\", \"メール送信拒否\" FROM \"")
                                + db::schema::personQueryNames().value(0) + u'"');
    QString names, addresses;
    while (sqlite3_step(s) == SQLITE_ROW) {
        if (sqlite3_column_int(s, 3))
            continue;
        for (int i = 1; i <= 2; ++i) {
            const QString a = columnText(s, i).trimmed();
            if (a.isEmpty())
                continue;
            if (!addresses.isEmpty()) {
                addresses += u';';
                names += u';';
            }
            addresses += a;
            names += columnText(s, 0);
        }
    }
    sqlite3_finalize(s);
    if (namesOut)
        *namesOut = names;
    return addresses;
}

// Sizes above 10,000 records run the sizes of the bars: 10,000 messages and 1,000 senders; the
// list with bodies at 100,000 records and more runs its memory bar: 2,000 messages of 1 MB text
// bodies (just under the 1 MiB the reader keeps of a body).
static RegisterGroup g(QStringLiteral("mailsend"), [](const Options& o) {
    QList<Result> out;
    for (int size : o.sizes) {
        if (wanted(o, QStringLiteral("mail-recipients")))
            out << recipients(o, size);
        if (wanted(o, QStringLiteral("mail-register")))
            out << registration(o, size, std::min(size, 1000));
        if (wanted(o, QStringLiteral("mail-csv")))
            out << csv(o, std::min(size, 10000), false);
        if (wanted(o, QStringLiteral("mail-csv-bodies")))
            out << (size >= 100000 ? csv(o, 2000, true, 1000000) : csv(o, std::min(size, 10000), true));
    }
    return out;
});

} // namespace bench
