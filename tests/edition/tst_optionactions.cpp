// Every option array of every window of both programs, checked through assistive technology's
// toggle action, does what a click on it does: the order shown and stored, the option stored, the
// boxes rebuilt; toggling the checked option (an attempt to uncheck it) runs nothing. Check boxes
// go both ways.

#include "KeyboardFixture.h"

using namespace kbfx;

class TestOptionActions : public QObject, Fixture {
    Q_OBJECT
private slots:
    void initTestCase() { startFixture(); }
    void cleanupTestCase() { endFixture(); }
    void init() { startCase(); }
    void cleanup() { endCase(); }

    // ---- options and check boxes through the toggle action ----

    void toggleActionDoesWhatAClickDoes_data()
    {
        QTest::addColumn<QString>("program");
        QTest::addColumn<QString>("window");
        QTest::addColumn<QString>("control");
        QTest::addColumn<bool>("changes");  // whether a click changes what the window shows or stores

        auto rows = [](const QString& program, const QString& window, const QString& array, int count,
                       const QList<int>& unchanged = {}) {
            for (int i = 0; i < count; ++i)
                QTest::addRow("%s %s %s(%d)", qPrintable(program), qPrintable(window), qPrintable(array), i)
                    << program << window << QStringLiteral("%1_%2").arg(array).arg(i) << !unchanged.contains(i);
        };
        for (const QString& program : {QStringLiteral("kartovia"), QStringLiteral("adrovia")}) {
            // The orders: 1 is the order in force.
            rows(program, QStringLiteral("Form3"), QStringLiteral("Option2"), 6, {0});
            rows(program, QStringLiteral("Form4"), QStringLiteral("Option2"), 6, {0});
            // The printing window's choices have no handlers: a choice is only held.
            rows(program, QStringLiteral("Form5"), QStringLiteral("Option1"), 3, {0, 1, 2});
            rows(program, QStringLiteral("Form5"), QStringLiteral("Option2"), 2, {0, 1});
        }
        const QString k = QStringLiteral("kartovia");
        rows(k, QStringLiteral("Form3"), QStringLiteral("Option18"), 2);
        rows(k, QStringLiteral("Form3"), QStringLiteral("Option1"), 3);
        QTest::addRow("kartovia Form3 Check1") << k << QStringLiteral("Form3") << QStringLiteral("Check1") << true;
        // Dialler: the number to dial has no handler; the settings store themselves, except the
        // prefixes that hold only while the window is open.
        rows(k, QStringLiteral("Form11"), QStringLiteral("Option1"), 2, {0, 1});
        rows(k, QStringLiteral("Form11"), QStringLiteral("Option2"), 3);
        rows(k, QStringLiteral("Form11"), QStringLiteral("Option3"), 2);
        rows(k, QStringLiteral("Form11"), QStringLiteral("Option4"), 2);
        rows(k, QStringLiteral("Form11"), QStringLiteral("Option5"), 4, {2, 3});
        // Mail window: the recipients, the record list's order, the separator, the filters.
        rows(k, QStringLiteral("Form22"), QStringLiteral("Option1"), 3);
        rows(k, QStringLiteral("Form22"), QStringLiteral("Option2"), 3);
        rows(k, QStringLiteral("Form22"), QStringLiteral("Option3"), 2, {0, 1});
        rows(k, QStringLiteral("Form22"), QStringLiteral("Option4"), 4, {0});
        rows(k, QStringLiteral("Form22"), QStringLiteral("Option5"), 2, {0});
        rows(k, QStringLiteral("Form22"), QStringLiteral("Option6"), 6, {0});
        rows(k, QStringLiteral("Form22"), QStringLiteral("Option7"), 2, {0, 1});
        rows(k, QStringLiteral("Form22"), QStringLiteral("Option8"), 3, {0, 1, 2});
        rows(k, QStringLiteral("Form22"), QStringLiteral("Option9"), 2);
        rows(k, QStringLiteral("Form22"), QStringLiteral("Option10"), 3, {0, 1, 2});
        QTest::addRow("kartovia Form22 Check1") << k << QStringLiteral("Form22") << QStringLiteral("Check1") << true;
        QTest::addRow("kartovia Form22 Check2") << k << QStringLiteral("Form22") << QStringLiteral("Check2") << false;
        QTest::addRow("kartovia Form2 Check1(0)") << k << QStringLiteral("Form2") << QStringLiteral("Check1_0") << false;
        QTest::addRow("kartovia Form2 Check1(1)") << k << QStringLiteral("Form2") << QStringLiteral("Check1_1") << false;
    }
    void toggleActionDoesWhatAClickDoes()
    {
        QFETCH(QString, program);
        QFETCH(QString, window);
        QFETCH(QString, control);
        QFETCH(bool, changes);

        QWidget* w = prepare(program, window);
        QVERIFY(w);
        const QStringList before = snapshot(w);
        auto* button = w->findChild<QAbstractButton*>(control);
        QVERIFY2(button, qPrintable(control));
        const bool checkBox = !button->autoExclusive();
        if (!checkBox && button->isChecked()) {
            // The option in force: toggling it would uncheck it, which an option array refuses,
            // and nothing runs.
            toggleByAccessibility(button);
            QCoreApplication::processEvents();
            QVERIFY(button->isChecked());
            const QStringList after = snapshot(w);
            QVERIFY2(after == before, qPrintable(difference(before, after)));
            QVERIFY(dialogs->shownTexts().isEmpty());
            return;
        }

        // First by a click.
        const bool wasChecked = button->isChecked();
        button->click();
        QCoreApplication::processEvents();
        const QStringList clicked = snapshot(w);
        if (changes) {
            QVERIFY2(clicked != before, "a click changes nothing: the row shows nothing");
        } else {
            // Only the buttons of the array itself change.
            const QString array = control.section(u'_', 0, 0) + QLatin1Char('_');
            for (const QString& line : difference(before, clicked).split(u'\n', Qt::SkipEmptyParts))
                QVERIFY2(line.mid(2).startsWith(array) || line.mid(2).startsWith(control), qPrintable(line));
        }
        const QStringList shownByClick = dialogs->shownTexts();
        stop();
        dialogs->clearRecord();

        // Then through the toggle action, in a window loaded the same way on the same folder.
        w = prepare(program, window);
        QVERIFY(w);
        QCOMPARE(snapshot(w), before);
        button = w->findChild<QAbstractButton*>(control);
        toggleByAccessibility(button);
        QCoreApplication::processEvents();
        QCOMPARE(button->isChecked(), !wasChecked);
        const QStringList toggled = snapshot(w);
        QVERIFY2(toggled == clicked, qPrintable(difference(clicked, toggled)));
        QCOMPARE(dialogs->shownTexts(), shownByClick);

        // Toggled again: the option stays checked and nothing runs; a check box goes back.
        toggleByAccessibility(button);
        QCoreApplication::processEvents();
        if (checkBox) {
            QCOMPARE(button->isChecked(), wasChecked);
        } else {
            QVERIFY(button->isChecked());
            const QStringList again = snapshot(w);
            QVERIFY2(again == toggled, qPrintable(difference(toggled, again)));
            QCOMPARE(dialogs->shownTexts(), shownByClick);
        }
    }

};

QTEST_MAIN(TestOptionActions)
#include "tst_optionactions.moc"
