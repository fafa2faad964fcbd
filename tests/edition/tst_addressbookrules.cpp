// The address-book edition's window-free rules: bare file names, the typed record number, the
// birth date after a store and the average over a fixed number of fields.

#include "editions/AddressBookRules.h"
#include "records/ValueTotals.h"

#include <QTest>

#include <cmath>

using editions::ComputeValuesFixedDivisor;

Q_DECLARE_METATYPE(std::optional<qint64>)
Q_DECLARE_METATYPE(records::ValueFields)

namespace {

const QList<Module1::Era> kEras = {
    {QStringLiteral("明治"), QDate(1868, 1, 25)}, {QStringLiteral("大正"), QDate(1912, 7, 30)},
    {QStringLiteral("昭和"), QDate(1926, 12, 25)}, {QStringLiteral("平成"), QDate(1989, 1, 8)},
    {QStringLiteral("令和"), QDate(2019, 5, 1)},
};

QStringList captionsWith(std::initializer_list<std::pair<int, const char*>> placed)
{
    QStringList c;
    for (int k = 0; k < records::ValueFieldCount; ++k)
        c << QStringLiteral("数値%1").arg(k + 1);
    for (const auto& [k, text] : placed)
        c[k] = QString::fromUtf8(text);
    return c;
}

records::ValueFields fields(std::initializer_list<double> first)
{
    records::ValueFields v{};
    int k = 0;
    for (double d : first)
        v[size_t(k++)] = d;
    return v;
}

} // namespace

class TestAddressBookRules : public QObject {
    Q_OBJECT
private slots:
    void bareDatabaseName_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("line");
        QTest::newRow("lower-case extension") << "Meibo.mdb" << "Meibo";
        QTest::newRow("upper-case extension") << "OLD.MDB" << "OLD";
        QTest::newRow("Japanese name") << "サンプル住所録.mdb" << "サンプル住所録";
        QTest::newRow("dots inside the name") << "a.b.mdb" << "a.b";
    }
    void bareDatabaseName()
    {
        QFETCH(QString, file);
        QFETCH(QString, line);
        QCOMPARE(editions::BareDatabaseName(file), line);
    }

    void typedMemberNo_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<std::optional<qint64>>("number");
        const std::optional<qint64> refused;
        QTest::newRow("whole number") << "12" << std::optional<qint64>(12);
        QTest::newRow("leading zeros") << "00000012" << std::optional<qint64>(12);
        QTest::newRow("fraction rounds up") << "12.6" << std::optional<qint64>(13);
        QTest::newRow("half rounds away from zero") << "12.5" << std::optional<qint64>(13);
        QTest::newRow("fraction rounds down") << "12.49" << std::optional<qint64>(12);
        QTest::newRow("half of one") << "0.5" << std::optional<qint64>(1);
        QTest::newRow("spaces around") << " 7 " << std::optional<qint64>(7);
        QTest::newRow("largest") << "2147483647" << std::optional<qint64>(2147483647);
        QTest::newRow("largest with zeros before") << "0002147483647.4" << std::optional<qint64>(2147483647);
        QTest::newRow("largest rounded past the end") << "2147483647.5" << refused;
        QTest::newRow("one past the largest") << "2147483648" << refused;
        QTest::newRow("long row of digits") << "99999999999999999999999" << refused;
        QTest::newRow("zero") << "0" << refused;
        QTest::newRow("rounds to zero") << "0.4" << refused;
        QTest::newRow("negative") << "-5" << refused;
        QTest::newRow("plus sign") << "+5" << refused;
        QTest::newRow("grouped by commas") << "1,234" << refused;
        QTest::newRow("exponent") << "1e12" << refused;
        QTest::newRow("point without fraction") << "12." << refused;
        QTest::newRow("fraction without digits before") << ".5" << refused;
        QTest::newRow("letters after digits") << "12abc" << refused;
        QTest::newRow("full-width digits") << "１２" << refused;
        QTest::newRow("letters") << "abc" << refused;
    }
    void typedMemberNo()
    {
        QFETCH(QString, text);
        QFETCH(std::optional<qint64>, number);
        QCOMPARE(editions::ParseRoundedMemberNo(text), number);
    }

    void eraYearDate_data()
    {
        QTest::addColumn<QDate>("date");
        QTest::addColumn<QString>("shown");
        QTest::newRow("second year of an era") << QDate(1990, 5, 1) << "2/05/01";
        QTest::newRow("first day of an era") << QDate(1989, 1, 8) << "1/01/08";
        QTest::newRow("last day of the era before") << QDate(1989, 1, 7) << "64/01/07";
        QTest::newRow("two-digit era year") << QDate(2018, 12, 31) << "30/12/31";
        QTest::newRow("newest era") << QDate(2024, 4, 1) << "6/04/01";
        QTest::newRow("before every era") << QDate(1800, 1, 1) << "";
    }
    void eraYearDate()
    {
        QFETCH(QDate, date);
        QFETCH(QString, shown);
        QCOMPARE(editions::EraYearDate(kEras, date), shown);
    }

    void eraYearFollowsTheEraTable()
    {
        // An era the table knows decides the year, whatever other calendars say.
        QList<Module1::Era> eras = kEras;
        eras << Module1::Era{QStringLiteral("新元"), QDate(2024, 1, 1)};
        QCOMPARE(editions::EraYearDate(eras, QDate(2025, 3, 3)), QString("2/03/03"));
    }

    void fixedDivisor_data()
    {
        QTest::addColumn<QStringList>("captions");
        QTest::addColumn<records::ValueFields>("values");
        QTest::addColumn<int>("totalBox");
        QTest::addColumn<double>("total");
        QTest::addColumn<int>("averageBox");
        QTest::addColumn<double>("average");
        QTest::newRow("total on 2, average on 3")
            << captionsWith({{2, "合計"}, {3, "平均"}}) << fields({1200, 800}) << 2 << 2000.0 << 3 << 1000.0;
        QTest::newRow("zeros count in the divisor")
            << captionsWith({{3, "合計"}, {4, "平均"}}) << fields({300, 0, 0, 0, 55}) << 3 << 300.0 << 4 << 100.0;
        QTest::newRow("average before the total sums its old value")
            << captionsWith({{3, "平均"}, {5, "合計"}}) << fields({1, 2, 9, 40, 0, 0}) << 5 << 52.0 << 3 << 4.5;
        QTest::newRow("average on the last box")
            << captionsWith({{2, "合計"}, {9, "平均値"}}) << fields({1, 1, 0, 0, 0, 0, 0, 0, 80}) << 2 << 2.0 << 9 << 10.0;
        QTest::newRow("only the first average counts")
            << captionsWith({{2, "合計"}, {4, "平均A"}, {6, "平均B"}}) << fields({3, 3, 0, 12}) << 2 << 6.0 << 4 << 4.0;
        QTest::newRow("average on 2 is none")
            << captionsWith({{2, "平均"}, {3, "合計"}}) << fields({4, 4, 4}) << 3 << 12.0 << -1 << 0.0;
        QTest::newRow("no total, no average")
            << captionsWith({{4, "平均"}}) << fields({4, 4, 4, 4}) << -1 << 0.0 << -1 << 0.0;
        QTest::newRow("total on 1 stops everything")
            << captionsWith({{1, "合計"}, {5, "合計"}, {6, "平均"}}) << fields({4, 4}) << -1 << 0.0 << -1 << 0.0;
        QTest::newRow("divided field empty reads as 0")
            << captionsWith({{2, "合計"}, {5, "平均"}}) << fields({1, 2}) << 2 << 3.0 << 5 << 0.0;
    }
    void fixedDivisor()
    {
        QFETCH(QStringList, captions);
        QFETCH(records::ValueFields, values);
        QFETCH(int, totalBox);
        QFETCH(double, total);
        QFETCH(int, averageBox);
        QFETCH(double, average);
        const records::ComputedValues c = ComputeValuesFixedDivisor(captions, values);
        QCOMPARE(c.totalBox, totalBox);
        QCOMPARE(c.averageBox, averageBox);
        if (totalBox >= 0)
            QCOMPARE(c.total, total);
        if (averageBox >= 0) {
            QVERIFY(std::isfinite(c.average));
            QCOMPARE(c.average, average);
        }
    }
};

QTEST_GUILESS_MAIN(TestAddressBookRules)
#include "tst_addressbookrules.moc"
