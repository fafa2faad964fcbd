// Attachments that must not be handed to the desktop to open, judged by content and by name.

#include "mail/AttachmentSafety.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

class TestAttachmentSafety : public QObject {
    Q_OBJECT
    QTemporaryDir dir;

private slots:
    void judge_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<bool>("refused");
        const QByteArray pdf("%PDF-1.4\n%\xe2\xe3\xcf\xd3\n1 0 obj\n<<>>\nendobj\n");
        const QByteArray png("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16);
        QTest::newRow("pdf") << "report.pdf" << pdf << false;
        QTest::newRow("png") << "photo.png" << png << false;
        QTest::newRow("plain text") << "memo.txt" << QByteArray("こんにちは\n") << false;
        QTest::newRow("csv") << "list.csv" << QByteArray("a,b\n1,2\n") << false;
        QTest::newRow("ELF program named as a picture") << "photo.jpg" << QByteArray("\x7f" "ELF\x02\x01\x01", 7) << true;
        QTest::newRow("shared library by name") << "libx.so.1" << QByteArray("data") << true;
        QTest::newRow("Windows program by content") << "invoice.pdf" << QByteArray("MZ\x90\0\x03", 5) << true;
        QTest::newRow("Windows program by name") << "setup.exe" << QByteArray("data") << true;
        QTest::newRow("installer") << "setup.msi" << QByteArray("data") << true;
        QTest::newRow("double suffix") << "report.pdf.exe" << pdf << true;
        QTest::newRow("inner suffixes do not count") << "www.example.com.pdf" << pdf << false;
        QTest::newRow("an inner program suffix does not count") << "report.bin.txt" << QByteArray("words\n") << false;
        QTest::newRow("text named .bin") << "big.bin" << QByteArray("words\n") << false;
        QTest::newRow("ELF named .bin") << "big.bin" << QByteArray("\x7f" "ELF\x02\x01\x01", 7) << true;
        QTest::newRow("batch file") << "run.BAT" << QByteArray("echo hi\r\n") << true;
        QTest::newRow("shell script by content") << "readme" << QByteArray("#!/bin/sh\nrm -rf ~\n") << true;
        QTest::newRow("python by name") << "tool.py" << QByteArray("print(1)\n") << true;
        QTest::newRow("perl by name") << "tool.pl" << QByteArray("print 1;\n") << true;
        QTest::newRow("desktop launcher by name") << "open.desktop" << QByteArray("x") << true;
        QTest::newRow("desktop launcher by content") << "invoice.txt" << QByteArray("[Desktop Entry]\nExec=sh -c x\n") << true;
        QTest::newRow("jar") << "app.jar" << QByteArray("PK\x03\x04", 4) << true;
    }
    void judge()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, content);
        QFETCH(bool, refused);
        const QString path = dir.filePath(name);
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(content);
        f.close();
        const QString reason = mail::UnsafeAttachmentReason(path);
        QVERIFY2(reason.isEmpty() != refused, qPrintable(name + ": " + reason));
    }

    void unreadableFileIsLeftToTheOpener()
    {
        QCOMPARE(mail::UnsafeAttachmentReason(dir.filePath("missing.pdf")), QString());
    }
};

QTEST_MAIN(TestAttachmentSafety)
#include "tst_attachmentsafety.moc"
