// The mail window offscreen over a known Maildir and a book of three known records.

#include "Form22Fixture.h"
#include "editions/Windows.h"
#include "platform/ui/WindowRegistry.h"
#include "platform/text/Cp932.h"
#include "records/RecordListModel.h"
#include "shell/Form1.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QStringListModel>
#include <QTabWidget>
#include <QTimer>

namespace {

QString sp(int n) { return QString(n, u' '); }

QStringList rows(QStringListModel* model) { return model->stringList(); }
QStringList rows(mail::ReceivedMailListModel* model) { return model->lines(); }

// The dialler: what it was handed each time it was shown.
struct DiallerSeen {
    QStringList members;
    QList<QStringList> boxes;  // Text2(0), Text2(1), Text1(0), Text1(1)
    QList<int> options;
    QList<QString> books;
};
DiallerSeen diallerSeen;

class FakeDialler : public ui::Window {
public:
    QLineEdit* box(const QString& name)
    {
        auto* e = new QLineEdit(this);
        e->setObjectName(name);
        return e;
    }
    QLineEdit* member = box(QStringLiteral("Text2_0"));
    QLineEdit* name = box(QStringLiteral("Text2_1"));
    QLineEdit* home = box(QStringLiteral("Text1_0"));
    QLineEdit* mobile = box(QStringLiteral("Text1_1"));
    QRadioButton* homeOption = new QRadioButton(this);
    QRadioButton* mobileOption = new QRadioButton(this);
    FakeDialler()
    {
        homeOption->setObjectName(QStringLiteral("Option1_0"));
        mobileOption->setObjectName(QStringLiteral("Option1_1"));
    }

protected:
    void showEvent(QShowEvent*) override { QTimer::singleShot(0, this, [this] { close(); }); }
    void closeEvent(QCloseEvent* e) override
    {
        diallerSeen.members << Module1::DialMemberNo;
        diallerSeen.boxes << QStringList{member->text(), name->text(), home->text(), mobile->text()};
        diallerSeen.options << (homeOption->isChecked() ? 0 : (mobileOption->isChecked() ? 1 : -1));
        diallerSeen.books << Module1::DialDatabase.path();
        homeOption->setAutoExclusive(false);
        homeOption->setChecked(false);
        mobileOption->setChecked(false);
        homeOption->setAutoExclusive(true);
        e->accept();
    }
};

// Line parts of the known messages.
const QString kTaroRow = QStringLiteral("2001/01/01(月)00:00  未") + sp(5) + QStringLiteral("Taro Y") + sp(24);
const QString kYamadaRow = QStringLiteral("2024/04/01(月)10:00    ") + sp(5) + QStringLiteral("山田 太郎") + sp(21);
const QString kHanakoRow = QStringLiteral("2024/04/02(火)09:30  未  1  Hanako") + sp(24);
const QString kUnknownRow = QStringLiteral("2024/04/03(水)08:00    ") + sp(5) + sp(30);

} // namespace

class TestForm22 : public QObject, private fixture::MailWindowCase {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        startCase();
        ui::WindowRegistry::instance().registerFactory(QStringLiteral("Form11"), [] { return new FakeDialler; });
    }
    void cleanupTestCase() { endCase(); }
    void init() { freshFolder(); }
    void cleanup()
    {
        ui::WindowRegistry::instance().unloadAll();
        dropFolder();
    }

    void controlsCaptionAndHeadings()
    {
        fixture::exec(book, QStringLiteral("UPDATE \"住所録ラベル\" SET \"登録番号\" = '会員番号です', \"生年月日\" = '誕生日', "
                                           "\"Eメールアドレス\" = NULL, \"備考\" = ''"));
        auto w = load();
        const QString title = QStringLiteral("メール整理") + sp(10) + book;
        QCOMPARE(w->windowTitle(), title + sp(160 - text::byteWidth(title)) + QStringLiteral("2024年04月05日(金) "));
        QCOMPARE(w->sstab1()->currentIndex(), 1);
        QCOMPARE(w->sstab1()->tabText(0), QStringLiteral("送信メール"));
        QCOMPARE(w->label3(0)->text(), QStringLiteral("会員番号"));
        QCOMPARE(w->label3(2)->text(), QString());
        QCOMPARE(w->label3(3)->text(), QString());
        QCOMPARE(w->label3(4)->text(), QStringLiteral("住所"));
        QCOMPARE(w->label3(7)->text(), QStringLiteral("Ｅメールアドレス"));
        QCOMPARE(w->label3(10)->text(), QString());
        // Hidden controls are built and stay hidden.
        for (QWidget* hidden : {static_cast<QWidget*>(w->command3(0)), static_cast<QWidget*>(w->command3(1)),
                                static_cast<QWidget*>(w->command1(4)), static_cast<QWidget*>(w->command2(2)),
                                static_cast<QWidget*>(w->command2(3)), static_cast<QWidget*>(w->command2(4)),
                                static_cast<QWidget*>(w->command2(6)), static_cast<QWidget*>(w->check1())})
            QVERIFY(hidden->isHidden());
        QVERIFY(w->option3(0)->parentWidget()->isHidden());
        QVERIFY(w->option5(0)->parentWidget()->isHidden());
        QCOMPARE(w->command3(2)->text(), QStringLiteral("宛名リスト選択表示"));
        QCOMPARE(w->label2(8)->text(), QStringLiteral("差出人一覧"));
        QCOMPARE(w->label2(16)->text(), QStringLiteral("件数"));
        // Recipient boxes take any length.
        const QString longText(40000, u'a');
        w->text2()->setText(longText);
        QCOMPARE(w->text2()->text().size(), longText.size());
    }

    void optionDefaultsOnABookWithoutMailOptions()
    {
        fixture::exec(book, QStringLiteral("UPDATE \"管理情報\" SET \"表示順番\" = '7', \"区切文字セミコロン\" = NULL, "
                                           "\"宛名挿入\" = NULL, \"敬称\" = NULL, \"メール選択\" = NULL, \"携帯メール有無\" = NULL"));
        auto w = load();
        QVERIFY(w->option6(0)->isChecked());
        QVERIFY(w->option9(1)->isChecked());
        QVERIFY(w->option7(1)->isChecked());
        QVERIFY(w->option8(0)->isChecked());
        QVERIFY(w->option2(0)->isChecked());
        QVERIFY(!w->check2()->isChecked());
        QCOMPARE(w->addressSeparator(), QStringLiteral(","));
        QVERIFY(!w->loading());
        QCOMPARE(w->list1Model()->rowCount(), 3);
    }

    // Stored in the window's own book, also when another book became current since its load.
    void storedOptionsGoToTheWindowsOwnBook()
    {
        QString error;
        QVERIFY(demo::makeGeneratedBook(dir->path(), 5, QStringLiteral("other.mdb"), &error));
        const QString other = dir->filePath(QStringLiteral("other.mdb"));
        const QVariant otherBefore = fixture::scalar(other, QStringLiteral("SELECT \"表示順番\" FROM \"管理情報\""));
        const QVariant otherHonorific = fixture::scalar(other, QStringLiteral("SELECT \"敬称\" FROM \"管理情報\""));
        auto w = load();
        Module1::PublishCurrentBook(other);
        w->option6(2)->setChecked(true);
        w->option9(0)->setChecked(true);
        w->option7(0)->setChecked(true);
        w->option8(2)->setChecked(true);
        w->option2(1)->setChecked(true);
        w->check2()->setChecked(true);
        w->command3(3)->click();
        const auto stored = [&](const QString& field) {
            return fixture::scalar(book, QStringLiteral("SELECT \"%1\" FROM \"管理情報\"").arg(field));
        };
        QCOMPARE(stored("表示順番").toString(), QStringLiteral("3"));
        QCOMPARE(stored("区切文字セミコロン").toBool(), true);
        QCOMPARE(stored("宛名挿入").toBool(), true);
        QCOMPARE(stored("敬称").toString(), QStringLiteral("3"));
        QCOMPARE(stored("メール選択").toString(), QStringLiteral("2"));
        QCOMPARE(stored("携帯メール有無").toBool(), true);
        QCOMPARE(fixture::scalar(other, QStringLiteral("SELECT \"表示順番\" FROM \"管理情報\"")), otherBefore);
        QCOMPARE(fixture::scalar(other, QStringLiteral("SELECT \"敬称\" FROM \"管理情報\"")), otherHonorific);

        // The next load of the window takes them up.
        w.reset();
        auto again = load();
        QVERIFY(again->option6(2)->isChecked());
        QVERIFY(again->option8(2)->isChecked());
        QVERIFY(again->option2(1)->isChecked());
        QCOMPARE(again->addressSeparator(), QStringLiteral(";"));
    }

    void receivedListAndPreview()
    {
        auto w = load();
        QVERIFY(w->signedOn());
        const QStringList lines = rows(w->list3Model());
        QCOMPARE(lines.size(), 4);
        QCOMPARE(lines[0], kTaroRow + u' ' + sp(50) + u' ' + sp(mail::kBodyPreviewColumns));
        QVERIFY2(lines[1].startsWith(kYamadaRow + u' ' + QStringLiteral("会議のお知らせ") + sp(36) + u' '
                                     + QStringLiteral("明日は会議です。")),
                 qPrintable(lines[1]));
        QVERIFY2(lines[2].startsWith(kHanakoRow + u' ' + QStringLiteral("Photo") + sp(45) + u' '
                                     + QStringLiteral("写真を送ります")),
                 qPrintable(lines[2]));
        QVERIFY2(lines[3].startsWith(kUnknownRow + u' ' + QStringLiteral("請求書 Invoice")), qPrintable(lines[3]));
        QCOMPARE(w->label2(12)->text(), QStringLiteral("4 件"));
        QCOMPARE(w->rowToMessage()[0], 0);
        QCOMPARE(w->rowToMessage()[3], 3);
        // The injected header text stays inside the subject.
        QVERIFY(!lines[3].left(110).contains(u'\n'));
        QVERIFY(!w->text7(3)->text().contains(u'\n'));

        // After the load the last row is selected and previewed.
        QCOMPARE(w->list3Index(), 3);
        QCOMPARE(w->hscroll1()->value(), 3);
        QCOMPARE(w->hscroll1()->maximum(), 3);
        QCOMPARE(w->text7(0)->text(), QStringLiteral("2024/04/03(水)08:00"));
        QCOMPARE(w->text7(1)->text(), QString());
        QCOMPARE(w->text7(2)->text(), QStringLiteral("unknown@elsewhere.org"));
        QVERIFY(w->text7(3)->text().startsWith(QStringLiteral("請求書 Invoice")));
        QCOMPARE(w->text6()->toPlainText().trimmed(), QStringLiteral("お支払いください"));

        w->setList3Index(1);
        QCOMPARE(w->text7(0)->text(), QStringLiteral("2024/04/01(月)10:00"));
        QCOMPARE(w->text7(1)->text(), QStringLiteral("山田 太郎"));
        QCOMPARE(w->text7(3)->text(), QStringLiteral("会議のお知らせ"));
        QVERIFY(dialogs->shown().isEmpty());
    }

    void filters_data()
    {
        QTest::addColumn<int>("filter");
        QTest::addColumn<QString>("subjectBox");
        QTest::addColumn<int>("senderRow");
        QTest::addColumn<QStringList>("starts");
        QTest::addColumn<int>("senderLines");
        QTest::newRow("全メール") << 0 << QString() << -1
                              << QStringList{kTaroRow, kYamadaRow, kHanakoRow, kUnknownRow} << 3;
        QTest::newRow("差出人指定 from the sender list") << 1 << QString() << 0 << QStringList{kTaroRow, kYamadaRow} << 3;
        QTest::newRow("差出人指定 from the previewed address") << 1 << QString() << -1 << QStringList{kUnknownRow} << 3;
        QTest::newRow("件名指定 in the other letter case, no space after the sender")
            << 2 << QStringLiteral("invoice  ") << -1 << QStringList{kUnknownRow + QStringLiteral("請求書")} << 3;
        QTest::newRow("件名指定 with an empty box leaves the list") << 2 << QString() << -1
                                                          << QStringList{kTaroRow, kYamadaRow, kHanakoRow, kUnknownRow} << 3;
        QTest::newRow("住所録登録者: an address inside a longer field") << 3 << QString() << -1
                                                             << QStringList{kTaroRow, kYamadaRow} << 1;
    }
    void filters()
    {
        QFETCH(int, filter);
        QFETCH(QString, subjectBox);
        QFETCH(int, senderRow);
        QFETCH(QStringList, starts);
        QFETCH(int, senderLines);
        auto w = load();
        if (senderRow >= 0)
            w->list5()->setCurrentIndex(w->list5Model()->index(senderRow, 0));
        if (filter == 2)
            w->text7(3)->setText(subjectBox);
        w->option4(filter)->click();
        const QStringList lines = rows(w->list3Model());
        QCOMPARE(lines.size(), starts.size());
        for (int i = 0; i < starts.size(); ++i)
            QVERIFY2(lines[i].startsWith(starts[i]), qPrintable(lines[i]));
        QCOMPARE(w->label2(12)->text(), QString::number(starts.size()) + QStringLiteral(" 件"));
        QCOMPARE(w->list5Model()->rowCount(), senderLines);
        // A refill selects the first row; a filter that changes nothing leaves the last one selected.
        QCOMPARE(w->list3Index(), filter == 2 && subjectBox.isEmpty() ? 3 : 0);
        QCOMPARE(w->hscroll1()->maximum(), starts.size() - 1);
        QVERIFY(dialogs->shown().isEmpty());
    }

    void senderLines()
    {
        auto w = load();
        const QStringList lines = rows(w->list5Model());
        QCOMPARE(lines.size(), 3);
        QCOMPARE(lines[0], sp(6) + QStringLiteral("1 : Taro Y") + sp(44) + QStringLiteral("taro@example.jp") + sp(35)
                               + QStringLiteral("2001/01/01 00:00 - 2024/04/01 10:00") + sp(6) + QStringLiteral("2 件 "));
        QCOMPARE(lines[1], sp(6) + QStringLiteral("2 : Hanako") + sp(44) + QStringLiteral("hanako@example.com") + sp(32)
                               + QStringLiteral("2024/04/02 09:30 - ") + sp(16) + sp(6) + QStringLiteral("1 件 "));
        QCOMPARE(w->senders()[2].SenderName, QString());
        QCOMPARE(w->senderCount(), 3);
    }

    void emptyInboxIsNoError()
    {
        QDir(maildir + "/cur").removeRecursively();
        QDir(maildir + "/new").removeRecursively();
        QDir().mkpath(maildir + "/cur");
        QDir().mkpath(maildir + "/new");
        auto w = load();
        QVERIFY(dialogs->shown().isEmpty());
        QCOMPARE(w->list3Model()->rowCount(), 0);
        QCOMPARE(w->label2(12)->text(), QStringLiteral("0 件"));
        QCOMPARE(w->text7(0)->text(), QString());
        QCOMPARE(w->text6()->toPlainText(), QString());
        QCOMPARE(w->list5Model()->rowCount(), 0);
        QCOMPARE(w->hscroll1()->maximum(), 0);
        // A filter that lists nothing previews nothing.
        w->option4(3)->click();
        QVERIFY(dialogs->shown().isEmpty());
    }

    // Mail that names no sender is never taken for mail from someone in the book, in the
    // received list or in the sender list.
    void noSenderIsNotInTheBook_data()
    {
        QTest::addColumn<QByteArray>("from");
        QTest::newRow("no From header") << QByteArray();
        QTest::newRow("From with an empty address") << QByteArray("From: <>\r\n");
        QTest::newRow("From with a name only") << QByteArray("From: Nobody\r\n");
    }
    void noSenderIsNotInTheBook()
    {
        QFETCH(QByteArray, from);
        fixture::writeMail(maildir + "/cur/1004.e.host:2,S",
                           from + "To: me@example.jp\r\nDate: Thu, 4 Apr 2024 08:00:00 +0900\r\nSubject: nobody\r\n"
                                  "MIME-Version: 1.0\r\nContent-Type: text/plain; charset=UTF-8\r\n\r\nhello\r\n");
        auto w = load();
        QCOMPARE(w->list3Model()->rowCount(), 5);
        w->option4(3)->click();
        QCOMPARE(rows(w->list3Model()).size(), 2);  // the two messages of taro@example.jp
        for (const QString& line : rows(w->list3Model()))
            QVERIFY2(!line.contains(QStringLiteral("nobody")), qPrintable(line));
        QCOMPARE(w->list5Model()->rowCount(), 1);
        QVERIFY2(rows(w->list5Model()).first().contains(QStringLiteral("taro@example.jp")), qPrintable(rows(w->list5Model()).first()));
        QVERIFY(dialogs->shown().isEmpty());
    }

    void signOnFailure()
    {
        const QString missing = dir->filePath(QStringLiteral("no Maildir"));
        qputenv("MAILDIR", missing.toLocal8Bit());
        const int beeps = dialogs->beeps();
        auto w = load();
        QCOMPARE(dialogs->shownTexts(), QStringList{QStringLiteral("サインオンに失敗しました\nメールフォルダ（Maildir）が見つかりません: ") + missing});
        QCOMPARE(dialogs->beeps(), beeps + 1);
        QVERIFY(!w->signedOn());
        QCOMPARE(w->list3Model()->rowCount(), 0);
        QCOMPARE(w->list1Model()->rowCount(), 3);
        dialogs->clearRecord();
    }

    void stepper()
    {
        auto w = load();
        w->hscroll1()->setValue(0);
        QCOMPARE(w->list3Index(), 0);
        w->hscroll1()->setValue(1);
        QCOMPARE(w->list3Index(), 1);
        w->hscroll1()->setValue(3);
        QCOMPARE(w->list3Index(), 3);
        w->hscroll1()->setValue(2);
        QCOMPARE(w->list3Index(), 2);
        // A click on a row keeps the stepper's earlier value: the next step is taken against it.
        w->setList3Index(0);
        QCOMPARE(w->hscroll1()->value(), 0);
        w->hscroll1()->setValue(1);  // earlier value 2: a step back, from row 0, stays on the first row
        QCOMPARE(w->list3Index(), 0);
        w->setList3Index(3);
        w->hscroll1()->setValue(2);  // earlier value 1: a step forward past the last row stays on it
        QCOMPARE(w->list3Index(), 3);
        QVERIFY(dialogs->shown().isEmpty());
    }

    void addressBookList()
    {
        auto w = load();
        QCOMPARE(w->list1Model()->rowCount(), 3);
        QCOMPARE(w->list1Model()->line(0),
                 QStringLiteral("00000001 山田太郎    ") + sp(11) + u' ' + QStringLiteral("横浜市1-2") + sp(15)
                     + QStringLiteral("045-111-2222  ") + sp(14) + u' ' + QStringLiteral("old@example.jp;taro@example.jp")
                     + sp(2) + sp(32) + sp(8) + u' ');
        QVERIFY(w->list1Model()->line(1).contains(sp(32) + QStringLiteral("*hanako.m@example.ne.jp") + sp(9) + u'*'));

        // Another order lists anew and clears the selection.
        w->setRecordRowSelected(0, true);
        w->option6(2)->setChecked(true);
        QVERIFY(w->selectedRecordRows().isEmpty());
        QVERIFY(w->list1Model()->line(0).startsWith(QStringLiteral("00000003")));
    }

    void typedAddressesSelectRows()
    {
        auto w = load();
        w->text1()->setText(QStringLiteral("x"));
        w->text2()->setText(QStringLiteral("taro@example.jp,,m@example.ne,"));
        w->command3(2)->click();
        QCOMPARE(w->selectedRecordRows(), (QList<int>{0, 1}));
        QVERIFY(dialogs->shown().isEmpty());
        QVERIFY(!w->selectingRows());

        // An address not in the book asks; No ends the command.
        w->list1()->clearSelection();
        w->text2()->setText(QStringLiteral("nobody@x.jp,hanako.m@example.ne.jp"));
        dialogs->queueAnswer(ui::Answer::No);
        w->command3(2)->click();
        QCOMPARE(dialogs->shownTexts(),
                 QStringList{QStringLiteral("nobody@x.jp 住所録に登録されていません　処理を継続しますか？")});
        QVERIFY(w->selectedRecordRows().isEmpty());
        dialogs->clearRecord();

        // Without names nothing happens.
        w->text1()->clear();
        w->command3(2)->click();
        QVERIFY(w->selectedRecordRows().isEmpty());
    }

    void dialSelectedRecords()
    {
        diallerSeen = {};
        auto w = load();
        w->command3(1)->click();  // nothing selected: the dialler is not shown
        QVERIFY(diallerSeen.members.isEmpty());
        w->setRecordRowSelected(0, true);
        w->setRecordRowSelected(1, true);
        w->setRecordRowSelected(2, true);
        QString error;
        QVERIFY(demo::makeGeneratedBook(dir->path(), 5, QStringLiteral("other.mdb"), &error));
        Module1::PublishCurrentBook(dir->filePath(QStringLiteral("other.mdb")));
        w->command3(1)->click();
        QCOMPARE(diallerSeen.members, (QStringList{"00000001", "00000002", "00000003"}));
        QCOMPARE(diallerSeen.boxes[0], (QStringList{"00000001", "山田太郎", "045-111-2222", ""}));
        QCOMPARE(diallerSeen.boxes[1], (QStringList{"00000002", "佐藤花子", "", "090-1234-5678"}));
        QCOMPARE(diallerSeen.options, (QList<int>{0, 1, 0}));
        QCOMPARE(diallerSeen.books[0], book);
    }

    void mainMenuButtonOpensTheRealWindow()
    {
        auto& registry = ui::WindowRegistry::instance();
        editions::RegisterCommonWindows();
        registry.registerFactory(QStringLiteral("Form11"), [] { return new FakeDialler; });
        QVERIFY(registry.hasFactory(QStringLiteral("Form22")));
        const QString saved = QDir::currentPath();
        QDir::setCurrent(dir->path());
        Module1::OpenCommonDatabase(dir->path() + QStringLiteral("/共通情報/共通情報.mdb"));
        Form1 menu;
        menu.formLoad();
        QVERIFY(menu.command1(0)->isHidden());
        menu.Command1_Click(0);
        QDir::setCurrent(saved);
        auto* w = qobject_cast<Form22*>(registry.find(QStringLiteral("Form22")));
        QVERIFY(w);
        QVERIFY(w->isVisible());
        QCOMPARE(w->list3Model()->rowCount(), 4);
        QCOMPARE(w->windowDbFile().FullPath, Module1::CurrentDbFileCopy.FullPath);

        // "終了" unloads the window; the next opening loads and signs on anew.
        w->command2(9)->click();
        QTRY_VERIFY(!registry.isLoaded(QStringLiteral("Form22")));
        menu.Command1_Click(0);
        QVERIFY(registry.isLoaded(QStringLiteral("Form22")));
        QVERIFY(qobject_cast<Form22*>(registry.find(QStringLiteral("Form22")))->signedOn());
    }
};

QTEST_MAIN(TestForm22)
#include "tst_form22.moc"
