// Option arrays raise their handler once whenever an option becomes checked, whoever checks it
// (mouse, keys, program, assistive technology), and never when one becomes unchecked; check
// boxes raise theirs on every change of value.

#include "platform/ui/Options.h"

#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QCheckBox>
#include <QRadioButton>
#include <QEventLoop>
#include <QTest>
#include <QTimer>
#include <QWidget>

#include <array>
#include <memory>

namespace {

void toggleByAccessibility(QAbstractButton* b)
{
    QAccessibleInterface* a = QAccessible::queryAccessibleInterface(b);
    QVERIFY(a && a->actionInterface());
    QVERIFY(a->actionInterface()->actionNames().contains(QAccessibleActionInterface::toggleAction()));
    a->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
}

} // namespace

class TestOptionHandlers : public QObject {
    Q_OBJECT

    struct Array {
        std::unique_ptr<QWidget> window = std::make_unique<QWidget>();
        std::array<QRadioButton*, 3> options{};
        QList<int> runs;
        explicit Array(ui::ChosenClick chosenClick, bool putBackOnTwo = false, bool localLoop = false)
        {
            for (int i = 0; i < 3; ++i) {
                options[size_t(i)] = new QRadioButton(QStringLiteral("option %1").arg(i), window.get());
                options[size_t(i)]->setGeometry(10, 10 + 30 * i, 200, 25);
            }
            options[0]->setChecked(true);
            ui::onOptionChecked(options, [this, putBackOnTwo, localLoop](int i) {
                runs << i;
                // As a message box does: events are handled before the handler returns.
                if (localLoop) {
                    QEventLoop loop;
                    QTimer::singleShot(0, &loop, &QEventLoop::quit);
                    loop.exec();
                }
                // A refused choice: the option in force is put back.
                if (putBackOnTwo && i == 2)
                    options[0]->setChecked(true);
            }, chosenClick);
        }
    };

private slots:
    void optionHandlerRuns_data()
    {
        QTest::addColumn<QString>("way");
        QTest::addColumn<bool>("chosenClickRuns");
        QTest::addColumn<QList<int>>("runs");
        QTest::addColumn<int>("checked");  // the option checked afterwards
        QTest::newRow("mouse click on another") << "click 1" << false << QList<int>{1} << 1;
        QTest::newRow("space bar on another") << "space 1" << false << QList<int>{1} << 1;
        QTest::newRow("program checks another") << "set 1" << false << QList<int>{1} << 1;
        QTest::newRow("toggle action on another") << "toggle 1" << false << QList<int>{1} << 1;
        QTest::newRow("toggle action on the checked one") << "toggle 0" << false << QList<int>{} << 0;
        QTest::newRow("check by the program, not yet checked") << "check 2" << false << QList<int>{2} << 2;
        QTest::newRow("check by the program, already checked") << "check 0" << false << QList<int>{0} << 0;
        QTest::newRow("put back quietly") << "quiet 1" << false << QList<int>{} << 1;
        QTest::newRow("turned off outside the group rule") << "off 0" << false << QList<int>{} << -1;
        QTest::newRow("handler puts the old option back") << "click 2 putback" << false << QList<int>{2} << 0;
        QTest::newRow("click on the chosen one, ignored") << "click 0" << false << QList<int>{} << 0;
        QTest::newRow("click on the chosen one, runs") << "click 0" << true << QList<int>{0} << 0;
        QTest::newRow("click on another, chosen click runs") << "click 1" << true << QList<int>{1} << 1;
        QTest::newRow("click() on the chosen one, runs") << "press 0" << true << QList<int>{0} << 0;
        QTest::newRow("click() on another, chosen click runs") << "press 1" << true << QList<int>{1} << 1;
        QTest::newRow("handler with a message, once a click") << "click 1 loop" << true << QList<int>{1} << 1;
        QTest::newRow("space on the chosen one, runs") << "space 0" << true << QList<int>{0} << 0;
        QTest::newRow("toggle action on another, chosen click runs") << "toggle 1" << true << QList<int>{1} << 1;
        QTest::newRow("program checks another, chosen click runs") << "set 2" << true << QList<int>{2} << 2;
    }
    void optionHandlerRuns()
    {
        QFETCH(QString, way);
        QFETCH(bool, chosenClickRuns);
        QFETCH(QList<int>, runs);
        QFETCH(int, checked);
        const QStringList words = way.split(u' ');
        Array a(chosenClickRuns ? ui::ChosenClick::Runs : ui::ChosenClick::Ignored, words.contains(QStringLiteral("putback")),
                words.contains(QStringLiteral("loop")));
        a.window->show();
        QVERIFY(QTest::qWaitForWindowExposed(a.window.get()));
        QAbstractButton* target = a.options[size_t(words[1].toInt())];
        if (words[0] == QLatin1String("click"))
            QTest::mouseClick(target, Qt::LeftButton, {}, QPoint(8, 12));
        else if (words[0] == QLatin1String("press"))
            target->click();
        else if (words[0] == QLatin1String("space"))
            QTest::keyClick(target, Qt::Key_Space);
        else if (words[0] == QLatin1String("set"))
            target->setChecked(true);
        else if (words[0] == QLatin1String("toggle"))
            toggleByAccessibility(target);
        else if (words[0] == QLatin1String("check"))
            ui::checkOption(target);
        else if (words[0] == QLatin1String("quiet"))
            ui::checkOptionQuietly(target);
        else if (words[0] == QLatin1String("off")) {
            target->setAutoExclusive(false);
            target->setChecked(false);
            target->setAutoExclusive(true);
        }
        QCoreApplication::processEvents();
        QCOMPARE(a.runs, runs);
        for (int i = 0; i < 3; ++i)
            QCOMPARE(a.options[size_t(i)]->isChecked(), i == checked);
    }

    // A second change later runs the handler again: nothing of the first is left over.
    void everyChangeRunsAgain()
    {
        Array a(ui::ChosenClick::Runs);
        a.window->show();
        QVERIFY(QTest::qWaitForWindowExposed(a.window.get()));
        toggleByAccessibility(a.options[1]);
        QCoreApplication::processEvents();
        QTest::mouseClick(a.options[1], Qt::LeftButton, {}, QPoint(8, 12));
        toggleByAccessibility(a.options[2]);
        QTest::mouseClick(a.options[0], Qt::LeftButton, {}, QPoint(8, 12));
        QCOMPARE(a.runs, (QList<int>{1, 1, 2, 0}));
    }

    void checkBoxHandlerRuns_data()
    {
        QTest::addColumn<QString>("way");
        QTest::addColumn<int>("runs");
        QTest::newRow("mouse click") << "click" << 1;
        QTest::newRow("space bar") << "space" << 1;
        QTest::newRow("toggle action") << "toggle" << 1;
        QTest::newRow("program changes the value") << "set" << 1;
        QTest::newRow("program sets the same value") << "same" << 0;
    }
    void checkBoxHandlerRuns()
    {
        QFETCH(QString, way);
        QFETCH(int, runs);
        QWidget window;
        auto* box = new QCheckBox(QStringLiteral("box"), &window);
        box->setGeometry(10, 10, 200, 25);
        int count = 0;
        ui::onCheckChanged(box, [&count] { ++count; });
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        if (way == QLatin1String("click"))
            QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(8, 12));
        else if (way == QLatin1String("space"))
            QTest::keyClick(box, Qt::Key_Space);
        else if (way == QLatin1String("toggle"))
            toggleByAccessibility(box);
        else if (way == QLatin1String("set"))
            box->setChecked(true);
        else
            box->setChecked(false);
        QCOMPARE(count, runs);
        QCOMPARE(box->isChecked(), runs == 1);
    }
};

QTEST_MAIN(TestOptionHandlers)
#include "tst_optionhandlers.moc"
