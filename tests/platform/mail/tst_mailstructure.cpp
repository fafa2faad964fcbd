// The structure count that runs before GMime parses a message: for every kind of structure GMime
// knows (nesting, attached and digest messages, parameters in pieces, a multipart closed by its
// parent) it counts the parts and levels of the tree GMime builds, fed whole or in pieces of
// any size; it stops at the bounds; and reading a message of 200,000 parts takes no more memory
// than one of 20,000.

#include "platform/mail/MailReaderInternal.h"

#include "MaildirMaker.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <string>

namespace {

using mailcore::MimeShape;

MimeShape scanInPieces(const std::string& bytes, size_t piece)
{
    mailcore::MimeScanner scanner;
    for (size_t at = 0; at < bytes.size(); at += piece)
        if (!scanner.feed(bytes.data() + at, std::min(piece, bytes.size() - at)))
            break;
    return scanner.finish();
}

// The resident memory's peak in kB since the last reset (resetPeak), from /proc/self/status.
long peakKb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').first().toLong();
    return -1;
}

bool resetPeak()
{
    QFile refs(QStringLiteral("/proc/self/clear_refs"));
    return refs.open(QIODevice::WriteOnly) && refs.write("5") == 1;
}

const std::string kTop = "From: a@example.jp\nSubject: s\nMIME-Version: 1.0\n";

} // namespace

class TestMailStructure : public QObject {
    Q_OBJECT

private slots:
    void countsWhatGMimeBuilds_data()
    {
        QTest::addColumn<QByteArray>("message");
        QTest::addColumn<int>("parts");
        QTest::addColumn<int>("depth");
        const auto row = [](const char* name, const std::string& m, int parts, int depth) {
            QTest::newRow(name) << QByteArray::fromStdString(m) << parts << depth;
        };
        row("a plain text message", kTop + "Content-Type: text/plain\n\nhello\n--b\n", 0, 0);
        row("three parts, CR LF, blanks after a delimiter",
            kTop + "Content-Type: multipart/mixed; boundary=\"b\"\r\n\r\nprologue\r\n--b\r\n\r\nx\r\n--b \t\r\n"
                   "Content-Type: text/html\r\n\r\ny\r\n--b\r\n\r\nz\r\n--b--\r\nepilogue\r\n",
            3, 1);
        row("a line that only starts like the delimiter",
            kTop + "Content-Type: multipart/mixed; boundary=b\n\n--b\n\n--bb\n--b x\n--b\n\n--b--\n", 2, 1);
        row("nested, closed by the parent's delimiter",
            kTop + "Content-Type: multipart/mixed; boundary=b\n\n--b\nContent-Type: multipart/alternative; boundary=c\n\n"
                   "--c\n\nx\n--c\n\ny\n--b\n\nz\n--b--\n",
            4, 2);
        row("the epilogue of an inner multipart",
            kTop + "Content-Type: multipart/mixed; boundary=b\n\n--b\nContent-Type: multipart/mixed; boundary=c\n\n"
                   "--c\n\nx\n--c--\n--c\nnot a part\n--b\n\nz\n--b--\n",
            3, 2);
        row("an attached message with parts of its own",
            kTop + "Content-Type: multipart/mixed; boundary=b\n\n--b\nContent-Type: message/rfc822\n\n"
                   "Subject: inner\nContent-Type: multipart/mixed; boundary=c\n\n--c\n\nx\n--c\n\ny\n--c--\n--b--\n",
            3, 3);
        row("an attached message in base64 stays one part",
            kTop + "Content-Type: multipart/mixed; boundary=b\n\n--b\nContent-Type: message/rfc822\n"
                   "Content-Transfer-Encoding: base64\n\nSubject: inner\nContent-Type: multipart/mixed; boundary=c\n\n"
                   "--c\n\nx\n--c--\n--b--\n",
            1, 1);
        row("a digest's parts are messages by default",
            kTop + "Content-Type: multipart/digest; boundary=b\n\n--b\n\nSubject: inner\n"
                   "Content-Type: multipart/mixed; boundary=c\n\n--c\n\nx\n--c\n\ny\n--c--\n--b\nContent-Type: ;;\n\n"
                   "Subject: second\n\ntext\n--b--\n",
            4, 3);
        row("the last Content-Type decides",
            kTop + "Content-Type: multipart/mixed; boundary=b\nContent-Type: multipart/mixed; boundary=c\n\n"
                   "--b\n\nx\n--c\n\ny\n--c\n\nz\n--c--\n",
            2, 1);
        row("a boundary in pieces, folded",
            kTop + "Content-Type: multipart/mixed;\n boundary*0=\"a\";\n\tboundary*1=\"b\"\n\n--ab\n\nx\n--ab\n\ny\n--ab--\n", 2, 1);
        row("a multipart without a boundary has no parts",
            kTop + "Content-Type: multipart/mixed\n\n--b\n\nx\n--b--\n", 0, 0);
        row("an invalid header line before the Content-Type",
            kTop + "Content-Type: multipart/mixed; boundary=b\n\n--b\nbad name: y\n"
                   "Content-Type: multipart/mixed; boundary=c\n\n--c\n\n--c\n\n--b--\n",
            3, 2);
        row("a line of 20,000 bytes in a part",
            kTop + "Content-Type: multipart/mixed; boundary=b\n\n--b\n\n" + std::string(20000, 'x') + "\n--b\n\ny\n--b--\n", 2, 1);
        row("a message that ends inside a part's headers",
            kTop + "Content-Type: multipart/mixed; boundary=b\n\n--b\nContent-Type: multipart/mixed; boundary=c", 1, 1);
        row("10,000 parts", maildirmaker::manyPartsMessage(10000, 3, true), 10000, 1);
        row("100 levels", maildirmaker::nestedMessage(100), 100, 100);
    }
    void countsWhatGMimeBuilds()
    {
        QFETCH(QByteArray, message);
        QFETCH(int, parts);
        QFETCH(int, depth);
        const std::string bytes = message.toStdString();
        const MimeShape tree = mailcore::parsedMimeShape(bytes);
        QCOMPARE(int(tree.parts), parts);
        QCOMPARE(tree.depth, depth);
        for (size_t piece : {bytes.size() + 1, size_t(1), size_t(3), size_t(4096)}) {
            const MimeShape scan = scanInPieces(bytes, piece);
            QVERIFY(scan.withinBounds);
            QCOMPARE(int(scan.parts), parts);
            QCOMPARE(scan.depth, depth);
        }
    }

    void stopsAtTheBounds_data()
    {
        QTest::addColumn<QByteArray>("message");
        QTest::addColumn<bool>("within");
        const auto row = [](const char* name, const std::string& m, bool within) {
            QTest::newRow(name) << QByteArray::fromStdString(m) << within;
        };
        row("10,000 parts", maildirmaker::manyPartsMessage(10000), true);
        row("10,001 parts", maildirmaker::manyPartsMessage(10001), false);
        row("10,001 parts over three levels",
            kTop + "Content-Type: multipart/mixed; boundary=b\n\n--b\nContent-Type: multipart/mixed; boundary=c\n\n"
                + [] {
                      std::string s;
                      for (int i = 0; i < 5000; ++i)
                          s += "--c\n\n";
                      s += "--c\nContent-Type: multipart/mixed; boundary=d\n\n";
                      for (int i = 0; i < 4999; ++i)
                          s += "--d\n\n";
                      return s;
                  }(),
            false);
        row("100 levels", maildirmaker::nestedMessage(100), true);
        row("101 levels", maildirmaker::nestedMessage(101), false);
        row("100,000 levels", maildirmaker::nestedMessage(100000), false);
        std::string messages = kTop + "Content-Type: message/rfc822\n\n";
        for (int i = 0; i < 101; ++i)
            messages += "Subject: level\nContent-Type: message/rfc822\n\n";
        row("101 attached messages, each in the one before", messages, false);
        row("a Content-Type of more than a megabyte in a part",
            kTop + "Content-Type: multipart/mixed; boundary=b\n\n--b\nContent-Type: multipart/mixed; x=\""
                + std::string(mailcore::kMaxHeaderBlockBytes + 10, 'x') + "\"; boundary=c\n\n--c\n\n--b--\n",
            false);
    }
    void stopsAtTheBounds()
    {
        QFETCH(QByteArray, message);
        QFETCH(bool, within);
        const std::string bytes = message.toStdString();
        QCOMPARE(mailcore::scanMimeShape(bytes.data(), bytes.size()).withinBounds, within);
        QCOMPARE(scanInPieces(bytes, 1000).withinBounds, within);
        // What the reader then gives: the whole message, or its headers with nothing else.
        const mailcore::MessageInfo info = mailcore::parseMessage(bytes);
        QCOMPARE(info.tooComplex, !within);
        QCOMPARE(info.subject.empty(), false);
        if (!within) {
            QVERIFY(info.attachments.empty());
            QVERIFY(info.bodyKind == mailcore::BodyKind::None);
        }
    }

    // Read from files, 200,000 parts take no more memory than 20,000 (before, they took 300 MB).
    void memoryDoesNotGrowWithTheParts()
    {
        if (!resetPeak() || peakKb() < 0)
            QSKIP("the resident memory's peak cannot be reset here");
        QTemporaryDir dir;
        long growth[2] = {0, 0};
        const size_t counts[2] = {20000, 200000};
        for (int k = 0; k < 2; ++k) {
            const QString path = dir.filePath(QString::number(counts[k]));
            {
                const std::string bytes = maildirmaker::manyPartsMessage(counts[k], 0, true);
                QFile f(path);
                QVERIFY(f.open(QIODevice::WriteOnly));
                f.write(bytes.data(), qint64(bytes.size()));
            }
            QVERIFY(resetPeak());
            const long before = peakKb();
            bool ok = false;
            const mailcore::MessageInfo info = mailcore::parseMessageFile(QFile::encodeName(path).toStdString(), &ok);
            growth[k] = peakKb() - before;
            QVERIFY(ok);
            QVERIFY(info.tooComplex);
            QCOMPARE(info.subject, std::string("parts"));
        }
        QVERIFY2(growth[1] <= growth[0] + 2048, qPrintable(QStringLiteral("%1 kB, %2 kB").arg(growth[0]).arg(growth[1])));
        QVERIFY2(growth[1] < 16 * 1024, qPrintable(QString::number(growth[1])));
    }
};

QTEST_GUILESS_MAIN(TestMailStructure)
#include "tst_mailstructure.moc"
