// The six display orders, the stored choice among them, and the cursor over the records.

#include "RecordsFixture.h"
#include "records/DisplayOrder.h"
#include "records/RecordCursor.h"

#include <QSignalSpy>

class TestDisplayOrder : public QObject {
    Q_OBJECT
    QTemporaryDir dir;
    QString book;

    int storedOrder(const QVariant& value)
    {
        fixture::exec(book, QStringLiteral("UPDATE \"管理情報\" SET \"表示順番\" = ?"), {value});
        db::Database d = db::Database::open(book);
        return records::StoredDisplayOrder(d.openRecordset(QStringLiteral("管理情報"), db::RecordsetType::Table));
    }

private slots:
    void initTestCase()
    {
        QString error;
        QVERIFY2(demo::makeGeneratedBook(dir.path(), 30, QStringLiteral("順番"), &error), qPrintable(error));
        book = dir.filePath(QStringLiteral("順番.mdb"));
    }

    void queries()
    {
        QCOMPARE(records::DisplayOrderQuery(1), QStringLiteral("Q_個人台帳"));
        QCOMPARE(records::DisplayOrderQuery(2), QStringLiteral("Q_個人台帳登録日順"));
        QCOMPARE(records::DisplayOrderQuery(3), QStringLiteral("Q_個人台帳フリガナ順"));
        QCOMPARE(records::DisplayOrderQuery(4), QStringLiteral("Q_個人台帳登録区分順"));
        QCOMPARE(records::DisplayOrderQuery(5), QStringLiteral("Q_個人台帳生年月日順"));
        QCOMPARE(records::DisplayOrderQuery(6), QStringLiteral("Q_個人台帳誕生日順"));
    }

    void storedOrder_data()
    {
        QTest::addColumn<QVariant>("stored");
        QTest::addColumn<int>("order");
        QTest::newRow("1") << QVariant(QStringLiteral("1")) << 1;
        QTest::newRow("4") << QVariant(QStringLiteral("4")) << 4;
        QTest::newRow("6") << QVariant(QStringLiteral("6")) << 6;
        QTest::newRow("empty counts as 1") << QVariant(QString("")) << 1;
        QTest::newRow("null counts as 1") << QVariant() << 1;
        QTest::newRow("7 is unknown") << QVariant(QStringLiteral("7")) << 1;
        QTest::newRow("0 is unknown") << QVariant(QStringLiteral("0")) << 1;
        QTest::newRow("letter is unknown") << QVariant(QStringLiteral("x")) << 1;
    }
    void storedOrder()
    {
        QFETCH(QVariant, stored);
        QFETCH(int, order);
        QCOMPARE(storedOrder(stored), order);
    }

    void opensTheOrdersQueryWithItsCategories()
    {
        storedOrder(QStringLiteral("3"));
        db::Database d = db::Database::open(book);
        const db::Recordset settings = d.openRecordset(QStringLiteral("管理情報"), db::RecordsetType::Table);
        records::OpenedRecords r = records::OpenRecordsByDisplayOrder(d, settings);
        QCOMPARE(r.displayOrder, 3);
        QCOMPARE(r.main.type(), db::RecordsetType::Dynaset);
        QVERIFY(r.main.updatable());
        QCOMPARE(r.main.recordCount(), 30);
        QVERIFY(r.categories.recordCount() > 0);
        // Reading order: each reading is at or after the one before.
        QString previous;
        for (r.main.moveFirst(); !r.main.eof(); r.main.moveNext()) {
            const QString kana = r.main.text(QStringLiteral("フリガナ"));
            QVERIFY2(previous <= kana, qPrintable(previous + QStringLiteral(" > ") + kana));
            previous = kana;
        }
    }

    void cursorMovesAndComesBackAfterAScan()
    {
        db::Database d = db::Database::open(book);
        records::RecordCursor cursor;
        QSignalSpy moved(&cursor, &records::RecordCursor::moved);
        cursor.reset(d.openRecordset(QStringLiteral("Q_個人台帳")));
        QCOMPARE(cursor.position(), 0);
        QCOMPARE(cursor.count(), 30);
        QCOMPARE(moved.count(), 1);

        QCOMPARE(cursor.moveTo(12), 12);
        QCOMPARE(cursor.record().value(QStringLiteral("会員NO")).toInt(), 13);
        QCOMPARE(moved.last().at(0).toInt(), 12);

        // A scan over every record leaves the cursor's record in place.
        int seen = 0;
        cursor.forEach([&seen](db::Recordset&) { ++seen; });
        QCOMPARE(seen, 30);
        QCOMPARE(cursor.record().value(QStringLiteral("会員NO")).toInt(), 13);

        // So does a scan that forgets to come back.
        cursor.records().moveLast();
        QCOMPARE(cursor.record().value(QStringLiteral("会員NO")).toInt(), 13);

        QCOMPARE(cursor.moveTo(-5), 0);
        QCOMPARE(cursor.moveTo(1000), 29);

        // A record added through the records: the count follows, the cursor can stand on it.
        db::Recordset& rs = cursor.records();
        rs.addNew();
        rs.setValue(QStringLiteral("会員NO"), 31);
        rs.update();
        QCOMPARE(cursor.count(), 31);
        QCOMPARE(cursor.moveTo(30), 30);
        QCOMPARE(cursor.record().value(QStringLiteral("会員NO")).toInt(), 31);
        fixture::exec(book, QStringLiteral("DELETE FROM \"個人台帳\" WHERE \"会員NO\" = 31"));
    }

    void emptyAndClosedCursor()
    {
        QTemporaryDir empty;
        QString error;
        const QString path = empty.filePath(QStringLiteral("空.mdb"));
        QVERIFY2(db::schema::createAddressBook(path, QStringLiteral("空"), &error), qPrintable(error));
        db::Database d = db::Database::open(path);
        records::RecordCursor cursor;
        cursor.reset(d.openRecordset(QStringLiteral("Q_個人台帳")));
        QVERIFY(cursor.isEmpty());
        QCOMPARE(cursor.position(), -1);
        QCOMPARE(cursor.moveTo(3), -1);
        cursor.close();
        QVERIFY(!cursor.isOpen());
        QVERIFY(cursor.isEmpty());
        QCOMPARE(cursor.count(), 0);
    }
};

QTEST_MAIN(TestDisplayOrder)
#include "tst_displayorder.moc"
