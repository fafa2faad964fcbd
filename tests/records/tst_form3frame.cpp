// The record window's frame: modes and locking, the commands, the position, closing, its own
// book, the main menu, and the names assistive technology reads.

#include "RecordsFixture.h"
#include "platform/ui/ScriptedDialogs.h"
#include "platform/ui/WindowRegistry.h"
#include "records/Boxes.h"
#include "records/Form3.h"
#include "shell/Form1.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QScrollBar>

using fixture::shown;

class TestForm3Frame : public QObject, private fixture::WindowCase {
    Q_OBJECT

    static void showActive(QWidget* w)
    {
        w->show();
        w->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(w));
    }

private slots:
    void initTestCase() { startCase(); }

    void cleanupTestCase() { endCase(); }

    void init() { freshFolder(); }

    void cleanup() { dropFolder(); }

    void editTwiceLocksAgain()
    {
        auto w = load();
        const QList<QWidget*> fields = w->entryFields();
        QCOMPARE(fields.size(), 41);
        auto expectLocked = [&](bool locked) {
            for (QWidget* box : fields) {
                const bool computed = box->objectName() == QStringLiteral("Text1_4") || box->objectName() == QStringLiteral("Text1_6");
                QCOMPARE(records::IsBoxLocked(box), locked || computed);
                QVERIFY2(box->isEnabled(), qPrintable(box->objectName()));  // locked is read-only, not disabled
            }
        };
        expectLocked(true);
        w->Command9_Click(0);
        QCOMPARE(w->recordMode(), int(Form3::Edit));
        QCOMPARE(shown(w.get(), QStringLiteral("Command9_0")), QStringLiteral("編集解除"));
        expectLocked(false);
        w->Command9_Click(0);
        QCOMPARE(w->recordMode(), int(Form3::Browse));
        QCOMPARE(shown(w.get(), QStringLiteral("Command9_0")), QStringLiteral("編集"));
        expectLocked(true);
    }

    void browseModeKeepsWhatIsShown_data()
    {
        QTest::addColumn<QString>("box");
        QTest::newRow("自宅FAX Text1(25)") << "Text1_25";
        QTest::newRow("記事 Text1(28)") << "Text1_28";
        QTest::newRow("退会日 Text1(29)") << "Text1_29";
        QTest::newRow("WebHome Text1(30)") << "Text1_30";
        QTest::newRow("数値6 Text2(5)") << "Text2_5";
        QTest::newRow("数値10 Text2(9)") << "Text2_9";
        QTest::newRow("氏名 Text1(2)") << "Text1_2";
        QTest::newRow("都道府県 Combo5(0)") << "Combo5_0";
        QTest::newRow("age Text1(6)") << "Text1_6";
    }
    void browseModeKeepsWhatIsShown()
    {
        QFETCH(QString, box);
        auto w = load();
        showActive(w.get());
        QWidget* b = fixture::control(w.get(), box);
        const QString before = records::BoxText(b);
        b->setFocus(Qt::MouseFocusReason);
        QTest::keyClicks(b->focusProxy() ? b->focusProxy() : b, QStringLiteral("abc"));
        QCOMPARE(records::BoxText(b), before);
    }

    void lockedComboChoosesNothing()
    {
        records::LockableComboBox combo;
        combo.addItems({QStringLiteral("友人"), QStringLiteral("取引先"), QStringLiteral("家族")});
        combo.setCurrentIndex(0);
        combo.setLocked(true);
        combo.show();
        QVERIFY(QTest::qWaitForWindowExposed(&combo));
        QTest::keyClick(&combo, Qt::Key_Down);
        QTest::keyClicks(&combo, QStringLiteral("x"));
        combo.showPopup();
        QCOMPARE(combo.currentIndex(), 0);
        QCOMPARE(combo.currentText(), QStringLiteral("友人"));
        combo.setLocked(false);
        QTest::keyClick(&combo, Qt::Key_Down);
        QCOMPARE(combo.currentIndex(), 1);
    }

    void csvQuestionAnsweredNoWritesNothing()
    {
        auto w = load();
        dialogs->queueAnswer(ui::Answer::No);
        w->Command9_Click(4);
        QCOMPARE(dialogs->shown().size(), 1);
        const auto& asked = dialogs->shown().first();
        QCOMPARE(asked.kind, ui::ScriptedDialogs::Shown::Question);
        QCOMPARE(asked.text, QStringLiteral("同一ファイル名でＣＳＶ形式ファイルを作成します　よろしいですか？"));
        QCOMPARE(asked.title, QStringLiteral("ＣＳＶファイル形式出力"));
        QCOMPARE(asked.buttons, ui::Buttons::YesNo);
        QVERIFY(!QFile::exists(dir->filePath(QStringLiteral("サンプル住所録.csv"))));
        for (int i = 0; i <= 7; ++i)
            QVERIFY(fixture::control(w.get(), QStringLiteral("Command9_%1").arg(i))->isEnabled());
    }

    void printingWithoutItsWindowDoesNothing()
    {
        auto w = load();
        for (int i : {7}) {
            w->Command9_Click(i);
            QCOMPARE(w->recordMode(), int(Form3::Browse));
            QCOMPARE(w->cursor().position(), 0);
        }
        QVERIFY(dialogs->shown().isEmpty());
        QVERIFY(w->cursor().isOpen());
    }

    void scrollBarListAndLabelMirrorTheCursor()
    {
        auto w = load();
        QScrollBar* bar = w->hScroll1();
        QCOMPARE(bar->maximum(), 39);
        bar->setValue(5);
        QCOMPARE(w->cursor().position(), 5);
        QCOMPARE(shown(w.get(), QStringLiteral("Text1_0")), QStringLiteral("00000006"));
        QCOMPARE(shown(w.get(), QStringLiteral("Label15")), QStringLiteral("6/40"));
        // The record acted on is the record shown.
        QCOMPARE(w->cursor().record().value(QStringLiteral("会員NO")).toInt(), 6);

        bar->setValue(39);
        QCOMPARE(shown(w.get(), QStringLiteral("Text1_0")), QStringLiteral("00000040"));
        QCOMPARE(shown(w.get(), QStringLiteral("Label15")), QStringLiteral("40/40"));

        // Moving the cursor moves the scroll bar with it, raising no move of its own.
        w->cursor().moveTo(12);
        QCOMPARE(bar->value(), 12);
        QCOMPARE(shown(w.get(), QStringLiteral("Label15")), QStringLiteral("13/40"));
        w->ClearRecordControls();
        w->ShowRecord();
        QCOMPARE(shown(w.get(), QStringLiteral("Text1_0")), QStringLiteral("00000013"));
    }

    void closingByTheFrameClosesTheRecords()
    {
        auto& registry = ui::WindowRegistry::instance();
        registry.registerFactory(QStringLiteral("Form3"), [] { return new Form3; });
        fixture::openCommon(dir->path());
        fixture::openBook(book);
        registry.show(QStringLiteral("Form3"));
        auto* w = registry.find(QStringLiteral("Form3"));
        QVERIFY(w);
        QVERIFY(w->isMaximized() || (w->windowState() & Qt::WindowMaximized));
        QPointer<Form3> form = qobject_cast<Form3*>(w);
        db::Recordset records = form->cursor().records();  // shares the window's records
        QVERIFY(records.isOpen());
        form->Command9_Click(0);  // in edit mode
        QVERIFY(w->close());
        QVERIFY(!records.isOpen());
        QVERIFY(!registry.isLoaded(QStringLiteral("Form3")));
        QTRY_VERIFY(form.isNull());
    }

    void closingKeepsTheWindowWhenTheBoxIsRefused()
    {
        auto w = load();
        showActive(w.get());
        w->Command9_Click(0);
        auto* name = qobject_cast<QLineEdit*>(fixture::control(w.get(), QStringLiteral("Text1_2")));
        name->setFocus(Qt::TabFocusReason);
        QTRY_VERIFY(name->hasFocus());
        const QString tooLong(128, QChar(u'漢'));  // 256 bytes against a limit of 255
        name->setText(tooLong);
        QVERIFY(!w->close());
        QVERIFY(w->cursor().isOpen());
        QCOMPARE(name->text(), tooLong);
        QCOMPARE(dialogs->shown().last().text, QStringLiteral("入力データが不正またはデータが長すぎます"));
        name->setText(QStringLiteral("短い名前"));
        QVERIFY(w->close());
        QCOMPARE(fixture::scalar(book, QStringLiteral("SELECT \"氏名\" FROM \"個人台帳\" WHERE \"会員NO\" = 1")).toString(),
                 QStringLiteral("短い名前"));
    }

    void keepsToItsOwnBookAfterAnotherBecomesCurrent()
    {
        const QString other = dir->filePath(QStringLiteral("別の住所録.mdb"));
        QVERIFY(QFile::copy(book, other));
        for (const QString& b : {book, other})
            fixture::exec(b, QStringLiteral("UPDATE \"個人台帳\" SET \"年齢\" = 0, \"生年月日\" = '1980-01-01' WHERE \"会員NO\" = 2"));
        auto w = load();
        // Another window makes another book current.
        fixture::openBook(other);
        w->hScroll1()->setValue(1);
        QCOMPARE(shown(w.get(), QStringLiteral("Text1_0")), QStringLiteral("00000002"));
        const QString age = QStringLiteral("SELECT \"年齢\" FROM \"個人台帳\" WHERE \"会員NO\" = 2");
        QCOMPARE(fixture::scalar(book, age).toInt(), 44);
        QCOMPARE(fixture::scalar(other, age).toInt(), 0);
        QCOMPARE(w->windowDb().path(), QFileInfo(book).absoluteFilePath());
        QCOMPARE(w->windowDbFile().FullPath, book);
    }

    void mainMenuOpensTheWindow()
    {
        auto& registry = ui::WindowRegistry::instance();
        registry.registerFactory(QStringLiteral("Form3"), [] { return new Form3; });
        const QString cwd = QDir::currentPath();
        QDir::setCurrent(dir->path());  // "PMPath.txt" of the demo names the sample book
        {
            Form1 menu;
            menu.formLoad();
            menu.Command1_Click(1);
        }
        QDir::setCurrent(cwd);
        auto* w = qobject_cast<Form3*>(registry.find(QStringLiteral("Form3")));
        QVERIFY(w);
        QVERIFY(w->isVisible());
        QCOMPARE(shown(w, QStringLiteral("Text1_0")), QStringLiteral("00000001"));
        QVERIFY(w->windowTitle().startsWith(QStringLiteral("サンプル住所録          ")));
        registry.unload(QStringLiteral("Form3"));
        QTRY_VERIFY(!registry.isLoaded(QStringLiteral("Form3")));
    }

    void everyControlIsNamed()
    {
        auto w = load();
        static const QRegularExpression systemName(QStringLiteral("^([A-Za-z]+[0-9]*)_([0-9]+)$"));
        int boxes = 0;
        for (QWidget* c : w->findChildren<QWidget*>()) {
            const QRegularExpressionMatch m = systemName.match(c->objectName());
            if (!m.hasMatch())
                continue;
            QCOMPARE(c->accessibleDescription(), m.captured(1) + QLatin1Char('(') + m.captured(2) + QLatin1Char(')'));
            if (m.captured(1) == QStringLiteral("Text1") || m.captured(1) == QStringLiteral("Text2")) {
                QVERIFY2(!c->accessibleName().isEmpty(), qPrintable(c->objectName()));
                ++boxes;
            }
        }
        QCOMPARE(boxes, 25 + 10);
        QCOMPARE(fixture::control(w.get(), QStringLiteral("Text1_9"))->accessibleName(), QStringLiteral("Ｅメールアドレス"));
        QCOMPARE(fixture::control(w.get(), QStringLiteral("Combo1"))->accessibleName(), QStringLiteral("生年月日の年号"));
        // Tab lands in an editable box's own edit field: it is read by the field the box holds.
        for (const char* name : {"Combo1", "Combo2", "Combo3", "Combo4", "Combo5_0", "Combo5_1"}) {
            auto* c = qobject_cast<QComboBox*>(fixture::control(w.get(), QString::fromLatin1(name)));
            QVERIFY2(c && c->lineEdit(), name);
            QVERIFY2(!c->accessibleName().isEmpty(), name);
            QCOMPARE(c->lineEdit()->accessibleName(), c->accessibleName());
            QCOMPARE(c->view()->accessibleName(), c->accessibleName());
        }
    }
};

QTEST_MAIN(TestForm3Frame)
#include "tst_form3frame.moc"
