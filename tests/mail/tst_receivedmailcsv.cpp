// The received-mail list: the bytes of the file with and without bodies, numbering through the
// filters, unreadable properties as empty cells, failures reported, and the command's question
// over a real fetched Maildir.

#include "mail/ReceivedMailCsv.h"

#include "platform/mail/MailSession.h"
#include "platform/ui/ScriptedDialogs.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>

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

} // namespace

class TestReceivedMailCsv : public QObject {
    Q_OBJECT
    QTemporaryDir dir_;

private slots:
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
