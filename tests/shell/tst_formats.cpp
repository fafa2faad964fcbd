#include <QTest>

#include <limits>

#include "shell/Formats.h"

using namespace Module1;

class TestFormats : public QObject {
    Q_OBJECT
private slots:
    void dates_data();
    void dates();
    void weekdays();
    void invalidDates();
    void shortDateWeekday_data();
    void shortDateWeekday();
    void eraName_data();
    void eraName();
    void wholeNumbers();
    void formatNumber_data();
    void formatNumber();
    void atLeastTwo_data();
    void atLeastTwo();
};

void TestFormats::dates_data()
{
    QTest::addColumn<QDate>("date");
    QTest::addColumn<QString>("caption");        // "yyyy年mm月dd日(aaa) "
    QTest::addColumn<QString>("slashWeekday");   // "yyyy/mm/dd(aaa)"
    QTest::addColumn<QString>("slash");          // "yyyy/mm/dd"
    QTest::addColumn<QString>("shortSlash");     // "yy/mm/dd"
    QTest::addColumn<QString>("monthDay");       // "mm/dd"
    QTest::addColumn<QString>("slashMonthDay");  // "/mm/dd"
    auto u = [](const char* s) { return QString::fromUtf8(s); };
    QTest::newRow("single-digit month and day")
        << QDate(1993, 4, 1) << u("1993年04月01日(木) ") << u("1993/04/01(木)") << u("1993/04/01")
        << u("93/04/01") << u("04/01") << u("/04/01");
    QTest::newRow("year 2000s, Sunday")
        << QDate(2005, 12, 25) << u("2005年12月25日(日) ") << u("2005/12/25(日)") << u("2005/12/25")
        << u("05/12/25") << u("12/25") << u("/12/25");
    QTest::newRow("year below 1000")
        << QDate(987, 6, 5) << u("0987年06月05日(火) ") << u("0987/06/05(火)") << u("0987/06/05")
        << u("87/06/05") << u("06/05") << u("/06/05");
}

void TestFormats::dates()
{
    QFETCH(QDate, date);
    QFETCH(QString, caption);
    QFETCH(QString, slashWeekday);
    QFETCH(QString, slash);
    QFETCH(QString, shortSlash);
    QFETCH(QString, monthDay);
    QFETCH(QString, slashMonthDay);
    QCOMPARE(FormatCaptionDate(date), caption);
    QCOMPARE(FormatSlashDateWeekday(date), slashWeekday);
    QCOMPARE(FormatSlashDate(date), slash);
    QCOMPARE(FormatShortSlashDate(date), shortSlash);
    QCOMPARE(FormatMonthDay(date), monthDay);
    QCOMPARE(FormatSlashMonthDay(date), slashMonthDay);
}

void TestFormats::weekdays()
{
    // 7 January 2024 was a Sunday.
    QString week;
    for (int i = 0; i < 7; ++i)
        week += WeekdayKanji(QDate(2024, 1, 7).addDays(i));
    QCOMPARE(week, QString::fromUtf8("日月火水木金土"));
}

void TestFormats::invalidDates()
{
    const QDate none;
    QVERIFY(WeekdayKanji(none).isEmpty());
    QVERIFY(FormatCaptionDate(none).isEmpty());
    QVERIFY(FormatSlashDateWeekday(none).isEmpty());
    QVERIFY(FormatSlashDate(none).isEmpty());
    QVERIFY(FormatShortSlashDate(none).isEmpty());
    QVERIFY(FormatMonthDay(none).isEmpty());
    QVERIFY(FormatSlashMonthDay(none).isEmpty());
}

void TestFormats::shortDateWeekday_data()
{
    QTest::addColumn<QDate>("date");
    QTest::addColumn<QString>("shown");
    QTest::newRow("two-digit year with weekday") << QDate(2023, 4, 1) << QString::fromUtf8("23/04/01(土)");
    QTest::newRow("year 2000 keeps its zeros") << QDate(2000, 1, 2) << QString::fromUtf8("00/01/02(日)");
    QTest::newRow("last century") << QDate(1999, 12, 31) << QString::fromUtf8("99/12/31(金)");
    QTest::newRow("invalid date") << QDate() << QString();
}

void TestFormats::shortDateWeekday()
{
    QFETCH(QDate, date);
    QFETCH(QString, shown);
    QCOMPARE(FormatShortSlashDateWeekday(date), shown);
}

void TestFormats::eraName_data()
{
    QTest::addColumn<QDate>("date");
    QTest::addColumn<QString>("name");
    QTest::newRow("first day of an era") << QDate(1989, 1, 8) << QString::fromUtf8("平成");
    QTest::newRow("day before") << QDate(1989, 1, 7) << QString::fromUtf8("昭和");
    QTest::newRow("after the last era") << QDate(2030, 1, 1) << QString::fromUtf8("令和");
    QTest::newRow("before the first era") << QDate(1926, 12, 24) << QString();
}

void TestFormats::eraName()
{
    QFETCH(QDate, date);
    QFETCH(QString, name);
    const QList<Era> eras{{QString::fromUtf8("昭和"), QDate(1926, 12, 25)},
                          {QString::fromUtf8("平成"), QDate(1989, 1, 8)},
                          {QString::fromUtf8("令和"), QDate(2019, 5, 1)}};
    QCOMPARE(FormatEraName(eras, date), name);
    QCOMPARE(FormatEraName({}, date), QString());
}

void TestFormats::wholeNumbers()
{
    QCOMPARE(FormatTwoDigits(0), QStringLiteral("00"));
    QCOMPARE(FormatTwoDigits(5), QStringLiteral("05"));
    QCOMPARE(FormatTwoDigits(123), QStringLiteral("123"));
    QCOMPARE(FormatTwoDigits(-5), QStringLiteral("-05"));
    QCOMPARE(FormatMemberNo(123), QStringLiteral("00000123"));
    QCOMPARE(FormatMemberNo(123456789), QStringLiteral("123456789"));
    QCOMPARE(FormatMemberNo(std::numeric_limits<qint64>::min()), QStringLiteral("-9223372036854775808"));
    QCOMPARE(FormatPlain(0), QStringLiteral("0"));
    QCOMPARE(FormatPlain(40000), QStringLiteral("40000"));
    QCOMPARE(FormatPlain(3000000000LL), QStringLiteral("3000000000"));
}

void TestFormats::formatNumber_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<int>("decimals");
    QTest::addColumn<QString>("expected");
    QTest::newRow("zero") << 0.0 << 0 << "0";
    QTest::newRow("no separator below 1000") << 999.0 << 0 << "999";
    QTest::newRow("one separator") << 1000.0 << 0 << "1,000";
    QTest::newRow("two separators") << 1234567.0 << 0 << "1,234,567";
    QTest::newRow("beyond the pattern's digits") << 12345678901.0 << 0 << "12,345,678,901";
    QTest::newRow("half rounds up") << 2.5 << 0 << "3";
    QTest::newRow("rounding carries into a new group") << 999999.5 << 0 << "1,000,000";
    QTest::newRow("below half rounds down") << 1234.49 << 0 << "1,234";
    QTest::newRow("negative") << -1234567.0 << 0 << "-1,234,567";
    QTest::newRow("negative half rounds away from zero") << -2.5 << 0 << "-3";
    QTest::newRow("negative rounding to zero") << -0.4 << 0 << "0";
    QTest::newRow("one decimal") << 1234.56 << 1 << "1,234.6";
    QTest::newRow("one decimal, whole number") << 1000000.0 << 1 << "1,000,000.0";
    QTest::newRow("one decimal below one") << 0.04 << 1 << "0.0";
    QTest::newRow("one decimal negative") << -0.25 << 1 << "-0.3";
    QTest::newRow("not a number") << std::numeric_limits<double>::quiet_NaN() << 0 << "";
    QTest::newRow("infinity") << std::numeric_limits<double>::infinity() << 1 << "";
}

void TestFormats::formatNumber()
{
    QFETCH(double, value);
    QFETCH(int, decimals);
    QFETCH(QString, expected);
    QCOMPARE(FormatNumber(value, decimals), expected);
}

void TestFormats::atLeastTwo_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");
    QTest::newRow("one character") << "5" << " 5";
    QTest::newRow("empty") << "" << "  ";
    QTest::newRow("two characters") << "12" << "12";
    QTest::newRow("longer kept") << "1993" << "1993";
}

void TestFormats::atLeastTwo()
{
    QFETCH(QString, text);
    QFETCH(QString, expected);
    QCOMPARE(FormatAtLeastTwo(text), expected);
}

QTEST_GUILESS_MAIN(TestFormats)
#include "tst_formats.moc"
