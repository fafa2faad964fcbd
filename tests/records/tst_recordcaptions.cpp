// The caption rules of the record window, without a window.

#include "records/RecordCaptions.h"

#include <QTest>

using records::BirthDateCaptions;

class TestRecordCaptions : public QObject {
    Q_OBJECT
private slots:
    void effectiveCaption_data()
    {
        QTest::addColumn<QVariant>("stored");
        QTest::addColumn<QString>("shown");
        QTest::newRow("null gives the built-in caption") << QVariant() << "〒";
        QTest::newRow("empty text gives the built-in caption") << QVariant(QString("")) << "〒";
        QTest::newRow("one space is shown as stored") << QVariant(QStringLiteral(" ")) << " ";
        QTest::newRow("the book's own caption") << QVariant(QStringLiteral("郵便")) << "郵便";
        QTest::newRow("not trimmed") << QVariant(QStringLiteral(" 郵便 ")) << " 郵便 ";
    }
    void effectiveCaption()
    {
        QFETCH(QVariant, stored);
        QFETCH(QString, shown);
        QCOMPARE(records::EffectiveCaption(stored, QStringLiteral("〒")), shown);
    }

    void builtInCaptions_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("builtIn");
        QTest::newRow("郵便番号") << "郵便番号" << "〒";
        QTest::newRow("市町村") << "市町村" << "市区町村";
        QTest::newRow("Eメールアドレス full-width E") << "Eメールアドレス" << "Ｅメールアドレス";
        QTest::newRow("勤務先 without brackets") << "勤務先" << "勤務先";
        QTest::newRow("職種") << "職種" << "職種（専攻）";
        QTest::newRow("学年") << "学年" << "（学年）";
        QTest::newRow("数値1 full-width digit") << "数値1" << "数値１";
        QTest::newRow("数値10 full-width digits") << "数値10" << "数値１０";
        QTest::newRow("性別男") << "性別男" << "男";
        QTest::newRow("状態休会") << "状態休会" << "休会";
        QTest::newRow("趣味ヘッド empty") << "趣味ヘッド" << "";
        QTest::newRow("備考ヘッド empty") << "備考ヘッド" << "";
    }
    void builtInCaptions()
    {
        QFETCH(QString, field);
        QFETCH(QString, builtIn);
        QCOMPARE(records::BuiltInCaption(field), builtIn);
    }

    void everyCaptionFieldOnce()
    {
        QStringList fields;
        for (const records::CaptionField& c : records::RecordWindowCaptions())
            fields << c.field;
        QCOMPARE(fields.size(), 45);
        QCOMPARE(QSet<QString>(fields.begin(), fields.end()).size(), 45);
        for (const QString& f : records::ListHeadingFields())
            QVERIFY2(fields.contains(f), qPrintable(f));
    }

    void birthDateRule_data()
    {
        QTest::addColumn<QVariant>("stored");
        QTest::addColumn<QString>("label");
        QTest::addColumn<QString>("ageUnit");     // "-": left as it is
        QTest::addColumn<QString>("sortOption");  // "-": left as it is
        QTest::newRow("null") << QVariant() << "生年月日" << "-" << "-";
        QTest::newRow("empty text") << QVariant(QString("")) << "生年月日" << "-" << "-";
        QTest::newRow("exactly 生年月日") << QVariant(QStringLiteral("生年月日")) << "生年月日" << "歳" << "生年月日";
        QTest::newRow("trailing space is another caption")
            << QVariant(QStringLiteral("生年月日 ")) << "生年月日 " << "年" << "生年月日 ";
        QTest::newRow("founding date") << QVariant(QStringLiteral("設立日")) << "設立日" << "年" << "設立日";
    }
    void birthDateRule()
    {
        QFETCH(QVariant, stored);
        QFETCH(QString, label);
        QFETCH(QString, ageUnit);
        QFETCH(QString, sortOption);
        const BirthDateCaptions r = records::BirthDateCaptionRule(stored);
        QCOMPARE(r.label, label);
        QCOMPARE(r.ageUnit.value_or(QStringLiteral("-")), ageUnit);
        QCOMPARE(r.sortOption.value_or(QStringLiteral("-")), sortOption);
    }
};

QTEST_APPLESS_MAIN(TestRecordCaptions)
#include "tst_recordcaptions.moc"
