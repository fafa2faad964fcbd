// The mail window over large and damaged mail: a sparse message file above 64 MB (headers only),
// a 3 MB text body (cut at 1 MB for the preview, the reply and the CSV list), a message of about
// 10 MB whose 8 MB attachment is saved whole, a file that is no message at all; and messages of
// too many parts or levels (headers only), structures that take the reader past its memory limit
// (headers only), and files that cannot be read, each saying so.

#include "Form22Fixture.h"
#include "MaildirMaker.h"
#include "mail/MailWindowLines.h"
#include "platform/mail/MailCore.h"
#include "platform/shell/RecordingOpener.h"
#include "platform/text/Cp932.h"
#include "platform/ui/WindowRegistry.h"

#include <QLabel>
#include <QTabWidget>
#include <QLineEdit>
#include <QListView>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRandomGenerator>
#include <QStringDecoder>

namespace {

constexpr qint64 kMiB = 1 << 20;

QByteArray readAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// 3 MB of numbered lines of 64 bytes each: 1 MB holds exactly lines 1 to 16384.
QString longBody()
{
    QString body;
    body.reserve(3 * kMiB);
    for (int i = 1; i <= 3 * kMiB / 64; ++i)
        body += QStringLiteral("L%1 ").arg(i, 7, 10, QLatin1Char('0')) + QString(54, u'x') + u'\n';
    return body;
}

QByteArray attachmentBytes()
{
    QByteArray bytes("%PDF-1.4\n");
    bytes.resize(8 * kMiB);
    QRandomGenerator random(7);
    random.fillRange(reinterpret_cast<quint32*>(bytes.data() + 12), (bytes.size() - 12) / 4);
    return bytes;
}

QByteArray base64Lines(const QByteArray& bytes)
{
    const QByteArray b64 = bytes.toBase64();
    QByteArray out;
    out.reserve(b64.size() + b64.size() / 76 * 2 + 2);
    for (qsizetype i = 0; i < b64.size(); i += 76)
        out += b64.mid(i, 76) + "\r\n";
    return out;
}

const QString kTooLarge = QStringLiteral("（メールが大きすぎるため本文を表示できません）");
const QString kTooComplex = QStringLiteral("（メールの構成が複雑すぎるため本文を表示できません）");
const QString kUnreadable = QStringLiteral("（このメールは読み取れませんでした）");
const QString kOmitted = QStringLiteral("（以下、表示を省略しました）");

} // namespace

class TestForm22LargeMail : public QObject, private fixture::MailWindowCase {
    Q_OBJECT
    QString body_;
    QByteArray attachment_;

    // The row of the message with the subject, -1 when it is not listed.
    int rowOf(Form22* w, const QString& subject)
    {
        for (int row = 0; row < w->list3Model()->rowCount(); ++row) {
            w->setList3Index(row);
            if (w->text7(3)->text() == subject)
                return row;
        }
        return -1;
    }

private slots:
    void initTestCase()
    {
        startCase();
        // The readers' memory limit lowered, still above what the largest messages here need.
        qputenv("KV_MAIL_READER_MEMORY_MB", "48");
        body_ = longBody();
        attachment_ = attachmentBytes();
    }
    void cleanupTestCase() { endCase(); }
    void init()
    {
        freshFolder();
        mailclient::setAttachmentRoot(dir->filePath(QStringLiteral("attachments")));
        // Headers that name an attachment, then zeros up to 100 MB that take no disk.
        const QString sparse = maildir + QStringLiteral("/cur/3001.big.host:2,S");
        fixture::writeMail(sparse,
                           "From: Big <big@example.jp>\r\nDate: Fri, 5 Apr 2024 09:00:00 +0900\r\nSubject: huge\r\n"
                           "MIME-Version: 1.0\r\nContent-Type: multipart/mixed; boundary=\"XX\"\r\n\r\n"
                           "--XX\r\nContent-Type: text/plain\r\n\r\nhello\r\n--XX\r\nContent-Type: application/pdf\r\n"
                           "Content-Disposition: attachment; filename=\"a.pdf\"\r\n\r\n%PDF-1.4\r\n--XX--\r\n");
        QVERIFY(QFile::resize(sparse, 100 * kMiB));
        QVERIFY(QFileInfo(sparse).size() > mailcore::kMaxMessageFileBytes);
        fixture::writeMail(maildir + QStringLiteral("/cur/3002.long.host:2,S"),
                           "From: Long <long@example.jp>\r\nDate: Sat, 6 Apr 2024 09:00:00 +0900\r\nSubject: long\r\n"
                           "MIME-Version: 1.0\r\nContent-Type: text/plain; charset=us-ascii\r\n\r\n"
                               + body_.toLatin1());
        fixture::writeMail(maildir + QStringLiteral("/cur/3003.attach.host:2,S"),
                           "From: Files <files@example.jp>\r\nDate: Sun, 7 Apr 2024 09:00:00 +0900\r\nSubject: attached\r\n"
                           "MIME-Version: 1.0\r\nContent-Type: multipart/mixed; boundary=\"XX\"\r\n\r\n"
                           "--XX\r\nContent-Type: text/plain\r\n\r\nsee attached\r\n--XX\r\n"
                           "Content-Type: application/pdf\r\nContent-Disposition: attachment; filename=\"big.pdf\"\r\n"
                           "Content-Transfer-Encoding: base64\r\n\r\n"
                               + base64Lines(attachment_) + "--XX--\r\n");
        // One word of 3 MB: no place to wrap it.
        fixture::writeMail(maildir + QStringLiteral("/cur/3005.word.host:2,S"),
                           "From: Word <word@example.jp>\r\nDate: Mon, 8 Apr 2024 09:00:00 +0900\r\nSubject: word\r\n\r\n"
                               + QByteArray(3 * kMiB, 'y'));
        // No line break in 2 MB: its headers never end.
        fixture::writeMail(maildir + QStringLiteral("/cur/3004.broken.host:2,S"), QByteArray(2 * kMiB, 'A'));
    }
    void cleanup()
    {
        mailclient::setAttachmentRoot({});
        ui::WindowRegistry::instance().unloadAll();
        dropFolder();
    }

    void windowOpensWithEveryLineOneLine()
    {
        desktop::RecordingOpener opener;
        desktop::ScopedOpener scoped(&opener);
        auto w = load();
        QVERIFY(w->signedOn());
        QCOMPARE(w->list3Model()->rowCount(), 9);
        QCOMPARE(w->label2(12)->text(), QStringLiteral("9 件"));
        const int width = mail::ReceivedMailColumns(false).body + mail::kBodyPreviewColumns;
        for (const QString& line : w->list3Model()->lines()) {
            QVERIFY2(!line.contains(u'\n') && !line.contains(u'\r') && !line.contains(u'\t'), qPrintable(line.left(200)));
            QCOMPARE(text::byteWidth(line), width);
        }
        // The damaged file is listed without headers, among the mail without a date.
        QVERIFY(w->list3Model()->line(1).startsWith(QStringLiteral("2001/01/01(月)00:00")));
        QVERIFY(w->list3Model()->line(1).mid(mail::ReceivedMailColumns(false).sender - 1, 81).trimmed().isEmpty());
        // The long body's column holds its first line.
        const int longRow = rowOf(w.get(), QStringLiteral("long"));
        QVERIFY(longRow >= 0);
        QVERIFY(w->list3Model()->line(longRow).endsWith(
            mail::BodyPreview(body_.left(mail::kBodyPreviewColumns + 1))));
        QVERIFY(dialogs->shown().isEmpty());
    }

    void tooLargeMessageHasHeadersOnly()
    {
        desktop::RecordingOpener opener;
        desktop::ScopedOpener scoped(&opener);
        auto w = load();
        const int row = rowOf(w.get(), QStringLiteral("huge"));
        QVERIFY(row >= 0);
        QCOMPARE(w->text7(1)->text(), QStringLiteral("Big"));
        QCOMPARE(w->text7(2)->text(), QStringLiteral("big@example.jp"));
        QCOMPARE(w->text7(0)->text(), QStringLiteral("2024/04/05(金)09:00"));
        QCOMPARE(w->text6()->toPlainText(), kTooLarge);
        // No attachment offered: none counted in the line, none opened.
        const mail::ReceivedMailColumnStarts at = mail::ReceivedMailColumns(false);
        QCOMPARE(w->list3Model()->line(row).mid(at.attachments - 1, mail::kAttachmentColumns), QString(5, u' '));
        w->mapiMessages().setMsgIndex(w->rowToMessage()[size_t(row)]);
        QCOMPARE(w->mapiMessages().AttachmentCount(), 0);
        QVERIFY(w->mapiMessages().MsgTooLarge());
        w->command2(7)->click();
        QVERIFY(opener.requestedFiles.isEmpty());
        QVERIFY(dialogs->shown().isEmpty());
    }

    // One more message in the Maildir: its row (found by its subject and preview), its date, its
    // preview, its attachments counted in the line and opened; the reply and the CSV list take
    // no body from a message whose body is withheld.
    void withheldBodiesSayWhy_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("subject");
        QTest::addColumn<QString>("date");
        QTest::addColumn<QString>("preview");
        QTest::addColumn<int>("attachments");
        const QString dated = QStringLiteral("2026/12/01(火)09:00");
        const QString undated = QStringLiteral("2001/01/01(月)00:00");
        const auto bytes = [](const std::string& m) { return QByteArray::fromStdString(m); };
        QByteArray longHeaders("From: Long <long@example.jp>\nSubject: long headers\n");
        while (longHeaders.size() <= qsizetype(mailcore::kMaxHeaderBlockBytes))
            longHeaders += "X-Filler: aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa\n";
        QTest::newRow("10,000 parts: read whole") << bytes(maildirmaker::manyPartsMessage(10000, 2, true, "many"))
                                                  << QStringLiteral("many") << dated
                                                  << QStringLiteral("the text part") << 2;
        QTest::newRow("10,001 parts: headers only") << bytes(maildirmaker::manyPartsMessage(10001, 2, true, "many"))
                                                    << QStringLiteral("many") << dated << kTooComplex << 0;
        QTest::newRow("200,000 parts: headers only") << bytes(maildirmaker::manyPartsMessage(200000, 2, true, "many"))
                                                     << QStringLiteral("many") << dated << kTooComplex << 0;
        QTest::newRow("nested 101 levels: headers only") << bytes(maildirmaker::nestedMessage(101, "deep"))
                                                         << QStringLiteral("deep") << dated << kTooComplex << 0;
        // Structures GMime splits into far more than the count before the parse sees, each
        // ending its reader at the lowered limit: listed by the headers it answered first.
        for (const char* const* k = maildirmaker::hostileKinds(); *k; ++k)
            QTest::newRow(*k) << bytes(maildirmaker::hostileMessage(*k, 1 << 20)) << QString::fromLatin1(*k) << dated
                              << kTooComplex << 0;
        QTest::newRow("a file of no bytes") << QByteArray() << QString() << undated << kUnreadable << 0;
        QTest::newRow("a file of zero bytes") << QByteArray(4096, '\0') << QString() << undated << kUnreadable << 0;
        QTest::newRow("headers past 1 MB") << longHeaders + "\nbody\n" << QString() << undated << kUnreadable << 0;
    }
    void withheldBodiesSayWhy()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, subject);
        QFETCH(QString, date);
        QFETCH(QString, preview);
        QFETCH(int, attachments);
        QVERIFY(QFile::remove(maildir + QStringLiteral("/cur/3004.broken.host:2,S")));
#if defined(__SANITIZE_ADDRESS__)
        for (const char* const* k = maildirmaker::hostileKinds(); *k; ++k)
            if (subject == QLatin1String(*k))
                QSKIP("a sanitized build's mail reader runs without its memory limit");
#endif
        fixture::writeMail(maildir + QStringLiteral("/cur/4000.test.host:2,S"), bytes);
        desktop::RecordingOpener opener;
        desktop::ScopedOpener scoped(&opener);
        auto w = load();
        int row = -1;
        for (int r = 0; r < w->list3Model()->rowCount() && row < 0; ++r) {
            w->setList3Index(r);
            if (w->text7(3)->text() == subject && w->text6()->toPlainText() == preview)
                row = r;
        }
        QVERIFY2(row >= 0, qPrintable(w->list3Model()->lines().join(u'\n').left(2000)));
        QCOMPARE(w->text7(0)->text(), date);
        QVERIFY(w->list3Model()->line(row).startsWith(date));
        const mail::ReceivedMailColumnStarts at = mail::ReceivedMailColumns(false);
        QCOMPARE(w->list3Model()->line(row).mid(at.attachments - 1, mail::kAttachmentColumns).trimmed(),
                 attachments ? QString::number(attachments) : QString());
        w->command2(7)->click();
        QCOMPARE(opener.requestedFiles.size(), attachments);
        const bool withheld = preview.startsWith(u'（');
        if (withheld) {
            // Nothing of the body reaches the reply.
            w->command2(1)->click();
            QCOMPARE(w->text5()->toPlainText(), QStringLiteral("＞"));
        }
        QVERIFY(dialogs->shown().isEmpty());
        // Nor the CSV list with bodies.
        dialogs->queueAnswer(ui::Answer::Yes);
        w->command2(5)->click();
        const QString csv = QStringDecoder("windows-31j").decode(readAll(dir->filePath(QStringLiteral("受信メール一覧表.csv"))));
        QVERIFY(csv.contains(QStringLiteral("\"L0000001 ")));
        QCOMPARE(csv.contains(QStringLiteral("the text part")), !withheld);
        dialogs->clearRecord();
    }

    void longBodyCutAtOneMegabyte()
    {
        auto w = load();
        const int row = rowOf(w.get(), QStringLiteral("long"));
        QVERIFY(row >= 0);
        const QString first = body_.left(kMiB);
        QVERIFY(first.endsWith(QStringLiteral("L0016384 ") + QString(54, u'x') + u'\n'));
        QCOMPARE(w->text6()->toPlainText(), first + kOmitted);

        // The reply quotes the same first megabyte, without the note.
        w->command2(1)->click();
        QCOMPARE(w->text5()->toPlainText(), QStringLiteral("＞") + first);

        // The CSV list with bodies: the cell holds the first megabyte.
        dialogs->queueAnswer(ui::Answer::Yes);
        w->command2(5)->click();
        const QString csv = QStringDecoder("windows-31j").decode(readAll(dir->filePath(QStringLiteral("受信メール一覧表.csv"))));
        const qsizetype start = csv.indexOf(QStringLiteral("\"L0000001 "));
        QVERIFY(start >= 0);
        const qsizetype end = csv.indexOf(u'"', start + 1);
        QString cell = csv.mid(start + 1, end - start - 1);
        cell.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        QCOMPARE(cell.size(), first.size());
        QCOMPARE(cell, first);
        QVERIFY(!csv.contains(QStringLiteral("L0016385")));
        dialogs->clearRecord();
    }

    void longWordShownInPieces()
    {
        auto w = load();
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
        QCOMPARE(w->text7(3)->text(), QStringLiteral("word"));  // the newest, selected at load
        const auto longestLine = [](const QString& text) {
            qsizetype longest = 0;
            for (const QStringView line : QStringView(text).split(u'\n'))
                longest = std::max(longest, line.size());
            return longest;
        };
        const QString preview = w->text6()->toPlainText();
        QVERIFY(preview.endsWith(u'\n' + kOmitted));
        QCOMPARE(longestLine(preview), qsizetype(mail::kPreviewLineChars));
        QCOMPARE(preview.count(u'y'), kMiB);
        w->grab();  // laid out and drawn
        // The reply holds the same pieces, quoted, and its tab is drawn.
        w->command2(1)->click();
        QVERIFY(longestLine(w->text5()->toPlainText()) <= mail::kPreviewLineChars + 1);
        QCOMPARE(w->text5()->toPlainText().count(u'y'), kMiB);
        w->sstab1()->setCurrentIndex(0);
        w->grab();
    }

    void largeAttachmentSavedWhole()
    {
        desktop::RecordingOpener opener;
        desktop::ScopedOpener scoped(&opener);
        auto w = load();
        const int row = rowOf(w.get(), QStringLiteral("attached"));
        QVERIFY(row >= 0);
        QCOMPARE(w->text6()->toPlainText().trimmed(), QStringLiteral("see attached"));
        w->command2(7)->click();
        QCOMPARE(opener.requestedFiles.size(), 1);
        QCOMPARE(QFileInfo(opener.requestedFiles.first()).fileName(), QStringLiteral("big.pdf"));
        QCOMPARE(QFileInfo(opener.requestedFiles.first()).size(), attachment_.size());
        QVERIFY(readAll(opener.requestedFiles.first()) == attachment_);
        QVERIFY(dialogs->shown().isEmpty());
    }
};

QTEST_MAIN(TestForm22LargeMail)
#include "tst_form22largemail.moc"
