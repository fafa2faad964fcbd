// The settings window's frame, title and categories.

#include "tst_form2_fixture.h"

#include "platform/text/Cp932.h"
#include "platform/ui/InputMode.h"
#include "platform/ui/WindowRegistry.h"
#include "shell/Form1.h"
#include "shell/Startup.h"

#include <QCheckBox>
#include <QDir>
#include <QListWidget>

using namespace form2test;

namespace {

QStringList lines(const Form2& w)
{
    QStringList l;
    for (int i = 0; i < w.list1()->count(); ++i)
        l << w.list1()->item(i)->text();
    return l;
}

} // namespace

class TestForm2 : public QObject, private form2test::Case {
    Q_OBJECT

private slots:
    void initTestCase() { ui::setProgramTitle(QStringLiteral("TovariInfolta")); }

    void init()
    {
        startTest();
        book = dir->filePath(QStringLiteral("名簿.mdb"));
    }

    void cleanup()
    {
        ui::WindowRegistry::instance().unloadAll();
        QCoreApplication::processEvents();
        endTest();
    }

    void loadShowsTitleAndCaption_data()
    {
        QTest::addColumn<QVariant>("stored");
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("captionStart");
        QTest::newRow("titled") << QVariant("取引先") << "取引先" << "各種設定　取引先          ";
        QTest::newRow("null title: product name in the box, nothing in the caption")
            << QVariant() << "Infolta" << "各種設定　          ";
    }
    void loadShowsTitleAndCaption()
    {
        QFETCH(QVariant, stored);
        QFETCH(QString, box);
        QFETCH(QString, captionStart);
        makeBook(book, stored, {{2, "友人"}, {1, QVariant()}});
        openAsMenu(book);
        auto w = loadWindow();
        QCOMPARE(w->text3()->text(), box);
        const QString caption = w->windowTitle();
        QVERIFY2(caption.startsWith(captionStart + book), qPrintable(caption));
        QVERIFY(caption.endsWith(QStringLiteral("2024年04月01日(月) ")));
        QCOMPARE(text::byteWidth(caption), 160 + text::byteWidth(QStringLiteral("2024年04月01日(月) ")));
        // In the table's order; a Null name is an empty line.
        QCOMPARE(lines(*w), QStringList({"", "友人"}));
        QCOMPARE(w->settingsDbFile().FullPath, book);
        QVERIFY(dialogs->shown().isEmpty());
    }

    void editButtonCyclesAndLocksOnlyTheCaptionBoxes()
    {
        makeBook(book, "t");
        openAsMenu(book);
        auto w = loadWindow();
        QCOMPARE(w->command2(0)->text(), QString("編集"));
        QVERIFY(!w->editMode());
        for (int i = 0; i < settings::FieldCaptionCount; ++i) {
            QVERIFY(w->text2(i)->isReadOnly());
            QVERIFY(w->text2(i)->isEnabled());
        }
        const QStringList expected = {"編集解除", "編集処理", "編集解除", "編集処理"};
        for (int click = 0; click < expected.size(); ++click) {
            QTest::mouseClick(w->command2(0), Qt::LeftButton);
            QCOMPARE(w->command2(0)->text(), expected[click]);
            QCOMPARE(w->editMode(), click % 2 == 0);
            QCOMPARE(w->text2(17)->isReadOnly(), !w->editMode());
        }
        // The title, name and count boxes are never locked.
        QVERIFY(!w->text3()->isReadOnly());
        QVERIFY(!w->text1()->isReadOnly());
        QVERIFY(!w->text4()->isReadOnly());
        // System names and input modes.
        QCOMPARE(w->text2(6)->objectName(), QString("Text2_6"));
        QCOMPARE(w->text2(6)->accessibleName(), QString("〒"));
        QCOMPARE(w->command2(9)->objectName(), QString("Command2_9"));
        QCOMPARE(ui::inputMode(w->text2(6)), ui::InputMode::Hiragana);
        QCOMPARE(ui::inputMode(w->text1()), ui::InputMode::Hiragana);
        QCOMPARE(ui::inputMode(w->text4()), ui::InputMode::Off);
        QVERIFY(w->check1(1)->isChecked());
        QVERIFY(!w->check1(0)->isChecked());
        QCOMPARE(w->text4()->text(), QString("20"));
    }

    void closeButtonClosesAndCommitsTheBoxBeingEdited()
    {
        makeBook(book, "旧");
        openAsMenu(book);
        auto w = loadWindow();
        setEditMode(*w, true);
        w->text3()->setFocus(Qt::TabFocusReason);
        w->text3()->setText(QStringLiteral("閉じる前"));
        w->close();
        QCOMPARE(title(book), QVariant("閉じる前"));
        QVERIFY(!w->isVisible());
    }

    void storingTheTitle_data()
    {
        QTest::addColumn<QVariant>("stored");
        QTest::addColumn<bool>("editMode");
        QTest::addColumn<QString>("typed");  // null: left as the window shows it
        QTest::addColumn<QVariant>("expected");
        QTest::addColumn<int>("beeps");
        QTest::addColumn<QStringList>("messages");
        QTest::addColumn<bool>("focusBack");

        const QString longest = QString(127, QChar(u'あ')) + 'a';
        QTest::newRow("edit mode stores") << QVariant("旧") << true << "新しい名簿" << QVariant("新しい名簿") << 0
                                          << QStringList() << false;
        QTest::newRow("unchanged text is stored again") << QVariant("旧") << true << QString() << QVariant("旧") << 0
                                                        << QStringList() << false;
        QTest::newRow("outside edit mode nothing is stored")
            << QVariant("旧") << false << "新しい名簿" << QVariant("旧") << 0 << QStringList() << false;
        QTest::newRow("empty title refused") << QVariant("旧") << true << "" << QVariant("旧") << 1 << QStringList()
                                             << true;
        QTest::newRow("255 bytes fit") << QVariant("旧") << true << longest << QVariant(longest) << 0 << QStringList()
                                       << false;
        QTest::newRow("256 bytes refused") << QVariant("旧") << true << longest + 'b' << QVariant("旧") << 1
                                           << QStringList{TooLong} << true;
        QTest::newRow("null title: the shown product name is stored")
            << QVariant() << true << QString() << QVariant("Infolta") << 0 << QStringList() << false;
    }
    void storingTheTitle()
    {
        QFETCH(QVariant, stored);
        QFETCH(bool, editMode);
        QFETCH(QString, typed);
        QFETCH(QVariant, expected);
        QFETCH(int, beeps);
        QFETCH(QStringList, messages);
        QFETCH(bool, focusBack);
        makeBook(book, stored);
        openAsMenu(book);
        auto w = loadWindow();
        setEditMode(*w, editMode);
        typeAndLeave(*w, w->text3(), typed.isNull() ? w->text3()->text() : typed);
        QCOMPARE(title(book), expected);
        QCOMPARE(dialogs->beeps(), beeps);
        QCOMPARE(dialogs->shownTexts(), messages);
        QCOMPARE(QApplication::focusWidget() == w->text3(), focusBack);
        // The caption is set at load only.
        QVERIFY(w->windowTitle().startsWith(QStringLiteral("各種設定　") + stored.toString() + "  "));
    }

    void addingACategory_data()
    {
        QTest::addColumn<QVariantList>("codes");
        QTest::addColumn<qint64>("expected");
        QTest::newRow("largest absolute code plus one") << QVariantList{3, -7, 5} << qint64(8);
        QTest::newRow("empty table") << QVariantList{} << qint64(1);
        QTest::newRow("beyond 16 bits") << QVariantList{32767, 1} << qint64(32768);
        QTest::newRow("far beyond") << QVariantList{qint64(5000000000)} << qint64(5000000001);
    }
    void addingACategory()
    {
        QFETCH(QVariantList, codes);
        QFETCH(qint64, expected);
        QList<Category> rows;
        for (const QVariant& c : codes)
            rows << Category{c, QStringLiteral("区分%1").arg(c.toLongLong())};
        makeBook(book, "t", rows);
        openAsMenu(book);
        auto w = loadWindow();
        w->text1()->setText(QStringLiteral("入力中"));
        QTest::mouseClick(w->command1(0), Qt::LeftButton);  // works outside edit mode too
        const QStringList stored = categories(book);
        QCOMPARE(stored.size(), codes.size() + 1);
        QVERIFY2(stored.contains(QStringLiteral("%1:新規名称").arg(expected)), qPrintable(stored.join(',')));
        QVERIFY(lines(*w).contains(QStringLiteral("新規名称")));
        QCOMPARE(w->list1()->count(), codes.size() + 1);
        QCOMPARE(w->text1()->text(), QString());
    }

    void renamingACategory_data()
    {
        QTest::addColumn<bool>("editMode");
        QTest::addColumn<int>("select");  // -1: no line clicked
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("byButton");
        QTest::addColumn<QStringList>("expected");
        QTest::addColumn<QString>("text1After");
        QTest::addColumn<int>("beeps");
        QTest::addColumn<QStringList>("messages");

        const QStringList before = {"1:家族", "2:友人", "3:仕事"};
        QTest::newRow("clicked line renamed on leaving") << true << 1 << "友人B" << false
                                                         << QStringList{"1:家族", "2:友人B", "3:仕事"} << ""
                                                         << 0 << QStringList();
        QTest::newRow("update button renames once") << true << 2 << "取引先" << true
                                                    << QStringList{"1:家族", "2:友人", "3:取引先"} << "" << 0
                                                    << QStringList();
        QTest::newRow("outside edit mode nothing is stored") << false << 1 << "友人B" << false << before << "友人B"
                                                             << 0 << QStringList();
        QTest::newRow("no line clicked renames nothing") << true << -1 << "友人B" << false << before << "友人B"
                                                         << 1 << QStringList();
        QTest::newRow("over-long name refused") << true << 0 << QString(128, QChar(u'名')) << false << before
                                                << QString(128, QChar(u'名')) << 1 << QStringList{TooLong};
    }
    void renamingACategory()
    {
        QFETCH(bool, editMode);
        QFETCH(int, select);
        QFETCH(QString, typed);
        QFETCH(bool, byButton);
        QFETCH(QStringList, expected);
        QFETCH(QString, text1After);
        QFETCH(int, beeps);
        QFETCH(QStringList, messages);
        makeBook(book, "t", {{1, "家族"}, {2, "友人"}, {3, "仕事"}});
        openAsMenu(book);
        auto w = loadWindow();
        setEditMode(*w, editMode);
        if (select >= 0) {
            w->list1()->setCurrentRow(select);
            QCOMPARE(w->selectedCategoryIndex(), select);
            QCOMPARE(QApplication::focusWidget(), w->text1());
            QCOMPARE(w->text1()->text(), lines(*w)[select]);
        } else {
            w->text1()->setFocus(Qt::TabFocusReason);
        }
        QCoreApplication::processEvents();
        w->text1()->setText(typed);
        if (byButton)
            QTest::mouseClick(w->command1(1), Qt::LeftButton);
        else
            w->command2(9)->setFocus(Qt::TabFocusReason);
        QCoreApplication::processEvents();
        QCOMPARE(categories(book), expected);
        QCOMPARE(w->text1()->text(), text1After);
        QCOMPARE(dialogs->beeps(), beeps);
        QCOMPARE(dialogs->shownTexts(), messages);
        if (text1After.isEmpty()) {
            QCOMPARE(w->selectedCategoryIndex(), -1);  // the refilled list has no line picked
            QCOMPARE(lines(*w).size(), 3);
        }
    }

    void entryInEditModeSelectsTheText()
    {
        makeBook(book, "名簿の題", {{1, "家族"}});
        openAsMenu(book);
        auto w = loadWindow();
        w->text3()->setFocus(Qt::MouseFocusReason);
        QCoreApplication::processEvents();
        QCOMPARE(w->text3()->selectedText(), QString());
        setEditMode(*w, true);
        w->command2(9)->setFocus(Qt::TabFocusReason);
        w->text3()->setFocus(Qt::MouseFocusReason);
        QCoreApplication::processEvents();
        QCOMPARE(w->text3()->selectedText(), QString("名簿の題"));
        w->list1()->setCurrentRow(0);
        QCoreApplication::processEvents();
        QCOMPARE(w->text1()->selectedText(), QString("家族"));
        QCOMPARE(dialogs->beeps(), 0);
    }

    // The main menu may make another book current while the window stays loaded: everything the
    // window stores still goes to the book it loaded.
    void writesOnlyToTheBookItLoaded()
    {
        const QString other = dir->filePath(QStringLiteral("other.mdb"));
        makeBook(book, "A", {{1, "家族"}});
        makeBook(other, "B", {{1, "家族"}});
        QString error;
        QDir(dir->path()).mkpath(QStringLiteral("共通情報"));
        QVERIFY(db::schema::createCommonDatabase(dir->filePath(QStringLiteral("共通情報/共通情報.mdb")), &error));
        QVERIFY(Module1::WritePmPath(dir->path(), book, &error));

        const QString savedCwd = QDir::currentPath();
        QDir::setCurrent(dir->path());
        Module1::RegisterSharedWindows();
        Form1 menu;
        menu.formLoad();
        menu.Command1_Click(4);  // "各種設定"
        auto* w = ui::WindowRegistry::instance().reach<Form2>(QStringLiteral("Form2"));
        QVERIFY(w);
        QCOMPARE(w->settingsDbFile().FullPath, book);
        QVERIFY(QTest::qWaitForWindowActive(w));

        // The menu opens the other book.
        menu.list1()->setCurrentRow(menu.dbFileNames().indexOf(QStringLiteral("other.mdb")));
        menu.Command1_Click(4);
        QCOMPARE(Module1::CurrentDbFile.FullPath, other);
        QCOMPARE(ui::WindowRegistry::instance().find(QStringLiteral("Form2")), w);
        QVERIFY(QTest::qWaitForWindowActive(w));

        setEditMode(*w, true);
        typeAndLeave(*w, w->text3(), QStringLiteral("A改"));
        QTest::mouseClick(w->command1(0), Qt::LeftButton);
        typeAndLeave(*w, w->text2(4), QStringLiteral("お名前"));
        w->check1(0)->setChecked(true);
        w->text4()->setText(QStringLiteral("2"));
        dialogs->queueAnswer(ui::Answer::Yes);
        w->Command3_Click();

        QCOMPARE(dialogs->shownTexts().join("|"), QString("初期化を行います　よろしいですか？|初期化完了"));
        QCOMPARE(title(book), QVariant("住所録タイトル"));
        QCOMPARE(categories(book).size(), 10);
        QCOMPARE(read(book, QStringLiteral("SELECT count(*) FROM \"個人台帳\"")).toInt(), 2);
        QCOMPARE(title(other), QVariant("B"));
        QCOMPARE(categories(other), QStringList{"1:家族"});
        QVERIFY(caption(other, QStringLiteral("氏名")).isNull());
        QDir::setCurrent(savedCwd);
    }
};

QTEST_MAIN(TestForm2)
#include "tst_form2.moc"
