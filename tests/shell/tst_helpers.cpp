#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include "platform/text/Cp932.h"
#include "shell/Helpers.h"

using namespace Module1;

namespace {

QList<Era> standardEras()
{
    return {
        {QString::fromUtf8("明治"), QDate(1868, 9, 8)},
        {QString::fromUtf8("大正"), QDate(1912, 7, 30)},
        {QString::fromUtf8("昭和"), QDate(1926, 12, 25)},
        {QString::fromUtf8("平成"), QDate(1989, 1, 8)},
        {QString::fromUtf8("令和"), QDate(2019, 5, 1)},
    };
}

} // namespace

class TestHelpers : public QObject {
    Q_OBJECT
private slots:
    void fitBytes_data();
    void fitBytes();
    void japaneseEraYear_data();
    void japaneseEraYear();
    void japaneseEraYearWithoutEras();
    void ageInYears_data();
    void ageInYears();
    void isYmdDate_data();
    void isYmdDate();
    void imageFileName_data();
    void imageFileName();
    void ensureFolder();
};

void TestHelpers::fitBytes_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("width");
    QTest::addColumn<QString>("expected");
    auto u = [](const char* s) { return QString::fromUtf8(s); };
    QTest::newRow("exact width unchanged") << u("a山ｱ") << 4 << u("a山ｱ");
    QTest::newRow("3 bytes to 5 appends two spaces") << u("abc") << 5 << u("abc  ");
    QTest::newRow("kanji padded") << u("山田") << 6 << u("山田  ");
    QTest::newRow("empty text padded") << QString() << 3 << u("   ");
    QTest::newRow("one-byte + two double-byte to 3") << u("a山田") << 3 << u("a山");
    QTest::newRow("one-byte + two double-byte to 2") << u("a山田") << 2 << u("a ");
    QTest::newRow("double-byte to 1 is a space") << u("山") << 1 << u(" ");
    QTest::newRow("cut on a character edge") << u("山田太郎") << 4 << u("山田");
    QTest::newRow("cut inside a character") << u("山田太郎") << 5 << u("山田 ");
    QTest::newRow("single-byte past the end") << u("abcdef") << 4 << u("abcd");
    QTest::newRow("half-width katakana one byte each") << u("ｱｲｳｴｵ") << 3 << u("ｱｲｳ");
    QTest::newRow("half-width katakana then kanji") << u("ｱ漢字") << 2 << u("ｱ ");
    QTest::newRow("half-width katakana fill the edge") << u("漢ｱｲ") << 3 << u("漢ｱ");
    QTest::newRow("surrogate pair not split") << u("a𠮷b") << 2 << u("a ");
    QTest::newRow("surrogate pair kept whole") << u("𠮷𠮷") << 3 << u("𠮷 ");
    QTest::newRow("width 0") << u("abc") << 0 << QString();
    QTest::newRow("negative width") << u("abc") << -5 << QString();
}

void TestHelpers::fitBytes()
{
    QFETCH(QString, text);
    QFETCH(int, width);
    QFETCH(QString, expected);
    const QString fitted = FitBytes(text, width);
    QCOMPARE(fitted, expected);
    QCOMPARE(text::byteWidth(fitted), qMax(width, 0));
}

void TestHelpers::japaneseEraYear_data()
{
    QTest::addColumn<QDate>("date");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("eraDate");
    auto u = [](const char* s) { return QString::fromUtf8(s); };
    QTest::newRow("fifth year") << QDate(1993, 4, 1) << u("平成05年") << u("05/04/01");
    QTest::newRow("first day of an era") << QDate(1989, 1, 8) << u("平成01年") << u("01/01/08");
    QTest::newRow("day before an era") << QDate(1989, 1, 7) << u("昭和64年") << u("64/01/07");
    QTest::newRow("first day of the last era") << QDate(2019, 5, 1) << u("令和01年") << u("01/05/01");
    QTest::newRow("day before the last era") << QDate(2019, 4, 30) << u("平成31年") << u("31/04/30");
    QTest::newRow("first day of the first era") << QDate(1868, 9, 8) << u("明治01年") << u("01/09/08");
    QTest::newRow("before the first era") << QDate(1868, 9, 7) << QString() << QString();
    QTest::newRow("era year over 99") << QDate(2125, 12, 31) << u("令和107年") << u("107/12/31");
    QTest::newRow("invalid date") << QDate() << QString() << QString();
}

void TestHelpers::japaneseEraYear()
{
    QFETCH(QDate, date);
    QFETCH(QString, text);
    QFETCH(QString, eraDate);
    QString got = QStringLiteral("stale");
    QCOMPARE(JapaneseEraYear(standardEras(), date, &got), text);
    QCOMPARE(got, eraDate);
}

void TestHelpers::japaneseEraYearWithoutEras()
{
    QString got = QStringLiteral("stale");
    QCOMPARE(JapaneseEraYear({}, QDate(2020, 1, 1), &got), QString());
    QCOMPARE(got, QString());
    QCOMPARE(JapaneseEraYear(standardEras(), QDate(2020, 1, 1), nullptr), QString::fromUtf8("令和02年"));
}

void TestHelpers::ageInYears_data()
{
    QTest::addColumn<QDate>("birth");
    QTest::addColumn<QDate>("ref");
    QTest::addColumn<int>("age");
    QTest::newRow("birthday reached") << QDate(1990, 5, 10) << QDate(2020, 5, 10) << 30;
    QTest::newRow("day before birthday") << QDate(1990, 5, 10) << QDate(2020, 5, 9) << 29;
    QTest::newRow("earlier month, later day") << QDate(1990, 5, 10) << QDate(2020, 4, 30) << 29;
    QTest::newRow("later month, earlier day") << QDate(1990, 5, 10) << QDate(2020, 6, 1) << 30;
    QTest::newRow("29 Feb not reached on 28 Feb") << QDate(2000, 2, 29) << QDate(2021, 2, 28) << 20;
    QTest::newRow("29 Feb reached on 1 Mar") << QDate(2000, 2, 29) << QDate(2021, 3, 1) << 21;
    QTest::newRow("29 Feb in a leap year") << QDate(2000, 2, 29) << QDate(2024, 2, 29) << 24;
    QTest::newRow("born on the reference day") << QDate(2020, 1, 1) << QDate(2020, 1, 1) << 0;
    QTest::newRow("born after the reference") << QDate(2021, 1, 1) << QDate(2020, 6, 1) << 0;
    QTest::newRow("no birth date") << QDate() << QDate(2020, 6, 1) << 0;
}

void TestHelpers::ageInYears()
{
    QFETCH(QDate, birth);
    QFETCH(QDate, ref);
    QFETCH(int, age);
    QCOMPARE(AgeInYears(birth, ref), age);
}

void TestHelpers::isYmdDate_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("valid");
    auto row = [](const char* name, const char* text, bool valid) {
        QTest::newRow(name) << QString::fromUtf8(text) << valid;
    };
    row("era date", "05/04/01", true);
    row("single digits", "1/12/3", true);
    row("four-digit year", "1993/04/01", true);
    row("three-digit year", "101/1/1", true);
    row("last day of year", "63/12/31", true);
    row("month 13", "05/13/01", false);
    row("day 32", "05/04/32", false);
    row("month 0", "05/00/01", false);
    row("day 0", "05/04/00", false);
    row("31 April", "05/04/31", false);
    row("29 Feb, yy below 30 is 20yy (2028)", "28/02/29", true);
    row("29 Feb, yy below 30 is 20yy (2029)", "29/02/29", false);
    row("29 Feb, yy 30 and above is 19yy (1932)", "32/02/29", true);
    row("29 Feb, yy 30 and above is 19yy (1930)", "30/02/29", false);
    row("year 0 written in four digits", "0000/01/01", false);
    row("five-digit year", "12345/1/1", false);
    row("three-digit month", "05/004/01", false);
    row("dashes", "05-04-01", false);
    row("two parts", "05/04", false);
    row("four parts", "05/04/01/02", false);
    row("empty day", "05/04/", false);
    row("empty year", "/04/01", false);
    row("letter in year", "a5/04/01", false);
    row("letter in month", "05/4a/01", false);
    row("sign", "+5/04/01", false);
    row("leading space", " 05/04/01", false);
    row("full-width digits", "０５/04/01", false);
    row("empty", "", false);
}

void TestHelpers::isYmdDate()
{
    QFETCH(QString, text);
    QFETCH(bool, valid);
    QCOMPARE(IsYmdDate(text), valid);
}

void TestHelpers::imageFileName_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("accepted");
    for (const char* ext : {".emf", ".EMF", ".wmf", ".WMF", ".jpg", ".JPG", ".jpeg", ".JPEG", ".jpe",
                            ".JPE", ".jfif", ".JFIF", ".png", ".PNG", ".bmp", ".BMP", ".gif", ".GIF"})
        QTest::newRow(ext) << (QStringLiteral("photo") + QLatin1String(ext)) << true;
    QTest::newRow("folder path kept") << QString::fromUtf8("/data/12/写真.gif") << true;
    QTest::newRow("mixed case .Jpg") << QStringLiteral("photo.Jpg") << false;
    QTest::newRow("mixed case .PnG") << QStringLiteral("photo.PnG") << false;
    QTest::newRow(".tif") << QStringLiteral("photo.tif") << false;
    QTest::newRow("extension not at the end") << QStringLiteral("photo.jpg.txt") << false;
    QTest::newRow("no dot") << QStringLiteral("photojpg") << false;
    QTest::newRow("empty") << QString() << false;
}

void TestHelpers::imageFileName()
{
    QFETCH(QString, name);
    QFETCH(bool, accepted);
    QCOMPARE(ImageFileName(name), accepted ? name : QString());
}

void TestHelpers::ensureFolder()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString folder = dir.filePath(QStringLiteral("12"));
    QVERIFY(EnsureFolder(folder));
    QVERIFY(QFileInfo(folder).isDir());
    QFile marker(folder + QStringLiteral("/keep.txt"));
    QVERIFY(marker.open(QIODevice::WriteOnly));
    marker.close();

    // An existing folder stays as it is.
    QVERIFY(EnsureFolder(folder));
    QVERIFY(marker.exists());

    // One level only: a missing parent is not made.
    const QString deep = dir.filePath(QStringLiteral("missing/Preview"));
    QVERIFY(!EnsureFolder(deep));
    QVERIFY(!QFileInfo::exists(dir.filePath(QStringLiteral("missing"))));

    // A file in the way and an empty path fail quietly.
    QVERIFY(!EnsureFolder(marker.fileName()));
    QVERIFY(!EnsureFolder(QString()));
    EnsureFolder(deep);   // callable as a statement, as the callers ignore failures
}

QTEST_GUILESS_MAIN(TestHelpers)
#include "tst_helpers.moc"
