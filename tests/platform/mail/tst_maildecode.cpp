// Received messages decoded into what the mail window shows: the Japanese charsets through code
// page 932, encoded words split mid-character, broken encodings, raw 8-bit headers, HTML-only
// mail, missing and broken headers, control characters in header texts, attachment names.

#include "platform/mail/MailCore.h"
#include "platform/mail/MailText.h"

#include <QtTest>

namespace {

QByteArray b64(const QByteArray& bytes) { return bytes.toBase64(); }

// "①㈱髙" in ISO-2022-JP as Windows mail programs write it (NEC row 13, NEC-selected IBM row).
const QByteArray JisSpecial = "\x1b$B\x2d\x21\x2d\x6a\x7c\x62\x1b(B";
// "テスト" in ISO-2022-JP.
const QByteArray JisTest = "\x1b$B\x25\x46\x25\x39\x25\x48\x1b(B";
// "①㈱髙～" in Shift_JIS (code page 932).
const QByteArray SjisSpecial = "\x87\x40\x87\x8a\xfb\xfc\x81\x60";
// "①㈱髙" and "日本" in EUC-JP.
const QByteArray EucSpecial = "\xad\xa1\xad\xea\xfc\xe2";
const QByteArray EucNihon = "\xc6\xfc\xcb\xdc";

QByteArray mail(const QByteArray& headers, const QByteArray& body)
{
    return headers + "\n" + body;
}

const QByteArray Plain = "MIME-Version: 1.0\nContent-Type: text/plain; charset=utf-8\n";

} // namespace

class TestMailDecode : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        qputenv("TZ", "Asia/Tokyo");
        tzset();
    }

    void decode_data()
    {
        QTest::addColumn<QByteArray>("raw");
        QTest::addColumn<QString>("subject");
        QTest::addColumn<QString>("displayName");
        QTest::addColumn<QString>("address");
        QTest::addColumn<QString>("date");
        QTest::addColumn<QString>("body");
        QTest::addColumn<QStringList>("attachments");

        const QByteArray from = "From: a@example.jp\n";
        const QByteArray date = "Date: Tue, 01 Dec 2026 10:00:00 +0000\n";
        const QString jst = QStringLiteral("2026/12/01 19:00");

        QTest::newRow("ISO-2022-JP header and body keep ①㈱髙")
            << mail("From: =?ISO-2022-JP?B?" + b64(JisTest) + "?= <a@example.jp>\n" + date + "Subject: =?iso-2022-jp?B?" +
                        b64(JisSpecial) + "?=\nContent-Type: text/plain; charset=ISO-2022-JP\nContent-Transfer-Encoding: 7bit\n",
                    JisTest + JisSpecial + "\n")
            << "①㈱髙" << "テスト" << "a@example.jp" << jst << "テスト①㈱髙\n" << QStringList{};
        QTest::newRow("Shift_JIS header and 8-bit body keep ①㈱髙～")
            << mail(from + date + "Subject: =?Shift_JIS?B?" + b64(SjisSpecial) +
                        "?=\nContent-Type: text/plain; charset=Shift_JIS\nContent-Transfer-Encoding: 8bit\n",
                    SjisSpecial + "\r\n")
            << "①㈱髙～" << "" << "a@example.jp" << jst << "①㈱髙～\n" << QStringList{};
        QTest::newRow("EUC-JP quoted-printable body keeps ①㈱髙")
            << mail(from + date + "Subject: =?EUC-JP?B?" + b64(EucNihon) +
                        "?=\nContent-Type: text/plain; charset=euc-jp\nContent-Transfer-Encoding: quoted-printable\n",
                    "=AD=A1=AD=EA=FC=E2=C6=FC=CB=DC\n")
            << "日本" << "" << "a@example.jp" << jst << "①㈱髙日本\n" << QStringList{};
        QTest::newRow("UTF-8 base64 body, CR LF made LF, tab kept")
            << mail(from + date + "Subject: =?UTF-8?Q?caf=C3=A9?=\n" + Plain + "Content-Transfer-Encoding: base64\n",
                    b64("一行目\r\n\t二行目\r\n") + "\n")
            << "café" << "" << "a@example.jp" << jst << "一行目\n\t二行目\n" << QStringList{};
        QTest::newRow("UTF-8 word split mid-character")
            << mail(from + date + "Subject: =?UTF-8?B?" + b64("\xe3\x81") + "?=\n =?UTF-8?B?" + b64("\x82\xe3\x81\x84") + "?=\n" + Plain,
                    "x\n")
            << "あい" << "" << "a@example.jp" << jst << "x\n" << QStringList{};
        QTest::newRow("ISO-2022-JP word split mid-character")
            << mail(from + date + "Subject: =?ISO-2022-JP?Q?=1B$B%?= =?ISO-2022-JP?Q?F=1B(B?=\n" + Plain, "x\n")
            << "テ" << "" << "a@example.jp" << jst << "x\n" << QStringList{};
        QTest::newRow("broken base64 in a word and in the body")
            << mail(from + date + "Subject: =?UTF-8?B?44GC*44GE?=\n" + Plain + "Content-Transfer-Encoding: base64\n",
                    "44GC!!44GE\n=*=\n")
            << "あい" << "" << "a@example.jp" << jst << "あい" << QStringList{};
        QTest::newRow("raw 8-bit headers: UTF-8 subject, Shift_JIS name")
            << mail("From: \x8e\x52\x93\x63 <yamada@example.jp>\n" + date + "Subject: \xe4\xbb\xb6\xe5\x90\x8d\n" + Plain, "x\n")
            << "件名" << "山田" << "yamada@example.jp" << jst << "x\n" << QStringList{};
        QTest::newRow("unknown charset read as what it holds")
            << mail(from + date + "Subject: =?x-unknown?Q?hello?=\nContent-Type: text/plain; charset=x-unknown\n", "本文\n")
            << "hello" << "" << "a@example.jp" << jst << "本文\n" << QStringList{};
        QTest::newRow("HTML only: its text, no script, style or head")
            << mail(from + date + "Subject: h\nContent-Type: text/html; charset=utf-8\n",
                    "<html><head><title>T</title><style>p{}</style></head><body><p>こんにちは&amp;&#x2460;<br>二行目</p>"
                    "<script>alert(1)</script><img src=\"http://example.com/x.png\"></body></html>\n")
            << "h" << "" << "a@example.jp" << jst << "こんにちは&①\n二行目" << QStringList{};
        QTest::newRow("text/plain wins over HTML in an alternative")
            << mail(from + date + "Subject: alt\nMIME-Version: 1.0\nContent-Type: multipart/alternative; boundary=b\n",
                    "--b\nContent-Type: text/html\n\n<p>html</p>\n--b\nContent-Type: text/plain\n\nplain\n--b--\n")
            << "alt" << "" << "a@example.jp" << jst << "plain" << QStringList{};
        QTest::newRow("no From") << mail(date + "Subject: s\n" + Plain, "x\n") << "s" << "" << "" << jst << "x\n" << QStringList{};
        QTest::newRow("no Date") << mail(from + "Subject: s\n" + Plain, "x\n") << "s" << "" << "a@example.jp" << "" << "x\n"
                                 << QStringList{};
        QTest::newRow("invalid date")
            << mail(from + "Date: not a date at all\nSubject: s\n" + Plain, "x\n") << "s" << "" << "a@example.jp" << ""
            << "x\n" << QStringList{};
        QTest::newRow("topmost Received wins over Date")
            << mail("Received: from b by c; Wed, 02 Dec 2026 23:30:00 +0000\nReceived: from d by e; Tue, 01 Dec 2026 00:00:00 +0000\n" +
                        from + date + "Subject: s\n" + Plain,
                    "x\n")
            << "s" << "" << "a@example.jp" << "2026/12/03 08:30" << "x\n" << QStringList{};
        QTest::newRow("subject decoding to a line break")
            << mail(from + date + "Subject: =?UTF-8?B?" + b64("a\r\nb") + "?=\n" + Plain, "x\n") << "a  b" << ""
            << "a@example.jp" << jst << "x\n" << QStringList{};
        QTest::newRow("a Bcc: header text inside subject and name stays one line")
            << mail("From: =?UTF-8?Q?Eve=0ABcc:_x@evil.example?= <eve@example.jp>\n" + date +
                        "Subject: =?UTF-8?Q?hi=0D=0ABcc:_evil@example.com?=\n" + Plain,
                    "x\n")
            << "hi  Bcc: evil@example.com" << "Eve Bcc: x@evil.example" << "eve@example.jp" << jst << "x\n" << QStringList{};
        QTest::newRow("sloppy Q word holding \"<\", \",\" and \"(\" in the name")
            << mail("From: =?ISO-2022-JP?Q?=1B$B%F%9%H=1B(B<a,b(c?= <x@example.jp>\n" + date + "Subject: s\n" + Plain, "x\n") << "s"
            << "テスト<a,b(c" << "x@example.jp" << jst << "x\n" << QStringList{};
        QTest::newRow("quoted name and address in comment form")
            << mail("From: yamada@example.jp (=?UTF-8?B?" + b64("山田") + "?=)\n" + date + "Subject: s\n" + Plain, "x\n") << "s"
            << "山田" << "yamada@example.jp" << jst << "x\n" << QStringList{};
        QTest::newRow("RFC 2231 and encoded-word file names")
            << mail(from + date + "Subject: a\nMIME-Version: 1.0\nContent-Type: multipart/mixed; boundary=b\n",
                    "--b\nContent-Type: text/plain; charset=utf-8\n\nbody\n"
                    "--b\nContent-Type: application/pdf\nContent-Disposition: attachment; filename*=UTF-8''%E8%A6%8B%E7%A9%8D.pdf\n"
                    "Content-Transfer-Encoding: base64\n\nJVBERg==\n"
                    "--b\nContent-Type: application/octet-stream\nContent-Disposition: attachment;\n filename*0*=ISO-2022-JP''%1B%24B%25F;\n"
                    " filename*1*=%259%25H%1B%28B;\n filename*2=\".txt\"\n\nabc\n"
                    "--b\nContent-Type: application/octet-stream; name=\"=?ISO-2022-JP?B?" +
                        b64(JisTest) +
                        "?=.doc\"\n\nabc\n"
                        "--b\nContent-Type: image/png\n\nPNG\n--b--\n")
            << "a" << "" << "a@example.jp" << jst << "body" << QStringList{"見積.pdf", "テスト.txt", "テスト.doc", ""};
    }

    void decode()
    {
        QFETCH(QByteArray, raw);
        const std::string bytes = raw.toStdString();
        const mailcore::MessageInfo m = mailcore::parseMessage(bytes);
        QTEST(QString::fromStdString(m.subject), "subject");
        QTEST(QString::fromStdString(m.displayName), "displayName");
        QTEST(QString::fromStdString(m.address), "address");
        QTEST(QString::fromStdString(m.dateReceived), "date");
        QTEST(QString::fromStdString(mailcore::readBody(bytes, m)), "body");
        QStringList names;
        for (const auto& a : m.attachments)
            names << QString::fromStdString(a.name);
        QTEST(names, "attachments");
    }

    // Attachment names never choose a folder.
    void attachmentFileNames_data()
    {
        QTest::addColumn<QByteArray>("filename");
        QTest::addColumn<QString>("fileName");
        QTest::newRow("parent folders") << QByteArray("../../x") << "x";
        QTest::newRow("absolute path") << QByteArray("/etc/x") << "x";
        QTest::newRow("backslashes") << QByteArray("C:\\\\evil\\\\y.txt") << "y.txt";
        QTest::newRow("only dots") << QByteArray("..") << "attachment";
        QTest::newRow("control character") << QByteArray("=?UTF-8?Q?a=0Ab.txt?=") << "a b.txt";
        QTest::newRow("none") << QByteArray() << "attachment";
    }
    void attachmentFileNames()
    {
        QFETCH(QByteArray, filename);
        const QByteArray raw = "From: a@example.jp\nSubject: s\nMIME-Version: 1.0\nContent-Type: multipart/mixed; boundary=b\n\n"
                               "--b\nContent-Type: text/plain\n\nbody\n--b\nContent-Type: application/octet-stream\n"
                               "Content-Disposition: attachment" +
                               (filename.isEmpty() ? QByteArray() : "; filename=\"" + filename + "\"") + "\n\nabc\n--b--\n";
        const mailcore::MessageInfo m = mailcore::parseMessage(raw.toStdString());
        QCOMPARE(m.attachments.size(), size_t(1));
        QTEST(QString::fromStdString(m.attachments[0].fileName), "fileName");
        QCOMPARE(mailcore::readAttachment(raw.toStdString(), m, 0), std::string("abc"));
    }

    // Whatever the bytes, the texts are valid UTF-8 and header texts hold no control character.
    void cleanTexts_data()
    {
        QTest::addColumn<QByteArray>("subject");
        QTest::newRow("invalid UTF-8 word") << QByteArray("=?UTF-8?B?" + b64("\xff\xfe\xc3") + "?=");
        QTest::newRow("C1 control") << QByteArray("=?UTF-8?B?" + b64("a\xc2\x85z") + "?=");
        QTest::newRow("NUL and DEL") << QByteArray("=?UTF-8?Q?a=00b=7Fc?=");
        QTest::newRow("raw Latin-1") << QByteArray("caf\xe9");
        QTest::newRow("unterminated ISO-2022-JP") << QByteArray("=?ISO-2022-JP?B?" + b64("\x1b$B\x25") + "?=");
    }
    void cleanTexts()
    {
        QFETCH(QByteArray, subject);
        const mailcore::MessageInfo m = mailcore::parseMessage(("Subject: " + subject + "\n\nx\n").toStdString());
        QVERIFY(mailcore::isValidUtf8(m.subject));
        for (const QChar c : QString::fromStdString(m.subject))
            QVERIFY2(c.category() != QChar::Other_Control, qPrintable(QString::fromStdString(m.subject)));
    }
};

QTEST_GUILESS_MAIN(TestMailDecode)
#include "tst_maildecode.moc"
