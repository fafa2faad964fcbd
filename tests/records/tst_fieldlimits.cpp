// What the record window's text boxes accept: byte limits at their edges, the limits against the
// sizes of their fields, registration numbers, the web address.

#include "platform/db/Schema.h"
#include "records/FieldLimits.h"

#include <QTest>

using records::BoxKind;

class TestFieldLimits : public QObject {
    Q_OBJECT
private slots:
    void limitsAtTheEdge_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("fits");
        const QString fullWidth127(127, QChar(u'あ'));
        QTest::newRow("氏名 127 full-width + 1 half-width = 255") << 2 << fullWidth127 + "a" << true;
        QTest::newRow("氏名 256 bytes") << 2 << fullWidth127 + "ab" << false;
        QTest::newRow("フリガナ 255 half-width katakana") << 1 << QString(255, QChar(u'ｱ')) << true;
        QTest::newRow("フリガナ 256 half-width katakana") << 1 << QString(256, QChar(u'ｱ')) << false;
        QTest::newRow("記事 64000 bytes") << 28 << QString(32000, QChar(u'記')) << true;
        QTest::newRow("記事 64001 bytes") << 28 << QString(32000, QChar(u'記')) + "x" << false;
        QTest::newRow("郵便番号 50") << 5 << QString(50, u'1') << true;
        QTest::newRow("郵便番号 51") << 5 << QString(51, u'1') << false;
        QTest::newRow("職業 64 = 32 full-width") << 10 << QString(32, QChar(u'職')) << true;
        QTest::newRow("職業 65") << 10 << QString(32, QChar(u'職')) + "x" << false;
        QTest::newRow("学年 255") << 13 << QString(255, u'x') << true;
        QTest::newRow("学年 256") << 13 << QString(256, u'x') << false;
        QTest::newRow("携帯電話 256") << 14 << QString(256, u'0') << false;
        QTest::newRow("WebHome 256") << 30 << QString(256, u'w') << false;
        QTest::newRow("a character outside the BMP counts 2") << 2 << QString(126, QChar(u'あ')) + QStringLiteral("𠀋a") << true;
        QTest::newRow("empty text") << 2 << "" << true;
    }
    void limitsAtTheEdge()
    {
        QFETCH(int, index);
        QFETCH(QString, text);
        QFETCH(bool, fits);
        const records::TextBoxField* f = records::TextBoxFieldOf(index);
        QVERIFY(f);
        QCOMPARE(records::FitsLimit(text, f->limit), fits);
    }

    // Every text field has a limit, and the field holds what its box accepts.
    void limitsFitTheirFields()
    {
        QHash<QString, db::schema::FieldDef> fields;
        for (const db::schema::FieldDef& f : db::schema::personFields())
            fields.insert(f.name, f);
        QCOMPARE(records::TextBoxFields().size(), 25);
        for (const records::TextBoxField& box : records::TextBoxFields()) {
            if (box.kind == BoxKind::Shown) {
                QVERIFY(box.field.isEmpty());
                continue;
            }
            QVERIFY2(fields.contains(box.field), qPrintable(box.field));
            const db::schema::FieldDef& f = fields.value(box.field);
            if (f.type == QStringLiteral("VARCHAR"))
                QCOMPARE(box.limit, f.size);
            else if (f.type == QStringLiteral("TEXT"))
                QCOMPARE(box.limit, 64000);
            else
                QCOMPARE(box.limit, 0);
        }
        QCOMPARE(fields.value(QStringLiteral("都道府県")).size, records::PlaceLimit);
        QCOMPARE(fields.value(QStringLiteral("市町村")).size, records::PlaceLimit);
        QVERIFY(!records::TextBoxFieldOf(16));
        QVERIFY(!records::TextBoxFieldOf(26));
    }

    void memberNo_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<qint64>("number");  // -1: refused
        QTest::newRow("plain") << "12" << qint64(12);
        QTest::newRow("as shown, eight digits") << "00000012" << qint64(12);
        QTest::newRow("spaces around") << " 7 " << qint64(7);
        QTest::newRow("beyond 16 bits") << "40000" << qint64(40000);
        QTest::newRow("largest") << "2147483647" << qint64(2147483647);
        QTest::newRow("too large") << "2147483648" << qint64(-1);
        QTest::newRow("zero reads as 0") << "0" << qint64(0);
        QTest::newRow("fraction") << "12.5" << qint64(-1);
        QTest::newRow("negative") << "-3" << qint64(-1);
        QTest::newRow("exponent") << "1e3" << qint64(-1);
        QTest::newRow("full-width digits") << "１２" << qint64(-1);
        QTest::newRow("empty") << "" << qint64(-1);
        QTest::newRow("twenty digits") << "00000000000000000012" << qint64(-1);
    }
    void memberNo()
    {
        QFETCH(QString, text);
        QFETCH(qint64, number);
        const std::optional<qint64> read = records::ParseMemberNo(text);
        QCOMPARE(read.has_value(), number >= 0);
        if (read)
            QCOMPARE(*read, number);
    }

    void webAddress()
    {
        const QString blank = records::StoredWebAddress(QStringLiteral("   "));
        QVERIFY(blank.isEmpty());
        QVERIFY(!blank.isNull());
        QCOMPARE(records::StoredWebAddress(QStringLiteral("  https://example.com/")), QStringLiteral("  https://example.com/"));
        QVERIFY(!records::StoredWebAddress(QString()).isNull());
    }
};

QTEST_APPLESS_MAIN(TestFieldLimits)
#include "tst_fieldlimits.moc"
