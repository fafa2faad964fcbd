// Received mail read in reader processes: an ordinary Maildir reads exactly as the reading in
// this process does (headers, structure, bodies, saved attachments); messages built so that
// GMime's tree outgrows a count of their bytes are listed by their headers as too complex
// without this process growing; a reader killed or stalled on one message costs that message
// alone, and the next fetch reads it again; a missing reader program says so.

#include "MaildirMaker.h"
#include "platform/mail/MailCore.h"
#include "platform/mail/MailReaderInternal.h"
#include "platform/mail/MailReaderProcess.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace {

// Sets an environment variable for the scope, restoring its absence after.
struct ScopedEnv {
    QByteArray name;
    ScopedEnv(const char* n, const QByteArray& value) : name(n) { qputenv(n, value); }
    ~ScopedEnv() { qunsetenv(name.constData()); }
};

qint64 statusKB(const char* field)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith(field))
            return line.mid(qsizetype(std::strlen(field))).trimmed().split(' ').first().toLongLong();
    return -1;
}

// Starts the peak resident size over from the size now.
void resetPeak()
{
    QFile f(QStringLiteral("/proc/self/clear_refs"));
    if (f.open(QIODevice::WriteOnly))
        f.write("5");
}

QByteArray fileBytes(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeFile(const QString& path, const std::string& bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    QCOMPARE(f.write(bytes.data(), qint64(bytes.size())), qint64(bytes.size()));
}

// Every field a fetch fills in, as one text, so that a difference shows where it lies.
QString describe(const mailcore::MessageInfo& m)
{
    QStringList parts{QString::fromStdString(m.fileName), QString::fromStdString(m.folder), QString::number(m.read),
                      QString::fromStdString(m.dateReceived), QString::number(m.receivedTime), QString::number(m.hasDate),
                      QString::fromStdString(m.displayName), QString::fromStdString(m.address), QString::fromStdString(m.subject),
                      QString::number(int(m.bodyKind)), QString::number(m.tooLarge), QString::number(m.tooComplex),
                      QString::number(m.damaged)};
    QStringList path;
    for (int i : m.bodyPart)
        path << QString::number(i);
    parts << path.join(u'.');
    for (const mailcore::AttachmentInfo& a : m.attachments) {
        QStringList at;
        for (int i : a.part)
            at << QString::number(i);
        parts << QString::fromStdString(a.name) + u'|' + QString::fromStdString(a.fileName) + u'|' + at.join(u'.');
    }
    return parts.join(u'\n');
}

std::string pathOf(const QString& folder, const mailcore::MessageInfo& m)
{
    return QFile::encodeName(folder + u'/' + QString::fromStdString(m.folder) + u'/' + QString::fromStdString(m.fileName))
        .toStdString();
}

} // namespace

class TestMailReaderProcess : public QObject {
    Q_OBJECT
    QTemporaryDir dir_;
    QString maildir_;

    mailcore::Inbox fetch(const QString& folder)
    {
        return mailcore::Inbox::fetch(QFile::encodeName(folder).toStdString(), true,
                                      QFile::encodeName(dir_.filePath(QStringLiteral("attachments"))).toStdString());
    }

    int indexOf(const mailcore::Inbox& inbox, const QString& fileNameStart)
    {
        for (size_t i = 0; i < inbox.count(); ++i)
            if (QString::fromStdString(inbox.message(i).fileName).startsWith(fileNameStart))
                return int(i);
        return -1;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(dir_.isValid());
        maildir_ = dir_.filePath(QStringLiteral("box"));
        maildirmaker::Options o;
        o.seed = 39;
        o.count = 300;
        o.attachmentShare = 0.3;
        o.attachmentBytes = 5000;
        maildirmaker::makeMaildir(QFile::encodeName(maildir_).toStdString(), o);
    }

    // Every message as this process reads it with the same functions the reader runs.
    void ordinaryInboxReadAsInProcess()
    {
        mailcore::Inbox inbox = fetch(maildir_);
        QCOMPARE(int(inbox.count()), 300);
        int attachments = 0;
        for (size_t i = 0; i < inbox.count(); ++i) {
            const mailcore::MessageInfo& m = inbox.message(i);
            const std::string path = pathOf(maildir_, m);
            bool ok = false;
            mailcore::MessageInfo here = mailcore::parseMessageFile(path, &ok);
            QVERIFY(ok);
            here.fileName = m.fileName;
            here.uniqueName = m.uniqueName;
            here.folder = m.folder;
            here.read = m.read;
            QCOMPARE(describe(m), describe(here));
            const mailcore::BodyText body = mailcore::readBodyFile(path, m);
            QCOMPARE(inbox.body(i), body.text);
            QCOMPARE(inbox.bodyCut(i), body.cut);
            for (size_t j = 0; j < m.attachments.size(); ++j, ++attachments) {
                const QString saved = QString::fromStdString(inbox.saveAttachment(i, j));
                const QString expected = dir_.filePath(QStringLiteral("expected"));
                const int fd = ::open(QFile::encodeName(expected).constData(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
                QVERIFY(fd >= 0);
                mailcore::writeAttachmentFile(path, m, j, fd, "expected");
                ::close(fd);
                QCOMPARE(fileBytes(saved), fileBytes(expected));
                QCOMPARE(QFile(saved).permissions() & (QFileDevice::ReadGroup | QFileDevice::ReadOther), QFileDevice::Permissions());
            }
        }
        QVERIFY(attachments > 30);
    }

    // Each written to about 1 MB beside the ordinary messages, under a lowered limit: GMime would
    // hold 100 to 280 MB of it; the reader ends and the message keeps its headers.
    void hostileMessagesListedByHeaders_data()
    {
        QTest::addColumn<QString>("kind");
        for (const char* const* k = maildirmaker::hostileKinds(); *k; ++k)
            QTest::newRow(*k) << QString::fromLatin1(*k);
    }
    void hostileMessagesListedByHeaders()
    {
#if defined(__SANITIZE_ADDRESS__)
        QSKIP("a sanitized build's mail reader runs without its memory limit");
#endif
        QFETCH(QString, kind);
        const std::string bytes = maildirmaker::hostileMessage(kind.toStdString(), 1 << 20);
        // The count before the parse passes them: it is the reader's limit that holds them.
        QVERIFY(mailcore::scanMimeShape(bytes.data(), bytes.size()).withinBounds);
        const QString box = dir_.filePath(QStringLiteral("hostile-") + kind);
        QVERIFY(QDir().mkpath(box + QStringLiteral("/tmp")) && QDir().mkpath(box + QStringLiteral("/new")));
        QVERIFY(QDir().mkpath(box + QStringLiteral("/cur")));
        for (const QString& sub : {QStringLiteral("cur"), QStringLiteral("new")})
            for (const QString& name : QDir(maildir_ + u'/' + sub).entryList(QDir::Files))
                QVERIFY(::link(QFile::encodeName(maildir_ + u'/' + sub + u'/' + name).constData(),
                               QFile::encodeName(box + u'/' + sub + u'/' + name).constData()) == 0);
        writeFile(box + QStringLiteral("/cur/1900000000.hostile.host:2,S"), bytes);
        const mailcore::Inbox plain = fetch(maildir_);

        ScopedEnv memory("KV_MAIL_READER_MEMORY_MB", "32");
        resetPeak();
        const qint64 before = statusKB("VmRSS:");
        mailcore::Inbox inbox = fetch(box);
        const qint64 grown = statusKB("VmHWM:") - before;
        QVERIFY2(grown < 24 * 1024, qPrintable(QStringLiteral("%1 kB").arg(grown)));

        QCOMPARE(int(inbox.count()), 301);
        const int at = indexOf(inbox, QStringLiteral("1900000000.hostile"));
        QVERIFY(at >= 0);
        const mailcore::MessageInfo& m = inbox.message(size_t(at));
        QVERIFY(m.tooComplex);
        QVERIFY(!m.damaged && !m.tooLarge);
        QCOMPARE(QString::fromStdString(m.subject), kind);
        QCOMPARE(QString::fromStdString(m.displayName), QStringLiteral("Hostile"));
        QCOMPARE(QString::fromStdString(m.address), QStringLiteral("hostile@example.jp"));
        QVERIFY(m.hasDate);
        QCOMPARE(m.bodyKind, mailcore::BodyKind::None);
        QVERIFY(m.attachments.empty());
        QCOMPARE(inbox.body(size_t(at)), std::string());
        // The others as without it.
        for (size_t i = 0, j = 0; i < inbox.count(); ++i) {
            if (int(i) == at)
                continue;
            QCOMPARE(describe(inbox.message(i)), describe(plain.message(j++)));
        }
    }

    // The reader dies (SIGKILL) or stalls past the time limit just after it answered one
    // message's headers, in the middle of a fetch on several readers.
    void readerLostOnOneMessage_data()
    {
        QTest::addColumn<QByteArray>("hook");
        QTest::newRow("killed") << QByteArray("kill:");
        QTest::newRow("past the time limit") << QByteArray("hang:");
    }
    void readerLostOnOneMessage()
    {
        QFETCH(QByteArray, hook);
        const mailcore::Inbox plain = fetch(maildir_);
        // A message from the middle of the fetch order, with attachments.
        size_t victim = plain.count() / 2;
        while (plain.message(victim).attachments.empty())
            ++victim;
        const std::string name = plain.message(victim).uniqueName;
        {
            ScopedEnv test("KV_MAIL_READER_TEST", hook + QByteArray::fromStdString(name));
            ScopedEnv seconds("KV_MAIL_READER_SECONDS", "0.5");
            mailcore::Inbox inbox = fetch(maildir_);
            QCOMPARE(inbox.count(), plain.count());
            for (size_t i = 0; i < inbox.count(); ++i) {
                if (i == victim)
                    continue;
                QCOMPARE(describe(inbox.message(i)), describe(plain.message(i)));
            }
            const mailcore::MessageInfo& m = inbox.message(victim);
            QVERIFY(m.tooComplex);
            QVERIFY(m.attachments.empty());
            QCOMPARE(m.subject, plain.message(victim).subject);
            QCOMPARE(m.address, plain.message(victim).address);
            QCOMPARE(m.dateReceived, plain.message(victim).dateReceived);
            // A body asked for after it comes from a reader started again.
            QCOMPARE(inbox.body(victim + 1), mailcore::readBodyFile(pathOf(maildir_, plain.message(victim + 1)),
                                                                    plain.message(victim + 1)).text);
        }
        // The next fetch reads it whole.
        const mailcore::Inbox again = fetch(maildir_);
        QCOMPARE(describe(again.message(victim)), describe(plain.message(victim)));
    }

    // The reader kept after a fetch, killed from outside while idle: the next body read starts
    // another, and the message is not held against it.
    void idleReaderKilledFromOutside()
    {
        mailcore::Inbox inbox = fetch(maildir_);
        QCOMPARE(inbox.body(0), mailcore::readBodyFile(pathOf(maildir_, inbox.message(0)), inbox.message(0)).text);
        int killed = 0;
        for (const QString& task : QDir(QStringLiteral("/proc/self/task")).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
            QFile children(QStringLiteral("/proc/self/task/%1/children").arg(task));
            if (children.open(QIODevice::ReadOnly))
                for (const QByteArray& pid : children.readAll().split(' '))
                    if (!pid.trimmed().isEmpty() && ::kill(pid.trimmed().toInt(), SIGKILL) == 0)
                        ++killed;
        }
        QVERIFY(killed >= 1);
        QTest::qWait(50);
        const size_t i = inbox.count() - 1;
        QCOMPARE(inbox.body(i), mailcore::readBodyFile(pathOf(maildir_, inbox.message(i)), inbox.message(i)).text);
        QVERIFY(!inbox.message(i).tooComplex);
    }

    void readerProgramMissing()
    {
        ScopedEnv program("KV_MAIL_READER", QFile::encodeName(dir_.filePath(QStringLiteral("no-such-reader"))));
        try {
            fetch(maildir_);
            QFAIL("fetched without a reader");
        } catch (const mailcore::MailError& e) {
            QCOMPARE(e.number(), int(mailcore::Failure));
            QVERIFY2(QString::fromStdString(e.description()).startsWith(QStringLiteral("メールを読むプログラムを起動できません: ")),
                     e.description().c_str());
        }
    }
};

QTEST_GUILESS_MAIN(TestMailReaderProcess)
#include "tst_mailreaderprocess.moc"
