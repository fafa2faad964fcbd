// The value boxes of the record window: what leaving one stores and shows, the totals and
// averages their captions call for, and the selection on entering one.

#include "Form3EditFixture.h"

#include <QLineEdit>

using fixture::shown;

class TestForm3Values : public QObject, editfx::Fixture {
    Q_OBJECT

    // Captions of the ten value labels: the given ones, the built-in ones elsewhere.
    void setCaptions(const QList<QPair<int, QString>>& captions)
    {
        QStringList clear;
        for (int k = 1; k <= 10; ++k)
            clear << QStringLiteral("\"数値%1\" = NULL").arg(k);
        exec(QStringLiteral("UPDATE \"住所録ラベル\" SET ") + clear.join(QLatin1Char(',')));
        for (const auto& [box, caption] : captions)
            exec(QStringLiteral("UPDATE \"住所録ラベル\" SET \"数値%1\" = ?").arg(box + 1), {caption});
    }
    void setValues(const QList<QVariant>& values)
    {
        for (int k = 0; k < 10; ++k)
            exec(QStringLiteral("UPDATE \"個人台帳\" SET \"数値%1\" = ? WHERE \"会員NO\" = 1").arg(k + 1),
                 {k < values.size() ? values.at(k) : QVariant(0)});
    }
    QVariant value(int box) const { return stored(QStringLiteral("数値%1").arg(box + 1), 1); }

private slots:
    void initTestCase() { startCase(); }
    void cleanupTestCase() { endCase(); }
    void init() { freshFolder(); }
    void cleanup() { dropFolder(); }

    void totals_data()
    {
        QTest::addColumn<int>("totalAt");
        QTest::addColumn<int>("averageAt");
        QTest::addColumn<QVariantList>("values");
        QTest::addColumn<int>("box");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QVariantList>("expected");  // 数値1 to 数値5 afterwards
        QTest::addColumn<QStringList>("shown");      // Text2(0) to Text2(4) afterwards
        QTest::newRow("10, 0, 5: total 15, average 7.5")
            << 3 << 4 << QVariantList{10, 0} << 2 << "5" << QVariantList{10.0, 0.0, 5.0, 15.0, 7.5}
            << QStringList{"10", "", "5", "15", "7.5"};
        QTest::newRow("no value above 0: average 0, shown 0.0")
            << 3 << 4 << QVariantList{0, 0} << 2 << "0" << QVariantList{0.0, 0.0, 0.0, 0.0, 0.0}
            << QStringList{"", "", "0", "0", "0.0"};
        QTest::newRow("a whole average shows one decimal")
            << 3 << 4 << QVariantList{4, 6} << 2 << "5" << QVariantList{4.0, 6.0, 5.0, 15.0, 5.0}
            << QStringList{"4", "6", "5", "15", "5.0"};
        QTest::newRow("合計 on box 1: nothing is computed")
            << 1 << 4 << QVariantList{1, 2, 3, 4, 5} << 0 << "7" << QVariantList{7.0, 2.0, 3.0, 4.0, 5.0}
            << QStringList{"7", "2", "3", "4", "5"};
        QTest::newRow("typed into the total box: replaced by the sum")
            << 3 << -1 << QVariantList{1, 2, 3, 4} << 3 << "100" << QVariantList{1.0, 2.0, 3.0, 6.0, 0.0}
            << QStringList{"1", "2", "3", "6", ""};
        QTest::newRow("emptied first box stores 0 and recomputes")
            << 2 << 3 << QVariantList{8, 4} << 0 << "" << QVariantList{0.0, 4.0, 4.0, 4.0, 0.0}
            << QStringList{"0", "4", "4", "4.0", ""};
    }
    void totals()
    {
        QFETCH(int, totalAt);
        QFETCH(int, averageAt);
        QFETCH(QVariantList, values);
        QFETCH(int, box);
        QFETCH(QString, typed);
        QFETCH(QVariantList, expected);
        QFETCH(QStringList, shown);
        QList<QPair<int, QString>> captions{{totalAt, QStringLiteral("合計")}};
        if (averageAt >= 0)
            captions << qMakePair(averageAt, QStringLiteral("平均"));
        setCaptions(captions);
        setValues(values);
        auto w = load();
        typeAndLeave(w.get(), QStringLiteral("Text2_%1").arg(box), typed, QStringLiteral("Text2_9"));
        QVERIFY(dialogs->shown().isEmpty());
        for (int k = 0; k < 5; ++k) {
            QCOMPARE(value(k).toDouble(), expected.at(k).toDouble());
            QCOMPARE(fixture::shown(w.get(), QStringLiteral("Text2_%1").arg(k)), shown.at(k));
        }
    }

    void valueTexts_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<double>("stored");
        QTest::addColumn<QString>("shown");
        QTest::newRow("grouped") << "1,234" << 1234.0 << "1,234";
        QTest::newRow("fraction shown to one place") << "1234.56" << 1234.56 << "1,234.6";
        QTest::newRow("2.04 shown as 2.0") << "2.04" << 2.04 << "2.0";
        QTest::newRow("negative") << "-2.5" << -2.5 << "-2.5";
        QTest::newRow("emptied") << "" << 0.0 << "0";
    }
    void valueTexts()
    {
        QFETCH(QString, typed);
        QFETCH(double, stored);
        QFETCH(QString, shown);
        setCaptions({});
        auto w = load();
        typeAndLeave(w.get(), QStringLiteral("Text2_6"), typed, QStringLiteral("Text2_9"));
        QCOMPARE(value(6).toDouble(), stored);
        QCOMPARE(fixture::shown(w.get(), QStringLiteral("Text2_6")), shown);
    }

    // What the box shows of a stored value is rounded; passing through keeps the value itself.
    void passingThroughKeepsTheStoredValue()
    {
        setCaptions({});
        setValues({1234.56, 2.04});
        auto w = load();
        QCOMPARE(shown(w.get(), QStringLiteral("Text2_0")), QStringLiteral("1,234.6"));
        for (const QString& b : {QStringLiteral("Text2_0"), QStringLiteral("Text2_1")}) {
            box(w.get(), b)->setFocus(Qt::TabFocusReason);
            box(w.get(), QStringLiteral("Text2_9"))->setFocus(Qt::TabFocusReason);
        }
        QCOMPARE(value(0).toDouble(), 1234.56);
        QCOMPARE(value(1).toDouble(), 2.04);
        QCOMPARE(shown(w.get(), QStringLiteral("Text2_1")), QStringLiteral("2.0"));
    }

    void notANumberRefused()
    {
        setCaptions({{3, QStringLiteral("合計")}});
        setValues({1, 2, 3, 6});
        auto w = load();
        typeAndLeave(w.get(), QStringLiteral("Text2_1"), QStringLiteral("12a"), QStringLiteral("Text2_9"));
        expectRefused(w.get(), QStringLiteral("Text2_1"), QStringLiteral("12a"));
        QCOMPARE(dialogs->beeps(), 1);
        QCOMPARE(value(1).toDouble(), 2.0);
        QCOMPARE(value(3).toDouble(), 6.0);
    }

    void browseAndSearchModeWriteNothing()
    {
        setCaptions({});
        setValues({5});
        auto w = load(false);
        typeAndLeave(w.get(), QStringLiteral("Text2_0"), QStringLiteral("9"), QStringLiteral("Text2_9"));
        records::SetBoxText(box(w.get(), QStringLiteral("Text2_0")), QStringLiteral("9"));
        w->Text2_LostFocus(0);
        w->Command9_Click(1);  // search mode
        QCOMPARE(w->recordMode(), int(Form3::Search));
        w->Text2_LostFocus(0);
        QCOMPARE(value(0).toDouble(), 5.0);
        QVERIFY(dialogs->shown().isEmpty());
    }

    void enteringSelectsTheWholeText()
    {
        setCaptions({});
        setValues({1234, 0});
        auto w = load();
        auto* full = qobject_cast<QLineEdit*>(box(w.get(), QStringLiteral("Text2_0")));
        auto* empty = qobject_cast<QLineEdit*>(box(w.get(), QStringLiteral("Text2_1")));
        full->setFocus(Qt::MouseFocusReason);
        QCOMPARE(full->selectedText(), QStringLiteral("1,234"));
        empty->setFocus(Qt::MouseFocusReason);
        QVERIFY(!empty->hasSelectedText());
    }
};

QTEST_MAIN(TestForm3Values)
#include "tst_form3values.moc"
