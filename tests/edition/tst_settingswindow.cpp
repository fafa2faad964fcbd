// The address-book edition's settings window: its frame of title and categories, category
// buttons that wait for a name, a list click that keeps the focus, and a title stored as typed.

#include "EditionFixture.h"
#include "editions/AddressBookForm2.h"

#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

using namespace editionfx;

namespace {

QStringList categories(const QString& book)
{
    const db::Database d = db::Database::open(book, db::OpenMode::ReadOnly);
    db::Recordset rs = d.openRecordset(
        QStringLiteral("SELECT \"会員区分コード\", \"会員区分名称\" FROM \"会員区分ｺｰﾄﾞ表\" ORDER BY 1"),
        db::RecordsetType::Snapshot);
    QStringList rows;
    for (; !rs.eof(); rs.moveNext())
        rows << rs.text(QStringLiteral("会員区分コード")) + u':' + rs.text(QStringLiteral("会員区分名称"));
    return rows;
}

} // namespace

class TestSettingsWindow : public QObject, private Case {
    Q_OBJECT
    QString book;

    std::unique_ptr<editions::AddressBookForm2> load(bool edit = true)
    {
        Module1::PublishCurrentBook(book);
        auto w = std::make_unique<editions::AddressBookForm2>();
        w->formLoad();
        w->show();
        w->activateWindow();
        if (!QTest::qWaitForWindowActive(w.get()))
            qWarning("the settings window did not become active");
        if (edit)
            w->Command2_Click(0);
        return w;
    }
    // Types into the category name box and clicks a category button with the mouse: the box loses
    // the focus to the button first, as a click does.
    static void typeAndClick(editions::AddressBookForm2& w, const QString& text, int button)
    {
        w.text1()->setFocus(Qt::TabFocusReason);
        QCoreApplication::processEvents();
        w.text1()->setText(text);
        w.command1(button)->setFocus(Qt::MouseFocusReason);
        QCoreApplication::processEvents();
        w.command1(button)->click();
        QCoreApplication::processEvents();
    }
    void pickLine(editions::AddressBookForm2& w, int row)
    {
        w.list1()->setCurrentRow(row);
        QCoreApplication::processEvents();
    }

private slots:
    void init()
    {
        startCase();
        becomeProgram("adrovia");
        book = makeBook(folder() + "/Meibo.mdb", "会員名簿");
        db::Database d = db::Database::open(book);
        d.execute(QStringLiteral("DELETE FROM \"会員区分ｺｰﾄﾞ表\""));
        d.execute(QStringLiteral("INSERT INTO \"会員区分ｺｰﾄﾞ表\" VALUES (1, '一般'), (-7, '旧'), (3, '役員')"));
    }
    void cleanup()
    {
        Module1::BookSettingsRs.close();
        Module1::CurrentDb.close();
        endCase();
    }

    void frameOfTitleAndCategories()
    {
        auto w = load(false);
        auto* frame1 = w->findChild<QGroupBox*>("Frame1");
        QCOMPARE(frame1->title(), QString("タイトル、登録区分設定"));
        QCOMPARE(w->text3()->parentWidget(), frame1);
        QCOMPARE(w->findChild<QLabel*>("Label2_2")->parentWidget(), frame1);
        auto* heading = w->findChild<QLabel*>("Label2_3");
        QCOMPARE(heading->text(), QString("登録区分"));
        QVERIFY(heading->font().bold());
        QCOMPARE(heading->parentWidget(), frame1);
        // From the top: title, the heading, the buttons, the help lines, the name box, the list.
        QVERIFY(w->text3()->y() < heading->y());
        QVERIFY(heading->y() < w->command1(0)->y());
        QVERIFY(w->findChild<QLabel*>("Label2_1")->y() < w->text1()->y());
        QVERIFY(w->text1()->y() < w->list1()->y());
        QCOMPARE(w->command1(0)->text(), QString("登録"));
        QCOMPARE(w->findChild<QLabel*>("Label2_1")->text(), QString("■追加：［編集］→テキスト入力→［登録］"));
        QCOMPARE(w->findChild<QLabel*>("Label2_0")->text(), QString("■編集：［編集］→リスト選択→修正→［更新］"));
        QCOMPARE(w->findChild<QGroupBox*>("Frame3")->title(), QString("住所録の初期化"));
        QCOMPARE(w->check1(0)->text(), QString("タイトル、ラベルを初期化"));
        QCOMPARE(w->findChild<QLabel*>("Label5_1")->text(), QString("新規登録"));
        QCOMPARE(w->text3()->text(), QString("会員名簿"));
    }

    void buttonsWaitForAName_data()
    {
        QTest::addColumn<int>("button");
        QTest::addColumn<bool>("edit");
        QTest::newRow("登録 in edit mode") << 0 << true;
        QTest::newRow("登録 outside edit mode") << 0 << false;
        QTest::newRow("更新 in edit mode") << 1 << true;
    }
    void buttonsWaitForAName()
    {
        QFETCH(int, button);
        QFETCH(bool, edit);
        auto w = load(edit);
        const QStringList before = categories(book);
        w->text1()->clear();
        w->Command1_Click(button);
        QCOMPARE(categories(book), before);
        QCOMPARE(dialogs->beeps(), 0);
        QVERIFY(dialogs->shown().isEmpty());
    }

    void addingWithNoLinePicked()
    {
        auto w = load();
        typeAndClick(*w, "会友", 0);
        // Leaving the box renamed nothing and made no sound; "登録" added the standard name.
        QCOMPARE(dialogs->beeps(), 0);
        QCOMPARE(categories(book), (QStringList{"-7:旧", "1:一般", "3:役員", "8:新規名称"}));
        QCOMPARE(w->list1()->count(), 4);
        QCOMPARE(w->text1()->text(), QString());
    }

    void addingOutsideEditMode()
    {
        auto w = load(false);
        w->text1()->setText("x");
        w->Command1_Click(0);
        QCOMPARE(categories(book), (QStringList{"-7:旧", "1:一般", "3:役員", "8:新規名称"}));
    }

    void updateWithNoLinePickedBeeps()
    {
        auto w = load();
        typeAndClick(*w, "会友", 1);
        QCOMPARE(dialogs->beeps(), 1);
        QCOMPARE(categories(book), (QStringList{"-7:旧", "1:一般", "3:役員"}));
    }

    void addingWithALinePickedRenamesIt()
    {
        auto w = load();
        pickLine(*w, 2);
        QCOMPARE(w->text1()->text(), QString("役員"));
        typeAndClick(*w, "理事", 0);
        // Leaving the box renamed the picked category and emptied the box: "登録" found no name.
        QCOMPARE(categories(book), (QStringList{"-7:旧", "1:一般", "3:理事"}));
        QCOMPARE(dialogs->beeps(), 0);
    }

    void listClickKeepsTheFocus()
    {
        auto w = load();
        w->list1()->setFocus(Qt::MouseFocusReason);
        QCoreApplication::processEvents();
        pickLine(*w, 0);
        QCOMPARE(w->text1()->text(), QString("旧"));
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(w->list1()));
        QCOMPARE(w->selectedCategoryIndex(), 0);
    }

    void titleStoredAsTyped_data()
    {
        QTest::addColumn<bool>("edit");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QVariant>("stored");
        QTest::addColumn<int>("messages");
        QTest::newRow("a new title") << true << "役員名簿" << QVariant("役員名簿") << 0;
        QTest::newRow("emptied: the empty text, not Null") << true << "" << QVariant("") << 0;
        QTest::newRow("too long: refused, the title stays") << true << QString(200, u'名') << QVariant("会員名簿") << 1;
        QTest::newRow("outside edit mode: nothing") << false << "別名" << QVariant("会員名簿") << 0;
    }
    void titleStoredAsTyped()
    {
        QFETCH(bool, edit);
        QFETCH(QString, typed);
        QFETCH(QVariant, stored);
        QFETCH(int, messages);
        auto w = load(edit);
        w->text3()->setFocus(Qt::TabFocusReason);
        QCoreApplication::processEvents();
        w->text3()->setText(typed);
        w->command2(9)->setFocus(Qt::TabFocusReason);
        QCoreApplication::processEvents();
        const QVariant title = scalar(book, "SELECT \"タイトル\" FROM \"管理情報\"");
        QVERIFY(!title.isNull());
        QCOMPARE(title.toString(), stored.toString());
        QCOMPARE(dialogs->shown().size(), messages);
        QCOMPARE(dialogs->beeps(), messages);
        if (messages) {
            QCOMPARE(dialogs->shownTexts().first(), QString("入力データが不正またはデータが長すぎます"));
            QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget*>(w->text3()));
        }
    }
};

QTEST_MAIN(TestSettingsWindow)
#include "tst_settingswindow.moc"
