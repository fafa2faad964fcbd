// Enter and the keypad's Enter press the focused command button in any window, and controls made
// pressable take the focus, are pressed by Enter or the space bar and offer the press action.

#include "platform/ui/Keyboard.h"

#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QWidget>

class TestKeyboard : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { ui::installKeyboardRules(); }

    void enterPressesTheFocusedButton_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<bool>("enabled");
        QTest::addColumn<bool>("focused");
        QTest::addColumn<int>("presses");
        QTest::newRow("Enter") << int(Qt::Key_Return) << int(Qt::NoModifier) << true << true << 1;
        QTest::newRow("keypad Enter") << int(Qt::Key_Enter) << int(Qt::KeypadModifier) << true << true << 1;
        QTest::newRow("space bar, as before") << int(Qt::Key_Space) << int(Qt::NoModifier) << true << true << 1;
        QTest::newRow("Ctrl+Enter is no press") << int(Qt::Key_Return) << int(Qt::ControlModifier) << true << true << 0;
        QTest::newRow("disabled button") << int(Qt::Key_Return) << int(Qt::NoModifier) << false << true << 0;
        QTest::newRow("Enter in a box beside it") << int(Qt::Key_Return) << int(Qt::NoModifier) << true << false << 0;
    }
    void enterPressesTheFocusedButton()
    {
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(bool, enabled);
        QFETCH(bool, focused);
        QFETCH(int, presses);
        QWidget window;  // a plain window, not a dialog
        auto* box = new QLineEdit(&window);
        box->setGeometry(10, 10, 100, 25);
        auto* button = new QPushButton(QStringLiteral("OK"), &window);
        button->setGeometry(10, 40, 100, 25);
        button->setEnabled(enabled);
        int count = 0;
        connect(button, &QPushButton::clicked, this, [&count] { ++count; });
        window.show();
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        QWidget* target = focused && enabled ? static_cast<QWidget*>(button) : box;
        target->setFocus(Qt::TabFocusReason);
        QTRY_VERIFY(target->hasFocus());
        QTest::keyClick(target, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
        QCOMPARE(count, presses);
    }

    void pressableControl_data()
    {
        QTest::addColumn<QString>("way");
        QTest::addColumn<int>("presses");
        QTest::newRow("Enter") << "enter" << 1;
        QTest::newRow("keypad Enter") << "keypad" << 1;
        QTest::newRow("space bar") << "space" << 1;
        QTest::newRow("press action") << "action" << 1;
        QTest::newRow("another key") << "letter" << 0;
        QTest::newRow("disabled") << "disabled" << 0;
    }
    void pressableControl()
    {
        QFETCH(QString, way);
        QFETCH(int, presses);
        QWidget window;
        auto* before = new QLineEdit(&window);
        before->setGeometry(10, 10, 100, 25);
        auto* picture = new QLabel(&window);
        picture->setGeometry(10, 40, 100, 100);
        picture->setAccessibleName(QStringLiteral("写真"));
        picture->setAccessibleDescription(QStringLiteral("Image1"));
        int count = 0;
        ui::makePressable(picture, [&count] { ++count; });
        QVERIFY(ui::isPressable(picture));
        window.show();
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        // Reached by Tab.
        before->setFocus(Qt::OtherFocusReason);
        QTest::keyClick(before, Qt::Key_Tab);
        QTRY_VERIFY(picture->hasFocus());

        QAccessibleInterface* a = QAccessible::queryAccessibleInterface(picture);
        QVERIFY(a);
        QCOMPARE(a->text(QAccessible::Name), QStringLiteral("写真"));
        QCOMPARE(a->text(QAccessible::Description), QStringLiteral("Image1"));
        QVERIFY(a->state().focusable);
        QVERIFY(a->actionInterface());
        QVERIFY2(a->actionInterface()->actionNames().contains(QAccessibleActionInterface::pressAction()),
                 qPrintable(a->actionInterface()->actionNames().join(u' ') + QString::number(a->role())));

        if (way == QLatin1String("enter"))
            QTest::keyClick(picture, Qt::Key_Return);
        else if (way == QLatin1String("keypad"))
            QTest::keyClick(picture, Qt::Key_Enter, Qt::KeypadModifier);
        else if (way == QLatin1String("space"))
            QTest::keyClick(picture, Qt::Key_Space);
        else if (way == QLatin1String("action"))
            a->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
        else if (way == QLatin1String("letter"))
            QTest::keyClick(picture, Qt::Key_A);
        else {
            picture->setEnabled(false);
            a->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
        }
        QCOMPARE(count, presses);
    }

    // A row of buttons as one Tab stop: Tab enters it where it was left, the arrows move along
    // it, and a button still takes the focus by a click.
    void rowIsOneTabStop()
    {
        QWidget window;
        auto* before = new QLineEdit(&window);
        QList<QWidget*> row;
        for (const char* caption : {"ｱ", "ｶ", "ｻ"})
            row << new QPushButton(QString::fromUtf8(caption), &window);
        auto* after = new QLineEdit(&window);
        ui::makeOneTabStop(row);
        window.show();
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        before->setFocus(Qt::OtherFocusReason);
        QTest::keyClick(before, Qt::Key_Tab);
        QTRY_VERIFY(row[0]->hasFocus());
        QTest::keyClick(row[0], Qt::Key_Right);
        QVERIFY(row[1]->hasFocus());
        QTest::keyClick(row[1], Qt::Key_Tab);
        QVERIFY(after->hasFocus());
        QTest::keyClick(after, Qt::Key_Backtab);
        QVERIFY(row[1]->hasFocus());
        QTest::keyClick(row[1], Qt::Key_Backtab);
        QVERIFY(before->hasFocus());
        QCOMPARE(row[0]->focusPolicy(), Qt::ClickFocus);
        QCOMPARE(row[1]->focusPolicy(), Qt::StrongFocus);
    }

    // A label pressed like a button is read by what it shows and framed while it has the focus.
    void pressableLabelIsReadByItsText()
    {
        QWidget window;
        auto* before = new QLineEdit(&window);
        auto* kana = new QLabel(QStringLiteral("ｶ"), &window);
        ui::makePressable(kana, [] {});
        window.show();
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        QAccessibleInterface* a = QAccessible::queryAccessibleInterface(kana);
        QVERIFY(a);
        QCOMPARE(a->text(QAccessible::Name), QStringLiteral("ｶ"));
        QCOMPARE(a->role(), QAccessible::Button);
        QCOMPARE(kana->frameShape(), QFrame::NoFrame);
        kana->setFocus(Qt::TabFocusReason);
        QTRY_VERIFY(kana->hasFocus());
        QCOMPARE(kana->frameShape(), QFrame::Box);
        before->setFocus(Qt::TabFocusReason);
        QTRY_VERIFY(before->hasFocus());
        QCOMPARE(kana->frameShape(), QFrame::NoFrame);
    }
};

QTEST_MAIN(TestKeyboard)
#include "tst_keyboard.moc"
