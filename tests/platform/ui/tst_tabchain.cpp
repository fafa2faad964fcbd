// The Tab chain of a small window, by real Tab and Shift+Tab presses: boxes whose got-focus
// handler sends the focus on send it the way the user was going, and a group of options is one
// Tab stop entered on its chosen option.

#include "platform/ui/FocusCommit.h"
#include "platform/ui/Keyboard.h"
#include "platform/ui/TabChain.h"

#include <QApplication>
#include <QButtonGroup>
#include <QLineEdit>
#include <QRadioButton>
#include <QVBoxLayout>
#include <QtTest>

#include <memory>

namespace {

void settle()
{
    for (int i = 0; i < 3; ++i)
        QCoreApplication::processEvents();
}

QString focused()
{
    const QWidget* f = QApplication::focusWidget();
    return f ? f->objectName() : QStringLiteral("<none>");
}

void press(int key)
{
    QWidget* f = QApplication::focusWidget();
    QVERIFY(f);
    QTest::keyClick(f, Qt::Key(key), key == Qt::Key_Backtab ? Qt::ShiftModifier : Qt::NoModifier);
    settle();
}

}  // namespace

class TestTabChain : public QObject {
    Q_OBJECT

    std::unique_ptr<QWidget> window_;

    template <class T>
    T* add(const QString& name)
    {
        auto* w = new T(window_.get());
        w->setObjectName(name);
        window_->layout()->addWidget(w);
        return w;
    }
    QWidget* child(const QString& name) const { return window_->findChild<QWidget*>(name); }
    void showWindow()
    {
        window_->show();
        window_->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window_.get()));
    }

private slots:
    void initTestCase() { ui::installKeyboardRules(); }
    void init()
    {
        window_ = std::make_unique<QWidget>();
        new QVBoxLayout(window_.get());
    }
    void cleanup() { window_.reset(); }

    // first, pass1, pass2, last: the two middle boxes send the focus on to `last` when reached
    // otherwise than by keys.
    void passingOnFollowsTheUsersWay_data()
    {
        QTest::addColumn<QString>("from");
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("lands");
        QTest::newRow("Tab passes both boxes") << "first" << int(Qt::Key_Tab) << "last";
        QTest::newRow("Shift+Tab passes both boxes back") << "last" << int(Qt::Key_Backtab) << "first";
    }
    void passingOnFollowsTheUsersWay()
    {
        QFETCH(QString, from);
        QFETCH(int, key);
        QFETCH(QString, lands);
        add<QLineEdit>(QStringLiteral("first"));
        auto* pass1 = add<QLineEdit>(QStringLiteral("pass1"));
        auto* pass2 = add<QLineEdit>(QStringLiteral("pass2"));
        auto* last = add<QLineEdit>(QStringLiteral("last"));
        QStringList got;
        for (QLineEdit* box : {pass1, pass2}) {
            auto* watch = ui::onLostFocus(box, {});
            watch->setGotFocus([&got, box, last] {
                got << box->objectName();
                ui::passFocusOn(box, last);
            });
        }
        showWindow();
        child(from)->setFocus(Qt::OtherFocusReason);
        settle();
        press(key);
        QCOMPARE(focused(), lands);
        const QStringList both = key == Qt::Key_Tab ? QStringList{QStringLiteral("pass1"), QStringLiteral("pass2")}
                                                    : QStringList{QStringLiteral("pass2"), QStringLiteral("pass1")};
        QCOMPARE(got, both);
    }

    void passingOnByMouseOrProgramGoesOnwards()
    {
        add<QLineEdit>(QStringLiteral("first"));
        auto* pass = add<QLineEdit>(QStringLiteral("pass"));
        add<QLineEdit>(QStringLiteral("middle"));
        auto* onwards = add<QLineEdit>(QStringLiteral("onwards"));
        ui::onLostFocus(pass, {})->setGotFocus([pass, onwards] { ui::passFocusOn(pass, onwards); });
        showWindow();
        for (Qt::FocusReason reason : {Qt::MouseFocusReason, Qt::OtherFocusReason}) {
            pass->setFocus(reason);
            settle();
            QCOMPARE(focused(), QStringLiteral("onwards"));
        }
        // Called outside a got-focus handler, it goes onwards too.
        QCOMPARE(ui::FocusCommit::gotFocusReason(), Qt::OtherFocusReason);
    }

    // before, a group of three options (auto-exclusive, or an exclusive button group), after.
    void groupIsOneStopOnItsChoice_data()
    {
        QTest::addColumn<bool>("buttonGroup");
        QTest::addColumn<int>("chosen");    // -1: none
        QTest::addColumn<int>("disabled");  // -1: none
        QTest::addColumn<QString>("entry");
        for (bool buttonGroup : {false, true}) {
            const char* kind = buttonGroup ? "button group" : "auto-exclusive";
            QTest::addRow("%s, last chosen", kind) << buttonGroup << 2 << -1 << "o2";
            QTest::addRow("%s, middle chosen", kind) << buttonGroup << 1 << -1 << "o1";
            QTest::addRow("%s, none chosen", kind) << buttonGroup << -1 << -1 << "o0";
            QTest::addRow("%s, chosen one disabled", kind) << buttonGroup << 2 << 2 << "o0";
            QTest::addRow("%s, none chosen, first disabled", kind) << buttonGroup << -1 << 0 << "o1";
        }
    }
    void groupIsOneStopOnItsChoice()
    {
        QFETCH(bool, buttonGroup);
        QFETCH(int, chosen);
        QFETCH(int, disabled);
        QFETCH(QString, entry);
        add<QLineEdit>(QStringLiteral("before"));
        QList<QRadioButton*> options;
        auto* group = new QButtonGroup(window_.get());
        for (int i = 0; i < 3; ++i) {
            options << add<QRadioButton>(QStringLiteral("o%1").arg(i));
            if (buttonGroup) {
                options.last()->setAutoExclusive(false);
                group->addButton(options.last());
            }
        }
        add<QLineEdit>(QStringLiteral("after"));
        showWindow();
        // Qt keeps as the stop the option that had the focus last: let it be another one.
        int other = (entry.mid(1).toInt() + 1) % 3;
        if (other == disabled)
            other = (other + 1) % 3;
        options[other]->setFocus(Qt::OtherFocusReason);
        if (chosen >= 0)
            options[chosen]->setChecked(true);
        if (disabled >= 0)
            options[disabled]->setEnabled(false);

        child(QStringLiteral("before"))->setFocus(Qt::OtherFocusReason);
        press(Qt::Key_Tab);
        QCOMPARE(focused(), entry);
        press(Qt::Key_Tab);
        QCOMPARE(focused(), QStringLiteral("after"));
        press(Qt::Key_Backtab);
        QCOMPARE(focused(), entry);
        press(Qt::Key_Backtab);
        QCOMPARE(focused(), QStringLiteral("before"));
    }

    void arrowsMoveAndChooseWithinTheGroup()
    {
        add<QLineEdit>(QStringLiteral("before"));
        QList<QRadioButton*> options;
        for (int i = 0; i < 3; ++i)
            options << add<QRadioButton>(QStringLiteral("o%1").arg(i));
        add<QLineEdit>(QStringLiteral("after"));
        options[0]->setChecked(true);
        showWindow();
        child(QStringLiteral("before"))->setFocus(Qt::OtherFocusReason);
        press(Qt::Key_Tab);
        QCOMPARE(focused(), QStringLiteral("o0"));
        press(Qt::Key_Down);
        QCOMPARE(focused(), QStringLiteral("o1"));
        QVERIFY(options[1]->isChecked());
        press(Qt::Key_Tab);
        QCOMPARE(focused(), QStringLiteral("after"));
        // The program chooses another: the group is entered there.
        options[2]->setChecked(true);
        press(Qt::Key_Backtab);
        QCOMPARE(focused(), QStringLiteral("o2"));
    }
};

QTEST_MAIN(TestTabChain)
#include "tst_tabchain.moc"
