// Every window of both programs walked by real Tab and Shift+Tab presses: the walk visits each
// control that takes the focus once each way, in opposite orders, and comes back to where it
// started; a control that sends the focus on sends it the way the user was going; and a group of
// options is one Tab stop, entered on its chosen option.

#include "KeyboardFixture.h"

#include <QApplication>
#include "platform/ui/Options.h"

#include <QRadioButton>

using namespace kbfx;
using ui::Answer;

namespace {

QString nameOf(const QWidget* w)
{
    if (!w)
        return QStringLiteral("<none>");
    const QString n = w->objectName();
    return n.isEmpty() ? QStringLiteral("(%1)").arg(QLatin1String(w->metaObject()->className())) : n;
}

QString namesOf(const QList<QWidget*>& list)
{
    QStringList names;
    for (const QWidget* w : list)
        names << nameOf(w);
    return names.join(u' ');
}

// The zero timers of the focus handlers run.
void settle()
{
    for (int i = 0; i < 3; ++i)
        QCoreApplication::processEvents();
}

void press(bool forwards)
{
    QWidget* f = QApplication::focusWidget();
    QVERIFY2(f, "nothing has the focus");
    if (forwards)
        QTest::keyClick(f, Qt::Key_Tab);
    else
        QTest::keyClick(f, Qt::Key_Backtab, Qt::ShiftModifier);
    settle();
}

// Every control of the window that gets the focus, in order, also one whose got-focus handler
// sends the focus on at once.
class FocusTrail : public QObject {
public:
    explicit FocusTrail(QWidget* window) : window_(window) { qApp->installEventFilter(this); }
    ~FocusTrail() override { qApp->removeEventFilter(this); }
    QList<QWidget*> take() { return std::exchange(trail_, {}); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::FocusIn && watched->isWidgetType()) {
            auto* w = static_cast<QWidget*>(watched);
            if (w->window() == window_)
                trail_ << w;
        }
        return false;
    }

private:
    QWidget* window_;
    QList<QWidget*> trail_;
};

// The options that exclude each other as Qt groups them: auto-exclusive buttons of one parent.
QList<QList<QAbstractButton*>> optionGroups(QWidget* window)
{
    QList<QList<QAbstractButton*>> groups;
    QSet<QWidget*> parents;
    for (QRadioButton* b : window->findChildren<QRadioButton*>()) {
        if (!b->autoExclusive() || parents.contains(b->parentWidget()))
            continue;
        parents.insert(b->parentWidget());
        QList<QAbstractButton*> group;
        for (QAbstractButton* m : b->parentWidget()->findChildren<QAbstractButton*>())
            if (m->isCheckable() && m->autoExclusive())
                group << m;
        groups << group;
    }
    return groups;
}

bool canTakeFocus(const QWidget* w)
{
    return w->isVisible() && w->isEnabled() && w->focusPolicy() != Qt::NoFocus;
}

// The option of a group that Tab enters on: the chosen one, else the first.
QAbstractButton* entryOf(const QList<QAbstractButton*>& group)
{
    for (QAbstractButton* m : group)
        if (m->isChecked() && canTakeFocus(m))
            return m;
    for (QAbstractButton* m : group)
        if (canTakeFocus(m))
            return m;
    return nullptr;
}

}  // namespace

class TestTabWalk : public QObject, Fixture {
    Q_OBJECT

    // The window of a row, shown, active and standing as the row says.
    QWidget* openAs(const QString& program, const QString& window, const QString& mode)
    {
        start(program);
        QWidget* w = open(window);
        if (!w)
            return nullptr;
        makeActive(w);
        settle();
        if (auto* records = qobject_cast<Form3*>(w)) {
            if (mode == QStringLiteral("edit")) {
                records->Command9_Click(0);
            } else if (mode == QStringLiteral("new record")) {
                dialogs->queueAnswer(Answer::Yes);
                records->Command9_Click(2);
                records->Command9_Click(0);
            } else if (mode == QStringLiteral("search")) {
                records->Command9_Click(1);
            }
        }
        if (auto* tabs = w->findChild<QTabWidget*>(QStringLiteral("SSTab1"))) {
            tabs->setCurrentIndex(mode == QStringLiteral("receive tab") ? 1 : 0);
            tabs->tabBar()->setFocus(Qt::OtherFocusReason);
        }
        settle();
        return w;
    }

    static void addRows(bool everyMode)
    {
        QTest::addColumn<QString>("program");
        QTest::addColumn<QString>("window");
        QTest::addColumn<QString>("mode");
        for (const QString& program : {QStringLiteral("kartovia"), QStringLiteral("adrovia")}) {
            for (const QString& window : kWindows) {
                if (window == QStringLiteral("Form6") && program == QStringLiteral("adrovia"))
                    continue;  // no web links in the address-book program
                QStringList modes = {QString()};
                if (window == QStringLiteral("Form3") && everyMode)
                    modes = {QStringLiteral("browse"), QStringLiteral("edit"), QStringLiteral("new record"),
                             QStringLiteral("search")};
                if (window == QStringLiteral("Form22"))
                    modes = {QStringLiteral("send tab"), QStringLiteral("receive tab")};
                for (const QString& mode : modes)
                    QTest::addRow("%s %s%s%s", qPrintable(program), qPrintable(window), mode.isEmpty() ? "" : " ",
                                  qPrintable(mode))
                        << program << window << mode;
            }
        }
    }

    // Presses Tab (or Shift+Tab) until the focus is back where it started; every control that got
    // the focus on the way, in order, the last one being the start.
    QList<QWidget*> walk(FocusTrail& trail, bool forwards, int limit)
    {
        QWidget* start = QApplication::focusWidget();
        trail.take();
        for (int i = 0; i < limit; ++i) {
            press(forwards);
            if (QApplication::focusWidget() == start)
                break;
        }
        return trail.take();
    }

private slots:
    void initTestCase() { startFixture(); }
    void cleanupTestCase() { endFixture(); }
    void init() { startCase(); }
    void cleanup() { endCase(); }

    void walkForwardsAndBack_data() { addRows(true); }
    void walkForwardsAndBack()
    {
        QFETCH(QString, program);
        QFETCH(QString, window);
        QFETCH(QString, mode);
        QWidget* w = openAs(program, window, mode);
        QVERIFY(w);
        QWidget* start = QApplication::focusWidget();
        QVERIFY2(start && start->window() == w, qPrintable(nameOf(start)));
        FocusTrail trail(w);
        const int limit = 2 * w->findChildren<QWidget*>().size();

        const QList<QWidget*> forwards = walk(trail, true, limit);
        QVERIFY2(!forwards.isEmpty() && forwards.last() == start,
                 qPrintable(QStringLiteral("Tab does not come back to %1: %2").arg(nameOf(start), namesOf(forwards))));
        const QList<QWidget*> stops = forwards.mid(0, forwards.size() - 1);
        QCOMPARE(QSet<QWidget*>(stops.begin(), stops.end()).size(), stops.size());

        const QList<QWidget*> backwards = walk(trail, false, limit);
        QList<QWidget*> expected(stops.rbegin(), stops.rend());
        expected << start;
        QVERIFY2(backwards == expected, qPrintable(QStringLiteral("Shift+Tab goes\n%1\nTab went\n%2")
                                                       .arg(namesOf(backwards), namesOf(forwards))));

        // Every control that takes the focus is on the way; of a group of options, the option
        // that the group is entered on, and no other.
        QSet<QWidget*> options;
        for (const QList<QAbstractButton*>& group : optionGroups(w)) {
            QAbstractButton* entry = entryOf(group);
            for (QAbstractButton* m : group) {
                options.insert(m);
                QVERIFY2(forwards.contains(m) == (m == entry),
                         qPrintable(QStringLiteral("%1 (entry %2): %3").arg(nameOf(m), nameOf(entry), namesOf(forwards))));
            }
        }
        for (QWidget* c : w->findChildren<QWidget*>()) {
            if (options.contains(c) || c->focusProxy() || !canTakeFocus(c) || !(c->focusPolicy() & Qt::TabFocus))
                continue;
            QVERIFY2(forwards.contains(c) || c == start, qPrintable(QStringLiteral("%1 is never reached: %2")
                                                                        .arg(nameOf(c), namesOf(forwards))));
        }
    }

    // ---- the record window right after it opens ----

    // 登録区分 is a stop of the Tab round in browse mode from the first moment, both ways: the
    // focus lands on it and stays there, as after an order change.
    void categoryIsATabStopFromTheStart_data()
    {
        QTest::addColumn<QString>("program");
        QTest::addColumn<bool>("forwards");
        for (const char* program : {"kartovia", "adrovia"}) {
            QTest::addRow("%s Tab", program) << QString::fromLatin1(program) << true;
            QTest::addRow("%s Shift+Tab", program) << QString::fromLatin1(program) << false;
        }
    }
    void categoryIsATabStopFromTheStart()
    {
        QFETCH(QString, program);
        QFETCH(bool, forwards);
        auto* w = qobject_cast<Form3*>(openAs(program, QStringLiteral("Form3"), QStringLiteral("browse")));
        QVERIFY(w);
        QCOMPARE(w->recordMode(), int(Form3::Browse));
        auto* category = w->findChild<QWidget*>(QStringLiteral("Combo2"));
        QVERIFY(category);
        FocusTrail trail(w);
        const int limit = 2 * w->findChildren<QWidget*>().size();
        QStringList stops;
        for (int i = 0; i < limit && QApplication::focusWidget() != category; ++i) {
            press(forwards);
            stops << nameOf(QApplication::focusWidget());
        }
        QVERIFY2(QApplication::focusWidget() == category,
                 qPrintable(QStringLiteral("never stays on Combo2: ") + stops.mid(0, 60).join(u' ')));
        // And from the other side.
        press(forwards);
        QVERIFY(QApplication::focusWidget() != category);
        press(!forwards);
        QCOMPARE(nameOf(QApplication::focusWidget()), nameOf(category));
    }

    // ---- groups of options ----

    void tabEntersAGroupOnItsChosenOption_data() { addRows(false); }
    void tabEntersAGroupOnItsChosenOption()
    {
        QFETCH(QString, program);
        QFETCH(QString, window);
        QFETCH(QString, mode);
        QWidget* w = openAs(program, window, mode);
        QVERIFY(w);
        if (auto* records = qobject_cast<Form3*>(w))
            records->Command9_Click(0);  // edit mode, where the options store what they choose
        settle();
        int groups = 0;
        for (const QList<QAbstractButton*>& group : optionGroups(w)) {
            QList<QAbstractButton*> usable;  // a group on the other tab of the mail window has none
            for (QAbstractButton* m : group)
                if (canTakeFocus(m))
                    usable << m;
            if (usable.size() < 2)
                continue;
            ++groups;
            const QString name = usable.first()->objectName().section(u'_', 0, 0);

            // Each option chosen in turn, the last first: Tab from the control before the group
            // and Shift+Tab from the one after it land on it, whichever option had the focus last.
            QWidget *before = nullptr, *after = nullptr;
            enterAround(usable.first(), group, &before, &after);
            if (QTest::currentTestFailed())
                return;
            for (auto it = usable.rbegin(); it != usable.rend(); ++it) {
                QAbstractButton* chosen = *it;
                ui::checkOptionQuietly(chosen);
                QVERIFY(chosen->isChecked());
                before->setFocus(Qt::OtherFocusReason);
                settle();
                press(true);
                QVERIFY2(QApplication::focusWidget() == chosen,
                         qPrintable(QStringLiteral("Tab from %1 lands on %2, %3 is chosen")
                                        .arg(nameOf(before), nameOf(QApplication::focusWidget()), nameOf(chosen))));
                after->setFocus(Qt::OtherFocusReason);
                settle();
                press(false);
                QVERIFY2(QApplication::focusWidget() == chosen,
                         qPrintable(QStringLiteral("Shift+Tab from %1 lands on %2, %3 is chosen")
                                        .arg(nameOf(after), nameOf(QApplication::focusWidget()), nameOf(chosen))));
            }

            // The arrow keys move within the group and choose; Tab and Shift+Tab follow the choice.
            QAbstractButton* from = usable.first();
            ui::checkOptionQuietly(from);
            from->setFocus(Qt::OtherFocusReason);
            settle();
            for (Qt::Key arrow : {Qt::Key_Right, Qt::Key_Down}) {
                QTest::keyClick(from, arrow);
                settle();
                if (QApplication::focusWidget() != from)
                    break;
            }
            auto* moved = qobject_cast<QAbstractButton*>(QApplication::focusWidget());
            QVERIFY2(moved && moved != from && group.contains(moved), qPrintable(name + QStringLiteral(": ") + nameOf(moved)));
            QVERIFY2(moved->isChecked(), qPrintable(nameOf(moved)));
            press(true);
            QVERIFY2(!group.contains(QApplication::focusWidget()), qPrintable(nameOf(QApplication::focusWidget())));
            press(false);
            QCOMPARE(nameOf(QApplication::focusWidget()), nameOf(moved));

            // None chosen: the group is entered on its first option.
            for (QAbstractButton* m : group) {
                const QSignalBlocker quiet(m);
                m->setAutoExclusive(false);
                m->setChecked(false);
                m->setAutoExclusive(true);
            }
            before->setFocus(Qt::OtherFocusReason);
            settle();
            press(true);
            QCOMPARE(nameOf(QApplication::focusWidget()), nameOf(usable.first()));
            after->setFocus(Qt::OtherFocusReason);
            settle();
            press(false);
            QCOMPARE(nameOf(QApplication::focusWidget()), nameOf(usable.first()));
        }
        if (groups == 0)
            QSKIP("no group of options");
    }

private:
    // The controls before and after the group in the Tab chain, found from an option of it:
    // neither is an option of the group, as the group is one Tab stop.
    void enterAround(QAbstractButton* option, const QList<QAbstractButton*>& group, QWidget** before, QWidget** after)
    {
        option->setFocus(Qt::OtherFocusReason);
        settle();
        QVERIFY2(option->hasFocus(), qPrintable(nameOf(option)));
        press(true);
        *after = QApplication::focusWidget();
        option->setFocus(Qt::OtherFocusReason);
        settle();
        press(false);
        *before = QApplication::focusWidget();
        const QString where = nameOf(option) + QStringLiteral(": before ") + nameOf(*before) + QStringLiteral(", after ")
            + nameOf(*after);
        QVERIFY2(*before && *after, qPrintable(where));
        QVERIFY2(!group.contains(*before) && !group.contains(*after), qPrintable(where));
    }
};

QTEST_MAIN(TestTabWalk)
#include "tst_tabwalk.moc"
