// The mail client's workloads: fetching a generated Maildir (index only) beside a plain GMime
// parse of the same files, and sending through a fake sendmail beside starting the same program
// with the same bytes.

#include "BenchCommon.h"
#include "BenchMailBaseline.h"
#include "MaildirMaker.h"
#include "platform/mail/MailSession.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>

namespace bench {
namespace {

// A Maildir of n generated messages (a fifth with attachments, about 10 kB each); made once.
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

std::vector<std::string> messageFiles(const QString& folder)
{
    std::vector<std::string> files;
    for (const char* sub : {"cur", "new"}) {
        const QDir d(folder + QLatin1Char('/') + QLatin1String(sub));
        for (const QString& name : d.entryList(QDir::Files, QDir::Name))
            files.push_back(QFile::encodeName(d.filePath(name)).toStdString());
    }
    return files;
}

Result fetch(const Options& o, int n)
{
    const QString folder = maildir(o, n);
    const std::string path = QFile::encodeName(folder).toStdString();
    const std::vector<std::string> files = messageFiles(folder);
    Result r;
    r.name = QStringLiteral("mail-fetch");
    r.records = n;
    mailcore::Inbox::fetch(path, true, "/nonexistent");  // the page cache warm for both
    r.median = medianSeconds(o.runs, [&] {
        const mailcore::Inbox inbox = mailcore::Inbox::fetch(path, true, "/nonexistent");
        if (inbox.count() != static_cast<size_t>(n))
            std::fprintf(stderr, "mail-fetch: %zu of %d messages\n", inbox.count(), n);
    });
    r.baseline = medianSeconds(o.runs, [&] { plainGMimeParse(files); });
    return r;
}

Result send(const Options& o, int n)
{
    const QString fake = QDir(o.work).filePath(QStringLiteral("fake-sendmail"));
    {
        QFile f(fake);
        f.open(QIODevice::WriteOnly | QIODevice::Truncate);
        f.write("#!/bin/sh\nexec cat >/dev/null\n");
        f.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    const QString box = maildir(o, 10);
    qputenv("MAILDIR", QFile::encodeName(box));
    qputenv("SENDMAIL", QFile::encodeName(fake));
    mailclient::MailSession session;
    session.SignOn();
    mailclient::MailMessages m;
    m.setSessionID(session.SessionID());
    const QString subject = QStringLiteral("会議のご案内①");
    const QString body = QStringLiteral("山田 様\r\r下記の通りご案内申し上げます。\r\n①日時：十二月十日 十四時～\r\n").repeated(20);
    const auto one = [&] {
        m.Compose();
        m.setMsgSubject(subject);
        m.setMsgNoteText(body);
        m.setRecipType(1);
        m.setRecipIndex(0);
        m.setRecipAddress(QStringLiteral("yamada@example.jp"));
        m.Send(false);
    };
    mailcore::OutgoingMessage out;
    out.subject = subject.toStdString();
    out.body = body.toStdString();
    out.to = "yamada@example.jp";
    const std::string bytes = mailcore::buildMessage(out);
    const std::string program = QFile::encodeName(fake).toStdString();

    Result r;
    r.name = QStringLiteral("mail-send");
    r.records = n;
    r.median = medianSeconds(o.runs, [&] {
        for (int i = 0; i < n; ++i)
            one();
    });
    r.baseline = medianSeconds(o.runs, [&] {
        for (int i = 0; i < n; ++i)
            plainSpawn(program, {"-t", "-oi"}, bytes);
    });
    return r;
}

} // namespace

// Sizes above 10,000 records run the sizes of the mail bars: 10,000 messages and 1,000 sends.
static RegisterGroup g(QStringLiteral("mail"), [](const Options& o) {
    QList<Result> out;
    for (int size : o.sizes) {
        if (wanted(o, QStringLiteral("mail-fetch")))
            out << fetch(o, std::min(size, 10000));
        if (wanted(o, QStringLiteral("mail-send")))
            out << send(o, std::clamp(size / 10, 1, 1000));
    }
    return out;
});

} // namespace bench
