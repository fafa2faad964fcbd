// The receive tab's commands of the mail window, run through the window over the known Maildir.

#include "Form22Fixture.h"
#include "platform/mail/RecordingComposer.h"
#include "platform/shell/RecordingOpener.h"
#include "platform/text/Cp932.h"
#include "platform/ui/WindowRegistry.h"
#include "records/RecordListModel.h"

#include <QCheckBox>
#include <QDirIterator>
#include <QLineEdit>
#include <QListView>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>

namespace {

QByteArray readAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QStringList filesUnder(const QString& folder)
{
    QStringList found;
    QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext())
        found << QDir(folder).relativeFilePath(it.next());
    found.sort();
    return found;
}

QByteArray attachmentPart(const char* name, const QByteArray& content)
{
    return QByteArray("--XX\r\nContent-Type: application/octet-stream\r\nContent-Disposition: attachment; filename=\"")
           + name + "\"\r\nContent-Transfer-Encoding: base64\r\n\r\n" + content.toBase64() + "\r\n";
}

} // namespace

class TestForm22Commands : public QObject, private fixture::MailWindowCase {
    Q_OBJECT
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

    void reply_data()
    {
        QTest::addColumn<int>("filter");  // Option4
        QTest::addColumn<int>("row");
        QTest::addColumn<QString>("names");
        QTest::addColumn<QString>("address");
        QTest::addColumn<QString>("subject");
        QTest::addColumn<QString>("body");
        QTest::newRow("Japanese subject and body") << 0 << 1 << QStringLiteral("山田 太郎") << "taro@example.jp"
                                                    << QStringLiteral("RE:会議のお知らせ") << QStringLiteral("＞明日は会議です。\n");
        QTest::newRow("no subject, no body") << 0 << 0 << "Taro Y" << "taro@example.jp" << "RE:" << QStringLiteral("＞");
        QTest::newRow("no display name") << 0 << 3 << "" << "unknown@elsewhere.org"
                                         << QStringLiteral("RE:請求書 Invoice  Bcc: victim@example.jp")
                                         << QStringLiteral("＞お支払いください\n");
        // Filtered, row 0 is the third message of the fetch: the reply answers the row shown.
        QTest::newRow("row of a subject filter") << 2 << 0 << "Hanako" << "hanako@example.com" << "RE:Photo"
                                                 << QStringLiteral("＞写真を送ります");
    }
    void reply()
    {
        QFETCH(int, filter);
        QFETCH(int, row);
        QFETCH(QString, names);
        QFETCH(QString, address);
        QFETCH(QString, subject);
        QFETCH(QString, body);
        auto w = load();
        if (filter == 2) {
            w->text7(3)->setText(QStringLiteral("Pho"));
            w->option4(2)->click();
        }
        w->text3()->setText(QStringLiteral("cc@example.jp"));
        w->setList3Index(row);
        w->sstab1()->setCurrentIndex(1);
        w->command2(1)->click();
        QCOMPARE(w->text1()->text(), names);
        QCOMPARE(w->text2()->text(), address);
        QCOMPARE(w->text4()->text(), subject);
        QCOMPARE(w->text5()->toPlainText(), body);
        QVERIFY(w->option1(2)->isChecked());
        QCOMPARE(w->text3()->text(), QStringLiteral("cc@example.jp"));
        QCOMPARE(w->sstab1()->currentIndex(), 1);
        QVERIFY(dialogs->shown().isEmpty());
    }

    void commandsWithoutSelectedRowDoNothing()
    {
        desktop::RecordingOpener opener;
        desktop::ScopedOpener scoped(&opener);
        auto w = load();
        w->list3()->selectionModel()->clearSelection();
        const QStringList before = filesUnder(maildir);
        w->command2(1)->click();
        w->Command2_Click(3);
        w->command2(7)->click();
        QCOMPARE(w->text1()->text(), QString());
        QCOMPARE(w->text4()->text(), QString());
        QCOMPARE(filesUnder(maildir), before);
        QVERIFY(opener.requestedFiles.isEmpty());
        QVERIFY(dialogs->shown().isEmpty());
    }

    void deleteIntoTrashOnceWithoutRenumbering()
    {
        mailclient::RecordingComposer composer;
        mailclient::ScopedComposer scopedComposer(&composer);
        auto w = load();
        const QByteArray bytes = readAll(maildir + "/new/1002.c.host");
        w->setList3Index(2);
        w->Command2_Click(3);
        QVERIFY(dialogs->shown().isEmpty());
        QVERIFY(!QFile::exists(maildir + "/new/1002.c.host"));
        QCOMPARE(readAll(maildir + "/.Trash/cur/1002.c.host:2,"), bytes);
        QVERIFY(composer.requests.isEmpty());
        // The list keeps its rows until the next fetch; the same row again is refused.
        QCOMPARE(w->list3Model()->rowCount(), 4);
        w->Command2_Click(3);
        QCOMPARE(dialogs->shownTexts(), QStringList{QStringLiteral("選択したメールは既に削除されています")});
        QCOMPARE(dialogs->shown().first().icon, ui::Icon::Exclamation);
        QCOMPARE(filesUnder(maildir + "/.Trash"), QStringList{QStringLiteral("cur/1002.c.host:2,")});
        dialogs->clearRecord();
        // "再受信" shows the inbox without it.
        w->command2(0)->click();
        QVERIFY(dialogs->shown().isEmpty());
        QCOMPARE(w->list3Model()->rowCount(), 3);
        QCOMPARE(w->mapiMessages().MsgCount(), 3);
    }

    void refetchKeepsTheSubjectFilter()
    {
        auto w = load();
        w->text7(3)->setText(QStringLiteral("Photo"));
        w->option4(2)->click();
        QCOMPARE(w->list3Model()->rowCount(), 1);
        fixture::writeMail(maildir + "/new/1004.e.host",
                  "From: Other <other@example.jp>\r\nDate: Thu, 4 Apr 2024 08:00:00 +0900\r\nSubject: Photo 2\r\n\r\nx\r\n");
        w->command2(0)->click();
        QCOMPARE(w->list3Model()->rowCount(), 2);
        QVERIFY(w->signedOn());
        QVERIFY(dialogs->shown().isEmpty());
    }

    void refetchWhenTheMaildirIsGone()
    {
        auto w = load();
        QDir(maildir).removeRecursively();
        w->command2(0)->click();
        QCOMPARE(dialogs->shown().size(), 1);
        QVERIFY(dialogs->shown().first().text.startsWith(QStringLiteral("32003\n")));
        // The last fetch stays readable.
        QCOMPARE(w->list3Model()->rowCount(), 4);
        dialogs->clearRecord();
    }

    void openAttachments_data()
    {
        QTest::addColumn<bool>("openerSucceeds");
        QTest::addColumn<QStringList>("opened");
        QTest::addColumn<QStringList>("told");
        QTest::addColumn<QString>("programEnds");  // what the desktop's program says as it ends
        const QStringList refused = {QStringLiteral("run.sh：スクリプトです（開きません）"),
                                     QStringLiteral("photo.jpg：実行可能なプログラムです（開きません）"),
                                     QStringLiteral("start.desktop：デスクトップの起動ファイルです（開きません）"),
                                     QStringLiteral("setup.exe：Windows のプログラムまたはインストーラです（開きません）"),
                                     QStringLiteral("tool.py：スクリプトです（開きません）")};
        QTest::newRow("documents opened, programs refused")
            << true << QStringList{"report.pdf", "notes.txt"} << refused << QString();
        QTest::newRow("opener fails: told once per file")
            << false << QStringList{"report.pdf", "notes.txt"}
            << (QStringList{QStringLiteral("report.pdf：開けませんでした")} + refused.mid(0, 3)
                + QStringList{QStringLiteral("notes.txt：開けませんでした")} + refused.mid(3))
            << QString();
        // Started, the desktop's program ends with a failure: the same one box, in the files' order.
        QTest::newRow("no program for them on the desktop")
            << true << QStringList{"report.pdf", "notes.txt"}
            << (QStringList{QStringLiteral("report.pdf：開くプログラムが設定されていません")} + refused.mid(0, 3)
                + QStringList{QStringLiteral("notes.txt：開くプログラムが設定されていません")} + refused.mid(3))
            << QStringLiteral("開くプログラムが設定されていません");
    }
    void openAttachments()
    {
        QFETCH(bool, openerSucceeds);
        QFETCH(QStringList, opened);
        QFETCH(QStringList, told);
        QFETCH(QString, programEnds);
        fixture::writeMail(maildir + "/cur/1005.f.host:2,S",
                  "From: Box <box@example.jp>\r\nDate: Fri, 5 Apr 2024 08:00:00 +0900\r\nSubject: files\r\n"
                  "MIME-Version: 1.0\r\nContent-Type: multipart/mixed; boundary=\"XX\"\r\n\r\n"
                  "--XX\r\nContent-Type: text/plain\r\n\r\nsee attached\r\n"
                      + attachmentPart("report.pdf", "%PDF-1.4\n%\xe2\xe3\xcf\xd3\n")
                      + attachmentPart("run.sh", "echo hi\n")
                      + attachmentPart("photo.jpg", QByteArray("\x7f" "ELF\x02\x01\x01", 7) + QByteArray(64, '\0'))
                      + attachmentPart("start.desktop", "[Desktop Entry]\nExec=rm -rf ~\n")
                      + attachmentPart("notes.txt", "plain words\n")
                      + attachmentPart("setup.exe", "MZ\x90\x00")
                      + attachmentPart("tool.py", "import os\n") + "--XX--\r\n");
        desktop::RecordingOpener opener;
        opener.succeed = openerSucceeds;
        opener.ends = programEnds;
        desktop::ScopedOpener scoped(&opener);
        auto w = load();
        QCOMPARE(w->list3Model()->rowCount(), 5);
        w->setList3Index(4);
        w->command2(7)->click();
        QStringList names;
        const QString root = dir->filePath(QStringLiteral("attachments"));
        for (const QString& path : opener.requestedFiles) {
            QVERIFY2(QFileInfo(path).absoluteFilePath().startsWith(root + u'/'), qPrintable(path));
            names << QFileInfo(path).fileName();
        }
        QCOMPARE(names, opened);
        QCOMPARE(readAll(opener.requestedFiles.first()), QByteArray("%PDF-1.4\n%\xe2\xe3\xcf\xd3\n"));
        QCOMPARE(QFileInfo(opener.requestedFiles.first()).permissions() & (QFile::ReadOther | QFile::ExeOwner),
                 QFile::Permissions());
        QCOMPARE(dialogs->shown().size(), 1);
        QCOMPARE(dialogs->shown().first().text,
                 QStringLiteral("開けなかった添付ファイルがあります\n") + told.join(u'\n'));
        QCOMPARE(dialogs->shown().first().icon, ui::Icon::Exclamation);
        dialogs->clearRecord();
    }

    void attachmentOfTheShownMessage()
    {
        desktop::RecordingOpener opener;
        desktop::ScopedOpener scoped(&opener);
        auto w = load();
        // A message without attachments opens nothing and says nothing.
        w->setList3Index(1);
        w->command2(7)->click();
        QVERIFY(opener.requestedFiles.isEmpty());
        w->setList3Index(2);
        w->command2(7)->click();
        QCOMPARE(opener.requestedFiles.size(), 1);
        QCOMPARE(QFileInfo(opener.requestedFiles.first()).fileName(), QStringLiteral("a.txt"));
        QCOMPARE(readAll(opener.requestedFiles.first()), QByteArray("hello"));
        QVERIFY(dialogs->shown().isEmpty());
    }

    void csvAnswers_data()
    {
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("written");
        QTest::addColumn<QByteArray>("header");
        QTest::newRow("Yes: with bodies") << int(ui::Answer::Yes) << true
                                          << QByteArray("\"NO\",\"日付\",\"差出人氏名\",\"メールアドレス\",\"件名\",\"テキスト本文\","
                                                        "\"添付ファイル数\",\"添付ファイル名\"\r\n");
        QTest::newRow("No: without bodies") << int(ui::Answer::No) << true
                                            << QByteArray("\"NO\",\"日付\",\"差出人氏名\",\"メールアドレス\",\"件名\","
                                                          "\"添付ファイル数\",\"添付ファイル名\"\r\n");
        QTest::newRow("Cancel: the old file stays") << int(ui::Answer::Cancel) << false << QByteArray("old");
    }
    void csvAnswers()
    {
        QFETCH(int, answer);
        QFETCH(bool, written);
        QFETCH(QByteArray, header);
        const QString csv = dir->filePath(QStringLiteral("受信メール一覧表.csv"));
        fixture::writeMail(csv, "old");
        auto w = load();
        // The sender filter of the screen list applies to the file as well.
        w->text7(2)->setText(QStringLiteral("taro@example.jp"));
        w->list5()->selectionModel()->clearSelection();
        w->option4(1)->click();
        QCOMPARE(w->list3Model()->rowCount(), 2);
        const int row = w->list3Index();
        dialogs->queueAnswer(ui::Answer(answer));
        w->command2(5)->click();
        QCOMPARE(dialogs->shown().size(), 1);
        QCOMPARE(dialogs->shown().first().title, QStringLiteral("ＣＳＶファイル形式出力"));
        const QByteArray bytes = readAll(csv);
        if (!written) {
            QCOMPARE(bytes, header);
        } else {
            const QString text = text::decodeCp932(bytes);
            QVERIFY2(bytes.startsWith(text::encodeCp932(QString::fromUtf8(header)).bytes), bytes.left(120).constData());
            QCOMPARE(text.count(QStringLiteral("taro@example.jp")), 2);
            QVERIFY(!text.contains(QStringLiteral("hanako")));
            QVERIFY(text.contains(QStringLiteral("\"   2\",")));
            QCOMPARE(text.contains(QStringLiteral("明日は会議です。")), answer == int(ui::Answer::Yes));
        }
        // The window's list and selection are as they were.
        QCOMPARE(w->list3Model()->rowCount(), 2);
        QCOMPARE(w->list3Index(), row);
    }

    void registerSendersIntoTheLoadedBook()
    {
        const QString mailBook = dir->filePath(QStringLiteral("Ｅメール専用住所録.mdb"));
        QVERIFY(QFile::copy(book, mailBook));
        auto w = load(mailBook);
        // The main menu opens the other book meanwhile: the registration keeps to this one.
        Module1::PublishCurrentBook(book);
        dialogs->queueAnswer(ui::Answer::Yes);
        dialogs->queueAnswer(ui::Answer::No);  // append
        w->Command2_Click(4);
        QCOMPARE(dialogs->shown().size(), 2);
        for (const auto& box : dialogs->shown())
            QCOMPARE(box.title, QStringLiteral("住所録登録"));
        dialogs->clearRecord();
        // Three senders after the highest number 3.
        QCOMPARE(fixture::scalar(mailBook, QStringLiteral("SELECT COUNT(*) FROM \"個人台帳\"")).toInt(), 6);
        QCOMPARE(fixture::scalar(mailBook, QStringLiteral("SELECT MAX(\"会員NO\") FROM \"個人台帳\"")).toInt(), 6);
        QCOMPARE(fixture::scalar(book, QStringLiteral("SELECT COUNT(*) FROM \"個人台帳\"")).toInt(), 3);
        QCOMPARE(w->list1Model()->rowCount(), 6);
        QVERIFY(QDir(dir->filePath(QStringLiteral("Ｅメール専用住所録/6/Preview"))).exists());
    }

    void registerSendersRefusesAnotherBook()
    {
        auto w = load();
        w->Command2_Click(4);
        QCOMPARE(dialogs->shownTexts(),
                 QStringList{QStringLiteral("Ｅメール専用住所録.mdbファイルでないので処理を中止します")});
        dialogs->clearRecord();
        QCOMPARE(fixture::scalar(book, QStringLiteral("SELECT COUNT(*) FROM \"個人台帳\"")).toInt(), 3);
    }

    void downloadDefault_data()
    {
        QTest::addColumn<bool>("ticked");
        QTest::newRow("ticked") << true;
        QTest::newRow("not ticked") << false;
    }
    void downloadDefault()
    {
        QFETCH(bool, ticked);
        auto w = load();
        QVERIFY(!w->check1()->isChecked());
        w->check1()->setChecked(ticked);
        w->Command2_Click(6);
        QVERIFY(dialogs->shown().isEmpty());
        const QString common = dir->path() + QStringLiteral("/共通情報/共通情報.mdb");
        Module1::CloseSharedObjects();
        QCOMPARE(fixture::scalar(common, QStringLiteral("SELECT \"ダウンロード\" FROM \"基本情報\"")).toBool(), ticked);
    }
};

QTEST_MAIN(TestForm22Commands)
#include "tst_form22commands.moc"
