// How the record window writes values, dates, years and the position.

#include "records/RecordDisplay.h"

#include <QTest>

using records::EraDateTexts;

namespace {

QList<Module1::Era> eras()
{
    return {{QStringLiteral("明治"), QDate(1868, 9, 8)}, {QStringLiteral("大正"), QDate(1912, 7, 30)},
            {QStringLiteral("昭和"), QDate(1926, 12, 25)}, {QStringLiteral("平成"), QDate(1989, 1, 8)},
            {QStringLiteral("令和"), QDate(2019, 5, 1)}};
}

} // namespace

class TestRecordDisplay : public QObject {
    Q_OBJECT
private slots:
    void valueField_data()
    {
        QTest::addColumn<QVariant>("stored");
        QTest::addColumn<QString>("shown");
        QTest::newRow("null is empty") << QVariant() << "";
        QTest::newRow("zero is empty") << QVariant(0) << "";
        QTest::newRow("real zero is empty") << QVariant(0.0) << "";
        QTest::newRow("whole number grouped") << QVariant(1234) << "1,234";
        QTest::newRow("whole real without decimals") << QVariant(1234.0) << "1,234";
        QTest::newRow("fraction one decimal") << QVariant(1234.56) << "1,234.6";
        QTest::newRow("fraction rounding to .0") << QVariant(2.04) << "2.0";
        QTest::newRow("negative fraction") << QVariant(-2.5) << "-2.5";
        QTest::newRow("negative whole") << QVariant(-7) << "-7";
        QTest::newRow("million") << QVariant(1000000) << "1,000,000";
        QTest::newRow("beyond 16 and 32 bits") << QVariant(qint64(5000000000)) << "5,000,000,000";
        QTest::newRow("small fraction") << QVariant(0.04) << "0.0";
    }
    void valueField()
    {
        QFETCH(QVariant, stored);
        QFETCH(QString, shown);
        QCOMPARE(records::ValueFieldText(stored), shown);
    }

    void eraTexts_data()
    {
        QTest::addColumn<QDate>("date");
        QTest::addColumn<QString>("eraName");
        QTest::addColumn<QString>("eraDate");
        QTest::addColumn<QString>("western");
        QTest::newRow("heisei 13") << QDate(2001, 5, 20) << "平成" << "13/05/20" << "2001/05/20(日)";
        QTest::newRow("last day of showa") << QDate(1989, 1, 7) << "昭和" << "64/01/07" << "1989/01/07(土)";
        QTest::newRow("first day of heisei") << QDate(1989, 1, 8) << "平成" << "01/01/08" << "1989/01/08(日)";
        QTest::newRow("first day of reiwa") << QDate(2019, 5, 1) << "令和" << "01/05/01" << "2019/05/01(水)";
        QTest::newRow("before the first era") << QDate(1868, 9, 7) << "" << "" << "1868/09/07(月)";
    }
    void eraTexts()
    {
        QFETCH(QDate, date);
        QFETCH(QString, eraName);
        QFETCH(QString, eraDate);
        QFETCH(QString, western);
        QString left = QStringLiteral("previous");
        const EraDateTexts t = records::EraTexts(eras(), date, &left);
        QCOMPARE(t.eraName, eraName);
        QCOMPARE(t.eraDate, eraDate);
        QCOMPARE(t.western, western);
        QCOMPARE(left, eraDate);  // the shared era-relative date follows each conversion
    }

    void eraNameIsTwoCharactersOfTheEraYear()
    {
        // An era name of three characters still gives two: the era box takes the year's text.
        const QList<Module1::Era> long_ = {{QStringLiteral("新元号"), QDate(2000, 1, 1)}};
        QCOMPARE(records::EraTexts(long_, QDate(2001, 1, 1)).eraName, QStringLiteral("新元"));
    }

    void yearsSince_data()
    {
        QTest::addColumn<QDate>("registered");
        QTest::addColumn<QString>("shown");
        const QDate today(2024, 4, 1);
        QTest::newRow("registered today") << today << "0 年";
        QTest::newRow("registered later than today") << QDate(2025, 1, 1) << "0 年";
        QTest::newRow("day before the anniversary") << QDate(2001, 4, 2) << "22 年";
        QTest::newRow("on the anniversary") << QDate(2001, 4, 1) << "23 年";
    }
    void yearsSince()
    {
        QFETCH(QDate, registered);
        QFETCH(QString, shown);
        QCOMPARE(records::YearsSinceText(registered, QDate(2024, 4, 1)), shown);
    }

    void position_data()
    {
        QTest::addColumn<int>("position");
        QTest::addColumn<int>("count");
        QTest::addColumn<QString>("shown");
        QTest::newRow("third of 120") << 2 << 120 << "3/120";
        QTest::newRow("first") << 0 << 1 << "1/1";
        QTest::newRow("beyond 16 bits") << 99999 << 100000 << "100000/100000";
        QTest::newRow("no records") << -1 << 0 << "0/0";
    }
    void position()
    {
        QFETCH(int, position);
        QFETCH(int, count);
        QFETCH(QString, shown);
        QCOMPARE(records::PositionText(position, count), shown);
    }

    void optionGroups_data()
    {
        QTest::addColumn<QVariant>("stored");
        QTest::addColumn<int>("sex");
        QTest::addColumn<int>("state");
        QTest::newRow("1") << QVariant(QStringLiteral("1")) << 0 << 0;
        QTest::newRow("2") << QVariant(QStringLiteral("2")) << 1 << 1;
        QTest::newRow("3 is a state only") << QVariant(QStringLiteral("3")) << -1 << 2;
        QTest::newRow("other value") << QVariant(QStringLiteral("9")) << -1 << -1;
        QTest::newRow("empty") << QVariant(QString("")) << -1 << -1;
        QTest::newRow("null") << QVariant() << -1 << -1;
    }
    void optionGroups()
    {
        QFETCH(QVariant, stored);
        QFETCH(int, sex);
        QFETCH(int, state);
        QCOMPARE(records::SexOption(stored), sex);
        QCOMPARE(records::StateOption(stored), state);
    }

    void refusesMailAndStoredDates()
    {
        QVERIFY(records::RefusesMail(true));
        QVERIFY(!records::RefusesMail(false));
        QVERIFY(!records::RefusesMail(QVariant()));
        QCOMPARE(records::StoredDate(QDate(2001, 5, 20)), QDate(2001, 5, 20));
        QVERIFY(!records::StoredDate(QVariant()).isValid());
        // A date field holding something that is not a date shows as empty.
        QVERIFY(!records::StoredDate(QStringLiteral("not a date")).isValid());
    }
};

QTEST_APPLESS_MAIN(TestRecordDisplay)
#include "tst_recorddisplay.moc"
