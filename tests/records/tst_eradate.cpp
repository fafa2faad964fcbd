// Era dates: the western date an era-relative date stands for, its text form, and the era's
// first day looked up in the era table.

#include "platform/db/Database.h"
#include "platform/db/Schema.h"
#include "records/EraDate.h"

#include <QTemporaryDir>
#include <QTest>

namespace {
const QDate kShowa(1926, 12, 25);
const QDate kHeisei(1989, 1, 8);
const QDate kReiwa(2019, 5, 1);
}

class TestEraDate : public QObject {
    Q_OBJECT
private slots:
    void western_data()
    {
        QTest::addColumn<QDate>("eraStart");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QDate>("date");  // invalid: refused
        QTest::newRow("平成05/04/01") << kHeisei << "05/04/01" << QDate(1993, 4, 1);
        QTest::newRow("昭和63/5/12, digits as typed") << kShowa << "63/5/12" << QDate(1988, 5, 12);
        QTest::newRow("平成1/12/3") << kHeisei << "1/12/3" << QDate(1989, 12, 3);
        QTest::newRow("29 February in a western leap year (昭和63 = 1988)") << kShowa << "63/02/29" << QDate(1988, 2, 29);
        QTest::newRow("29 February in 令和02 = 2020") << kReiwa << "02/02/29" << QDate(2020, 2, 29);
        QTest::newRow("29 February in 平成02 = 1990") << kHeisei << "02/02/29" << QDate();
        QTest::newRow("30 February") << kReiwa << "02/02/30" << QDate();
        QTest::newRow("31 April") << kHeisei << "05/04/31" << QDate();
        QTest::newRow("31 in a month of 31 days") << kHeisei << "05/05/31" << QDate(1993, 5, 31);
        QTest::newRow("month 13") << kHeisei << "05/13/01" << QDate();
        QTest::newRow("day 0") << kHeisei << "05/04/00" << QDate();
        QTest::newRow("era year 0") << kHeisei << "0/04/01" << QDate();
        QTest::newRow("two parts") << kHeisei << "05/04" << QDate();
        QTest::newRow("other separators") << kHeisei << "05-04-01" << QDate();
        QTest::newRow("letters") << kHeisei << "05/O4/01" << QDate();
        QTest::newRow("empty") << kHeisei << "" << QDate();
        QTest::newRow("no era") << QDate() << "05/04/01" << QDate();
    }
    void western()
    {
        QFETCH(QDate, eraStart);
        QFETCH(QString, text);
        QFETCH(QDate, date);
        QCOMPARE(records::WesternEraDate(eraStart, text), date);
    }

    void convertedText_data()
    {
        QTest::addColumn<QDate>("eraStart");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("western");
        QTest::newRow("05/04/01") << kHeisei << "05/04/01" << "1993/04/01";
        QTest::newRow("1/12/3 keeps month and day as typed") << kHeisei << "1/12/3" << "1989/12/3";
        QTest::newRow("year of two characters at least") << QDate(1, 1, 1) << "5/1/1" << " 5/1/1";
        QTest::newRow("no number at the start") << kHeisei << "/1/1" << "";
        QTest::newRow("no era") << QDate() << "05/04/01" << "";
    }
    void convertedText()
    {
        QFETCH(QDate, eraStart);
        QFETCH(QString, text);
        QFETCH(QString, western);
        QCOMPARE(records::ConvertEraDate(eraStart, text), western);
    }

    void eraStartFromTheTable()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("共通情報.mdb"));
        QString error;
        QVERIFY2(db::schema::createCommonDatabase(path, &error), qPrintable(error));
        db::Database common = db::Database::open(path);
        db::Recordset eras = common.openRecordset(QStringLiteral("年号ｺｰﾄﾞ"), db::RecordsetType::Snapshot);
        QCOMPARE(records::FindEraStart(eras, QStringLiteral("平成")), kHeisei);
        QCOMPARE(records::FindEraStart(eras, QStringLiteral("令和")), kReiwa);
        QCOMPARE(records::FindEraStart(eras, QStringLiteral("明治")), QDate(1868, 9, 8));
        // Names the table does not hold, one of them with a quote in it, find nothing.
        QCOMPARE(records::FindEraStart(eras, QStringLiteral("大化")), QDate());
        QCOMPARE(records::FindEraStart(eras, QStringLiteral("平成' OR '1'='1")), QDate());
        QCOMPARE(records::FindEraStart(eras, QString()), QDate());
        eras.close();
        QCOMPARE(records::FindEraStart(eras, QStringLiteral("平成")), QDate());
    }
};

QTEST_APPLESS_MAIN(TestEraDate)
#include "tst_eradate.moc"
