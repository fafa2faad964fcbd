// The kana index: which kana a sequence of label clicks stands for, and where it jumps.

#include "records/KanaIndex.h"

#include <QTest>

class TestKanaIndex : public QObject {
    Q_OBJECT
private slots:
    void keyOfClicks_data()
    {
        QTest::addColumn<QList<int>>("clicks");  // label indexes, in order
        QTest::addColumn<QString>("key");        // of the last click
        QTest::newRow("column ｲ before any row") << QList<int>{11} << "ｲ";
        QTest::newRow("row ﾊ then column ｲ") << QList<int>{5, 11} << "ﾋ";
        QTest::newRow("row ﾜ then column ｳ") << QList<int>{9, 12} << "ｳ";
        QTest::newRow("row ﾔ then column ｳ") << QList<int>{7, 12} << "ﾕ";
        QTest::newRow("row ﾔ then column ｲ repeats ｲ") << QList<int>{7, 11} << "ｲ";
        QTest::newRow("a row label starts at its first column") << QList<int>{5, 14, 2} << "ｻ";
        QTest::newRow("columns combine with the row chosen last") << QList<int>{3, 13, 14} << "ﾄ";
        QTest::newRow("row ｱ") << QList<int>{0} << "ｱ";
    }
    void keyOfClicks()
    {
        QFETCH(QList<int>, clicks);
        QFETCH(QString, key);
        int rowStart = 0, column = 0;
        QString last;
        for (int label : clicks)
            last = records::KanaKey(label, &rowStart, &column);
        QCOMPARE(last, key);
    }

    void tableHasTenRowsOfFive()
    {
        QCOMPARE(records::KanaTable().size(), 50);
        QCOMPARE(records::KanaTable().mid(35, 5), QStringLiteral("ﾔｲﾕｴﾖ"));
        QCOMPARE(records::KanaTable().mid(45, 5), QStringLiteral("ﾜｲｳｴｵ"));
    }

    void position_data()
    {
        QTest::addColumn<QVariantList>("readings");  // an invalid value is Null; a list is a deleted row
        QTest::addColumn<QString>("key");
        QTest::addColumn<int>("position");
        const QVariant null;
        QTest::newRow("first at or after the key") << QVariantList{"ｱｵｷ", "ｶﾄｳ", "ｻｲﾄｳ"} << "ｶ" << 1;
        QTest::newRow("between two readings") << QVariantList{"ｱｵｷ", "ｶﾄｳ", "ｻｲﾄｳ"} << "ｷ" << 2;
        QTest::newRow("voiced reading counts for its kana") << QVariantList{"ｱｵｷ", "ｶﾞﾄｳ"} << "ｶ" << 1;
        QTest::newRow("empty readings are stepped over but counted") << QVariantList{null, "", "ﾀﾅｶ"} << "ｱ" << 2;
        QTest::newRow("beyond every reading: the last record") << QVariantList{"ｱｵｷ", "ｶﾄｳ", null} << "ﾜ" << 2;
        QTest::newRow("full-width and hiragana readings compare below")
            << QVariantList{"タナカ", "たなか", "ﾀﾅｶ"} << "ｱ" << 2;
        QTest::newRow("deleted row stepped over") << QVariantList{QVariantList{}, "ｶﾄｳ"} << "ｱ" << 1;
        QTest::newRow("only empty readings: the last record") << QVariantList{null, ""} << "ｱ" << 1;
        QTest::newRow("no records") << QVariantList{} << "ｱ" << -1;
    }
    void position()
    {
        QFETCH(QVariantList, readings);
        QFETCH(QString, key);
        QFETCH(int, position);
        QList<QVariantList> rows;
        for (const QVariant& r : readings)
            rows << (r.typeId() == QMetaType::QVariantList ? QVariantList{} : QVariantList{r});
        QCOMPARE(records::KanaPosition(rows, key), position);
    }
};

QTEST_APPLESS_MAIN(TestKanaIndex)
#include "tst_kanaindex.moc"
