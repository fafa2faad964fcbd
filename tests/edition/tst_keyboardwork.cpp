// Every window worked by keys: Enter presses the focused button in a window of each kind, Tab
// leaves every multi-line box, Enter in a search box of the record window searches by that box
// and so does "検索実行" reached by Tab from it, and the record picture and the image viewer's
// controls work by keys and actions.

#include "KeyboardFixture.h"
#include "records/SearchKeys.h"

#include <QComboBox>
#include <QInputMethodEvent>
#include <QRegularExpression>

using namespace kbfx;
using ui::Answer;

class TestKeyboardWork : public QObject, Fixture {
    Q_OBJECT
private slots:
    void initTestCase() { startFixture(); }
    void cleanupTestCase() { endFixture(); }
    void init() { startCase(); }
    void cleanup() { endCase(); }

    // ---- Enter on a focused button ----

    void enterPressesTheFocusedButton_data()
    {
        QTest::addColumn<QString>("program");
        QTest::addColumn<QString>("window");
        QTest::addColumn<QString>("button");
        QTest::addColumn<bool>("keypad");
        QTest::addColumn<QString>("effect");
        for (const QString& program : {QStringLiteral("kartovia"), QStringLiteral("adrovia")}) {
            const auto row = [&](const char* window, const char* button, bool keypad, const char* effect) {
                QTest::addRow("%s %s %s%s", qPrintable(program), window, button, keypad ? " keypad" : "")
                    << program << QString::fromLatin1(window) << QString::fromLatin1(button) << keypad
                    << QString::fromUtf8(effect);
            };
            row("Form1", "Command1_1", false, "loads Form3");
            row("Form1", "Command1_2", true, "loads Form4");
            // A picture button of the main window's bar: "バージョン情報".
            row("Form1", "Image2", false, "message");
            row("Form2", "Command2_9", false, "unloads");
            row("Form3", "Command9_0", false, "edit mode");
            row("Form3", "Command9_9", true, "unloads");
            row("Form4", "Command1_2", false, "changes");
            row("Form4", "Command1_9", true, "unloads");
            row("Form5", "Command1_1", false, "unloads");
            row("Form11", "QuitButton_1", false, "unloads");
            row("Form22", "Command2_9", true, "unloads");
            if (program == QStringLiteral("kartovia"))
                row("Form6", "Command1_9", false, "unloads");
        }
    }
    void enterPressesTheFocusedButton()
    {
        QFETCH(QString, program);
        QFETCH(QString, window);
        QFETCH(QString, button);
        QFETCH(bool, keypad);
        QFETCH(QString, effect);
        start(program);
        QWidget* w = open(window);
        QVERIFY(w);
        makeActive(w);
        auto* b = w->findChild<QAbstractButton*>(button);
        QVERIFY2(b && b->isEnabled(), qPrintable(button));
        bringForward(b);
        b->setFocus(Qt::TabFocusReason);
        QTRY_VERIFY(b->hasFocus());
        const QStringList before = snapshot(w);
        QPointer<QWidget> watched(w);
        if (keypad)
            QTest::keyClick(b, Qt::Key_Enter, Qt::KeypadModifier);
        else
            QTest::keyClick(b, Qt::Key_Return);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        auto& registry = ui::WindowRegistry::instance();
        if (effect == QStringLiteral("unloads")) {
            QVERIFY(!registry.isLoaded(window));
        } else if (effect.startsWith(QStringLiteral("loads "))) {
            QVERIFY(registry.isLoaded(effect.mid(6)));
        } else if (effect == QStringLiteral("message")) {
            QCOMPARE(dialogs->shown().size(), 1);
        } else if (effect == QStringLiteral("edit mode")) {
            QCOMPARE(qobject_cast<Form3*>(w)->recordMode(), int(Form3::Edit));
        } else {
            QVERIFY(watched);
            QVERIFY(snapshot(w) != before);
        }
    }

    // ---- Tab leaves every multi-line box ----

    void tabLeavesTheMailBoxes_data()
    {
        QTest::addColumn<QString>("box");
        QTest::addColumn<int>("key");
        QTest::newRow("body Text5, Tab") << "Text5" << int(Qt::Key_Tab);
        QTest::newRow("body Text5, Shift+Tab") << "Text5" << int(Qt::Key_Backtab);
        QTest::newRow("preview Text6, Tab") << "Text6" << int(Qt::Key_Tab);
        QTest::newRow("preview Text6, Shift+Tab") << "Text6" << int(Qt::Key_Backtab);
    }
    void tabLeavesTheMailBoxes()
    {
        QFETCH(QString, box);
        QFETCH(int, key);
        start(QStringLiteral("kartovia"));
        QWidget* w = open(QStringLiteral("Form22"));
        QVERIFY(w);
        makeActive(w);
        auto* edit = w->findChild<QPlainTextEdit*>(box);
        QVERIFY(edit);
        bringForward(edit);
        edit->setFocus(Qt::OtherFocusReason);
        QTRY_VERIFY(edit->hasFocus());
        const QString text = edit->toPlainText();
        QTest::keyClick(edit, Qt::Key(key), key == Qt::Key_Backtab ? Qt::ShiftModifier : Qt::NoModifier);
        QTRY_VERIFY(!edit->hasFocus());
        QCOMPARE(edit->toPlainText(), text);
        QVERIFY(!edit->toPlainText().contains(u'\t'));
    }

    void noMultiLineBoxKeepsTab_data()
    {
        QTest::addColumn<QString>("program");
        QTest::newRow("kartovia") << "kartovia";
        QTest::newRow("adrovia") << "adrovia";
    }
    void noMultiLineBoxKeepsTab()
    {
        QFETCH(QString, program);
        start(program);
        int boxes = 0;
        for (const QString& name : kWindows) {
            QWidget* w = open(name);
            if (!w)
                continue;
            for (QPlainTextEdit* box : w->findChildren<QPlainTextEdit*>()) {
                QVERIFY2(box->tabChangesFocus(), qPrintable(name + QLatin1Char(' ') + box->objectName()));
                ++boxes;
            }
        }
        // The memo boxes of the record and web-link windows and the mail window's two boxes.
        QVERIFY(boxes >= 3);
    }

    // ---- the record window's search by keyboard ----

    void enterInASearchBoxSearchesByIt_data()
    {
        QTest::addColumn<QString>("program");
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("field");
        QTest::addColumn<int>("position");  // of the record typed for, in number order
        QTest::addColumn<bool>("asks");     // whether the search asks to go on
        for (const QString& program : {QStringLiteral("kartovia"), QStringLiteral("adrovia")}) {
            QTest::addRow("%s name", qPrintable(program)) << program << "Text1_2" << "氏名" << 12 << true;
            QTest::addRow("%s reading", qPrintable(program)) << program << "Text1_1" << "フリガナ" << 20 << true;
            QTest::addRow("%s number", qPrintable(program)) << program << "Text1_0" << "会員NO" << 7 << false;
        }
    }
    void enterInASearchBoxSearchesByIt()
    {
        QFETCH(QString, program);
        QFETCH(QString, box);
        QFETCH(QString, field);
        QFETCH(int, position);
        QFETCH(bool, asks);
        start(program);
        auto* w = qobject_cast<Form3*>(open(QStringLiteral("Form3")));
        QVERIFY(w);
        makeActive(w);
        const QStringList rows = tableRows(
            book(), QStringLiteral("SELECT \"会員NO\", \"%1\" FROM \"個人台帳\" ORDER BY \"会員NO\"").arg(field));
        const QString wanted = rows[position].section(u'|', 1, 1).section(u'=', 1);
        const QString number = rows[position].section(u'|', 0, 0).section(u'=', 1);
        QVERIFY(!wanted.isEmpty());

        // "検索" by the keyboard, then the key typed into its box, passing another box on the way.
        auto* search = w->findChild<QAbstractButton*>(QStringLiteral("Command9_1"));
        search->setFocus(Qt::TabFocusReason);
        QTest::keyClick(search, Qt::Key_Return);
        QCOMPARE(w->recordMode(), int(Form3::Search));
        auto* keyBox = w->findChild<QLineEdit*>(box);
        auto* other = w->findChild<QLineEdit*>(QStringLiteral("Text1_9"));
        keyBox->setFocus(Qt::TabFocusReason);
        keyBox->selectAll();
        // Typed through the input method, as Japanese is.
        QInputMethodEvent typed;
        typed.setCommitString(field == QStringLiteral("会員NO") ? number : wanted);
        QCoreApplication::sendEvent(keyBox, &typed);
        QCOMPARE(keyBox->text(), field == QStringLiteral("会員NO") ? number : wanted);
        other->setFocus(Qt::TabFocusReason);
        keyBox->setFocus(Qt::MouseFocusReason);
        other->setFocus(Qt::TabFocusReason);
        // The box typed into stays the key box, whichever box the focus passed since.
        QCOMPARE(w->searchField(), box.section(u'_', 1).toInt());
        keyBox->setFocus(Qt::OtherFocusReason);
        // A name or reading may be held by more than one record: the first match is the one typed for.
        if (asks)
            dialogs->queueAnswer(Answer::No);
        QTest::keyClick(keyBox, Qt::Key_Return);
        QCOMPARE(w->recordMode(), int(Form3::Browse));
        QVERIFY2(!dialogs->shownTexts().contains(QStringLiteral("該当レコードはありません")),
                 qPrintable(dialogs->shownTexts().join(u'\n')));
        QCOMPARE(dialogs->pendingAnswers(), 0);
        QCOMPARE(w->cursor().record().text(field), field == QStringLiteral("会員NO") ? number : wanted);
    }

    // The way from the box typed into to "検索実行" by Tab passes other boxes: the search still
    // runs by the box typed into. With nothing typed, the box the focus was in last is the key.
    void searchRunsByTheBoxTypedInto_data()
    {
        QTest::addColumn<QString>("program");
        QTest::addColumn<QString>("box");    // typed into; "" for nothing typed
        QTest::addColumn<QString>("field");  // what is typed: a part of this field of a record
        for (const QString& program : {QStringLiteral("kartovia"), QStringLiteral("adrovia")}) {
            QTest::addRow("%s surname typed into 氏名", qPrintable(program)) << program << "Text1_2" << "氏名";
            QTest::addRow("%s city typed into 住所", qPrintable(program)) << program << "Combo5_1" << "市町村";
            QTest::addRow("%s nothing typed", qPrintable(program)) << program << "" << "";
        }
    }
    void searchRunsByTheBoxTypedInto()
    {
        QFETCH(QString, program);
        QFETCH(QString, box);
        QFETCH(QString, field);
        start(program);
        auto* w = qobject_cast<Form3*>(open(QStringLiteral("Form3")));
        QVERIFY(w);
        makeActive(w);
        auto* search = w->findChild<QAbstractButton*>(QStringLiteral("Command9_1"));
        search->setFocus(Qt::TabFocusReason);
        QTest::keyClick(search, Qt::Key_Return);
        QCOMPARE(w->recordMode(), int(Form3::Search));

        // Tab from where search mode puts the focus to a control; the controls passed on the way.
        const auto tabTo = [&](QWidget* target) {
            QStringList passed;
            for (int i = 0; i < 200 && QApplication::focusWidget() != target; ++i) {
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
                QCoreApplication::processEvents();
                passed << QApplication::focusWidget()->objectName();
            }
            return passed;
        };
        // With nothing typed, the box search mode put the focus in: "フリガナ", holding the reading
        // of the record shown.
        int keyField = 1;
        QString keyColumn = QStringLiteral("フリガナ");
        QString key = w->findChild<QLineEdit*>(QStringLiteral("Text1_1"))->text();
        if (!box.isEmpty()) {
            keyField = box.section(u'_', 1).toInt() + (box.startsWith(QLatin1String("Combo")) ? 25 : 0);
            keyColumn = field;
            // A part of a record's field that lies further on than the record shown.
            const QStringList rows = tableRows(
                book(), QStringLiteral("SELECT \"会員NO\", \"%1\" FROM \"個人台帳\" ORDER BY \"会員NO\"").arg(field));
            const QString value = rows[12].section(u'|', 1, 1).section(u'=', 1);
            key = field == QStringLiteral("氏名") ? value.section(QRegularExpression(QStringLiteral("[ 　]")), 0, 0) : value;
            QVERIFY(!key.isEmpty());
            QWidget* keyBox = w->findChild<QWidget*>(box);
            QVERIFY(keyBox);
            tabTo(keyBox);
            QVERIFY2(keyBox->hasFocus(), qPrintable(box));
            QWidget* edit = QApplication::focusWidget();
            if (auto* combo = qobject_cast<QComboBox*>(edit))
                edit = combo->lineEdit();
            QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
            // Typed through the input method, as Japanese is.
            QInputMethodEvent typed;
            typed.setCommitString(key);
            QCoreApplication::sendEvent(edit, &typed);
        }
        const QStringList passed = tabTo(search);
        QVERIFY2(search->hasFocus(), qPrintable(passed.join(u' ')));
        QVERIFY(passed.size() > 10);  // many boxes, key boxes among them
        QCOMPARE(w->searchField(), keyField);

        // The first record of the window's order (the number order) whose field holds the key.
        QCOMPARE(w->displayOrder(), 1);
        QString wanted;
        for (const QString& row : tableRows(book(), QStringLiteral("SELECT \"会員NO\", \"%1\" FROM \"個人台帳\" ORDER BY \"会員NO\"").arg(keyColumn)))
            if (wanted.isEmpty() && records::SearchFolded(row.section(u'|', 1, 1).section(u'=', 1)).contains(records::SearchFolded(key)))
                wanted = row.section(u'|', 0, 0).section(u'=', 1);
        QVERIFY(!wanted.isEmpty());
        dialogs->queueAnswer(Answer::No);  // "次の名簿を検索しますか？" after the first
        QTest::keyClick(search, Qt::Key_Return);
        QCOMPARE(w->recordMode(), int(Form3::Browse));
        QVERIFY2(!dialogs->shownTexts().contains(QStringLiteral("該当レコードはありません")),
                 qPrintable(dialogs->shownTexts().join(u'\n')));
        QCOMPARE(dialogs->pendingAnswers(), 0);
        QCOMPARE(w->cursor().record().text(QStringLiteral("会員NO")), wanted);
    }

    // ---- the record picture and the viewer by keys ----

    void recordPictureOpensTheViewer_data()
    {
        QTest::addColumn<QString>("program");
        QTest::addColumn<QString>("way");
        for (const QString& program : {QStringLiteral("kartovia"), QStringLiteral("adrovia")})
            for (const char* way : {"Enter", "keypad Enter", "space", "press action"})
                QTest::addRow("%s %s", qPrintable(program), way) << program << QString::fromLatin1(way);
    }
    void recordPictureOpensTheViewer()
    {
        QFETCH(QString, program);
        QFETCH(QString, way);
        start(program);
        auto* w = qobject_cast<Form3*>(open(QStringLiteral("Form3")));
        QVERIFY(w);
        makeActive(w);
        auto* picture = w->findChild<QWidget*>(QStringLiteral("Image1"));
        QVERIFY(picture);
        QVERIFY(picture->focusPolicy() & Qt::TabFocus);
        picture->setFocus(Qt::TabFocusReason);
        QTRY_VERIFY(picture->hasFocus());
        QVERIFY(!ui::WindowRegistry::instance().isLoaded(QStringLiteral("Form14")));
        if (way == QStringLiteral("Enter"))
            QTest::keyClick(picture, Qt::Key_Return);
        else if (way == QStringLiteral("keypad Enter"))
            QTest::keyClick(picture, Qt::Key_Enter, Qt::KeypadModifier);
        else if (way == QStringLiteral("space"))
            QTest::keyClick(picture, Qt::Key_Space);
        else
            pressByAccessibility(picture);
        auto* viewer = qobject_cast<Form14*>(ui::WindowRegistry::instance().find(QStringLiteral("Form14")));
        QVERIFY(viewer);
        QVERIFY(viewer->isVisible());
        QCOMPARE(viewer->PictureCount, 2);
    }

    void viewerByKeys()
    {
        start(QStringLiteral("kartovia"));
        auto* viewer = qobject_cast<Form14*>(open(QStringLiteral("Form14")));
        QVERIFY(viewer);
        makeActive(viewer);
        QCOMPARE(viewer->PictureCount, 2);

        // Tab reaches the scroll bar, the slide-show control and both thumbnails.
        QStringList reached;
        viewer->Image1[0]->setFocus(Qt::TabFocusReason);
        QTRY_VERIFY(viewer->Image1[0]->hasFocus());
        for (int i = 0; i < 20; ++i) {
            QTest::keyClick(viewer->focusWidget(), Qt::Key_Tab);
            reached << viewer->focusWidget()->objectName();
        }
        for (const char* name : {"HScroll1", "Image3", "Image2_0", "Image2_1", "Image4", "Image1_0"})
            QVERIFY2(reached.contains(QLatin1String(name)), qPrintable(reached.join(u' ')));
        QVERIFY(!reached.contains(QStringLiteral("Image2_2")));  // no picture there

        // Arrow keys on a thumbnail move through the pictures; the focus follows.
        viewer->Image2[0]->setFocus(Qt::TabFocusReason);
        QTest::keyClick(viewer->Image2[0], Qt::Key_Right);
        QCOMPARE(viewer->ShownIndex, 1);
        QVERIFY(viewer->windowTitle().contains(QStringLiteral("2/2")));
        QVERIFY(viewer->Image2[1]->hasFocus());
        QTest::keyClick(viewer->Image2[1], Qt::Key_Up);
        QCOMPARE(viewer->ShownIndex, 0);
        // Enter on a thumbnail shows its picture, the press action too.
        QTest::keyClick(viewer->Image2[0], Qt::Key_Tab);
        QVERIFY(viewer->Image2[1]->hasFocus());
        QTest::keyClick(viewer->Image2[1], Qt::Key_Return);
        QCOMPARE(viewer->ShownIndex, 1);
        pressByAccessibility(viewer->Image2[0]);
        QCOMPARE(viewer->ShownIndex, 0);
        // The scroll bar's arrows.
        viewer->HScroll1->setFocus(Qt::TabFocusReason);
        QTest::keyClick(viewer->HScroll1, Qt::Key_Right);
        QVERIFY2(viewer->ShownIndex == 1, qPrintable(QStringLiteral("value %1 max %2 focus %3").arg(viewer->HScroll1->value()).arg(viewer->HScroll1->maximum()).arg(viewer->focusWidget()->objectName())));
        QTest::keyClick(viewer->HScroll1, Qt::Key_Left);
        QCOMPARE(viewer->ShownIndex, 0);
        // The slide-show control by the space bar, then by Enter: 3 seconds, then 30.
        viewer->Image3->setFocus(Qt::TabFocusReason);
        QTest::keyClick(viewer->Image3, Qt::Key_Space);
        QVERIFY(viewer->SlideShowOn);
        QCOMPARE(viewer->Label2->text(), QStringLiteral("３秒"));
        QTest::keyClick(viewer->Image3, Qt::Key_Return);
        QCOMPARE(viewer->Label2->text(), QStringLiteral("３０秒"));
        // The picture pauses the show by Enter.
        viewer->Image1[0]->setFocus(Qt::TabFocusReason);
        QTest::keyClick(viewer->Image1[0], Qt::Key_Return);
        QVERIFY(!viewer->Timer1->isActive());
        QCOMPARE(viewer->Label3->text(), QStringLiteral("■"));
    }
};

QTEST_MAIN(TestKeyboardWork)
#include "tst_keyboardwork.moc"
