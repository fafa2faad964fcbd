// The mail window's list lines and its in-memory search of the book's addresses.

#include "mail/MailWindowLines.h"
#include "platform/text/Cp932.h"

#include <QRandomGenerator>
#include <QTest>

using namespace mail;

Q_DECLARE_METATYPE(mail::MailSender)

namespace {

QString sp(int n) { return QString(n, u' '); }

QVariantList record(const QVariant& no, const QVariant& name, const QVariant& birth, const QVariant& city,
                    const QVariant& street, const QVariant& home, const QVariant& mobile, const QVariant& mail,
                    const QVariant& mobileMail, const QVariant& refuses, const QVariant& category, const QVariant& remarks)
{
    return {no, name, birth, city, street, home, mobile, mail, mobileMail, refuses, category, remarks};
}

} // namespace

class TestMailWindowLines : public QObject {
    Q_OBJECT
private slots:
    void addressListLine_data()
    {
        QTest::addColumn<QVariantList>("values");
        QTest::addColumn<QString>("expected");
        const QVariant null;
        QTest::newRow("every column present")
            << record(12, QStringLiteral("山田太郎"), QDate(1980, 5, 10), QStringLiteral("横浜市"), QStringLiteral("1-2"),
                      QStringLiteral("045-111-2222"), QStringLiteral("090-1"), QStringLiteral("a@b.jp"),
                      QStringLiteral("m@c.jp"), false, QStringLiteral("会員"), QStringLiteral("メモ"))
            << QStringLiteral("00000012 山田太郎    80/05/10 43 横浜市1-2") + sp(15) + QStringLiteral("045-111-2222  ")
                   + QStringLiteral("090-1") + sp(9) + u' ' + QStringLiteral("a@b.jp") + sp(26) + QStringLiteral("m@c.jp")
                   + sp(26) + QStringLiteral("会員    ") + QStringLiteral(" メモ");
        QTest::newRow("refusing with a mobile address: a mark before both and one after")
            << record(1, QStringLiteral("A"), null, null, null, null, null, QStringLiteral("a@b.jp"),
                      QStringLiteral("m@c.jp"), true, null, null)
            << QStringLiteral("00000001 A") + sp(11) + sp(11) + u' ' + sp(24) + sp(28) + u' ' + QStringLiteral("*a@b.jp")
                   + sp(25) + QStringLiteral("*m@c.jp") + sp(25) + u'*' + sp(8) + u' ';
        QTest::newRow("refusing without a mobile address: no extra mark")
            << record(1, QStringLiteral("A"), null, null, null, null, null, QStringLiteral("a@b.jp"), QString(), true,
                      null, null)
            << QStringLiteral("00000001 A") + sp(11) + sp(11) + u' ' + sp(24) + sp(28) + u' ' + QStringLiteral("*a@b.jp")
                   + sp(25) + sp(32) + sp(8) + u' ';
        QTest::newRow("street without city, long phone cut, nine-digit number")
            << record(123456789, null, null, null, QStringLiteral("1-2"), QStringLiteral("012345678901234567"), null,
                      null, null, null, null, null)
            << QStringLiteral("123456789 ") + sp(12) + sp(11) + u' ' + sp(24) + QStringLiteral("01234567890123") + sp(14)
                   + u' ' + sp(64) + sp(8) + u' ';
    }
    void addressListLine()
    {
        QFETCH(QVariantList, values);
        QFETCH(QString, expected);
        QCOMPARE(AddressListLine(values, QDate(2024, 4, 1)), expected);
    }

    void typedPiecesSkipEmptyOnes_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("pieces");
        QTest::newRow("plain") << "a@x;b@y" << QStringList{"a@x", "b@y"};
        QTest::newRow("two separators in a row") << "a@x;;b@y" << QStringList{"a@x", "b@y"};
        QTest::newRow("separator at the end") << "a@x;" << QStringList{"a@x"};
        QTest::newRow("other separator is text") << "a@x,b@y" << QStringList{"a@x,b@y"};
    }
    void typedPiecesSkipEmptyOnes()
    {
        QFETCH(QString, text);
        QFETCH(QStringList, pieces);
        QCOMPARE(TypedAddressPieces(text, u';'), pieces);
    }

    void receivedMailLine_data()
    {
        QTest::addColumn<QString>("date");
        QTest::addColumn<bool>("read");
        QTest::addColumn<int>("attachments");
        QTest::addColumn<QString>("sender");
        QTest::addColumn<QString>("subject");
        QTest::addColumn<bool>("subjectFilter");
        QTest::addColumn<QString>("expected");
        const QString body = u'B' + sp(kBodyPreviewColumns - 1);
        const QString mid = QStringLiteral("Sender") + sp(24) + u' ' + QStringLiteral("Hi") + sp(48) + u' ' + body;
        QTest::newRow("no date, unread") << "" << false << 0 << "Sender" << "Hi" << false
                                         << QStringLiteral("2001/01/01(月)00:00  未") + sp(5) + mid;
        QTest::newRow("read, 3 attachments") << "2024/04/02 09:05" << true << 3 << "Sender" << "Hi" << false
                                             << QStringLiteral("2024/04/02(火)09:05    ") + "  3  " + mid;
        QTest::newRow("12 attachments") << "2024/04/02 09:05" << true << 12 << "Sender" << "Hi" << false
                                        << QStringLiteral("2024/04/02(火)09:05    ") + "  12 " + mid;
        QTest::newRow("123 attachments") << "2024/04/02 09:05" << true << 123 << "Sender" << "Hi" << false
                                         << QStringLiteral("2024/04/02(火)09:05    ") + "  123" + mid;
        QTest::newRow("subject filter: no space after the sender")
            << "2024/04/02 09:05" << true << 0 << "Sender" << "Hi" << true
            << QStringLiteral("2024/04/02(火)09:05    ") + sp(5) + QStringLiteral("Sender") + sp(24) + QStringLiteral("Hi")
                   + sp(48) + u' ' + body;
        QTest::newRow("long sender cut at a character boundary, empty subject")
            << "2024/04/02 09:05" << true << 0 << QString(15, u'a') + QStringLiteral("日本語日本語日本語") << "" << false
            << QStringLiteral("2024/04/02(火)09:05    ") + sp(5) + QString(15, u'a') + QStringLiteral("日本語日本語日")
                   + u' ' + u' ' + sp(50) + u' ' + body;
    }
    void receivedMailLine()
    {
        QFETCH(QString, date);
        QFETCH(bool, read);
        QFETCH(int, attachments);
        QFETCH(QString, sender);
        QFETCH(QString, subject);
        QFETCH(bool, subjectFilter);
        QFETCH(QString, expected);
        const ReceivedMailParts p = MakeReceivedMailParts(date, read, attachments, sender, subject, QStringLiteral("B"),
                                                          QStringLiteral("SMTP:x@y"));
        QCOMPARE(ReceivedMailLine(p, subjectFilter), expected);
        QCOMPARE(p.address, QStringLiteral("x@y"));
    }

    void bodyColumn_data()
    {
        QTest::addColumn<QString>("body");
        QTest::addColumn<QString>("column");
        const int w = kBodyPreviewColumns;
        QTest::newRow("empty: spaces") << QString() << sp(w);
        QTest::newRow("line breaks and tabs become spaces")
            << QStringLiteral("一行目\n二行目\r\n\t三") << QStringLiteral("一行目 二行目   三") + sp(w - 18);
        QTest::newRow("a long body: its first characters")
            << QString(3 * w, u'x') + u'\n' << QString(w, u'x');
        QTest::newRow("a double-width character straddling the end becomes a space")
            << QString(w - 1, u'x') + QStringLiteral("日本") << QString(w - 1, u'x') + u' ';
    }
    void bodyColumn()
    {
        QFETCH(QString, body);
        QFETCH(QString, column);
        QCOMPARE(BodyPreview(body), column);
        // Whatever the body, the line is one line of one width.
        const ReceivedMailParts p = MakeReceivedMailParts("2024/04/02 09:05", true, 0, "S", "T", body, "a@b");
        const QString line = ReceivedMailLine(p, false);
        QVERIFY(!line.contains(u'\n') && !line.contains(u'\r') && !line.contains(u'\t'));
        QCOMPARE(text::byteWidth(line), ReceivedMailColumns(false).body + kBodyPreviewColumns);
        QVERIFY(line.endsWith(column));
    }

    void previewText_data()
    {
        QTest::addColumn<QString>("body");
        QTest::addColumn<bool>("cut");
        QTest::addColumn<int>("withheld");
        QTest::addColumn<QString>("shown");
        const int n = kPreviewLineChars;
        const int none = int(WithheldBody::None);
        const QString note = QStringLiteral("（以下、表示を省略しました）");
        QTest::newRow("a body as it is") << QStringLiteral("一行目\n二行目\n") << false << none
                                         << QStringLiteral("一行目\n二行目\n");
        QTest::newRow("cut: the note on a line of its own") << QStringLiteral("一行目\n二行") << true << none
                                                             << QStringLiteral("一行目\n二行\n") + note;
        QTest::newRow("cut after a whole line") << QStringLiteral("一行目\n") << true << none
                                                << QStringLiteral("一行目\n") + note;
        QTest::newRow("too large: the note alone") << QString() << false << int(WithheldBody::TooLarge)
                                                   << QStringLiteral("（メールが大きすぎるため本文を表示できません）");
        QTest::newRow("too complex: the note alone") << QString() << false << int(WithheldBody::TooComplex)
                                                     << QStringLiteral("（メールの構成が複雑すぎるため本文を表示できません）");
        QTest::newRow("unreadable: the note alone") << QString() << false << int(WithheldBody::Unreadable)
                                                    << QStringLiteral("（このメールは読み取れませんでした）");
        QTest::newRow("one long word broken into pieces")
            << QString(2 * n + 5, u'y') + QStringLiteral("\nz") << false << none
            << QString(n, u'y') + u'\n' + QString(n, u'y') + u'\n' + QString(5, u'y') + QStringLiteral("\nz");
        QTest::newRow("a character of two code units stays whole")
            << QString(n - 1, u'y') + QStringLiteral("𠮷𠮷") << false << none
            << QString(n - 1, u'y') + QStringLiteral("𠮷\n𠮷");
    }
    void previewText()
    {
        QFETCH(QString, body);
        QFETCH(bool, cut);
        QFETCH(int, withheld);
        QFETCH(QString, shown);
        QCOMPARE(PreviewText(body, cut, WithheldBody(withheld)), shown);
    }

    void senderTable()
    {
        const QList<SenderMessage> messages = {
            {"2024/04/01 10:00", "First", "a@x.jp"}, {"", "B", "b@x.jp"},      {"2024/04/02 10:00", "Second", "a@x.jp"},
            {"2024/04/03 11:00", "", "A@x.jp"},      {"", "", "SMTP:a@x.jp"},  {"2024/04/04 12:00", "Third", "a@x.jp"},
        };
        const QList<MailSender> senders = BuildSenders(messages, {});
        QCOMPARE(senders.size(), 4);  // letter case and the prefix make other senders
        QCOMPARE(senders[0].SenderName, QStringLiteral("First"));
        QCOMPARE(senders[0].MessageCount, 3);
        QCOMPARE(senders[0].FirstDate, QStringLiteral("2024/04/01 10:00"));
        QCOMPARE(senders[0].LastDate, QStringLiteral("2024/04/04 12:00"));
        QCOMPARE(senders[1].FirstDate, QStringLiteral("2001/1/1 00:00"));
        QCOMPARE(senders[2].SenderAddress, QStringLiteral("A@x.jp"));
        QCOMPARE(senders[3].SenderAddress, QStringLiteral("SMTP:a@x.jp"));

        const QList<MailSender> counted = BuildSenders(messages, [](int m) { return m != 0; });
        QCOMPARE(counted[0].SenderName, QStringLiteral("B"));
        QCOMPARE(counted[1].SenderName, QStringLiteral("Second"));
    }

    void senderLine_data()
    {
        QTest::addColumn<MailSender>("sender");
        QTest::addColumn<int>("k");
        QTest::addColumn<QString>("expected");
        const QString dates = QStringLiteral("2024/04/01 10:00 - 2024/04/04 12:00");
        QTest::newRow("three messages")
            << MailSender{"2024/04/01 10:00", "2024/04/04 12:00", 3, "Taro", "SMTP:a@x.jp"} << 0
            << sp(6) + QStringLiteral("1 : Taro") + sp(46) + QStringLiteral("a@x.jp") + sp(44) + dates + sp(6)
                   + QStringLiteral("3 件 ");
        QTest::newRow("one message without a date")
            << MailSender{"2001/1/1 00:00", "2001/1/1 00:00", 1, "Taro", "a@x.jp"} << 11
            << sp(5) + QStringLiteral("12 : Taro") + sp(46) + QStringLiteral("a@x.jp") + sp(44)
                   + QStringLiteral("2001/01/01 00:00 - ") + sp(16) + sp(6) + QStringLiteral("1 件 ");
        QTest::newRow("name of 49 bytes") << MailSender{"2024/04/01 10:00", "2024/04/04 12:00", 3, QString(49, u'n'), "a@x.jp"}
                                          << 0
                                          << sp(6) + QStringLiteral("1 : ") + QString(49, u'n') + u' ' + QStringLiteral("a@x.jp")
                                                 + sp(44) + dates + sp(6) + QStringLiteral("3 件 ");
        QTest::newRow("name of 60 bytes shifts the rest")
            << MailSender{"2024/04/01 10:00", "2024/04/04 12:00", 3, QString(30, u'名'), "a@x.jp"} << 0
            << sp(6) + QStringLiteral("1 : ") + QString(30, u'名') + u' ' + QStringLiteral("a@x.jp") + sp(44) + dates + sp(6)
                   + QStringLiteral("3 件 ");
    }
    void senderLine()
    {
        QFETCH(MailSender, sender);
        QFETCH(int, k);
        QFETCH(QString, expected);
        QCOMPARE(SenderLine(k, sender), expected);
    }

    void bookIndex_data()
    {
        QTest::addColumn<QString>("address");
        QTest::addColumn<bool>("found");
        QTest::newRow("whole field") << "a@x.jp" << true;
        QTest::newRow("piece of a longer field") << "b@y.jp" << true;
        QTest::newRow("inside an address") << "@y.j" << true;
        QTest::newRow("mobile field") << "m@z.ne.jp" << true;
        QTest::newRow("letter case significant") << "A@x.jp" << false;
        QTest::newRow("across two fields") << "jpm@z" << false;
        QTest::newRow("absent") << "nobody@x.jp" << false;
        QTest::newRow("no sender: empty") << "" << false;
        QTest::newRow("no sender: NONE:") << "NONE:" << false;
    }
    void bookIndex()
    {
        QFETCH(QString, address);
        QFETCH(bool, found);
        const QList<QVariantList> rows{{QStringLiteral("a@x.jp"), QStringLiteral("m@z.ne.jp")},
                                       {QStringLiteral("c@x.jp;b@y.jp"), QVariant()},
                                       {QVariant(), QVariant()},
                                       {QStringLiteral("NONE:"), QString()}};
        const AddressBookIndex index(rows);
        QCOMPARE(index.contains(address), found);
        QCOMPARE(index.contains(address), found);  // the kept answer is the same
        const AddressBookIndex prepared(rows);
        prepared.prepare({address});
        QCOMPARE(prepared.contains(address), found);
    }

    // The in-memory search answers as a plain containment test over every record would.
    void bookIndexMatchesPlainContainment()
    {
        QRandomGenerator rng(7);
        const auto word = [&](int n) {
            QString s;
            for (int i = 0; i < n; ++i)
                s += QChar(u'a' + rng.bounded(3));
            return s;
        };
        QList<QVariantList> rows;
        for (int i = 0; i < 200; ++i)
            rows << QVariantList{rng.bounded(5) == 0 ? QVariant() : QVariant(word(6) + u';' + word(4)),
                                 rng.bounded(2) ? QVariant() : QVariant(word(5))};
        const AddressBookIndex index(rows);
        const AddressBookIndex prepared(rows);
        QStringList addresses;
        for (int i = 0; i < 500; ++i)
            addresses << word(1 + rng.bounded(7));
        prepared.prepare(addresses);
        for (const QString& address : addresses) {
            bool plain = false;
            for (const QVariantList& r : rows)
                for (const QVariant& v : r)
                    plain = plain || (!v.isNull() && v.toString().contains(address));
            QVERIFY2(index.contains(address) == plain, qPrintable(address));
            QVERIFY2(prepared.contains(address) == plain, qPrintable(address));
        }
        QVERIFY(!AddressBookIndex({{QVariant(), QVariant()}}).contains(QString()));
    }
};

QTEST_GUILESS_MAIN(TestMailWindowLines)
#include "tst_mailwindowlines.moc"
