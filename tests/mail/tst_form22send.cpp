// The mail window's send tab over the book of three known records: the recipient boxes built by
// the options and real clicks on the address-book list, the separator switch, sending through a
// recording transport, the attachment commands, the senders registered into an empty book (asked
// once per load), and the stored mails shown, stored, overwritten and deleted.

#include "Form22Fixture.h"
#include "platform/mail/MailCore.h"
#include "records/RecordListModel.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QListView>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>

namespace {

const QString kTaro = QStringLiteral("山田太郎");
const QString kHanako = QStringLiteral("佐藤花子");
const QString kTaroMail = QStringLiteral("old@example.jp;taro@example.jp");
const QString kHanakoMobile = QStringLiteral("hanako.m@example.ne.jp");

QString q(const std::string& s) { return QString::fromStdString(s); }

QStringList rowsOf(const QListWidget* list)
{
    QStringList rows;
    for (int i = 0; i < list->count(); ++i)
        rows << list->item(i)->text();
    return rows;
}

int selectedRow(const QListWidget* list)
{
    const QModelIndexList rows = list->selectionModel()->selectedRows();
    return rows.isEmpty() ? -1 : rows.first().row();
}

} // namespace

class TestForm22Send : public QObject, private fixture::MailWindowCase {
    Q_OBJECT

    // The mail options of the book, read by the next load.
    void storeOptions(bool semicolon, int kind, bool mobileWhenNone, bool salutation = false, int honorific = 0)
    {
        fixture::exec(book,
                      QStringLiteral("UPDATE \"管理情報\" SET \"区切文字セミコロン\" = ?, \"メール選択\" = ?, "
                                     "\"携帯メール有無\" = ?, \"宛名挿入\" = ?, \"敬称\" = ?"),
                      {semicolon, QString::number(kind + 1), mobileWhenNone, salutation, QString::number(honorific + 1)});
    }
    // The window shown on its send tab, so that rows can be clicked.
    std::unique_ptr<Form22> loadShown()
    {
        auto w = load();
        w->sstab1()->setCurrentIndex(0);
        w->resize(1400, 900);
        w->show();
        if (!QTest::qWaitForWindowExposed(w.get()))
            qWarning("window not exposed");
        return w;
    }
    static void clickRow(Form22& w, int row)
    {
        QListView* list = w.list1();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(w.list1Model()->index(row, 0)).center());
    }
    int records(const QString& path)
    {
        return fixture::scalar(path, QStringLiteral("SELECT COUNT(*) FROM \"個人台帳\"")).toInt();
    }

private slots:
    void initTestCase() { startCase(); }
    void cleanupTestCase() { endCase(); }
    void init() { freshFolder(); }
    void cleanup() { dropFolder(); }

    // ---- Recipients ----

    void recipients_data()
    {
        QTest::addColumn<int>("target");
        QTest::addColumn<int>("kind");
        QTest::addColumn<bool>("mobileWhenNone");
        QTest::addColumn<bool>("semicolon");
        QTest::addColumn<QList<int>>("clicks");
        QTest::addColumn<QString>("names");
        QTest::addColumn<QString>("addresses");
        const QString both = kTaro + u';' + kTaro + u';' + kHanako;
        const QString bothMail = kTaroMail + u';' + kHanakoMobile;
        QTest::newRow("全員: the refusing and the address-less left out")
            << 0 << 0 << true << true << QList<int>{} << kTaro + u';' + kTaro << kTaroMail;
        QTest::newRow("全員: a selected row left out") << 0 << 0 << true << true << QList<int>{0} << QString() << QString();
        QTest::newRow("選択者: mobile when no internet address, refusing included")
            << 1 << 0 << true << true << QList<int>{0, 1} << both << bothMail;
        QTest::newRow("選択者: internet only") << 1 << 0 << false << true << QList<int>{0, 1, 2} << kTaro + u';' + kTaro
                                            << kTaroMail;
        QTest::newRow("選択者: mobile") << 1 << 1 << false << true << QList<int>{0, 1, 2} << kHanako << kHanakoMobile;
        QTest::newRow("選択者: both, record order, a second click deselects")
            << 1 << 2 << false << true << QList<int>{1, 2, 0, 2} << both << bothMail;
        QTest::newRow("separator ',': one name per address of a field holding 'a;b'")
            << 1 << 0 << false << false << QList<int>{0} << kTaro + u',' + kTaro
            << QStringLiteral("old@example.jp,taro@example.jp");
        QTest::newRow("テキスト指定内容 keeps what was typed")
            << 2 << 0 << true << true << QList<int>{0, 1} << QStringLiteral("手入力") << QStringLiteral("x@example.jp;y@example.jp");
    }
    void recipients()
    {
        QFETCH(int, target);
        QFETCH(int, kind);
        QFETCH(bool, mobileWhenNone);
        QFETCH(bool, semicolon);
        QFETCH(QList<int>, clicks);
        QFETCH(QString, names);
        QFETCH(QString, addresses);
        storeOptions(semicolon, kind, mobileWhenNone);
        auto w = loadShown();
        // The load's build: nobody is selected yet.
        QCOMPARE(w->text1()->text(), QString());
        w->option1(target)->click();
        if (target == 2) {
            w->text1()->setText(names);
            w->text2()->setText(addresses);
        }
        for (int row : clicks)
            clickRow(*w, row);
        QCOMPARE(w->text1()->text(), names);
        QCOMPARE(w->text2()->text(), addresses);
        // A fetch builds again: the same boxes, nothing appended.
        w->FetchInbox();
        QCOMPARE(w->text1()->text(), names);
        QCOMPARE(w->text2()->text(), addresses);
        QVERIFY(dialogs->shown().isEmpty());
    }

    void changesOfChoiceRebuild()
    {
        storeOptions(true, 0, false);
        auto w = loadShown();
        clickRow(*w, 0);
        clickRow(*w, 1);
        QCOMPARE(w->text2()->text(), kTaroMail);
        w->option2(1)->click();
        QCOMPARE(w->text1()->text(), kHanako);
        w->option2(2)->click();
        QCOMPARE(w->text2()->text(), kTaroMail + u';' + kHanakoMobile);
        // "なし時携帯メール" has no handler: it counts at the next build.
        w->option2(0)->click();
        w->check2()->click();
        QCOMPARE(w->text2()->text(), kTaroMail);
        w->option1(0)->click();
        w->option1(1)->click();
        QCOMPARE(w->text2()->text(), kTaroMail + u';' + kHanakoMobile);
        // A new order refills the list and clears its selection; the boxes keep their recipients.
        w->option6(2)->click();
        QVERIFY(w->selectedRecordRows().isEmpty());
        QCOMPARE(w->text2()->text(), kTaroMail + u';' + kHanakoMobile);

        // Typed text survives row clicks, a new kind and a fetch; choosing a target again builds.
        w->option1(2)->click();
        w->text1()->setText(QStringLiteral("手入力"));
        w->text2()->setText(QStringLiteral("x@example.jp"));
        clickRow(*w, 0);
        w->option2(1)->click();
        w->FetchInbox();
        QCOMPARE(w->text1()->text(), QStringLiteral("手入力"));
        QCOMPARE(w->text2()->text(), QStringLiteral("x@example.jp"));
        w->option1(1)->click();
        QCOMPARE(w->text1()->text(), QString());  // row 0 of the new order is 鈴木, without mobile mail
        QVERIFY(dialogs->shown().isEmpty());
    }

    void separatorSwitch()
    {
        storeOptions(true, 0, true);
        auto w = loadShown();
        QCOMPARE(w->addressSeparator(), QStringLiteral(";"));
        clickRow(*w, 0);
        clickRow(*w, 1);
        w->text3()->setText(QStringLiteral("cc1@example.jp;cc2@example.jp"));
        w->option9(1)->click();
        QCOMPARE(w->addressSeparator(), QStringLiteral(","));
        QCOMPARE(w->text1()->text(), kTaro + u',' + kTaro + u',' + kHanako);
        QCOMPARE(w->text2()->text(), QStringLiteral("old@example.jp,taro@example.jp,") + kHanakoMobile);
        QCOMPARE(w->text3()->text(), QStringLiteral("cc1@example.jp;cc2@example.jp"));
        w->option9(0)->click();
        QCOMPARE(w->text1()->text(), kTaro + u';' + kTaro + u';' + kHanako);
        QCOMPARE(w->text2()->text(), kTaroMail + u';' + kHanakoMobile);

        // Without names the addresses stay as they are, but the separator changes.
        w->text1()->clear();
        w->option9(1)->click();
        QCOMPARE(w->text2()->text(), kTaroMail + u';' + kHanakoMobile);
        QCOMPARE(w->addressSeparator(), QStringLiteral(","));
        // The next build joins with the new separator.
        clickRow(*w, 2);
        QCOMPARE(w->text1()->text(), kTaro + u',' + kTaro + u',' + kHanako);
        QVERIFY(dialogs->shown().isEmpty());
    }

    // Lists longer than what the boxes lay out: the separator switch and the sending see every
    // entry, not the start the boxes show.
    void longListsAreWholeForTheWindow()
    {
        mailclient::RecordingTransport transport;
        mailclient::ScopedTransport scoped(&transport);
        storeOptions(true, 0, true, true, 1);
        auto w = loadShown();
        w->option1(2)->click();
        QStringList names, addresses;
        for (int i = 0; i < 300; ++i) {
            names << QStringLiteral("名前%1").arg(i);
            addresses << QStringLiteral("user%1@example.jp").arg(i);
        }
        w->text1()->setText(names.join(u';'));
        w->text2()->setText(addresses.join(u';'));
        QVERIFY(w->text2()->showsStartOnly());
        w->option9(1)->click();
        QCOMPARE(w->text1()->text(), names.join(u','));
        QCOMPARE(w->text2()->text(), addresses.join(u','));
        w->option9(0)->click();
        QCOMPARE(w->text2()->text(), addresses.join(u';'));

        w->text4()->setText(QStringLiteral("ご案内"));
        w->text5()->setPlainText(QStringLiteral("本文"));
        w->command1(0)->click();
        QCOMPARE(transport.messages.size(), 300);
        const mailcore::SentMessage last = transport.sent(299);
        QCOMPARE(q(last.to.at(0)), QStringLiteral("user299@example.jp"));
        QVERIFY(q(last.body).startsWith(QStringLiteral("名前299 殿")));
        QCOMPARE(w->text2()->text(), addresses.join(u';'));
        QVERIFY(dialogs->shown().isEmpty());
    }

    // ---- Sending ----

    void sendsOneMessagePerAddress()
    {
        mailclient::RecordingTransport transport;
        mailclient::ScopedTransport scoped(&transport);
        storeOptions(true, 0, true, true, 1);
        auto w = loadShown();
        clickRow(*w, 1);
        clickRow(*w, 0);
        const QString pdf = dir->filePath(QStringLiteral("見積書.pdf"));
        const QString memo = dir->filePath(QStringLiteral("memo.txt"));
        fixture::writeMail(pdf, "%PDF-1.4 x");
        fixture::writeMail(memo, "memo");
        dialogs->queueFile(pdf);
        dialogs->queueFile(memo);
        w->command1(1)->click();
        w->command1(1)->click();
        w->text3()->setText(QStringLiteral("boss@example.jp"));
        w->text4()->setText(QStringLiteral("お見積りの件"));
        w->text5()->setPlainText(QStringLiteral("いつもお世話になっております。\n二行目"));
        w->command1(0)->click();

        QCOMPARE(transport.messages.size(), 3);
        const QStringList to{QStringLiteral("old@example.jp"), QStringLiteral("taro@example.jp"), kHanakoMobile};
        const QStringList names{kTaro, kTaro, kHanako};
        for (int i = 0; i < 3; ++i) {
            const mailcore::SentMessage m = transport.sent(i);
            QCOMPARE(m.to.size(), size_t(1));
            QCOMPARE(q(m.to[0]), to[i]);
            QCOMPARE(m.cc.size(), size_t(1));
            QCOMPARE(q(m.cc[0]), QStringLiteral("boss@example.jp"));
            QCOMPARE(q(m.subject), QStringLiteral("お見積りの件"));
            QCOMPARE(q(m.body).remove(u'\r'), names[i] + QStringLiteral(" 殿\n\nいつもお世話になっております。\n二行目"));
            QCOMPARE(m.attachments.size(), size_t(2));
            QCOMPARE(q(m.attachments[0].first), QStringLiteral("見積書.pdf"));
            QCOMPARE(m.attachments[1].second, std::string("memo"));
        }
        // The boxes show the whole recipient lists afterwards.
        QCOMPARE(w->text1()->text(), kTaro + u';' + kTaro + u';' + kHanako);
        QCOMPARE(w->text2()->text(), kTaroMail + u';' + kHanakoMobile);
        QVERIFY(dialogs->shown().isEmpty());
    }

    void sendingFailures_data()
    {
        QTest::addColumn<QString>("addresses");
        QTest::addColumn<QString>("subject");
        QTest::addColumn<QString>("transportFailure");
        QTest::addColumn<QList<int>>("answers");
        QTest::addColumn<int>("sent");
        QTest::addColumn<QStringList>("boxes");  // each box starts with its text
        QTest::newRow("a refused address: one box, the next goes on")
            << QStringLiteral("a@example.jp;not an address;c@example.jp") << QStringLiteral("件名") << QString()
            << QList<int>{} << 2 << QStringList{QStringLiteral("32024\n")};
        QTest::newRow("a transport that cannot start ends the run")
            << QStringLiteral("a@example.jp;b@example.jp") << QStringLiteral("件名")
            << QStringLiteral("プログラムを起動できません: sendmail") << QList<int>{} << 0
            << QStringList{QStringLiteral("32002\nプログラムを起動できません: sendmail\n\nメールを送信できないため中止しました。送信済み: 0 通")};
        QTest::newRow("no subject, No: nothing sent")
            << QStringLiteral("a@example.jp") << QString() << QString() << QList<int>{int(ui::Answer::No)} << 0
            << QStringList{QStringLiteral("件名が入力されていません　続行しますか？")};
    }
    void sendingFailures()
    {
        QFETCH(QString, addresses);
        QFETCH(QString, subject);
        QFETCH(QString, transportFailure);
        QFETCH(QList<int>, answers);
        QFETCH(int, sent);
        QFETCH(QStringList, boxes);
        mailclient::RecordingTransport transport;
        if (!transportFailure.isEmpty()) {
            transport.failNumber = mailcore::Failure;
            transport.failDescription = transportFailure;
        }
        mailclient::ScopedTransport scoped(&transport);
        storeOptions(true, 0, true);
        auto w = load();
        w->option1(2)->click();
        w->text1()->setText(QStringLiteral("甲;乙;丙"));
        w->text2()->setText(addresses);
        w->text4()->setText(subject);
        w->text5()->setPlainText(QStringLiteral("本文"));
        for (int a : answers)
            dialogs->queueAnswer(ui::Answer(a));
        w->command1(0)->click();
        QCOMPARE(transport.messages.size(), sent);
        QCOMPARE(dialogs->shown().size(), boxes.size());
        for (int i = 0; i < boxes.size(); ++i)
            QVERIFY2(dialogs->shown()[i].text.startsWith(boxes[i]), qPrintable(dialogs->shown()[i].text));
        if (answers.isEmpty())
            QCOMPARE(dialogs->shown().first().icon, ui::Icon::Exclamation);
        QCOMPARE(w->text2()->text(), addresses);
        dialogs->clearRecord();
    }

    void attachmentCommands()
    {
        auto w = load();
        dialogs->queueFile(QStringLiteral("/a"));
        dialogs->queueFile(std::nullopt);
        dialogs->queueFile(QStringLiteral("/a"));
        dialogs->queueFile(QStringLiteral("/b"));
        for (int i = 0; i < 4; ++i)
            w->command1(1)->click();
        QCOMPARE(rowsOf(w->list2()), (QStringList{"/a", "/a", "/b"}));
        QCOMPARE(dialogs->fileDialogs().size(), 4);
        // "削除" removes the selected row only.
        w->list2()->clearSelection();
        w->command1(2)->click();
        QCOMPARE(w->list2()->count(), 3);
        w->list2()->setCurrentRow(1);
        w->command1(2)->click();
        QCOMPARE(rowsOf(w->list2()), (QStringList{"/a", "/b"}));
        w->command1(3)->click();
        QCOMPARE(w->list2()->count(), 0);

        // "宛先をCCへコピー" stays hidden; run by itself it replaces CC only when there are addresses.
        QVERIFY(w->command1(4)->isHidden());
        w->option1(2)->click();
        w->text3()->setText(QStringLiteral("cc@example.jp"));
        w->Command1_Click(4);
        QCOMPARE(w->text3()->text(), QStringLiteral("cc@example.jp"));
        w->text2()->setText(QStringLiteral("a@example.jp;b@example.jp"));
        w->Command1_Click(4);
        QCOMPARE(w->text3()->text(), QStringLiteral("a@example.jp;b@example.jp"));
        QVERIFY(dialogs->shown().isEmpty());
    }

    // ---- Senders into an empty book ----

    void emptyBook_data()
    {
        QTest::addColumn<bool>("withSenders");
        QTest::addColumn<int>("answer");  // -1: no question expected
        QTest::addColumn<int>("registered");
        QTest::newRow("Yes registers the senders and lists them") << true << int(ui::Answer::Yes) << 3;
        QTest::newRow("No writes nothing and is not asked again this load") << true << int(ui::Answer::No) << 0;
        QTest::newRow("no senders, no question") << false << -1 << 0;
    }
    void emptyBook()
    {
        QFETCH(bool, withSenders);
        QFETCH(int, answer);
        QFETCH(int, registered);
        fixture::exec(book, QStringLiteral("DELETE FROM \"個人台帳\""));
        storeOptions(true, 0, false);
        if (!withSenders) {
            for (const char* sub : {"cur", "new"}) {
                QDir(maildir + QLatin1Char('/') + QLatin1String(sub)).removeRecursively();
                QDir().mkpath(maildir + QLatin1Char('/') + QLatin1String(sub));
            }
        }
        const QString question = QStringLiteral("住所録にデータがありません。受信メールの差出人を住所録に登録しますか？");
        if (answer >= 0)
            dialogs->queueAnswer(ui::Answer(answer));
        auto w = load();
        QCOMPARE(dialogs->shownTexts(), answer >= 0 ? QStringList{question} : QStringList{});
        if (answer >= 0)
            QCOMPARE(dialogs->shown()[0].title, QStringLiteral("住所録登録"));
        QCOMPARE(records(book), registered);
        QCOMPARE(w->list1Model()->rowCount(), registered);

        // More builds in the same load ask nothing.
        w->option1(0)->click();
        w->FetchInbox();
        QCOMPARE(dialogs->shown().size(), answer >= 0 ? 1 : 0);
        QVERIFY(!dialogs->hadUnexpected());
        if (registered > 0) {
            QCOMPARE(w->text1()->text(), QStringLiteral("Taro Y;Hanako;****** 00000003 ******"));
            QCOMPARE(w->text2()->text(), QStringLiteral("taro@example.jp;hanako@example.com;unknown@elsewhere.org"));
        } else {
            QCOMPARE(w->text1()->text(), QString());
        }

        // The next load asks again while the book is still empty and there are senders.
        dialogs->clearRecord();
        w.reset();
        const bool askedAgain = withSenders && registered == 0;
        if (askedAgain)
            dialogs->queueAnswer(ui::Answer::No);
        w = load();
        QCOMPARE(dialogs->shownTexts(), askedAgain ? QStringList{question} : QStringList{});
        dialogs->clearRecord();
    }

    // The records go to the book the window loaded, even when another book became current.
    void registrationGoesToTheWindowsBook()
    {
        fixture::exec(book, QStringLiteral("DELETE FROM \"個人台帳\""));
        QString error;
        QVERIFY2(demo::makeGeneratedBook(dir->path(), 5, QStringLiteral("other.mdb"), &error), qPrintable(error));
        const QString other = dir->filePath(QStringLiteral("other.mdb"));
        // No mail at the load (the sign-on fails), so nothing is asked then.
        qputenv("MAILDIR", dir->filePath(QStringLiteral("none")).toLocal8Bit());
        auto w = load();
        dialogs->clearRecord();
        Module1::PublishCurrentBook(other);
        qputenv("MAILDIR", maildir.toLocal8Bit());
        QVERIFY(w->SignOnMailSession());
        dialogs->queueAnswer(ui::Answer::Yes);
        w->FetchInbox();
        QCOMPARE(dialogs->shownTexts().size(), 1);
        QCOMPARE(records(book), 3);
        QCOMPARE(records(other), 5);
        QCOMPARE(w->list1Model()->rowCount(), 3);
        QVERIFY(QDir(dir->filePath(w->windowDbFile().BaseName + QStringLiteral("/3/Preview"))).exists());
        dialogs->clearRecord();
    }

    // ---- Templates ----

    void templateCommands()
    {
        auto w = load();
        QCOMPARE(w->list4()->count(), 0);
        dialogs->queueAnswer(ui::Answer::Ok);
        w->command1(6)->click();
        QCOMPARE(dialogs->shownTexts(), QStringList{QStringLiteral("題名が未記入です")});
        QCOMPARE(dialogs->shown()[0].title, QStringLiteral("定型登録"));
        QCOMPARE(w->list4()->count(), 0);
        dialogs->clearRecord();

        w->option1(2)->click();
        w->option2(1)->click();
        w->option7(0)->click();
        w->option8(2)->click();
        w->text1()->setText(QStringLiteral("山田;佐藤"));
        w->text2()->setText(QStringLiteral("a@example.jp;b@example.jp"));
        w->text3()->setText(QStringLiteral("cc@example.jp"));
        w->text4()->setText(QStringLiteral("ご案内"));
        w->text5()->setPlainText(QStringLiteral("本文\n二行目"));
        w->list2()->addItems({"/1", "/2", "/3", "/4", "/5", "/6", "/7"});
        w->command1(6)->click();
        QCOMPARE(rowsOf(w->list4()), QStringList{QStringLiteral("ご案内")});
        QCOMPARE(selectedRow(w->list4()), 0);
        w->text4()->setText(QStringLiteral("二通目"));
        w->command1(6)->click();
        QCOMPARE(rowsOf(w->list4()), (QStringList{QStringLiteral("ご案内"), QStringLiteral("二通目")}));
        QCOMPARE(selectedRow(w->list4()), 1);

        // Shown into an emptied area with other options.
        w->option1(1)->click();
        w->option2(0)->click();
        w->option7(1)->click();
        w->option8(0)->click();
        w->text1()->clear();
        w->text2()->clear();
        w->text3()->clear();
        w->text4()->clear();
        w->text5()->clear();
        w->list2()->clear();
        w->list4()->setCurrentRow(0);
        w->command1(5)->click();
        QCOMPARE(w->text1()->text(), QStringLiteral("山田;佐藤"));
        QCOMPARE(w->text2()->text(), QStringLiteral("a@example.jp;b@example.jp"));
        QCOMPARE(w->text3()->text(), QStringLiteral("cc@example.jp"));
        QCOMPARE(w->text4()->text(), QStringLiteral("ご案内"));
        QCOMPARE(w->text5()->toPlainText(), QStringLiteral("本文\n二行目"));
        QCOMPARE(rowsOf(w->list2()), (QStringList{"/1", "/2", "/3", "/4", "/5"}));
        QVERIFY(w->option1(2)->isChecked());
        QVERIFY(w->option2(1)->isChecked());
        QVERIFY(w->option7(0)->isChecked());
        QVERIFY(w->option8(2)->isChecked());
        QVERIFY(!w->loading());

        // Updated in place: the same line stays selected.
        w->text5()->setPlainText(QStringLiteral("改訂"));
        w->command1(7)->click();
        QCOMPARE(fixture::scalar(book, QStringLiteral("SELECT \"本文\" FROM \"定型メール\" WHERE \"件名\" = 'ご案内'")).toString(),
                 QStringLiteral("改訂"));
        QCOMPARE(selectedRow(w->list4()), 0);

        // Deleted after the question; then no line is selected and show and delete do nothing.
        w->list4()->setCurrentRow(1);
        dialogs->queueAnswer(ui::Answer::Yes);
        w->command1(8)->click();
        QCOMPARE(dialogs->shownTexts(), QStringList{QStringLiteral("選択した定型メールを削除していいですか？")});
        QCOMPARE(rowsOf(w->list4()), QStringList{QStringLiteral("ご案内")});
        QCOMPARE(selectedRow(w->list4()), -1);
        dialogs->clearRecord();
        w->text4()->setText(QStringLiteral("そのまま"));
        w->command1(5)->click();
        w->command1(8)->click();
        QCOMPARE(w->text4()->text(), QStringLiteral("そのまま"));
        QCOMPARE(w->list4()->count(), 1);
        QVERIFY(dialogs->shown().isEmpty());

        // The templates are the window's book's: the next load lists them.
        w.reset();
        w = load();
        QCOMPARE(rowsOf(w->list4()), QStringList{QStringLiteral("ご案内")});
        QCOMPARE(selectedRow(w->list4()), -1);
    }

    void templateShowParts_data()
    {
        QTest::addColumn<int>("part");
        QTest::addColumn<bool>("names");
        QTest::addColumn<bool>("subjectBody");
        QTest::newRow("全て") << 0 << true << true;
        QTest::newRow("宛名: names, addresses and CC only") << 1 << true << false;
        QTest::newRow("件名、本文: subject, body and attachments only") << 2 << false << true;
    }
    void templateShowParts()
    {
        QFETCH(int, part);
        QFETCH(bool, names);
        QFETCH(bool, subjectBody);
        auto w = load();
        w->option1(2)->click();
        w->option8(1)->click();
        w->text1()->setText(QStringLiteral("山田"));
        w->text2()->setText(QStringLiteral("a@example.jp"));
        w->text3()->setText(QStringLiteral("cc@example.jp"));
        w->text4()->setText(QStringLiteral("件名"));
        w->text5()->setPlainText(QStringLiteral("本文"));
        w->list2()->addItem(QStringLiteral("/stored"));
        w->command1(6)->click();

        w->option8(0)->click();
        w->text1()->setText(QStringLiteral("今"));
        w->text2()->setText(QStringLiteral("now@example.jp"));
        w->text3()->clear();
        w->text4()->setText(QStringLiteral("今の件名"));
        w->text5()->setPlainText(QStringLiteral("今の本文"));
        w->list2()->clear();
        w->list2()->addItem(QStringLiteral("/now"));
        w->option10(part)->click();
        w->list4()->setCurrentRow(0);
        w->command1(5)->click();
        QCOMPARE(w->text1()->text(), names ? QStringLiteral("山田") : QStringLiteral("今"));
        QCOMPARE(w->text2()->text(), names ? QStringLiteral("a@example.jp") : QStringLiteral("now@example.jp"));
        QCOMPARE(w->text3()->text(), names ? QStringLiteral("cc@example.jp") : QString());
        QCOMPARE(w->text4()->text(), subjectBody ? QStringLiteral("件名") : QStringLiteral("今の件名"));
        QCOMPARE(w->text5()->toPlainText(), subjectBody ? QStringLiteral("本文") : QStringLiteral("今の本文"));
        QCOMPARE(rowsOf(w->list2()), QStringList{subjectBody ? QStringLiteral("/stored") : QStringLiteral("/now")});
        // The options follow the template whatever part is shown.
        QVERIFY(w->option8(1)->isChecked());
        QVERIFY(dialogs->shown().isEmpty());
    }

    // A template with another target builds the boxes from the book, with the template's kind.
    void templateWithAnotherTargetBuilds()
    {
        fixture::exec(book, QStringLiteral("UPDATE \"個人台帳\" SET \"メール送信拒否\" = 0"));
        storeOptions(true, 0, false);
        auto w = load();
        w->option2(1)->click();
        w->option1(0)->click();
        w->text1()->setText(QStringLiteral("保存名"));
        w->text2()->setText(QStringLiteral("stored@example.jp"));
        w->text4()->setText(QStringLiteral("全員へ"));
        w->command1(6)->click();
        w->option2(0)->click();
        w->option1(1)->click();
        w->list4()->setCurrentRow(0);
        w->command1(5)->click();
        QVERIFY(w->option1(0)->isChecked());
        QVERIFY(w->option2(1)->isChecked());
        QCOMPARE(w->text1()->text(), kHanako);
        QCOMPARE(w->text2()->text(), kHanakoMobile);
        QVERIFY(dialogs->shown().isEmpty());
    }

    void templateRowGoneMeanwhile()
    {
        auto w = load();
        w->option1(2)->click();
        w->text4()->setText(QStringLiteral("一"));
        w->command1(6)->click();
        w->text4()->setText(QStringLiteral("二"));
        w->command1(6)->click();
        fixture::exec(book, QStringLiteral("DELETE FROM \"定型メール\" WHERE \"件名\" = '一'"));
        w->text4()->setText(QStringLiteral("今"));
        w->list4()->setCurrentRow(0);
        w->command1(5)->click();
        QCOMPARE(dialogs->shown().size(), 1);
        QVERIFY2(dialogs->shown()[0].text.contains(QStringLiteral("一")), qPrintable(dialogs->shown()[0].text));
        QCOMPARE(dialogs->shown()[0].icon, ui::Icon::Exclamation);
        QCOMPARE(w->text4()->text(), QStringLiteral("今"));
        // The other line still acts on its own row.
        dialogs->clearRecord();
        w->list4()->setCurrentRow(1);
        w->command1(5)->click();
        QCOMPARE(w->text4()->text(), QStringLiteral("二"));
        QVERIFY(dialogs->shown().isEmpty());
    }
};

QTEST_MAIN(TestForm22Send)
#include "tst_form22send.moc"
