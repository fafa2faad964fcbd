// The record list as a model: lines built as they are shown, right for any row of a large book.

#include "DemoFolder.h"
#include "platform/db/Database.h"
#include "records/RecordListLine.h"
#include "records/RecordListModel.h"

#include <QTemporaryDir>
#include <QTest>

class TestRecordListModel : public QObject {
    Q_OBJECT
    QTemporaryDir dir;
    QString book;

private slots:
    void initTestCase()
    {
        QString error;
        QVERIFY2(demo::makeGeneratedBook(dir.path(), 3000, QStringLiteral("大きな住所録"), &error), qPrintable(error));
        book = dir.filePath(QStringLiteral("大きな住所録.mdb"));
    }

    void linesMatchTheirRecordsAnywhere_data()
    {
        QTest::addColumn<int>("row");
        QTest::newRow("first") << 0;
        QTest::newRow("middle") << 1500;
        QTest::newRow("near the end") << 2990;
        QTest::newRow("last") << 2999;
    }
    void linesMatchTheirRecordsAnywhere()
    {
        QFETCH(int, row);
        const QDate today(2024, 4, 1);
        const db::Database d = db::Database::open(book);
        db::Recordset rs = d.openRecordset(QStringLiteral("Q_個人台帳フリガナ順"));
        records::RecordListModel model;
        model.fill(rs, today);
        QCOMPARE(model.rowCount(), 3000);
        rs.setAbsolutePosition(row);
        QVariantList values;
        for (const QString& f : records::RecordListFields())
            values << rs.value(f);
        QCOMPARE(model.data(model.index(row)).toString(), records::RecordListLine(values, today));
        QCOMPARE(rs.absolutePosition(), row);  // building lines does not move the records
    }

    void aShownLineStaysUntilTheListIsFilledAgain()
    {
        const db::Database d = db::Database::open(book);
        db::Recordset rs = d.openRecordset(QStringLiteral("Q_個人台帳"));
        records::RecordListModel model;
        model.fill(rs, QDate(2024, 4, 1));
        const QString before = model.line(10);
        rs.setAbsolutePosition(10);
        rs.edit();
        rs.setValue(QStringLiteral("氏名"), QStringLiteral("新しい名前"));
        rs.update();
        QCOMPARE(model.line(10), before);
        model.fill(rs, QDate(2024, 4, 1));
        QVERIFY(model.line(10).contains(QStringLiteral("新しい名前")));
        model.clear();
        QCOMPARE(model.rowCount(), 0);
    }
};

QTEST_MAIN(TestRecordListModel)
#include "tst_recordlistmodel.moc"
