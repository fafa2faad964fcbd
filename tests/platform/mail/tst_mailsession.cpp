// The mail session on a temporary Maildir: sign-on, a fetch that stays stable while the files
// are renamed or removed, read flags, attachments saved only when asked and always inside their
// folder, and deleting into the trash without renumbering.

#include "platform/mail/MailSession.h"
#include "platform/mail/RecordingComposer.h"
#include "MaildirMaker.h"

#include <string>

#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QtTest>
#include <sys/stat.h>

namespace {

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

QByteArray readFile(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Every path under the folder with a hash of its bytes: what a read-only step must leave alone.
QStringList tree(const QString& folder)
{
    QStringList out;
    QDirIterator it(folder, QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString p = it.next();
        out << QDir(folder).relativeFilePath(p) + QLatin1Char(' ') +
                   QString::fromLatin1(QCryptographicHash::hash(readFile(p), QCryptographicHash::Md5).toHex());
    }
    out.sort();
    return out;
}

int modeOf(const QString& path)
{
    struct stat st {};
    ::stat(QFile::encodeName(path).constData(), &st);
    return st.st_mode & 07777;
}

QByteArray message(const QByteArray& subject, const QByteArray& date, const QByteArray& attachments = {})
{
    QByteArray m = "From: =?UTF-8?B?" + QByteArray("山田").toBase64() + "?= <yamada@example.jp>\nSubject: " + subject +
                   "\nDate: " + date + "\nMIME-Version: 1.0\n";
    if (attachments.isEmpty())
        return m + "Content-Type: text/plain; charset=utf-8\n\n本文 " + subject + "\n";
    return m + "Content-Type: multipart/mixed; boundary=b\n\n--b\nContent-Type: text/plain; charset=utf-8\n\n本文 " + subject +
           "\n" + attachments + "--b--\n";
}

QByteArray attachment(const QByteArray& filename, const QByteArray& bytes)
{
    return "--b\nContent-Type: application/octet-stream\nContent-Disposition: attachment; filename=\"" + filename +
           "\"\nContent-Transfer-Encoding: base64\n\n" + bytes.toBase64() + "\n";
}

} // namespace

class TestMailSession : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    QString maildir_;
    QString attachments_;

    void makeMaildir(const QString& folder)
    {
        for (const char* sub : {"cur", "new", "tmp"})
            QVERIFY(QDir().mkpath(folder + QLatin1Char('/') + QLatin1String(sub)));
    }

    // Three messages: the newest file name holds the oldest mail, so the sorted order differs.
    void fillInbox()
    {
        makeMaildir(maildir_);
        writeFile(maildir_ + "/new/300.c.host", message("third", "Sat, 05 Dec 2026 09:00:00 +0900"));
        writeFile(maildir_ + "/cur/100.a.host:2,S",
                  message("first", "Thu, 03 Dec 2026 09:00:00 +0900",
                          attachment("../../x", "AAA") + attachment("/etc/x", "BBB") + attachment("same.txt", "one") +
                              attachment("same.txt", "two")));
        writeFile(maildir_ + "/cur/200.b.host:2,RF", message("second", "Tue, 01 Dec 2026 09:00:00 +0900"));
    }

    // A Maildir of the one message, fetched; the message chosen.
    void fetchOne(mailclient::MailMessages& m, const QByteArray& bytes)
    {
        makeMaildir(maildir_);
        writeFile(maildir_ + "/cur/1.a.host:2,S", bytes);
        mailclient::MailSession s;
        s.SignOn();
        m.setSessionID(s.SessionID());
        m.Fetch();
        QCOMPARE(m.MsgCount(), 1);
        m.setMsgIndex(0);
    }

    QStringList subjects(mailclient::MailMessages& m)
    {
        QStringList out;
        for (int i = 0; i < m.MsgCount(); ++i) {
            m.setMsgIndex(i);
            out << m.MsgSubject();
        }
        return out;
    }

private slots:
    void init()
    {
        QVERIFY(dir_.isValid());
        maildir_ = dir_.path() + "/Maildir" + QString::number(QRandomGenerator::global()->generate());
        attachments_ = maildir_ + "-attachments";
        qputenv("MAILDIR", QFile::encodeName(maildir_));
        mailclient::setAttachmentRoot(attachments_);
    }

    void signOnErrors_data()
    {
        QTest::addColumn<QString>("make");  // what exists
        QTest::newRow("no folder") << "";
        QTest::newRow("a file, not a folder") << "file";
        QTest::newRow("no tmp") << "cur new";
        QTest::newRow("no cur") << "new tmp";
    }
    void signOnErrors()
    {
        QFETCH(QString, make);
        if (make == "file")
            writeFile(maildir_, "x");
        else if (!make.isEmpty())
            for (const QString& sub : make.split(' '))
                QVERIFY(QDir().mkpath(maildir_ + '/' + sub));
        const QStringList before = tree(dir_.path());
        mailclient::MailSession s;
        try {
            s.SignOn();
            QFAIL("sign-on succeeded");
        } catch (const mailclient::MailError& e) {
            QCOMPARE(e.number(), 32003);
            QVERIFY2(e.description().contains(maildir_), qPrintable(e.text()));
            QVERIFY(e.text().startsWith("32003\n"));
        }
        QCOMPARE(s.SessionID(), 0);
        QCOMPARE(tree(dir_.path()), before);
    }

    void signOnFindsHomeMaildir()
    {
        const QString home = dir_.path() + "/home" + QString::number(QRandomGenerator::global()->generate());
        makeMaildir(home + "/Maildir");
        qunsetenv("MAILDIR");
        const QByteArray oldHome = qgetenv("HOME");
        qputenv("HOME", QFile::encodeName(home));
        mailclient::MailSession s;
        s.SignOn();
        qputenv("HOME", oldHome);
        QCOMPARE(s.maildir(), home + "/Maildir");
        QVERIFY(s.SessionID() != 0);
        const qint32 first = s.SessionID();
        s.SignOff();
        QCOMPARE(s.SessionID(), 0);
        mailclient::MailMessages m;
        m.setSessionID(first);
        try {
            m.Fetch();
            QFAIL("fetch on an ended session");
        } catch (const mailclient::MailError& e) {
            QCOMPARE(e.number(), 32018);
        }
    }

    void fetchOrderAndFlags_data()
    {
        QTest::addColumn<bool>("sorted");
        QTest::addColumn<QStringList>("subjects");
        QTest::addColumn<QList<bool>>("read");
        QTest::newRow("by received date") << true << QStringList{"second", "first", "third"} << QList<bool>{false, true, false};
        QTest::newRow("cur then new by file name") << false << QStringList{"first", "second", "third"} << QList<bool>{true, false, false};
    }
    void fetchOrderAndFlags()
    {
        QFETCH(bool, sorted);
        fillInbox();
        const QStringList before = tree(maildir_);
        mailclient::MailSession s;
        s.SignOn();
        mailclient::MailMessages m;
        m.setSessionID(s.SessionID());
        m.setFetchSorted(sorted);
        m.Fetch();
        QTEST(subjects(m), "subjects");
        QList<bool> read;
        for (int i = 0; i < m.MsgCount(); ++i) {
            m.setMsgIndex(i);
            read << m.MsgRead();
            QCOMPARE(m.MsgOrigDisplayName(), QStringLiteral("山田"));
            QCOMPARE(m.MsgOrigAddress(), QStringLiteral("yamada@example.jp"));
        }
        QTEST(read, "read");
        m.setMsgIndex(0);
        QCOMPARE(m.MsgDateReceived().isEmpty(), false);
        // Sign-on, fetch, reading bodies and attachment paths change nothing anywhere.
        for (int i = 0; i < m.MsgCount(); ++i) {
            m.setMsgIndex(i);
            m.MsgNoteText();
            for (int j = 0; j < m.AttachmentCount(); ++j) {
                m.setAttachmentIndex(j);
                m.AttachmentPathName();
            }
        }
        QCOMPARE(tree(maildir_), before);
        QVERIFY(!QFileInfo::exists(attachments_));
    }

    void snapshotSurvivesRenamesAndRemovals()
    {
        fillInbox();
        mailclient::MailSession s;
        s.SignOn();
        mailclient::MailMessages m;
        m.setSessionID(s.SessionID());
        m.Fetch();  // second, first, third
        // Another mail program reads "third" (new -> cur), flags "first" and removes "second".
        QVERIFY(QFile::rename(maildir_ + "/new/300.c.host", maildir_ + "/cur/300.c.host:2,S"));
        QVERIFY(QFile::rename(maildir_ + "/cur/100.a.host:2,S", maildir_ + "/cur/100.a.host:2,FS"));
        QVERIFY(QFile::remove(maildir_ + "/cur/200.b.host:2,RF"));

        QCOMPARE(m.MsgCount(), 3);
        QCOMPARE(subjects(m), (QStringList{"second", "first", "third"}));
        m.setMsgIndex(1);
        QCOMPARE(m.AttachmentCount(), 4);
        QVERIFY(m.MsgRead());
        m.setMsgIndex(2);
        QVERIFY(!m.MsgRead());  // the flags of the fetch
        QCOMPARE(m.MsgNoteText(), QStringLiteral("本文 third\n"));  // found again after the rename
        m.setMsgIndex(1);
        m.setAttachmentIndex(2);
        QCOMPARE(readFile(m.SaveAttachment()), QByteArray("one"));
        m.setMsgIndex(0);
        QCOMPARE(m.MsgSubject(), QStringLiteral("second"));
        try {
            m.MsgNoteText();
            QFAIL("the body of a removed file was read");
        } catch (const mailclient::MailError& e) {
            QVERIFY2(e.description().contains("200.b.host"), qPrintable(e.text()));
        }
        try {
            m.Delete();
            QFAIL("a removed file was deleted");
        } catch (const mailclient::MailError& e) {
            QVERIFY2(e.description().contains("200.b.host"), qPrintable(e.text()));
        }
    }

    void attachmentsStayInTheirFolder()
    {
        fillInbox();
        mailclient::MailSession s;
        s.SignOn();
        mailclient::MailMessages m;
        m.setSessionID(s.SessionID());
        m.Fetch();
        m.setMsgIndex(1);
        QCOMPARE(m.MsgSubject(), QStringLiteral("first"));
        const QList<QByteArray> bytes{"AAA", "BBB", "one", "two"};
        const QStringList names{"x", "x", "same.txt", "same.txt"};
        QSet<QString> paths;
        for (int j = 0; j < 4; ++j) {
            m.setAttachmentIndex(j);
            const QString path = m.AttachmentPathName();
            QVERIFY(!QFileInfo::exists(path));
            QCOMPARE(m.SaveAttachment(), path);
            QVERIFY2(QFileInfo(path).canonicalFilePath().startsWith(QFileInfo(attachments_).canonicalFilePath() + '/'), qPrintable(path));
            QCOMPARE(QFileInfo(path).fileName(), names[j]);
            QCOMPARE(QFileInfo(path).dir().dirName(), QString::number(j));
            QCOMPARE(readFile(path), bytes[j]);
            QCOMPARE(modeOf(path), 0600);
            QCOMPARE(modeOf(QFileInfo(path).path()), 0700);
            QCOMPARE(modeOf(QFileInfo(QFileInfo(path).path()).path()), 0700);
            paths.insert(path);
        }
        QCOMPARE(paths.size(), 4);
        QVERIFY(!QFileInfo::exists(dir_.path() + "/x"));
        QVERIFY(!QFileInfo::exists(dir_.path() + "/etc/x"));
    }

    void deleteMovesIntoTrashWithoutRenumbering()
    {
        fillInbox();
        const QByteArray thirdBytes = readFile(maildir_ + "/new/300.c.host");
        mailclient::MailSession s;
        s.SignOn();
        mailclient::MailMessages m;
        m.setSessionID(s.SessionID());
        m.Fetch();  // second, first, third
        m.setMsgIndex(2);
        m.Delete();
        QVERIFY(m.MsgDeleted());
        QVERIFY(!QFileInfo::exists(maildir_ + "/new/300.c.host"));
        QCOMPARE(readFile(maildir_ + "/.Trash/cur/300.c.host:2,"), thirdBytes);
        for (const char* sub : {"", "/cur", "/new", "/tmp"})
            QCOMPARE(modeOf(maildir_ + "/.Trash" + sub), 0700);
        // Same indexes, same messages; the deleted one still reads.
        QCOMPARE(subjects(m), (QStringList{"second", "first", "third"}));
        m.setMsgIndex(2);
        QCOMPARE(m.MsgOrigAddress(), QStringLiteral("yamada@example.jp"));
        try {
            m.Delete();
            QFAIL("deleted twice");
        } catch (const mailclient::MailError& e) {
            QCOMPARE(e.number(), 32021);
        }
        m.setMsgIndex(1);
        QVERIFY(!m.MsgDeleted());
        // A file of the same name in the trash is never replaced.
        writeFile(maildir_ + "/.Trash/cur/200.b.host:2,RF", "older");
        m.setMsgIndex(0);
        try {
            m.Delete();
            QFAIL("replaced a file in the trash");
        } catch (const mailclient::MailError& e) {
            QVERIFY(e.description().contains("200.b.host"));
        }
        QVERIFY(!m.MsgDeleted());
        QCOMPARE(readFile(maildir_ + "/.Trash/cur/200.b.host:2,RF"), QByteArray("older"));
        QVERIFY(QFileInfo::exists(maildir_ + "/cur/200.b.host:2,RF"));
        // A message renamed since the fetch is found by its unique name.
        QVERIFY(QFile::rename(maildir_ + "/cur/100.a.host:2,S", maildir_ + "/cur/100.a.host:2,RS"));
        m.setMsgIndex(1);
        m.Delete();
        QVERIFY(QFileInfo::exists(maildir_ + "/.Trash/cur/100.a.host:2,RS"));
        // The next fetch lists what is left.
        m.Fetch();
        QCOMPARE(subjects(m), QStringList{"second"});
    }

    // The window follows a delete with a send through the client's dialog: no compose window may
    // open then, while a message being composed still goes to it.
    void sendWithDialog_data()
    {
        QTest::addColumn<bool>("deleteFirst");
        QTest::addColumn<int>("requests");
        QTest::newRow("after a delete: nothing") << true << 0;
        QTest::newRow("while composing: the compose window") << false << 1;
    }
    void sendWithDialog()
    {
        QFETCH(bool, deleteFirst);
        fillInbox();
        mailclient::RecordingComposer composer;
        mailclient::ScopedComposer scoped(&composer);
        mailclient::MailSession s;
        s.SignOn();
        mailclient::MailMessages m;
        m.setSessionID(s.SessionID());
        m.Fetch();
        m.Compose();
        m.setRecipIndex(0);
        m.setRecipAddress(QStringLiteral("a@example.jp"));
        if (deleteFirst) {
            m.setMsgIndex(0);
            m.Delete();
        }
        m.Send(true);
        QTEST(int(composer.requests.size()), "requests");
    }

    // Long bodies in every charset and encoding are cut at 1 MB between lines, so that no
    // character or shift sequence is split and the text stays the mail's own.
    void bodiesReadWithinBounds_data()
    {
        QTest::addColumn<QString>("charset");
        QTest::addColumn<QString>("encoding");
        QTest::addColumn<bool>("html");
        QTest::addColumn<int>("lines");
        QTest::addColumn<bool>("cut");
        const int many = 3 * (1 << 20) / 30;
        QTest::newRow("utf-8, 3 MB") << "utf-8" << "8bit" << false << many << true;
        QTest::newRow("shift_jis, 3 MB") << "shift_jis" << "8bit" << false << many << true;
        QTest::newRow("iso-2022-jp, 3 MB") << "iso-2022-jp" << "7bit" << false << many << true;
        QTest::newRow("euc-jp, 3 MB") << "euc-jp" << "8bit" << false << many << true;
        QTest::newRow("base64 utf-8, 3 MB") << "utf-8" << "base64" << false << many << true;
        QTest::newRow("html, 9 MB") << "utf-8" << "8bit" << true << 3 * many << true;
        QTest::newRow("short: whole") << "shift_jis" << "8bit" << false << 100 << false;
    }
    void bodiesReadWithinBounds()
    {
        QFETCH(QString, charset);
        QFETCH(QString, encoding);
        QFETCH(bool, html);
        QFETCH(int, lines);
        QFETCH(bool, cut);
        makeMaildir(maildir_);
        const QString line = QStringLiteral("日本語の本文です①㈱髙。");
        QString text;
        for (int i = 0; i < lines; ++i)
            text += (html ? QStringLiteral("<p>") + line + QStringLiteral("</p>") : line) + u'\n';
        QByteArray content = QByteArray::fromStdString(maildirmaker::encodeText(text.toStdString(), charset.toStdString()));
        if (encoding == "base64")
            content = content.toBase64();
        writeFile(maildir_ + "/cur/1.a.host:2,S",
                  "From: a@example.jp\nSubject: long\nMIME-Version: 1.0\nContent-Type: text/" + QByteArray(html ? "html" : "plain")
                      + "; charset=" + charset.toLatin1() + "\nContent-Transfer-Encoding: " + encoding.toLatin1() + "\n\n"
                      + content);
        mailclient::MailSession s;
        s.SignOn();
        mailclient::MailMessages m;
        m.setSessionID(s.SessionID());
        m.Fetch();
        m.setMsgIndex(0);
        const QString body = m.MsgNoteText();
        QCOMPARE(m.MsgNoteTextCut(), cut);
        QVERIFY(!m.MsgTooLarge());
        QVERIFY(body.toUtf8().size() <= qsizetype(mailcore::kMaxBodyTextBytes));
        QVERIFY(!body.contains(QChar::ReplacementCharacter));
        if (!cut) {
            QCOMPARE(body, text);
            return;
        }
        QVERIFY(body.toUtf8().size() > qsizetype(mailcore::kMaxBodyTextBytes) / 2);
        if (html) {
            QVERIFY(!body.contains(u'<'));
            QVERIFY(body.startsWith(line));
        } else {
            // Whole lines of the mail's own text.
            QVERIFY(text.startsWith(body));
            QVERIFY(body.endsWith(line + u'\n'));
        }
    }

    void tooLargeFileReadForItsHeaders()
    {
        makeMaildir(maildir_);
        const QString path = maildir_ + "/cur/1.a.host:2,S";
        writeFile(path, message("big", "Thu, 03 Dec 2026 09:00:00 +0900", attachment("a.pdf", "%PDF")));
        QVERIFY(QFile::resize(path, mailcore::kMaxMessageFileBytes + 1));
        writeFile(maildir_ + "/cur/2.b.host:2,S", QByteArray(mailcore::kMaxHeaderBlockBytes + 70000, 'x'));
        mailclient::MailSession s;
        s.SignOn();
        mailclient::MailMessages m;
        m.setSessionID(s.SessionID());
        m.Fetch();
        QCOMPARE(m.MsgCount(), 2);
        m.setMsgIndex(1);  // the dated one after the damaged one
        QCOMPARE(m.MsgSubject(), QStringLiteral("big"));
        QCOMPARE(m.MsgOrigAddress(), QStringLiteral("yamada@example.jp"));
        QVERIFY(!m.MsgDateReceived().isEmpty());
        QVERIFY(m.MsgTooLarge());
        QCOMPARE(m.AttachmentCount(), 0);
        QCOMPARE(m.MsgNoteText(), QString());
        // Headers that never end: listed with nothing read.
        m.setMsgIndex(0);
        QCOMPARE(m.MsgSubject(), QString());
        QCOMPARE(m.MsgOrigAddress(), QString());
        QCOMPARE(m.MsgNoteText(), QString());
        QVERIFY(!m.MsgTooLarge());
        QVERIFY(m.MsgUnreadable());
    }

    // The parts are counted before the message is parsed: read from memory (small files) and as
    // a stream (past the first 64 kB), a message within the bounds is read whole, attachments and
    // all; one beyond them has its headers and nothing else.
    void structureBounds_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("complex");
        QTest::addColumn<QString>("body");
        QTest::addColumn<int>("attachments");
        const auto padded = [](std::string m) {
            // 100 kB of text in the text part: the file is read as a stream.
            const std::string text = "the text part\n";
            std::string lines;
            while (lines.size() < 100000)
                lines += "padding padding padding padding padding padding\n";
            m.replace(m.find(text), text.size(), text + lines);
            return QByteArray::fromStdString(m);
        };
        const QString text = QStringLiteral("the text part");
        QTest::newRow("10,000 parts") << QByteArray::fromStdString(maildirmaker::manyPartsMessage(10000, 3, true))
                                      << false << text << 3;
        QTest::newRow("10,000 parts, streamed") << padded(maildirmaker::manyPartsMessage(10000, 3, true)) << false
                                                << QString() << 3;
        QTest::newRow("10,001 parts") << QByteArray::fromStdString(maildirmaker::manyPartsMessage(10001, 3, true))
                                      << true << QString() << 0;
        QTest::newRow("10,001 parts, streamed") << padded(maildirmaker::manyPartsMessage(10001, 3, true)) << true
                                                << QString() << 0;
        QTest::newRow("100 levels") << QByteArray::fromStdString(maildirmaker::nestedMessage(100, "parts")) << false
                                    << QStringLiteral("bottom") << 0;
        QTest::newRow("101 levels") << QByteArray::fromStdString(maildirmaker::nestedMessage(101, "parts")) << true
                                    << QString() << 0;
    }
    void structureBounds()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(bool, complex);
        QFETCH(QString, body);
        QFETCH(int, attachments);
        mailclient::MailMessages m;
        fetchOne(m, bytes);
        QCOMPARE(m.MsgSubject(), QStringLiteral("parts"));
        QCOMPARE(m.MsgOrigAddress(), QStringLiteral("hostile@example.jp"));
        QVERIFY(!m.MsgDateReceived().isEmpty());
        QCOMPARE(m.MsgTooComplex(), complex);
        QVERIFY(!m.MsgTooLarge());
        QVERIFY(!m.MsgUnreadable());
        QCOMPARE(m.AttachmentCount(), attachments);
        if (complex || !body.isEmpty())
            QCOMPARE(m.MsgNoteText(), body);
        else
            QVERIFY(m.MsgNoteText().startsWith(QStringLiteral("the text part\npadding")));
        for (int j = 0; j < attachments; ++j) {
            m.setAttachmentIndex(j);
            QCOMPARE(m.AttachmentName(), QStringLiteral("a%1.txt").arg(j + 1));
            QCOMPARE(readFile(m.SaveAttachment()), QByteArray("attachment ") + QByteArray::number(j + 1));
        }
    }

    // A file that grows past the bound after the fetch is not parsed when its body or an
    // attachment is read.
    void fileGrownPastThePartsBound()
    {
        mailclient::MailMessages m;
        fetchOne(m, QByteArray::fromStdString(maildirmaker::manyPartsMessage(100, 1, true)));
        const QString path = maildir_ + "/cur/1.a.host:2,S";
        QCOMPARE(m.AttachmentCount(), 1);
        writeFile(path, QByteArray::fromStdString(maildirmaker::manyPartsMessage(20000, 1, true)));
        QCOMPARE(m.MsgNoteText(), QString());
        m.setAttachmentIndex(0);
        try {
            m.SaveAttachment();
            QFAIL("saved");
        } catch (const mailclient::MailError& e) {
            QCOMPARE(e.number(), 32016);
            QVERIFY2(e.description().contains(QStringLiteral("構成が複雑すぎる")), qPrintable(e.text()));
        }
    }

    // Files that are no message: listed without headers or date, marked unreadable.
    void unreadableFiles_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QByteArray longHeaders;
        while (longHeaders.size() <= qsizetype(mailcore::kMaxHeaderBlockBytes))
            longHeaders += "X-Filler: aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa\n";
        QTest::newRow("no bytes") << QByteArray();
        QTest::newRow("zero bytes") << QByteArray(4096, '\0');
        QTest::newRow("no header GMime can read") << QByteArray("hello world\n\nbody\n");
        QTest::newRow("headers that end just past 1 MB")
            << QByteArray("From: a@example.jp\nSubject: long\nDate: Tue, 1 Dec 2026 09:00:00 +0900\n") + longHeaders + "\nbody\n";
    }
    void unreadableFiles()
    {
        QFETCH(QByteArray, bytes);
        mailclient::MailMessages m;
        fetchOne(m, bytes);
        QVERIFY(m.MsgUnreadable());
        QCOMPARE(m.MsgSubject(), QString());
        QCOMPARE(m.MsgDateReceived(), QString());
        QCOMPARE(m.MsgNoteText(), QString());
        QCOMPARE(m.AttachmentCount(), 0);
    }
};

QTEST_GUILESS_MAIN(TestMailSession)
#include "tst_mailsession.moc"
