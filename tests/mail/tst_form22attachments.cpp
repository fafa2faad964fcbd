// "添付ファイルを開く" of the mail window: which kinds of attachment are handed to the desktop,
// the question before more than 20 are opened, and the closing message that names at most 20.

#include "Form22Fixture.h"
#include "platform/shell/RecordingOpener.h"
#include "platform/ui/WindowRegistry.h"

#include <QDirIterator>
#include <QListView>
#include <QPushButton>

namespace {

QByteArray attachmentPart(const QString& name, const QByteArray& content)
{
    return "--XX\r\nContent-Type: application/octet-stream\r\nContent-Disposition: attachment; filename=\""
           + name.toUtf8() + "\"\r\nContent-Transfer-Encoding: base64\r\n\r\n" + content.toBase64() + "\r\n";
}

// A message, newer than the known ones, with the attachments (name, content).
QByteArray messageWith(const QList<std::pair<QString, QByteArray>>& attachments)
{
    QByteArray m = "From: Box <box@example.jp>\r\nDate: Fri, 5 Apr 2024 08:00:00 +0900\r\nSubject: files\r\n"
                   "MIME-Version: 1.0\r\nContent-Type: multipart/mixed; boundary=\"XX\"\r\n\r\n"
                   "--XX\r\nContent-Type: text/plain\r\n\r\nsee attached\r\n";
    for (const auto& [name, content] : attachments)
        m += attachmentPart(name, content);
    return m + "--XX--\r\n";
}

QStringList filesUnder(const QString& folder)
{
    QStringList found;
    QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext())
        found << it.next();
    return found;
}

const QByteArray kPdf("%PDF-1.4\n%\xe2\xe3\xcf\xd3\n1 0 obj\n<<>>\nendobj\n");

} // namespace

class TestForm22Attachments : public QObject, private fixture::MailWindowCase {
    Q_OBJECT

    std::unique_ptr<Form22> loadWith(const QList<std::pair<QString, QByteArray>>& attachments)
    {
        fixture::writeMail(maildir + "/cur/1005.f.host:2,S", messageWith(attachments));
        auto w = load();
        // The new message is the last one, selected at load.
        return w;
    }

private slots:
    void initTestCase() { startCase(); }
    void cleanupTestCase() { endCase(); }
    void init()
    {
        freshFolder();
        mailclient::setAttachmentRoot(dir->filePath(QStringLiteral("attachments")));
    }
    void cleanup()
    {
        mailclient::setAttachmentRoot({});
        ui::WindowRegistry::instance().unloadAll();
        dropFolder();
    }

    void attachmentKinds_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("refusal");  // "" when it is opened
        const QByteArray gzip("\x1f\x8b\x08\x00\x00\x00\x00\x00\x00\x03\x03\x00\x00\x00\x00\x00\x00\x00\x00\x00", 20);
        // The last suffix and the content decide, not the inner suffixes.
        QTest::newRow("a host name before .pdf") << "www.example.com.pdf" << kPdf << QString();
        QTest::newRow("an inner .bin before .txt") << "report.bin.txt" << QByteArray("plain words\n") << QString();
        QTest::newRow("a compressed archive") << "a.tar.gz" << gzip << QString();
        QTest::newRow("text named .bin") << "big.bin" << QByteArray("just some text\n") << QString();
        QTest::newRow("a Windows program by its suffix")
            << "setup.exe" << QByteArray("data") << QStringLiteral("Windows のプログラムまたはインストーラです");
        QTest::newRow("a Windows program by its content")
            << "invoice.pdf" << QByteArray("MZ\x90\x00\x03\x00", 6) << QStringLiteral("Windows のプログラムまたはインストーラです");
        QTest::newRow("a script with #!") << "run.sh" << QByteArray("#!/bin/sh\nrm -rf ~\n") << QStringLiteral("スクリプトです");
        QTest::newRow("#! under a document's name")
            << "notes.txt" << QByteArray("#!/bin/sh\nrm -rf ~\n") << QStringLiteral("スクリプトです");
        QTest::newRow("an ELF program named as a picture")
            << "photo.jpg" << QByteArray("\x7f" "ELF\x02\x01\x01", 7) + QByteArray(64, '\0')
            << QStringLiteral("実行可能なプログラムです");
        QTest::newRow("a desktop launcher")
            << "x.desktop" << QByteArray("[Desktop Entry]\nExec=rm -rf ~\n") << QStringLiteral("デスクトップの起動ファイルです");
        QTest::newRow("a program behind a document's suffix")
            << "report.pdf.exe" << kPdf << QStringLiteral("Windows のプログラムまたはインストーラです");
    }
    void attachmentKinds()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, content);
        QFETCH(QString, refusal);
        desktop::RecordingOpener opener;
        desktop::ScopedOpener scoped(&opener);
        auto w = loadWith({{name, content}});
        QCOMPARE(w->list3Index(), 4);
        w->command2(7)->click();
        if (refusal.isEmpty()) {
            QCOMPARE(opener.requestedFiles.size(), 1);
            QCOMPARE(QFileInfo(opener.requestedFiles.first()).fileName(), name);
            QVERIFY(dialogs->shown().isEmpty());
        } else {
            QVERIFY(opener.requestedFiles.isEmpty());
            QCOMPARE(dialogs->shown().size(), 1);
            QCOMPARE(dialogs->shown().first().text, QStringLiteral("開けなかった添付ファイルがあります\n") + name
                                                         + QStringLiteral("：") + refusal + QStringLiteral("（開きません）"));
            dialogs->clearRecord();
        }
    }

    void manyAttachmentsAskFirst_data()
    {
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("answer");  // -1: nothing is asked
        QTest::addColumn<int>("opened");
        QTest::newRow("20: opened unasked") << 20 << -1 << 20;
        QTest::newRow("21, はい: all opened") << 21 << int(ui::Answer::Yes) << 21;
        QTest::newRow("21, いいえ: none opened") << 21 << int(ui::Answer::No) << 0;
    }
    void manyAttachmentsAskFirst()
    {
        QFETCH(int, count);
        QFETCH(int, answer);
        QFETCH(int, opened);
        QList<std::pair<QString, QByteArray>> attachments;
        for (int i = 0; i < count; ++i)
            attachments.append({QStringLiteral("doc%1.pdf").arg(i + 1), kPdf});
        desktop::RecordingOpener opener;
        desktop::ScopedOpener scoped(&opener);
        auto w = loadWith(attachments);
        if (answer >= 0)
            dialogs->queueAnswer(ui::Answer(answer));
        w->command2(7)->click();
        QCOMPARE(opener.requestedFiles.size(), opened);
        if (answer < 0) {
            QVERIFY(dialogs->shown().isEmpty());
            return;
        }
        QCOMPARE(dialogs->shown().size(), 1);
        QCOMPARE(dialogs->shown().first().text, QStringLiteral("21 個の添付ファイルを開きます　よろしいですか？"));
        QCOMPARE(dialogs->shown().first().title, QStringLiteral("添付ファイルを開く"));
        QCOMPARE(dialogs->shown().first().buttons, ui::Buttons::YesNo);
        QCOMPARE(dialogs->pendingAnswers(), 0);
        if (opened == 0)  // nothing saved either
            QVERIFY(filesUnder(dir->filePath(QStringLiteral("attachments"))).isEmpty());
        dialogs->clearRecord();
    }

    void closingMessageNamesAtMostTwenty()
    {
        QList<std::pair<QString, QByteArray>> attachments;
        for (int i = 0; i < 25; ++i)
            attachments.append({QStringLiteral("tool%1.exe").arg(i + 1), QByteArray("MZ")});
        desktop::RecordingOpener opener;
        desktop::ScopedOpener scoped(&opener);
        auto w = loadWith(attachments);
        dialogs->queueAnswer(ui::Answer::Yes);
        w->command2(7)->click();
        QVERIFY(opener.requestedFiles.isEmpty());
        QCOMPARE(dialogs->shown().size(), 2);
        QStringList named;
        for (int i = 0; i < 20; ++i)
            named << QStringLiteral("tool%1.exe：Windows のプログラムまたはインストーラです（開きません）").arg(i + 1);
        QCOMPARE(dialogs->shown().last().text,
                 QStringLiteral("開けなかった添付ファイルがあります\n") + named.join(u'\n') + QStringLiteral("\nほか 5 件"));
        QCOMPARE(dialogs->shown().last().title, QStringLiteral("添付ファイルを開く"));
        dialogs->clearRecord();
    }
};

QTEST_MAIN(TestForm22Attachments)
#include "tst_form22attachments.moc"
