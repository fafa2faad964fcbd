// The fixed-width lines of the record list: each column at its width, the marks of a record that
// refuses mail, and the records whose fields are empty, blank or too long.

#include "records/RecordListLine.h"

#include <QTest>

namespace {

const QDate kToday(2024, 4, 1);

// The columns of a line, in order.
const QStringList kColumns = {"no", "sep1", "name", "birth", "age", "sep2", "address", "home",
                              "mobile", "mail", "sep3", "mobileMail", "category", "remarks"};

// A record with every field, and what each of its columns shows.
QVariantMap baseRecord()
{
    return {
        {"会員NO", qint64(12)},
        {"氏名", QStringLiteral("山田太郎")},
        {"生年月日", QDate(1980, 5, 12)},
        {"市町村", QStringLiteral("見本市")},
        {"番地", QStringLiteral("1-2")},
        {"自宅電話", QStringLiteral("03-0000-1111")},
        {"携帯電話", QStringLiteral("090-0000-3333")},
        {"Eメール", QStringLiteral("a@example.jp")},
        {"携帯Eメール", QStringLiteral("b@mobile.example.com")},
        {"メール送信拒否", false},
        {"会員区分名称", QStringLiteral("友人")},
        {"備考", QStringLiteral("備考です")},
    };
}

QVariantMap baseColumns()
{
    return {
        {"no", "00000012"},
        {"sep1", " "},
        {"name", QStringLiteral("山田太郎    ")},
        {"birth", "80/05/12"},
        {"age", " 43"},
        {"sep2", " "},
        {"address", QStringLiteral("見本市1-2") + QString(19, ' ')},
        {"home", "03-0000-1111  "},
        {"mobile", "090-0000-3333 "},
        {"mail", "a@example.jp" + QString(18, ' ')},
        {"sep3", " "},
        {"mobileMail", "b@mobile.example.com" + QString(10, ' ')},
        {"category", QStringLiteral("友人    ")},
        {"remarks", QStringLiteral("備考です")},
    };
}

QVariantList valuesOf(const QVariantMap& record)
{
    QVariantList values;
    for (const QString& field : records::RecordListFields())
        values << record.value(field);
    return values;
}

} // namespace

class TestRecordListLine : public QObject {
    Q_OBJECT
private slots:
    void columns_data()
    {
        QTest::addColumn<QVariantMap>("fields");   // over the base record; an invalid value is Null
        QTest::addColumn<QVariantMap>("columns");  // over the base columns
        const QVariant null;
        QTest::newRow("every column") << QVariantMap{} << QVariantMap{};
        QTest::newRow("double-byte character ending in the 13th byte becomes a space")
            << QVariantMap{{"氏名", QStringLiteral("ｱ山田太郎花子")}} << QVariantMap{{"name", QStringLiteral("ｱ山田太郎花 ")}};
        QTest::newRow("name of exactly 12 bytes") << QVariantMap{{"氏名", QStringLiteral("山田太郎花子")}}
                                                  << QVariantMap{{"name", QStringLiteral("山田太郎花子")}};
        QTest::newRow("Null name") << QVariantMap{{"氏名", null}} << QVariantMap{{"name", QString(12, ' ')}};
        QTest::newRow("Null category, name unaffected")
            << QVariantMap{{"会員区分名称", null}} << QVariantMap{{"category", QString(8, ' ')}};
        QTest::newRow("category cut to 8 bytes") << QVariantMap{{"会員区分名称", QStringLiteral("取引先関係者")}}
                                                 << QVariantMap{{"category", QStringLiteral("取引先関")}};
        QTest::newRow("refusing record marks both addresses, the mobile one twice")
            << QVariantMap{{"メール送信拒否", true}}
            << QVariantMap{{"mail", "*a@example.jp" + QString(17, ' ')},
                           {"mobileMail", "*b@mobile.example.com" + QString(9, ' ') + "*"}};
        QTest::newRow("refusing record without a mobile address")
            << QVariantMap{{"メール送信拒否", true}, {"携帯Eメール", null}}
            << QVariantMap{{"mail", "*a@example.jp" + QString(17, ' ')}, {"mobileMail", QString(30, ' ')}};
        QTest::newRow("Null refusal marks nothing") << QVariantMap{{"メール送信拒否", null}} << QVariantMap{};
        QTest::newRow("address of spaces only counts as none, without a mark")
            << QVariantMap{{"メール送信拒否", true}, {"Eメール", "   "}, {"携帯Eメール", ""}}
            << QVariantMap{{"mail", QString(30, ' ')}, {"mobileMail", QString(30, ' ')}};
        QTest::newRow("leading spaces of an address are kept")
            << QVariantMap{{"Eメール", "  a@x.jp"}} << QVariantMap{{"mail", "  a@x.jp" + QString(22, ' ')}};
        QTest::newRow("long mail address cut to 30 bytes")
            << QVariantMap{{"Eメール", QString(40, 'm')}} << QVariantMap{{"mail", QString(30, 'm')}};
        QTest::newRow("no 市町村: a blank address, 番地 not shown")
            << QVariantMap{{"市町村", ""}} << QVariantMap{{"address", QString(28, ' ')}};
        QTest::newRow("市町村 without 番地") << QVariantMap{{"番地", null}}
                                         << QVariantMap{{"address", QStringLiteral("見本市") + QString(22, ' ')}};
        QTest::newRow("long address cut to 28 bytes")
            << QVariantMap{{"市町村", QStringLiteral("見本市見本町見本村")}, {"番地", QStringLiteral("一丁目二番地三号")}}
            << QVariantMap{{"address", QStringLiteral("見本市見本町見本村一丁目二番")}};
        QTest::newRow("no birth date: no date and no age")
            << QVariantMap{{"生年月日", null}} << QVariantMap{{"birth", QString(8, ' ')}, {"age", "   "}};
        QTest::newRow("birthday today is reached")
            << QVariantMap{{"生年月日", QDate(1980, 4, 1)}} << QVariantMap{{"birth", "80/04/01"}, {"age", " 44"}};
        QTest::newRow("one-digit age right-aligned")
            << QVariantMap{{"生年月日", QDate(2020, 1, 1)}} << QVariantMap{{"birth", "20/01/01"}, {"age", "  4"}};
        QTest::newRow("telephone cut to 14 characters, Null mobile")
            << QVariantMap{{"自宅電話", "03-0000-1111-2222"}, {"携帯電話", null}}
            << QVariantMap{{"home", "03-0000-1111-2"}, {"mobile", QString(14, ' ')}};
        QTest::newRow("Null remarks show nothing") << QVariantMap{{"備考", null}} << QVariantMap{{"remarks", ""}};
        QTest::newRow("number beyond eight digits is whole")
            << QVariantMap{{"会員NO", qint64(123456789)}} << QVariantMap{{"no", "123456789"}};
    }
    void columns()
    {
        QFETCH(QVariantMap, fields);
        QFETCH(QVariantMap, columns);
        QVariantMap record = baseRecord();
        for (auto it = fields.constBegin(); it != fields.constEnd(); ++it)
            record.insert(it.key(), it.value());
        QVariantMap expected = baseColumns();
        for (auto it = columns.constBegin(); it != columns.constEnd(); ++it)
            expected.insert(it.key(), it.value());
        QString line;
        for (const QString& c : kColumns)
            line += expected.value(c).toString();
        QCOMPARE(records::RecordListLine(valuesOf(record), kToday), line);
    }

    void everyLineStartsItsColumnsAtTheSamePlace()
    {
        // In the list's fixed-pitch font a double-byte character takes two cells: the byte
        // positions of the mail columns are the same for any name and address.
        QVariantMap other = baseRecord();
        other.insert("氏名", QStringLiteral("ｱ山田太郎花子"));
        other.insert("市町村", QStringLiteral("ﾐﾎﾝｼ"));
        const QString a = records::RecordListLine(valuesOf(baseRecord()), kToday);
        const QString b = records::RecordListLine(valuesOf(other), kToday);
        auto bytesBefore = [](const QString& line, const QString& text) {
            const QString head = line.left(line.indexOf(text));
            int bytes = 0;
            for (const QChar c : head)
                bytes += (c.unicode() < 0x80 || (c.unicode() >= 0xFF61 && c.unicode() <= 0xFF9F)) ? 1 : 2;
            return bytes;
        };
        QCOMPARE(bytesBefore(a, "a@example.jp"), 89);
        QCOMPARE(bytesBefore(b, "a@example.jp"), 89);
        QCOMPARE(bytesBefore(a, QStringLiteral("友人")), 150);
        QCOMPARE(bytesBefore(b, QStringLiteral("友人")), 150);
    }

    void deletedRowGivesAnEmptyLine()
    {
        QCOMPARE(records::RecordListLine({}, kToday), QString());
        const QStringList lines = records::RecordListLines({valuesOf(baseRecord()), {}}, kToday);
        QCOMPARE(lines.size(), 2);
        QVERIFY(lines[0].startsWith("00000012 "));
        QVERIFY(lines[1].isEmpty());
    }
};

QTEST_APPLESS_MAIN(TestRecordListLine)
#include "tst_recordlistline.moc"
