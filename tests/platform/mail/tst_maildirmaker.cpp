// Generated Maildirs: the same seed gives the same files, the reader gets back the texts that
// went in, whatever charset, encoding and word split each message was given, and a body size
// asked for is the size of the body text read back.

#include "MaildirMaker.h"
#include "platform/mail/MailCore.h"

#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

namespace {

QStringList tree(const QString& folder)
{
    QStringList out;
    QDirIterator it(folder, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString p = it.next();
        QFile f(p);
        f.open(QIODevice::ReadOnly);
        out << QDir(folder).relativeFilePath(p) + ' ' + QCryptographicHash::hash(f.readAll(), QCryptographicHash::Md5).toHex();
    }
    out.sort();
    return out;
}

} // namespace

class TestMaildirMaker : public QObject {
    Q_OBJECT
    QTemporaryDir dir_;

    QString make(const QString& name, std::uint64_t seed, int count, std::size_t bodyBytes = 0)
    {
        const QString folder = dir_.path() + '/' + name;
        maildirmaker::Options o;
        o.seed = seed;
        o.count = count;
        o.attachmentBytes = 2000;
        o.bodyBytes = bodyBytes;
        if (bodyBytes > 0)
            o.malformedShare = 0;  // a broken encoding would shorten the text read back
        maildirmaker::makeMaildir(QFile::encodeName(folder).toStdString(), o);
        return folder;
    }

private slots:
    void sameSeedSameFiles()
    {
        const QStringList a = tree(make("a", 5, 30));
        QCOMPARE(a.size(), 30);
        QCOMPARE(tree(make("b", 5, 30)), a);
        QVERIFY(tree(make("c", 6, 30)) != a);
    }

    void readerGetsTheTextsBack()
    {
        const QStringList subjects{"会議のご案内①", "見積書の送付について", "㈱テスト商事より", "髙橋様へのご連絡", "Re: 打ち合わせ",
                                   "週報～第3週～", "Invoice for December", "お問い合わせありがとうございます"};
        const QStringList names{"山田 太郎", "佐藤 花子", "髙橋 一郎", "鈴木 ㈱営業部", "田中 次郎", "Alice Smith", "渡辺 さくら", "伊藤 健", ""};
        const int count = 200;
        const QString folder = make("read", 11, count);
        const mailcore::Inbox inbox = mailcore::Inbox::fetch(QFile::encodeName(folder).toStdString(), false, "/nonexistent");
        QCOMPARE(int(inbox.count()), count);
        const QRegularExpression numbered(QStringLiteral("^(.*) #(\\d+)$"));
        int withAttachments = 0;
        int read = 0;
        for (size_t i = 0; i < inbox.count(); ++i) {
            const mailcore::MessageInfo& m = inbox.message(i);
            const QString subject = QString::fromStdString(m.subject);
            const auto match = numbered.match(subject);
            QVERIFY2(match.hasMatch() && subjects.contains(match.captured(1)), qPrintable(subject));
            QVERIFY2(names.contains(QString::fromStdString(m.displayName)), m.displayName.c_str());
            withAttachments += m.attachments.empty() ? 0 : 1;
            read += m.read ? 1 : 0;
        }
        QVERIFY(withAttachments > count / 10 && withAttachments < count / 3);
        QVERIFY(read > 0 && read < count);
    }

    void bodyOfTheSizeAskedFor_data()
    {
        QTest::addColumn<int>("bytes");
        QTest::newRow("below one line") << 10;
        QTest::newRow("a few lines") << 2000;
        QTest::newRow("just under the reader's bound") << 1000000;
    }
    void bodyOfTheSizeAskedFor()
    {
        QFETCH(int, bytes);
        const QString folder = make(QStringLiteral("body%1").arg(bytes), 3, 8, size_t(bytes));
        mailcore::Inbox inbox = mailcore::Inbox::fetch(QFile::encodeName(folder).toStdString(), false, "/nonexistent");
        QCOMPARE(int(inbox.count()), 8);
        for (size_t i = 0; i < inbox.count(); ++i) {
            const size_t size = inbox.body(i).size();
            // Whole lines up to the size: at most one line short of it.
            QVERIFY2(size <= size_t(bytes) && size + 64 > size_t(bytes), qPrintable(QString::number(size)));
            QVERIFY(!inbox.bodyCut(i));
        }
    }
};

QTEST_GUILESS_MAIN(TestMaildirMaker)
#include "tst_maildirmaker.moc"
