// The value fields: reading a value box's text, showing a stored value, and the total and
// average that the value labels' captions call for.

#include "records/ValueTotals.h"

#include <QTest>

using records::ValueFields;

Q_DECLARE_METATYPE(ValueFields)

namespace {

// Ten captions: the given ones at their boxes, the built-in ones elsewhere.
QStringList captions(const QList<QPair<int, QString>>& own)
{
    QStringList c;
    for (int k = 0; k < 10; ++k)
        c << QStringLiteral("数値%1").arg(k + 1);
    for (const auto& [box, caption] : own)
        c[box] = caption;
    return c;
}

ValueFields values(std::initializer_list<double> first)
{
    ValueFields v{};
    int k = 0;
    for (double d : first)
        v[size_t(k++)] = d;
    return v;
}

} // namespace

class TestValueTotals : public QObject {
    Q_OBJECT
private slots:
    void parse_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("isNumber");
        QTest::addColumn<double>("value");
        QTest::newRow("grouped as shown") << "1,234" << true << 1234.0;
        QTest::newRow("grouped millions with fraction") << "1,234,567.5" << true << 1234567.5;
        QTest::newRow("fraction") << "1234.56" << true << 1234.56;
        QTest::newRow("negative") << "-2.5" << true << -2.5;
        QTest::newRow("plus sign") << "+7" << true << 7.0;
        QTest::newRow("leading point") << ".5" << true << 0.5;
        QTest::newRow("spaces around") << " 12 " << true << 12.0;
        QTest::newRow("letter after digits") << "12a" << false << 0.0;
        QTest::newRow("commas not in threes") << "1,23" << false << 0.0;
        QTest::newRow("exponent") << "1e3" << false << 0.0;
        QTest::newRow("sign alone") << "-" << false << 0.0;
        QTest::newRow("two points") << "1.2.3" << false << 0.0;
        QTest::newRow("full-width digits") << "１２" << false << 0.0;
        QTest::newRow("empty") << "" << false << 0.0;
    }
    void parse()
    {
        QFETCH(QString, text);
        QFETCH(bool, isNumber);
        QFETCH(double, value);
        const std::optional<double> read = records::ParseValueText(text);
        QCOMPARE(read.has_value(), isNumber);
        if (read)
            QCOMPARE(*read, value);
    }

    void shownAfterStore_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("average");
        QTest::newRow("grouped whole") << 1234.0 << "1,234" << "1,234.0";
        QTest::newRow("fraction to one place") << 1234.56 << "1,234.6" << "1,234.6";
        QTest::newRow("fraction rounding to .0") << 2.04 << "2.0" << "2.0";
        QTest::newRow("negative") << -2.5 << "-2.5" << "-2.5";
        QTest::newRow("whole") << 7.0 << "7" << "7.0";
        QTest::newRow("zero shows 0 after a store") << 0.0 << "0" << "0.0";
    }
    void shownAfterStore()
    {
        QFETCH(double, value);
        QFETCH(QString, stored);
        QFETCH(QString, average);
        QCOMPARE(records::StoredValueText(value), stored);
        QCOMPARE(records::AverageText(value), average);
    }

    void computed_data()
    {
        QTest::addColumn<QStringList>("captions");
        QTest::addColumn<ValueFields>("values");
        QTest::addColumn<int>("totalBox");
        QTest::addColumn<double>("total");
        QTest::addColumn<int>("averageBox");
        QTest::addColumn<double>("average");
        const QStringList totalThenAverage = captions({{3, "合計"}, {4, "平均"}});
        QTest::newRow("10, 0, 5: total 15, average 7.5 over the two above 0")
            << totalThenAverage << values({10, 0, 5}) << 3 << 15.0 << 4 << 7.5;
        QTest::newRow("no value above 0: average 0")
            << totalThenAverage << values({0, 0, 0}) << 3 << 0.0 << 4 << 0.0;
        QTest::newRow("only negatives: average 0, not a division by 0")
            << totalThenAverage << values({-1, -2, 0}) << 3 << -3.0 << 4 << 0.0;
        QTest::newRow("10 and -4: total 6, average 6 (n is 1)")
            << captions({{2, "合計"}, {3, "平均"}}) << values({10, -4}) << 2 << 6.0 << 3 << 6.0;
        QTest::newRow("the typed total is replaced by the sum")
            << totalThenAverage << values({1, 2, 3, 99}) << 3 << 6.0 << 4 << 2.0;
        QTest::newRow("合計 on box 1: nothing at all")
            << captions({{1, "合計"}, {4, "平均"}}) << values({1, 2, 3}) << -1 << 0.0 << -1 << 0.0;
        QTest::newRow("合計 on box 0: nothing at all")
            << captions({{0, "合計"}, {5, "合計"}}) << values({1, 2, 3}) << -1 << 0.0 << -1 << 0.0;
        QTest::newRow("two 合計: only the first is a total")
            << captions({{3, "合計"}, {6, "合計"}}) << values({1, 2, 3, 0, 4, 5}) << 3 << 6.0 << -1 << 0.0;
        QTest::newRow("平均 on box 2 is never computed")
            << captions({{2, "平均"}, {5, "合計"}}) << values({1, 2, 3}) << 5 << 6.0 << -1 << 0.0;
        QTest::newRow("平均 without a total is not computed")
            << captions({{4, "平均"}}) << values({1, 2, 3}) << -1 << 0.0 << -1 << 0.0;
        QTest::newRow("合計金額 begins with 合計")
            << captions({{2, "合計金額"}}) << values({1000, 500}) << 2 << 1500.0 << -1 << 0.0;
        QTest::newRow("月合計 does not")
            << captions({{2, "月合計"}}) << values({1000, 500}) << -1 << 0.0 << -1 << 0.0;
        QTest::newRow("a computed field before the total is added like any other")
            << captions({{2, "合計"}, {9, "合計"}}) << values({1, 1, 50, 1}) << 2 << 2.0 << -1 << 0.0;
    }
    void computed()
    {
        QFETCH(QStringList, captions);
        QFETCH(ValueFields, values);
        QFETCH(int, totalBox);
        QFETCH(double, total);
        QFETCH(int, averageBox);
        QFETCH(double, average);
        const records::ComputedValues c = records::ComputeValues(captions, values);
        QCOMPARE(c.totalBox, totalBox);
        QCOMPARE(c.total, total);
        QCOMPARE(c.averageBox, averageBox);
        QCOMPARE(c.average, average);
    }
};

QTEST_APPLESS_MAIN(TestValueTotals)
#include "tst_valuetotals.moc"
