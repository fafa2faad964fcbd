// Sending without a dialog through a fake sendmail that records its arguments and its standard
// input: exactly "-t -oi", the message parses back to what was composed, refused recipients
// start nothing, a failing exit status and a program that hangs are reported.

#include "platform/mail/MailSession.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

namespace {

void writeFile(const QString& path, const QByteArray& bytes, bool executable = false)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
    f.close();
    if (executable)
        f.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

QByteArray readFile(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

struct Composed {
    QString subject, body, to, cc;
    QStringList attachments;
};

// What the mail window does for one message.
void composeAndSend(mailclient::MailMessages& m, const Composed& c)
{
    m.setAddressResolveUI(false);
    m.Compose();
    m.setMsgSubject(c.subject);
    m.setMsgNoteText(c.body);
    m.setRecipType(1);
    m.setRecipIndex(0);
    m.setRecipDisplayName(c.to);
    m.setRecipAddress(c.to);
    if (!c.cc.isEmpty()) {
        m.setRecipIndex(1);
        m.setRecipType(2);
        m.setRecipAddress(c.cc);
        m.setRecipDisplayName(c.cc);
    }
    for (int i = 0; i < c.attachments.size(); ++i) {
        m.setAttachmentIndex(i);
        m.setAttachmentPosition(i);
        m.setAttachmentPathName(c.attachments[i]);
    }
    m.Send(false);
}

} // namespace

class TestMailSend : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    QString record_;
    mailclient::MailSession session_;
    mailclient::MailMessages messages_;

    // A fake sendmail: records its arguments, one a line, and its standard input, then runs `tail`.
    QString fake(const QByteArray& tail)
    {
        const QString path = dir_.path() + "/sendmail";
        writeFile(path,
                  "#!/bin/sh\nprintf '%s\\n' \"$@\" > '" + QFile::encodeName(record_) + "/args'\ncat > '" +
                      QFile::encodeName(record_) + "/stdin'\n" + tail + "\n",
                  true);
        return path;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(dir_.isValid());
        const QString maildir = dir_.path() + "/Maildir";
        for (const char* sub : {"cur", "new", "tmp"})
            QVERIFY(QDir().mkpath(maildir + '/' + sub));
        qputenv("MAILDIR", QFile::encodeName(maildir));
        session_.SignOn();
        messages_.setSessionID(session_.SessionID());
    }

    void init()
    {
        record_ = dir_.path() + "/record" + QString::number(QRandomGenerator::global()->generate());
        QVERIFY(QDir().mkpath(record_));
        qputenv("SENDMAIL", QFile::encodeName(fake("exit 0")));
    }

    void sendsWhatWasComposed()
    {
        QByteArray binary;
        for (int i = 0; i < 256; ++i)
            binary += static_cast<char>(i);
        const QString pdf = dir_.path() + "/見積 書①.pdf";
        const QString bin = dir_.path() + "/data.bin";
        writeFile(pdf, binary.repeated(40));
        writeFile(bin, "plain\r\nbytes\n");
        Composed c;
        c.subject = QStringLiteral("件名①㈱髙\tテスト\r\nBcc: x@evil.example");
        c.body = QStringLiteral("山田 様\r\r本文①㈱髙\r\n\t二行目");
        c.to = QStringLiteral("a@example.jp, b@example.jp; ");
        c.cc = QStringLiteral(" c@example.jp");
        c.attachments = QStringList{pdf, bin};
        composeAndSend(messages_, c);

        QCOMPARE(readFile(record_ + "/args"), QByteArray("-t\n-oi\n"));
        const QByteArray raw = readFile(record_ + "/stdin");
        const QByteArray headers = raw.left(raw.indexOf("\n\n"));
        for (const char ch : headers)
            QVERIFY2(static_cast<unsigned char>(ch) < 0x80, headers.constData());
        QVERIFY(!headers.contains("\nBcc:"));
        QVERIFY2(raw.toLower().contains("filename*=utf-8''"), raw.constData());

        const mailcore::SentMessage sent = mailcore::readBack(raw.toStdString());
        QCOMPARE(sent.to, (std::vector<std::string>{"a@example.jp", "b@example.jp"}));
        QCOMPARE(sent.cc, std::vector<std::string>{"c@example.jp"});
        QCOMPARE(QString::fromStdString(sent.subject), QStringLiteral("件名①㈱髙 テスト  Bcc: x@evil.example"));
        QCOMPARE(QString::fromStdString(sent.body), QStringLiteral("山田 様\n\n本文①㈱髙\n\t二行目"));
        QCOMPARE(sent.attachments.size(), size_t(2));
        QCOMPARE(QString::fromStdString(sent.attachments[0].first), QStringLiteral("見積 書①.pdf"));
        QCOMPARE(QByteArray::fromStdString(sent.attachments[0].second), binary.repeated(40));
        QCOMPARE(QString::fromStdString(sent.attachments[1].first), QStringLiteral("data.bin"));
        QCOMPARE(QByteArray::fromStdString(sent.attachments[1].second), QByteArray("plain\r\nbytes\n"));
    }

    void refusedRecipientsStartNothing_data()
    {
        QTest::addColumn<QString>("to");
        QTest::addColumn<QString>("cc");
        QTest::addColumn<int>("number");
        QTest::newRow("display name") << "Taro <a@example.jp>" << "" << 32024;
        QTest::newRow("header in the address") << "a@example.jp\nBcc: x@evil.example" << "" << 32024;
        QTest::newRow("option-like address") << "-oQ/tmp/x@example.jp" << "" << 32024;
        QTest::newRow("empty brackets") << "<>" << "" << 32024;
        QTest::newRow("space inside") << "a b@example.jp" << "" << 32024;
        QTest::newRow("full-width letters") << "ａ@example.jp" << "" << 32024;
        QTest::newRow("no @") << "example.jp" << "" << 32024;
        QTest::newRow("bad part in CC") << "a@example.jp" << "c@example.jp, \"x\"@example.jp" << 32024;
        QTest::newRow("empty To") << "" << "c@example.jp" << 32057;
        QTest::newRow("only separators") << " ;, ;" << "" << 32057;
    }
    void refusedRecipientsStartNothing()
    {
        QFETCH(QString, to);
        QFETCH(QString, cc);
        Composed c{QStringLiteral("s"), QStringLiteral("b"), to, cc, {}};
        try {
            composeAndSend(messages_, c);
            QFAIL("sent");
        } catch (const mailclient::MailError& e) {
            QTEST(e.number(), "number");
            QVERIFY(!e.description().contains('\n'));
        }
        QVERIFY(!QFile::exists(record_ + "/args"));
    }

    void missingAttachmentStartsNothing()
    {
        Composed c{QStringLiteral("s"), QStringLiteral("b"), QStringLiteral("a@example.jp"), {}, {dir_.path() + "/none.pdf"}};
        try {
            composeAndSend(messages_, c);
            QFAIL("sent");
        } catch (const mailclient::MailError& e) {
            QCOMPARE(e.number(), 32010);
            QVERIFY(e.description().contains("none.pdf"));
        }
        QVERIFY(!QFile::exists(record_ + "/args"));
    }

    void failuresReported_data()
    {
        QTest::addColumn<QByteArray>("tail");
        QTest::addColumn<QStringList>("inDescription");
        QTest::newRow("failing exit status with its error output")
            << QByteArray("echo 'sendmail: fatal: no such user' >&2; echo 'second line' >&2; exit 75")
            << QStringList{"75", "sendmail: fatal: no such user", "second line"};
        QTest::newRow("killed by a signal") << QByteArray("kill -9 $$") << QStringList{"137"};
    }
    void failuresReported()
    {
        QFETCH(QByteArray, tail);
        qputenv("SENDMAIL", QFile::encodeName(fake(tail)));
        try {
            composeAndSend(messages_, Composed{QStringLiteral("s"), QStringLiteral("b"), QStringLiteral("a@example.jp"), {}, {}});
            QFAIL("reported as sent");
        } catch (const mailclient::MailError& e) {
            QCOMPARE(e.number(), 32002);
            QFETCH(QStringList, inDescription);
            for (const QString& s : inDescription)
                QVERIFY2(e.description().contains(s), qPrintable(e.text()));
        }
    }

    void missingProgramReported()
    {
        qputenv("SENDMAIL", QFile::encodeName(dir_.path() + "/no-such-sendmail"));
        try {
            composeAndSend(messages_, Composed{QStringLiteral("s"), QStringLiteral("b"), QStringLiteral("a@example.jp"), {}, {}});
            QFAIL("reported as sent");
        } catch (const mailclient::MailError& e) {
            QCOMPARE(e.number(), 32002);
            QVERIFY(e.description().contains("no-such-sendmail"));
        }
    }

    void hangingProgramTimesOut()
    {
        // It leaves a child behind too: the whole group is ended.
        qputenv("SENDMAIL", QFile::encodeName(fake("sleep 30 & sleep 30")));
        mailcore::SendmailTransport shortLimit(std::chrono::milliseconds(300));
        mailclient::ScopedTransport scoped(&shortLimit);
        QElapsedTimer t;
        t.start();
        try {
            composeAndSend(messages_, Composed{QStringLiteral("s"), QStringLiteral("b"), QStringLiteral("a@example.jp"), {}, {}});
            QFAIL("reported as sent");
        } catch (const mailclient::MailError& e) {
            QCOMPARE(e.number(), 32002);
            QVERIFY2(e.description().contains("時間内"), qPrintable(e.text()));
        }
        QVERIFY(t.elapsed() < 20000);
    }

    void sendNeedsAnOpenSession()
    {
        mailclient::MailMessages other;
        other.setSessionID(0);
        try {
            composeAndSend(other, Composed{QStringLiteral("s"), QStringLiteral("b"), QStringLiteral("a@example.jp"), {}, {}});
            QFAIL("sent without a session");
        } catch (const mailclient::MailError& e) {
            QCOMPARE(e.number(), 32018);
        }
        QVERIFY(!QFile::exists(record_ + "/args"));
    }

    void recordingTransportKeepsTheMessage()
    {
        mailclient::RecordingTransport rec;
        mailclient::ScopedTransport scoped(&rec);
        composeAndSend(messages_, Composed{QStringLiteral("件名"), QStringLiteral("本文"), QStringLiteral("a@example.jp"), {}, {}});
        QCOMPARE(rec.messages.size(), 1);
        QCOMPARE(QString::fromStdString(rec.sent(0).subject), QStringLiteral("件名"));
        QVERIFY(!QFile::exists(record_ + "/args"));
        rec.failNumber = 32002;
        rec.failDescription = QStringLiteral("失敗");
        try {
            composeAndSend(messages_, Composed{QStringLiteral("s"), QStringLiteral("b"), QStringLiteral("a@example.jp"), {}, {}});
            QFAIL("sent");
        } catch (const mailclient::MailError& e) {
            QCOMPARE(e.text(), QStringLiteral("32002\n失敗"));
        }
    }
};

QTEST_GUILESS_MAIN(TestMailSend)
#include "tst_mailsend.moc"
