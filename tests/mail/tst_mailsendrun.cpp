// Sending from the mail window through a fake sendmail: one message per address with its own
// salutation, the CC on each, a Japanese subject, attachments; refused addresses and failing
// exit statuses reported one box each while the run goes on; a mail program that cannot be
// started ends the run with one box telling how many went.

#include "mail/MailSend.h"

#include "platform/mail/MailSession.h"
#include "platform/ui/ScriptedDialogs.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>

using namespace mail;

namespace {

void writeFile(const QString& path, const QByteArray& bytes, bool executable = false)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
    f.close();
    if (executable)
        f.setPermissions(f.permissions() | QFileDevice::ExeOwner);
}

QByteArray readFile(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QString q(const std::string& s) { return QString::fromStdString(s); }

} // namespace

class TestMailSendRun : public QObject {
    Q_OBJECT
    QTemporaryDir dir_;
    QString record_;
    QString sendmail_;
    mailclient::MailSession session_;
    mailclient::MailMessages messages_;

    // A fake sendmail: keeps each message it is given as record/<n>, then runs `tail`.
    void fake(const QByteArray& tail)
    {
        writeFile(sendmail_,
                  "#!/bin/sh\nr='" + QFile::encodeName(record_) + "'\nn=$(ls \"$r\" | wc -l)\ncat > \"$r/$n\"\n" + tail + "\n",
                  true);
        qputenv("SENDMAIL", QFile::encodeName(sendmail_));
    }
    QList<mailcore::SentMessage> recorded()
    {
        QList<mailcore::SentMessage> out;
        for (int i = 0; QFile::exists(record_ + "/" + QString::number(i)); ++i)
            out << mailcore::readBack(readFile(record_ + "/" + QString::number(i)).toStdString());
        return out;
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
    }
    void init()
    {
        record_ = dir_.path() + "/record" + QString::number(QRandomGenerator::global()->generate());
        sendmail_ = record_ + "-sendmail";
        QVERIFY(QDir().mkpath(record_));
        fake("exit 0");
    }

    void checks_data()
    {
        QTest::addColumn<QString>("addresses");
        QTest::addColumn<QString>("subject");
        QTest::addColumn<QString>("body");
        QTest::addColumn<QList<int>>("answers");
        QTest::addColumn<QStringList>("shown");
        QTest::addColumn<bool>("goesOn");
        const QString noAddr = "メールアドレスが入力されていません";
        const QString noSubj = "件名が入力されていません　続行しますか？";
        const QString noBody = "本文が入力されていません　続行しますか？";
        QTest::newRow("no address stops") << "" << "" << "" << QList<int>{} << QStringList{noAddr} << false;
        QTest::newRow("no subject, No") << "a@x" << "" << "b" << QList<int>{int(ui::Answer::No)} << QStringList{noSubj} << false;
        QTest::newRow("no subject, Yes; no body, No")
            << "a@x" << "" << "" << QList<int>{int(ui::Answer::Yes), int(ui::Answer::No)} << QStringList{noSubj, noBody} << false;
        QTest::newRow("no body, Yes") << "a@x" << "s" << "" << QList<int>{int(ui::Answer::Yes)} << QStringList{noBody} << true;
        QTest::newRow("all given: no question") << "a@x" << "s" << "b" << QList<int>{} << QStringList{} << true;
    }
    void checks()
    {
        QFETCH(QString, addresses);
        QFETCH(QString, subject);
        QFETCH(QString, body);
        QFETCH(QList<int>, answers);
        QFETCH(QStringList, shown);
        QFETCH(bool, goesOn);
        ui::ScriptedDialogs d;
        ui::ScopedDialogs scoped(&d);
        for (int a : answers)
            d.queueAnswer(ui::Answer(a));
        ComposeState s;
        s.addresses = addresses;
        s.subject = subject;
        s.body = body;
        QCOMPARE(CheckBeforeSending(s), goesOn);
        QCOMPARE(d.shownTexts(), shown);
        for (const auto& box : d.shown())
            QCOMPARE(box.title, QStringLiteral("メール送信"));
        QVERIFY(!d.hadUnexpected());
    }

    void individualWithRefusals()
    {
        const QString pdf = dir_.path() + "/見積書.pdf";
        writeFile(pdf, "%PDF-1.4 x");
        const QString txt = dir_.path() + "/memo.txt";
        writeFile(txt, "memo");
        ComposeState s;
        s.names = "山田;佐藤";
        // The third part is empty and the fourth no address: both refused, the rest goes.
        s.addresses = "a@example.jp; b@example.jp;;not an address;c@example.jp";
        s.cc = "boss@example.jp";
        s.subject = "お見積りの件";
        s.body = "いつもお世話になっております。\r\n二行目\r三行目";
        s.attachments = {pdf, txt};
        s.salutation = true;
        s.honorific = 0;
        ui::ScriptedDialogs d;
        ui::ScopedDialogs scoped(&d);
        SendResult r;
        QVERIFY(RunSendCommand(messages_, session_.SessionID(), s, &r));
        QCOMPARE(r.sent, 3);
        QCOMPARE(r.failed, 2);
        QVERIFY(!r.stopped);
        QCOMPARE(d.shown().size(), 2);
        QVERIFY(d.shown()[0].text.startsWith("32057\n"));
        QVERIFY(d.shown()[1].text.startsWith("32024\n"));
        for (const auto& box : d.shown())
            QCOMPARE(box.icon, ui::Icon::Exclamation);

        const QList<mailcore::SentMessage> sent = recorded();
        QCOMPARE(sent.size(), 3);
        const QStringList to{"a@example.jp", "b@example.jp", "c@example.jp"};
        const QStringList names{"山田", "佐藤", "佐藤"};
        for (int i = 0; i < 3; ++i) {
            QCOMPARE(sent[i].to.size(), size_t(1));
            QCOMPARE(q(sent[i].to[0]), to[i]);
            QCOMPARE(sent[i].cc.size(), size_t(1));
            QCOMPARE(q(sent[i].cc[0]), QStringLiteral("boss@example.jp"));
            QCOMPARE(q(sent[i].subject), s.subject);
            QCOMPARE(q(sent[i].body).remove('\r'),
                     names[i] + " 様\n\nいつもお世話になっております。\n二行目\n三行目");
            QCOMPARE(sent[i].attachments.size(), size_t(2));
            QCOMPARE(q(sent[i].attachments[0].first), QStringLiteral("見積書.pdf"));
            QCOMPARE(sent[i].attachments[1].second, std::string("memo"));
        }
    }

    void failingExitStatusGoesOn()
    {
        fake("echo 'no such user' >&2; exit 67");
        ComposeState s;
        s.addresses = "a@example.jp;b@example.jp";
        s.subject = "s";
        s.body = "b";
        ui::ScriptedDialogs d;
        ui::ScopedDialogs scoped(&d);
        const SendResult r = SendMail(messages_, session_.SessionID(), s);
        QCOMPARE(r.sent, 0);
        QCOMPARE(r.failed, 2);
        QVERIFY(!r.stopped);
        QCOMPARE(d.shown().size(), 2);
        QVERIFY(d.shown()[0].text.startsWith("32002\n"));
        QVERIFY(d.shown()[1].text.contains("no such user"));
    }

    void unstartableTransportEndsTheRun()
    {
        // The program removes itself after the first message: the second cannot be started.
        fake("rm -f \"$0\"; exit 0");
        ComposeState s;
        s.addresses = "a@example.jp;b@example.jp;c@example.jp";
        s.subject = "s";
        s.body = "b";
        ui::ScriptedDialogs d;
        ui::ScopedDialogs scoped(&d);
        const SendResult r = SendMail(messages_, session_.SessionID(), s);
        QCOMPARE(r.sent, 1);
        QVERIFY(r.stopped);
        QCOMPARE(d.shown().size(), 1);
        QVERIFY2(d.shown()[0].text.contains("送信済み: 1 通"), qPrintable(d.shown()[0].text));
        QCOMPARE(recorded().size(), 1);
    }

    // What goes with every message fails them all alike: one box, and the run ends.
    void sharedFailuresEndTheRun_data()
    {
        QTest::addColumn<QString>("cc");
        QTest::addColumn<QString>("attachment");
        QTest::addColumn<QString>("number");
        QTest::newRow("refused CC") << "not an address" << "" << "32024\n";
        QTest::newRow("missing attachment") << "" << "none.pdf" << "32010\n";
    }
    void sharedFailuresEndTheRun()
    {
        QFETCH(QString, cc);
        QFETCH(QString, attachment);
        QFETCH(QString, number);
        ComposeState s;
        s.addresses = "a@example.jp;b@example.jp;c@example.jp";
        s.cc = cc;
        if (!attachment.isEmpty())
            s.attachments = {dir_.path() + "/" + attachment};
        s.subject = "s";
        s.body = "b";
        ui::ScriptedDialogs d;
        ui::ScopedDialogs scoped(&d);
        const SendResult r = SendMail(messages_, session_.SessionID(), s);
        QCOMPARE(r.sent, 0);
        QVERIFY(r.stopped);
        QCOMPARE(d.shown().size(), 1);
        QVERIFY2(d.shown()[0].text.startsWith(number), qPrintable(d.shown()[0].text));
        QVERIFY(d.shown()[0].text.contains("送信済み: 0 通"));
        QCOMPARE(recorded().size(), 0);
    }

    void noSessionEndsTheRun()
    {
        ComposeState s;
        s.addresses = "a@example.jp;b@example.jp";
        s.body = "b";
        ui::ScriptedDialogs d;
        ui::ScopedDialogs scoped(&d);
        const SendResult r = SendMail(messages_, 0, s);
        QVERIFY(r.stopped);
        QCOMPARE(d.shown().size(), 1);
        QVERIFY(d.shown()[0].text.startsWith("32018\n"));
        QVERIFY(d.shown()[0].text.contains("送信済み: 0 通"));
    }

    void attachmentListCommands()
    {
        ui::ScriptedDialogs d;
        ui::ScopedDialogs scoped(&d);
        QStringList list{"/a"};
        d.queueFile(QString("/b"));
        d.queueFile(std::nullopt);
        QVERIFY(BrowseAttachment(list));
        QVERIFY(!BrowseAttachment(list));
        QCOMPARE(list, (QStringList{"/a", "/b"}));
        QCOMPARE(d.fileDialogs()[0].title, QStringLiteral("添付ファイル"));
        QVERIFY(d.fileDialogs()[0].mustExist);
        QString cc = "old@x";
        CopyAddressesToCc("", cc);
        QCOMPARE(cc, QStringLiteral("old@x"));
        CopyAddressesToCc("a@x;b@x", cc);
        QCOMPARE(cc, QStringLiteral("a@x;b@x"));
    }
};

QTEST_GUILESS_MAIN(TestMailSendRun)
#include "tst_mailsendrun.moc"
