#include "platform/db/Database.h"
#include "platform/db/Schema.h"
#include "platform/text/Cp932.h"
#include "records/AddressBookCsv.h"
#include "shell/Helpers.h"

#include <QFile>
#include <cmath>
#include <QTemporaryDir>
#include <QTest>

using namespace records;

namespace {

const QDate kToday(2024, 4, 1);

struct Person {
    qint64 no;
    QList<QPair<QString, QVariant>> fields;
};

db::Database makeBook(const QString& path, const QList<Person>& people)
{
    QString error;
    if (!db::schema::createAddressBook(path, QStringLiteral("テスト"), &error))
        qFatal("%s", qPrintable(error));
    db::Database d = db::Database::open(path);
    d.execute(QStringLiteral("INSERT INTO \"会員区分ｺｰﾄﾞ表\" VALUES (1, '友人'), (5, '取引先')"));
    db::Recordset rs = d.openRecordset(QStringLiteral("Q_個人台帳"));
    for (const Person& p : people) {
        rs.addNew();
        rs.setValue(QStringLiteral("会員NO"), p.no);
        for (const auto& [f, v] : p.fields)
            rs.setValue(f, v);
        rs.update();
    }
    return d;
}

const QList<Person> kPeople = {
    {3, {{"登録日", QDate(2020, 1, 15)}, {"会員区分", 5}, {"フリガナ", "ﾔﾏﾀﾞ ﾀﾛｳ"}, {"氏名", "山田太郎"}, {"性別", "1"},
         {"生年月日", QDate(1980, 2, 29)}, {"誕生日", "02/29"}, {"郵便番号", "100-0001"}, {"都道府県", "東京都"},
         {"市町村", "千代田区"}, {"番地", "千代田1-1"}, {"自宅電話", "03-0000-0000"}, {"Eメール", "taro@example.jp"},
         {"数値1", 1234.5}, {"数値2", 0}, {"数値3", 12}, {"備考", "\"引用\", 改行\nあり"}, {"状態", "1"},
         {"メール送信拒否", true}, {"WebHome", "https://example.jp/"}, {"記事", "書き出さない"}}},
    {1, {{"会員区分", 9}, {"氏名", "①㈱髙﨑"}, {"性別", "2"}, {"状態", "3"}, {"都道府県", "千葉県"}, {"市町村", "市川市"}}},
    {2, {{"氏名", "佐藤"}, {"性別", "x"}, {"状態", "7"}}},
};

QByteArray readAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// The fields the file carries, as text, for every record in number order.
QStringList carried(const db::Database& d)
{
    const QStringList fields = {"会員NO", "登録日", "退会日", "会員区分", "フリガナ", "氏名", "性別", "生年月日", "年齢",
                                "郵便番号", "都道府県", "市町村", "番地", "住所2", "自宅電話", "Eメール", "数値1", "数値2",
                                "数値3", "備考", "WebHome", "状態", "メール送信拒否"};
    QStringList out;
    db::Recordset rs = d.openRecordset(QStringLiteral("Q_個人台帳"), db::RecordsetType::Snapshot);
    if (rs.recordCount() == 0)
        return out;
    for (rs.moveFirst(); !rs.eof(); rs.moveNext()) {
        QStringList row;
        for (const QString& f : fields)
            row << f + "=" + rs.text(f);
        out << row.join("|");
    }
    return out;
}

ParsedCsv parse(const QByteArray& cp932, const CaptionRow& captions = {})
{
    const CategoryList categories = {{1, QStringLiteral("友人")}, {5, QStringLiteral("取引先")}, {6, QStringLiteral("取引先")}};
    return ParseAddressBookCsv(text::decodeCp932(cp932), captions, categories, QStringLiteral("神奈川県"), kToday);
}

QVariant fieldOf(const CsvRecord& r, const QString& f)
{
    for (const auto& [name, v] : r.fields)
        if (name == f)
            return v;
    return QVariant(QStringLiteral("<unset>"));
}

} // namespace

class TestAddressBookCsv : public QObject {
    Q_OBJECT
private slots:
    void splitAddress_data()
    {
        QTest::addColumn<QString>("address");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("kyoto") << "京都府京都市左京区1" << QStringList{"京都府", "京都市", "左京区1"};
        QTest::newRow("yokkaichi") << "三重県四日市市諏訪町1-5" << QStringList{"三重県", "四日市市", "諏訪町1-5"};
        QTest::newRow("nonoichi") << "石川県野々市市1" << QStringList{"石川県", "野々市市", "1"};
        QTest::newRow("hatsukaichi") << "広島県廿日市市1" << QStringList{"広島県", "廿日市市", "1"};
        QTest::newRow("prefecture, city, ward") << "千葉県千葉市中央区1-1" << QStringList{"千葉県", "千葉市", "中央区1-1"};
        QTest::newRow("tokyo ward") << "東京都港区芝1-1" << QStringList{"東京都", "港区", "芝1-1"};
        QTest::newRow("city starting with 市") << "千葉県市川市1-1" << QStringList{"千葉県", "市川市", "1-1"};
        QTest::newRow("hokkaido") << "北海道札幌市中央区1" << QStringList{"北海道", "札幌市", "中央区1"};
        QTest::newRow("osaka") << "大阪府大阪市北区1" << QStringList{"大阪府", "大阪市", "北区1"};
        QTest::newRow("town beginning with 市") << "千葉県市川市市川1-1" << QStringList{"千葉県", "市川市", "市川1-1"};
        QTest::newRow("no prefecture") << "横浜市中区1" << QStringList{"神奈川県", "横浜市", "中区1"};
        QTest::newRow("no marker") << "埼玉県1-2" << QStringList{"埼玉県", "", "埼玉県1-2"};
        QTest::newRow("four-character prefecture") << "神奈川県横浜市中区1" << QStringList{"神奈川県", "横浜市", "中区1"};
        QTest::newRow("prefecture not at the start") << "X東京都港区1" << QStringList{"神奈川県", "X東京都港区", "1"};
        QTest::newRow("first marker wins") << "北海道余市郡余市町1" << QStringList{"北海道", "余市", "郡余市町1"};
    }
    void splitAddress()
    {
        QFETCH(QString, address);
        QFETCH(QStringList, expected);
        const Address a = SplitAddress(address, QStringLiteral("神奈川県"));
        QCOMPARE((QStringList{a.prefecture, a.city, a.street}), expected);
    }

    void words_data()
    {
        QTest::addColumn<QVariant>("caption");   // of "性別男" and "状態会員"
        QTest::addColumn<QString>("sexWord");
        QTest::addColumn<QString>("statusWord");
        QTest::addColumn<QString>("sexCodeOfMan"); // code read back from the built-in "男"
        QTest::newRow("null caption") << QVariant() << "男" << "会員" << "1";
        QTest::newRow("empty caption") << QVariant(QString("")) << "男" << "会員" << "1";
        QTest::newRow("own caption") << QVariant(QString("紳士")) << "紳士" << "紳士" << "1";
    }
    void words()
    {
        QFETCH(QVariant, caption);
        QFETCH(QString, sexWord);
        QFETCH(QString, statusWord);
        QFETCH(QString, sexCodeOfMan);
        const CaptionRow c = {{"性別男", caption}, {"状態会員", caption}};
        QCOMPARE(SexWord(c, "1"), sexWord);
        QCOMPARE(SexWord(c, "2"), QString("女"));
        QCOMPARE(SexWord(c, "9"), QString());
        QCOMPARE(StatusWord(c, "1"), statusWord);
        QCOMPARE(SexCode(c, sexWord), QString("1"));
        QCOMPARE(SexCode(c, "男"), sexCodeOfMan);
        QCOMPARE(SexCode(c, ""), QString("2"));
        QCOMPARE(SexCode(c, "女"), QString("2"));
        QCOMPARE(StatusCode(c, statusWord).value_or("none"), QString("1"));
        QCOMPARE(StatusCode(c, "退会").value_or("none"), QString("3"));
        QCOMPARE(StatusCode(c, "other").value_or("none"), QString("none"));
    }

    void plainNumber_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("text");
        QTest::newRow("10/3") << 10.0 / 3 << "3.33333333333333";
        QTest::newRow("1/3") << 1.0 / 3 << "0.333333333333333";
        QTest::newRow("2/3 rounds up") << 2.0 / 3 << "0.666666666666667";
        QTest::newRow("1234.5") << 1234.5 << "1234.5";
        QTest::newRow("0.1") << 0.1 << "0.1";
        QTest::newRow("binary tail is not written") << 12345678.9 << "12345678.9";
        QTest::newRow("16 digits round to 15") << 123456789012345.6 << "123456789012346";
        QTest::newRow("1e15 without exponent") << 1e15 << "1000000000000000";
        QTest::newRow("negative whole") << -3.0 << "-3";
        QTest::newRow("small") << 0.000125 << "0.000125";
        QTest::newRow("large") << 1.5e20 << "150000000000000000000";
    }
    void plainNumber()
    {
        QFETCH(double, value);
        QFETCH(QString, text);
        QCOMPARE(PlainNumber(value), text);
    }

    void valuesSurviveARoundTrip()
    {
        QTemporaryDir dir;
        const QList<double> values = {1.0 / 3, 10.0 / 3, 1234.5, -3, 0.1, 12345678.9, 1e15};
        Person p{1, {}};
        for (int i = 0; i < values.size(); ++i)
            p.fields.append({QStringLiteral("数値%1").arg(i + 1), values[i]});
        db::Database d = makeBook(dir.filePath("v.mdb"), {p});
        db::Recordset rs = d.openRecordset(QStringLiteral("Q_個人台帳"));
        QVERIFY(ExportAddressBookCsv(rs, {}, dir.filePath("v"), kToday).ok);
        rs.close();
        const ParsedCsv parsed = ParseAddressBookCsv(text::readCp932File(dir.filePath("v.csv")).content, {}, {},
                                                     QStringLiteral("東京都"), kToday);
        QVERIFY(ImportAddressBookCsv(d, parsed, true).ok);
        db::Recordset back = d.openRecordset(QStringLiteral("Q_個人台帳"), db::RecordsetType::Snapshot);
        QCOMPARE(back.recordCount(), 1);
        for (int i = 0; i < values.size(); ++i) {
            const double got = back.value(QStringLiteral("数値%1").arg(i + 1)).toDouble();
            QVERIFY2(std::abs(got - values[i]) <= std::abs(values[i]) * 1e-14,
                     qPrintable(QStringLiteral("数値%1: %2 came back as %3").arg(i + 1).arg(values[i], 0, 'g', 17).arg(got, 0, 'g', 17)));
        }
        // Written once more, the value cells are the same: the import changed no value.
        QVERIFY(ExportAddressBookCsv(back, {}, dir.filePath("w"), kToday).ok);
        auto valueCells = [](const QByteArray& file) {
            const QStringList cells = text::decodeCp932(file).split("\r\n").value(1).split(',');
            return cells.mid(21, 10);
        };
        const QStringList first = valueCells(readAll(dir.filePath("v.csv")));
        QCOMPARE(first.mid(0, 7), (QStringList{"\"0.333333333333333\"", "\"3.33333333333333\"", "\"1234.5\"", "\"-3\"",
                                               "\"0.1\"", "\"12345678.9\"", "\"1000000000000000\""}));
        QCOMPARE(valueCells(readAll(dir.filePath("w.csv"))), first);
    }

    void exportWritesTheFileInDisplayOrder()
    {
        QTemporaryDir dir;
        db::Database d = makeBook(dir.filePath("会員.mdb"), kPeople);
        db::Recordset rs = d.openRecordset(QStringLiteral("Q_個人台帳誕生日順"));
        rs.moveLast();
        const db::Bookmark before = rs.bookmark();
        const CaptionRow captions = {{"氏名", QString("お名前")}, {"生年月日", QString("")}, {"数値1", QVariant()}};
        Module1::DbFile f;
        f.FullPath = dir.filePath("会員.mdb");
        Module1::SplitDbFilePath(f, f);
        const CsvExportResult r = ExportAddressBookCsv(rs, captions, CsvPathWithoutExtension(f), kToday);
        QVERIFY2(r.ok, qPrintable(r.error));
        QCOMPARE(r.records, 3);
        QCOMPARE(r.substitutedCells, 0);
        QCOMPARE(rs.bookmark(), before);

        const QByteArray bytes = readAll(dir.filePath("会員.csv"));
        const QStringList lines = text::decodeCp932(bytes).split("\r\n");
        QCOMPARE(lines.size(), 5);  // header, three records, nothing after the last CR LF
        QVERIFY(lines[0].startsWith("\"登録番号\",\"登録日\",\"退会日\",\"登録区分\",\"フリガナ\",\"お名前\",\"性別\",,\"経過年\","));
        QVERIFY(lines[0].contains("\"数値１\",\"数値２\""));
        QVERIFY(lines[0].endsWith("\"ホームページ\",\"状態\",\"メール送信拒否\",\"誕生日\""));
        // "誕生日" order: the two without a birthday first, by number; then 02/29.
        QVERIFY(lines[1].startsWith("\"00000001\",,,,,\"①㈱髙﨑\",\"女\",,,,\"千葉県市川市\","));
        QVERIFY(lines[1].endsWith(",\"退会\",\"0\", "));
        QVERIFY(lines[2].startsWith("\"00000002\",,,,,\"佐藤\",,,"));
        QVERIFY(lines[2].endsWith(",,\"0\", "));  // unknown status word, no birthday
        const QString taro = lines[3];
        QCOMPARE(lines[4], QString());
        QVERIFY(taro.startsWith("\"00000003\",\"2020/01/15(水)\",,\"取引先\",\"ﾔﾏﾀﾞ ﾀﾛｳ\",\"山田太郎\",\"男\",\"1980/02/29(金)\",\"44\",\"100-0001\",\"東京都千代田区千代田1-1\","));
        QVERIFY(taro.contains(",\"1234.5\",,\"12\","));
        QVERIFY(taro.contains("\"\"\"引用\"\", 改行\nあり\""));  // a line break stays inside its quotes
        QVERIFY(taro.endsWith("\"https://example.jp/\",\"会員\",\"1\",\"02/29\""));
        QVERIFY(!taro.contains("書き出さない"));
    }

    void exportThenImportGivesTheBookBack_data()
    {
        QTest::addColumn<QVariant>("manCaption");
        QTest::newRow("built-in words") << QVariant();
        QTest::newRow("empty caption") << QVariant(QString(""));
        QTest::newRow("own caption") << QVariant(QString("男性"));
    }
    void exportThenImportGivesTheBookBack()
    {
        QFETCH(QVariant, manCaption);
        QTemporaryDir dir;
        db::Database d = makeBook(dir.filePath("b.mdb"), kPeople);
        const QStringList before = carried(d);
        const CaptionRow captions = {{"性別男", manCaption}, {"状態会員", manCaption}};
        db::Recordset rs = d.openRecordset(QStringLiteral("Q_個人台帳"));
        QVERIFY(ExportAddressBookCsv(rs, captions, dir.filePath("b"), kToday).ok);
        rs.close();

        CategoryList categories = {{1, QStringLiteral("友人")}, {5, QStringLiteral("取引先")}};
        const ParsedCsv parsed = ParseAddressBookCsv(text::readCp932File(dir.filePath("b.csv")).content, captions,
                                                     categories, QStringLiteral("東京都"), kToday);
        QCOMPARE(parsed.recordCount, 3);
        const CsvImportResult r = ImportAddressBookCsv(d, parsed, true);
        QVERIFY2(r.ok, qPrintable(r.error));
        QCOMPARE(r.added, 3);
        QVERIFY(r.skipped.isEmpty());
        QStringList after = carried(d);
        QStringList expected = before;
        // What the file cannot carry: an unknown category comes back as 1, an unknown sex as 2,
        // an unknown status stays unset, an age is computed anew.
        expected[0].replace("会員区分=9", "会員区分=1");
        expected[1].replace("会員区分=|", "会員区分=1|").replace("性別=x", "性別=2").replace("状態=7", "状態=");
        expected[2].replace("年齢=0", "年齢=44");
        for (int i = 0; i < 3; ++i)
            QCOMPARE(after[i], expected[i]);
    }

    void importRules_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("field");
        QTest::addColumn<QVariant>("value");
        const QString rest = ",,,,,,,,,,,,,,,,,,,,,,,,,,,,,,";
        QTest::newRow("negative number") << "-12" + QString(",,,,,,,,,,") + rest << "会員NO" << QVariant(qint64(12));
        QTest::newRow("number rounds") << "12.6" + QString(",,,,,,,,,,") + rest << "会員NO" << QVariant(qint64(13));
        QTest::newRow("empty sex") << "1,,,,,,," + rest << "性別" << QVariant(QString("2"));
        QTest::newRow("man") << "1,,,,,,男," + rest << "性別" << QVariant(QString("1"));
        QTest::newRow("unknown category") << "1,,,営業,,,," + rest << "会員区分" << QVariant(qint64(1));
        QTest::newRow("first category of a name") << "1,,,取引先,,,," + rest << "会員区分" << QVariant(qint64(5));
        QTest::newRow("date with weekday") << "1,2021/03/04(木),,,,,," + rest << "登録日" << QVariant(QDate(2021, 3, 4));
        QTest::newRow("birth date gives the age") << "1,,,,,,,1980/04/02(水)," + rest << "年齢" << QVariant(43);
        QTest::newRow("age column is ignored") << "1,,,,,,,,99," + rest << "年齢" << QVariant(QStringLiteral("<unset>"));
        QTest::newRow("empty value is 0") << "1,,,,,,,,,,,,,,,,,,,,," << "数値1" << QVariant(0.0);
        QTest::newRow("value") << "1,,,,,,,,,,,,,,,,,,,,,\"1,234.5\"" << "数値1" << QVariant(1234.5);
        QTest::newRow("other status word") << "1,,,,,,," + rest + ",,,,,,休み" << "状態" << QVariant(QStringLiteral("<unset>"));
        QTest::newRow("refusal") << QString("1,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,1") << "メール送信拒否" << QVariant(true);
        QTest::newRow("missing cells are empty text") << "1" << "住所2" << QVariant(QString(""));
        QTest::newRow("address") << "1,,,,,,,,,,千葉県千葉市中央区1-1" << "番地" << QVariant(QString("中央区1-1"));
        QTest::newRow("no address sets no prefecture") << "1" << "都道府県" << QVariant(QStringLiteral("<unset>"));
    }
    void importRules()
    {
        QFETCH(QString, line);
        QFETCH(QString, field);
        QFETCH(QVariant, value);
        const ParsedCsv p = parse(text::encodeCp932("header\r\n" + line + "\r\n").bytes);
        QCOMPARE(p.records().size(), 1);
        QCOMPARE(fieldOf(p.records().first(), field), value);
    }

    void cellsThatCannotBeStoredAreCounted()
    {
        const ParsedCsv p = parse(text::encodeCp932("h\r\n5,2021/02/30,,,,,,誕生日不明,,,,,,,,,,,,,,abc\r\n,名無し\r\n\r\n").bytes);
        QCOMPARE(p.records().size(), 1);
        QCOMPARE(p.unsetCells.size(), 3);  // 登録日, 生年月日, 数値1
        QCOMPARE(fieldOf(p.records().first(), "生年月日"), QVariant(QStringLiteral("<unset>")));
        QCOMPARE(p.skipped.size(), 1);     // no number; the blank line is passed over
        QCOMPARE(p.skipped.first().line, 3);
    }

    void recordNumbersOutOfRangeAreRefused_data()
    {
        QTest::addColumn<QString>("number");
        QTest::addColumn<qint64>("stored");  // 0: the line is refused
        QTest::newRow("1e308") << "1e308" << qint64(0);
        QTest::newRow("zero") << "0" << qint64(0);
        QTest::newRow("rounds to zero") << "0.4" << qint64(0);
        QTest::newRow("one past the largest") << "2147483648" << qint64(0);
        QTest::newRow("negative beyond") << "-2147483648" << qint64(0);
        QTest::newRow("infinite") << "inf" << qint64(0);
        QTest::newRow("largest") << "2147483647" << qint64(2147483647);
        QTest::newRow("negative") << "-12" << qint64(12);
        QTest::newRow("rounded") << "12.6" << qint64(13);
    }
    void recordNumbersOutOfRangeAreRefused()
    {
        QFETCH(QString, number);
        QFETCH(qint64, stored);
        QTemporaryDir dir;
        db::Database d = makeBook(dir.filePath("b.mdb"), {});
        const ParsedCsv p = parse(text::encodeCp932("header\r\n" + number + ",,,,,名前\r\n").bytes);
        const CsvImportResult r = ImportAddressBookCsv(d, p, false);
        QVERIFY(r.ok);
        if (stored == 0) {
            QCOMPARE(r.added, 0);
            QCOMPARE(r.skipped.size(), 1);
            QCOMPARE(r.skipped.first().line, 2);
            QVERIFY(r.skipped.first().reason.contains(number));
            QVERIFY(ImportReport(r).contains("2 行目"));
            QVERIFY(carried(d).isEmpty());
        } else {
            QCOMPARE(r.added, 1);
            QVERIFY(carried(d).first().startsWith(QStringLiteral("会員NO=%1|").arg(stored)));
        }
    }

    void brokenBytesAreCountedAndNamed()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("broken.csv");
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("header\r\n1,,,,,\x85\x40\x8e\x52\r\n2,,,,,\x8e\x52\x93\x63\r\n3,,,,\xfd,\xff\r\n");
        f.close();
        const text::ReadResult file = text::readCp932File(path);
        QVERIFY(file.ok);
        QCOMPARE(file.broken, 3);
        const ParsedCsv p = ParseAddressBookCsv(file.content, {}, {}, QStringLiteral("東京都"), kToday);
        QCOMPARE(p.recordCount, 3);
        QCOMPARE(p.brokenCells.size(), 3);
        QCOMPARE(p.brokenCells[0].line, 2);
        QVERIFY(p.brokenCells[0].reason.startsWith("氏名"));
        QCOMPARE(p.brokenCells[1].line, 4);
        QVERIFY(p.brokenCells[1].reason.startsWith("フリガナ"));
        db::Database d = makeBook(dir.filePath("b.mdb"), {});
        const CsvImportResult r = ImportAddressBookCsv(d, p, false);
        QVERIFY(r.ok);
        QCOMPARE(r.added, 3);
        const QString report = ImportReport(r);
        QVERIFY(report.contains("シフトJISで読めない文字を含む項目：3 件"));
        QVERIFY(report.contains("2 行目：氏名"));
        QVERIFY(report.contains("4 行目：フリガナ"));
    }

    void refusedLinesAreSkippedAndCounted()
    {
        QTemporaryDir dir;
        db::Database d = makeBook(dir.filePath("b.mdb"), kPeople);
        const ParsedCsv p = parse(text::encodeCp932("header\r\n3,,,,,,,\r\n10,,,,,新\r\n10,,,,,二度目\r\n11\r\n").bytes);
        const CsvImportResult r = ImportAddressBookCsv(d, p, false);
        QVERIFY(r.ok);
        QCOMPARE(r.added, 2);
        QCOMPARE(r.skipped.size(), 2);
        QCOMPARE(r.skipped[0].line, 2);
        QCOMPARE(r.skipped[1].line, 4);
        QCOMPARE(carried(d).size(), 5);
        const QString report = ImportReport(r);
        QVERIFY(report.startsWith("2 件のデータを読み込みました。"));
        QVERIFY(report.contains("2 行目"));
        QVERIFY(report.contains("4 行目"));
    }

    void headerOnlyWithReplaceEmptiesTheBook()
    {
        QTemporaryDir dir;
        db::Database d = makeBook(dir.filePath("b.mdb"), kPeople);
        const CsvImportResult r = ImportAddressBookCsv(d, parse("3,,,,,,,\r\n"), true);  // the first line is a header
        QVERIFY(r.ok);
        QCOMPARE(r.added, 0);
        QVERIFY(carried(d).isEmpty());
        QCOMPARE(parse("").recordCount, 0);
    }

    void aFailingImportLeavesTheBookAsItWas()
    {
        QTemporaryDir dir;
        db::Database d = makeBook(dir.filePath("b.mdb"), kPeople);
        d.execute(QStringLiteral("CREATE TRIGGER full BEFORE INSERT ON \"個人台帳\" WHEN NEW.\"会員NO\" = 99 "
                                 "BEGIN SELECT RAISE(ABORT, 'disk full'); END"));
        const QStringList before = carried(d);
        const CsvImportResult r = ImportAddressBookCsv(d, parse("h\r\n20\r\n99\r\n21\r\n"), true);
        QVERIFY(!r.ok);
        QVERIFY(r.error.contains("disk full"));
        QCOMPARE(carried(d), before);
        QVERIFY(ImportReport(r).startsWith("ＣＳＶファイルを読み込めませんでした。"));
        QCOMPARE(d.transactionLevel(), 0);
    }
};

QTEST_GUILESS_MAIN(TestAddressBookCsv)
#include "tst_addressbookcsv.moc"
