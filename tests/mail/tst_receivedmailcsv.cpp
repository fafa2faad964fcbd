// The received-mail list: the bytes of the file with and without bodies, numbering through the
// filters, unreadable properties as empty cells, failures reported, and the command's question
// over a real fetched Maildir; the whole file of a mixed Maildir against the bytes recorded in
// tests/data, and a write that fails part-way leaving the earlier file as it was.

#include "mail/ReceivedMailCsv.h"

#include "platform/mail/MailSession.h"
#include "platform/ui/ScriptedDialogs.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>
#include <ctime>
#include <sys/resource.h>

using namespace mail;

namespace {

QByteArray readFile(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<none>");
}

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

QByteArray cp932(const char* utf8)
{
    // Only the Japanese texts of the fixture; their Shift-JIS bytes.
    static const QHash<QByteArray, QByteArray> table = {
        {"山田", "\x8e\x52\x93\x63"},
        {"件名", "\x8c\x8f\x96\xbc"},
    };
    return table.value(utf8);
}

// 0: everything, quotes, a body over two lines, three attachments, "SMTP:" before the address;
// 1: no name, no attachment; 2: the name cannot be read, a character code page 932 lacks,
// the attachment count cannot be read.
QList<ReceivedMailRow> fixture()
{
    ReceivedMailRow a;
    a.date = "2026/12/01 09:00";
    a.displayName = QStringLiteral("山田");
    a.address = "SMTP:yamada@example.jp";
    a.subject = "say \"hi\"";
    a.body = "line1\nline2";
    a.attachmentCount = 3;
    a.attachmentPaths = {QString("/p/a"), QString("/p/b"), QString("/p/c")};
    ReceivedMailRow b;
    b.date = "2026/12/02 10:00";
    b.displayName = QString();
    b.address = "b@x";
    b.subject = QStringLiteral("件名");
    b.body = QString();
    b.attachmentCount = 0;
    ReceivedMailRow c;
    c.date = "2026/12/03 11:00";
    c.address = "c@x";
    c.subject = QStringLiteral("x한");
    return {a, b, c};
}

QByteArray word(const QString& text) { return "=?UTF-8?B?" + text.toUtf8().toBase64() + "?="; }

QByteArray head(const QString& name, const QByteArray& address, const QString& subject, const QByteArray& date)
{
    return "From: " + word(name) + " <" + address + ">\nSubject: " + word(subject) + "\nDate: " + date + "\n";
}

QByteArray plainMessage(const QByteArray& head, const QString& body)
{
    return head + "MIME-Version: 1.0\nContent-Type: text/plain; charset=utf-8\nContent-Transfer-Encoding: 8bit\n\n" +
           body.toUtf8();
}

QByteArray withAttachments(const QByteArray& head, const QByteArray& textPart, const QStringList& names)
{
    QByteArray m = head + "MIME-Version: 1.0\nContent-Type: multipart/mixed; boundary=b\n\n";
    if (!textPart.isEmpty())
        m += "--b\n" + textPart + "\n";
    for (const QString& name : names)
        m += "--b\nContent-Type: application/octet-stream\nContent-Disposition: attachment; filename=\"" + word(name) +
             "\"\nContent-Transfer-Encoding: base64\n\n" + QByteArray("data").toBase64() + "\n";
    return m + "--b--\n";
}

// A signed-on session and a fetch of the Maildir.
struct FetchedMail {
    mailclient::MailSession session;
    mailclient::MailMessages messages;
    explicit FetchedMail(const QString& maildir)
    {
        qputenv("MAILDIR", QFile::encodeName(maildir));
        session.SignOn();
        messages.setSessionID(session.SessionID());
        messages.Fetch();
    }
};

QString freshMaildir(const QString& parent)
{
    const QString maildir = parent + "/Maildir" + QString::number(QRandomGenerator::global()->generate());
    for (const char* sub : {"cur", "new", "tmp"})
        QDir().mkpath(maildir + "/" + sub);
    return maildir;
}

// A Maildir of every kind of message the list meets, in fetch order: a damaged file (headers
// that never end; no date, so first), a body over lines with quotes and a character written as
// its full-width twin, a subject and a body with characters code page 932 lacks, a message with
// an attachment and no text part, a body whose file is gone after the fetch (with two
// attachments), an HTML body, and an empty body.
QString mixedMaildir(const QString& parent)
{
    const QString maildir = freshMaildir(parent);
    const auto put = [&](const char* name, const QByteArray& bytes) { writeFile(maildir + "/cur/" + name, bytes); };
    put("1.damaged.host:2,S", "X-Long: " + QByteArray(1100 * 1024, 'x') + "\n");
    put("2.twin.host:2,S", plainMessage(head(QStringLiteral("山田 太郎"), "yamada@example.jp",
                                             QStringLiteral("会議の\"ご案内\"～"), "Thu, 03 Dec 2026 09:00:00 +0900"),
                                        QStringLiteral("いつもお世話になっております。\n\"下記\"の通り～\n")));
    put("3.hangul.host:2,S", plainMessage(head(QStringLiteral("Kim"), "kim@example.kr", QStringLiteral("안녕 hello"),
                                               "Fri, 04 Dec 2026 10:30:00 +0900"),
                                          QStringLiteral("smile 😀\n")));
    put("4.attached.host:2,", withAttachments(head(QStringLiteral("佐藤"), "sato@example.jp", QStringLiteral("見積書"),
                                                   "Sat, 05 Dec 2026 11:00:00 +0900"),
                                              {}, {QStringLiteral("見積書.pdf")}));
    put("5.gone.host:2,S", withAttachments(head(QStringLiteral("山田 太郎"), "yamada@example.jp", QStringLiteral("消える本文"),
                                                "Sun, 06 Dec 2026 12:00:00 +0900"),
                                           "Content-Type: text/plain; charset=utf-8\nContent-Transfer-Encoding: 8bit\n\n" +
                                               QStringLiteral("消える本文\n").toUtf8(),
                                           {QStringLiteral("a.txt"), QStringLiteral("b.txt")}));
    put("6.html.host:2,S", "From: html@example.jp\nSubject: html\nDate: Mon, 07 Dec 2026 13:00:00 +0900\n"
                           "MIME-Version: 1.0\nContent-Type: text/html; charset=utf-8\n\n<p>HTML &amp; " +
                               QStringLiteral("本文").toUtf8() + "</p>\n");
    put("7.empty.host:2,S", "From: empty@example.jp\nSubject: empty\nDate: Tue, 08 Dec 2026 14:00:00 +0900\n\n");
    return maildir;
}

QString testData(const QString& name) { return QStringLiteral(KV_TEST_DATA_DIR "/") + name; }

} // namespace

class TestReceivedMailCsv : public QObject {
    Q_OBJECT
    QTemporaryDir dir_;

    // The command over the Maildir into the folder of a book there: the file's bytes and the
    // boxes shown after the question.
    QByteArray runCommand(mailclient::MailMessages& messages, const ReceivedMailFilter& filter, ui::Answer answer,
                          const QString& folder, QStringList* boxes)
    {
        QDir().mkpath(folder);
        Module1::DbFile book;
        book.Folder = folder;
        book.FileName = "x.mdb";
        ui::ScriptedDialogs d;
        ui::ScopedDialogs scoped(&d);
        d.queueAnswer(answer);
        RunReceivedMailCsv(messages, filter, book);
        if (d.hadUnexpected())
            boxes->append(d.failures());
        for (qsizetype i = 1; i < d.shown().size(); ++i)
            boxes->append(d.shown()[i].text);
        return readFile(folder + "/受信メール一覧表.csv");
    }

private slots:
    void initTestCase()
    {
        // The received dates are local time.
        qputenv("TZ", "Asia/Tokyo");
        tzset();
        mailclient::setAttachmentRoot(QStringLiteral("/attachments"));
    }
    void cleanupTestCase() { mailclient::setAttachmentRoot({}); }

    // The whole file of a Maildir that mixes bodies, no bodies, substituted characters and
    // failed messages, byte for byte as recorded, and the count of substituted cells told.
    void mixedMaildirFile_data()
    {
        QTest::addColumn<int>("answer");
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<int>("substituted");
        QTest::newRow("with bodies, every message") << int(ui::Answer::Yes) << int(MailFilterKind::All) << ""
                                                    << "received-mail-bodies.csv" << 2;
        QTest::newRow("without bodies, every message") << int(ui::Answer::No) << int(MailFilterKind::All) << ""
                                                       << "received-mail-no-bodies.csv" << 1;
        QTest::newRow("with bodies, one sender numbered from 1") << int(ui::Answer::Yes) << int(MailFilterKind::Sender)
                                                                 << "yamada@example.jp" << "received-mail-sender.csv" << 0;
    }
    void mixedMaildirFile()
    {
        QFETCH(int, answer);
        QFETCH(int, kind);
        QFETCH(QString, text);
        QFETCH(QString, expected);
        QFETCH(int, substituted);
        const QString maildir = mixedMaildir(dir_.path());
        FetchedMail mail(maildir);
        QCOMPARE(mail.messages.MsgCount(), 7);
        QVERIFY(QFile::remove(maildir + "/cur/5.gone.host:2,S"));
        ReceivedMailFilter filter;
        filter.kind = MailFilterKind(kind);
        filter.sender = filter.subject = text;
        QStringList boxes;
        const QByteArray file =
            runCommand(mail.messages, filter, ui::Answer(answer), dir_.path() + "/book-" + expected, &boxes);
        const QByteArray want = readFile(testData(expected));
        if (file != want) {
            const QString actual = QDir::tempPath() + "/" + expected + ".actual";  // kept for a look
            writeFile(actual, file);
            QFAIL(qPrintable("differs from " + testData(expected) + "; written: " + actual));
        }
        if (substituted == 0) {
            QCOMPARE(boxes, QStringList());
        } else {
            QCOMPARE(boxes.size(), 1);
            QVERIFY2(boxes[0].contains(QStringLiteral("が %1 件").arg(substituted)), qPrintable(boxes[0]));
        }
    }

    // A write that fails after part of the file is out (the file size limit reached) keeps the
    // earlier file as it was, leaves no partial file beside it, and says why.
    void failureMidwayKeepsEarlierFile()
    {
        const QString maildir = freshMaildir(dir_.path());
        for (int i = 0; i < 4; ++i)
            writeFile(maildir + QStringLiteral("/cur/%1.big.host:2,S").arg(i),
                      plainMessage(head("big", "big@example.jp", QStringLiteral("big %1").arg(i), "Thu, 03 Dec 2026 09:00:00 +0900"),
                                   QString(200 * 1024, QLatin1Char('a')) + "\n"));
        FetchedMail mail(maildir);
        const QString folder = dir_.path() + "/midway";
        QVERIFY(QDir().mkpath(folder));
        const QString csv = folder + "/受信メール一覧表.csv";
        writeFile(csv, "earlier list\r\n");

        rlimit before {};
        QVERIFY(::getrlimit(RLIMIT_FSIZE, &before) == 0);
        rlimit small = before;
        small.rlim_cur = 300 * 1024;
        const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
        QVERIFY(::setrlimit(RLIMIT_FSIZE, &small) == 0);
        QStringList boxes;
        const QByteArray file = runCommand(mail.messages, {}, ui::Answer::Yes, folder, &boxes);
        ::setrlimit(RLIMIT_FSIZE, &before);
        std::signal(SIGXFSZ, previousHandler);

        QCOMPARE(file, QByteArray("earlier list\r\n"));
        QCOMPARE(QDir(folder).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("受信メール一覧表.csv")});
        QCOMPARE(boxes.size(), 1);
        QVERIFY2(boxes[0].startsWith(QStringLiteral("ＣＳＶファイルを作成できません。\n") + csv), qPrintable(boxes[0]));
    }

    void lineNumber_data()
    {
        QTest::addColumn<qint64>("number");
        QTest::addColumn<QString>("text");
        QTest::newRow("one digit, three spaces") << qint64(1) << "   1";
        QTest::newRow("four digits") << qint64(9999) << "9999";
        QTest::newRow("five digits whole") << qint64(10000) << "10000";
        QTest::newRow("beyond 16 bits") << qint64(123456) << "123456";
    }
    void lineNumber()
    {
        QFETCH(qint64, number);
        QFETCH(QString, text);
        QCOMPARE(FormatLineNumber(number), text);
    }

    void bytes_data()
    {
        QTest::addColumn<bool>("withBodies");
        QTest::addColumn<QByteArray>("expected");
        const QByteArray yamada = cp932("山田"), kenmei = cp932("件名");
        const QByteArray tail = "\"   2\",\"2026/12/02 10:00\",,\"b@x\",\"" + kenmei + "\",";
        QTest::newRow("without bodies") << false
            << ("\"   1\",\"2026/12/01 09:00\",\"" + yamada +
                "\",\"yamada@example.jp\",\"say \"\"hi\"\"\",\"3\",\"/p/a,/p/b,/p/c\"\r\n" + tail + "\"0\", \r\n"
                "\"   3\",\"2026/12/03 11:00\",,\"c@x\",\"x?\",, \r\n");
        QTest::newRow("with bodies") << true
            << ("\"   1\",\"2026/12/01 09:00\",\"" + yamada +
                "\",\"yamada@example.jp\",\"say \"\"hi\"\"\",\"line1\nline2\",\"3\",\"/p/a,/p/b,/p/c\"\r\n" + tail +
                ",\"0\", \r\n"
                "\"   3\",\"2026/12/03 11:00\",,\"c@x\",\"x?\",,, \r\n");
    }
    void bytes()
    {
        QFETCH(bool, withBodies);
        QFETCH(QByteArray, expected);
        const QString path = dir_.path() + "/list";
        const ReceivedMailCsvResult r = ExportReceivedMailCsv(fixture(), {}, withBodies, path);
        QVERIFY2(r.ok, qPrintable(r.error));
        QCOMPARE(r.lines, 3);
        QCOMPARE(r.substitutedCells, 1);
        const QByteArray file = readFile(path + ".csv");
        const qsizetype headerEnd = file.indexOf("\r\n") + 2;
        QCOMPARE(file.mid(headerEnd), expected);
        QCOMPARE(file.left(headerEnd).count(','), withBodies ? 7 : 6);
        QVERIFY(file.startsWith("\"NO\","));
    }

    void filters_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("addresses");  // listed, in order, numbered from 1
        QTest::newRow("all") << int(MailFilterKind::All) << "" << QStringList{"yamada@example.jp", "b@x", "c@x"};
        QTest::newRow("registered lists every message") << int(MailFilterKind::Registered) << ""
                                                        << QStringList{"yamada@example.jp", "b@x", "c@x"};
        QTest::newRow("sender exact") << int(MailFilterKind::Sender) << "b@x" << QStringList{"b@x"};
        QTest::newRow("sender with SMTP: compared as stored") << int(MailFilterKind::Sender) << "yamada@example.jp"
                                                               << QStringList{};
        QTest::newRow("sender case matters") << int(MailFilterKind::Sender) << "B@X" << QStringList{};
        QTest::newRow("subject ignores case") << int(MailFilterKind::Subject) << "SAY" << QStringList{"yamada@example.jp"};
        QTest::newRow("subject in the middle") << int(MailFilterKind::Subject) << "X" << QStringList{"c@x"};
    }
    void filters()
    {
        QFETCH(int, kind);
        QFETCH(QString, text);
        QFETCH(QStringList, addresses);
        ReceivedMailFilter f;
        f.kind = MailFilterKind(kind);
        f.sender = f.subject = text;
        QStringList listed;
        qint64 n = 0;
        for (const ReceivedMailRow& row : fixture()) {
            if (!IsListed(row, f))
                continue;
            const QStringList cells = ReceivedMailCells(row, ++n, false);
            QCOMPARE(cells.size(), 7);
            QCOMPARE(cells[0], FormatLineNumber(n));
            listed << cells[3];
        }
        QCOMPARE(listed, addresses);
        // A property that cannot be read lists the message.
        ReceivedMailRow unreadable;
        QVERIFY(IsListed(unreadable, f));
    }

    void failureIsReported()
    {
        ui::ScriptedDialogs d;
        ui::ScopedDialogs scoped(&d);
        const QString missing = dir_.path() + "/no-such-folder/list";
        const ReceivedMailCsvResult r = ExportReceivedMailCsv(fixture(), {}, false, missing);
        QVERIFY(!r.ok);
        QVERIFY(!r.error.isEmpty());
        ReportReceivedMailCsv(r, missing);
        QCOMPARE(d.shown().size(), 1);
        QVERIFY(d.shown()[0].text.contains(missing + ".csv"));
        QCOMPARE(d.shown()[0].icon, ui::Icon::Exclamation);
        QVERIFY(!QFile::exists(missing + ".csv"));
    }

    void command_data()
    {
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("written");
        QTest::addColumn<bool>("bodies");
        QTest::newRow("Yes: with bodies") << int(ui::Answer::Yes) << true << true;
        QTest::newRow("No: without bodies") << int(ui::Answer::No) << true << false;
        QTest::newRow("Cancel: old file left") << int(ui::Answer::Cancel) << false << false;
    }
    void command()
    {
        QFETCH(int, answer);
        QFETCH(bool, written);
        QFETCH(bool, bodies);
        const QString maildir = dir_.path() + "/Maildir" + QString::number(QRandomGenerator::global()->generate());
        for (const char* sub : {"cur", "new", "tmp"})
            QVERIFY(QDir().mkpath(maildir + "/" + sub));
        writeFile(maildir + "/cur/1.a.host:2,S",
                  "From: a <a@example.jp>\nSubject: one\nDate: Thu, 03 Dec 2026 09:00:00 +0900\n\nbody one\n");
        writeFile(maildir + "/cur/2.b.host:2,S",
                  "From: b <b@example.jp>\nSubject: two\nDate: Fri, 04 Dec 2026 09:00:00 +0900\n\nbody two\n");
        qputenv("MAILDIR", QFile::encodeName(maildir));
        mailclient::MailSession session;
        session.SignOn();
        mailclient::MailMessages messages;
        messages.setSessionID(session.SessionID());
        messages.Fetch();
        // Make the second body unreadable: its cell is empty, the columns stay.
        QVERIFY(QFile::remove(maildir + "/cur/2.b.host:2,S"));

        const QString folder = dir_.path() + "/book" + QString::number(answer);
        QVERIFY(QDir().mkpath(folder));
        Module1::DbFile book;
        book.Folder = folder;
        book.FileName = "x.mdb";
        const QString csv = folder + "/受信メール一覧表.csv";
        writeFile(csv, "old");

        ui::ScriptedDialogs d;
        ui::ScopedDialogs scoped(&d);
        d.queueAnswer(ui::Answer(answer));
        QCOMPARE(RunReceivedMailCsv(messages, {}, book), written);
        QVERIFY2(!d.hadUnexpected(), qPrintable(d.failures().join('\n')));
        QCOMPARE(d.shown().size(), 1);
        QCOMPARE(d.shown()[0].title, QStringLiteral("ＣＳＶファイル形式出力"));
        QCOMPARE(d.shown()[0].buttons, ui::Buttons::YesNoCancel);
        const QByteArray file = readFile(csv);
        if (!written) {
            QCOMPARE(file, QByteArray("old"));
            return;
        }
        const QList<QByteArray> lines = file.split('\n');
        QCOMPARE(lines.size(), bodies ? 5 : 4);  // body one spreads over two lines; ends with a CR LF
        QVERIFY(file.contains("\"   1\""));
        QVERIFY(file.contains("\"   2\""));
        QVERIFY(file.contains("\"a@example.jp\",\"one\","));
        if (bodies) {
            QVERIFY(file.contains("\"one\",\"body one\n\",\"0\", \r\n"));
            QVERIFY(file.contains("\"two\",,\"0\", \r\n"));
        } else {
            QVERIFY(file.contains("\"one\",\"0\", \r\n"));
        }
    }
};

QTEST_GUILESS_MAIN(TestReceivedMailCsv)
#include "tst_receivedmailcsv.moc"
