// The mail window's book and list workloads: the recipients of "全員" built from the whole
// book, 1,000 senders appended to a book whose record folders exist, and the received-mail
// CSV list of a fetched Maildir with and without the bodies.

#include "BenchCommon.h"
#include "MaildirMaker.h"
#include "mail/ReceivedMailCsv.h"
#include "mail/Recipients.h"
#include "mail/SenderRegistration.h"
#include "platform/db/Database.h"
#include "platform/db/Schema.h"
#include "platform/mail/MailSession.h"
#include "shell/DbFile.h"
#include "shell/Helpers.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>

namespace bench {
namespace {

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
    return r;
}

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

Result csv(const Options& o, int n, bool bodies)
{
    const QString box = maildir(o, n);
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
            const mail::ReceivedMailCsvResult res =
                mail::ExportReceivedMailCsv(mail::ReadReceivedMail(m, bodies), {}, bodies, out);
            if (!res.ok || res.lines != n)
                std::fprintf(stderr, "%s: %lld of %d lines\n", qPrintable(r.name), res.lines, n);
        },
        [&] { m.Fetch(); });  // a fresh snapshot: the bodies are read from the files again
    return r;
}

} // namespace

// Sizes above 10,000 records run the sizes of the bars: 10,000 messages and 1,000 senders.
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
            out << csv(o, std::min(size, 10000), true);
    }
    return out;
});

} // namespace bench
