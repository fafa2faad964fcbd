// Loading many rows into one table: conversions, defaults, refusals, and the indexes that are
// built again at the end of a load into an emptied table.

#include "DbTestHelpers.h"
#include "platform/db/Database.h"
#include "platform/db/Inserter.h"

#include <QDate>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <functional>
#include <sqlite3.h>

using namespace db;
using dbtest::errorOf;

namespace {

const char* kFixture = R"(
CREATE TABLE "people"("_id" INTEGER PRIMARY KEY AUTOINCREMENT, "会員NO" INTEGER NOT NULL, "氏名" VARCHAR(255),
                      "フリガナ" VARCHAR(255), "生年月日" DATE, "拒否" BOOLEAN DEFAULT 0, "数値1" DOUBLE DEFAULT 0);
CREATE UNIQUE INDEX "people_no" ON "people"("会員NO");
CREATE INDEX "people_kana" ON "people"("フリガナ", "会員NO");
INSERT INTO "people"("会員NO", "氏名", "フリガナ") VALUES (1, '山田太郎', 'ﾔﾏﾀﾞ');
)";


} // namespace

class TestInserter : public QObject {
    Q_OBJECT
    QTemporaryDir dir;
    Database book;

    QVariant stored(const QString& field, int no) const
    {
        return book.scalar(QStringLiteral("SELECT \"%1\" FROM \"people\" WHERE \"会員NO\" = ?").arg(field), {no});
    }
    QStringList indexes() const
    {
        QStringList out;
        Recordset rs = book.openRecordset(
            QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'index' AND tbl_name = 'people' ORDER BY name"),
            RecordsetType::Snapshot);
        for (; rs.recordCount() > 0 && !rs.eof(); rs.moveNext())
            out << rs.text(QStringLiteral("name"));
        return out;
    }

private slots:
    void init()
    {
        const QString path = dir.filePath(QStringLiteral("book.mdb"));
        QFile::remove(path);
        sqlite3* h = nullptr;
        sqlite3_open(QFile::encodeName(path).constData(), &h);
        if (sqlite3_exec(h, kFixture, nullptr, nullptr, nullptr) != SQLITE_OK)
            qFatal("fixture: %s", sqlite3_errmsg(h));
        sqlite3_close(h);
        book = Database::open(path);
    }
    void cleanup() { book.close(); }

    void rowsTakeConvertedValuesAndDefaults()
    {
        Inserter rows(book, QStringLiteral("people"));
        rows.setValue(QStringLiteral("会員NO"), 2.0);
        rows.setValue(QStringLiteral("氏名"), QStringLiteral("佐藤花子"));
        rows.setValue(QStringLiteral("生年月日"), QDate(1980, 2, 29));
        rows.setValue(QStringLiteral("拒否"), true);
        rows.setValue(rows.field(QStringLiteral("数値1")), QStringLiteral("1.5"));
        rows.insert();
        rows.setValue(QStringLiteral("会員NO"), qint64(3));
        rows.insert();

        QCOMPARE(stored(QStringLiteral("氏名"), 2).toString(), QStringLiteral("佐藤花子"));
        QCOMPARE(stored(QStringLiteral("生年月日"), 2).toString(), QStringLiteral("1980-02-29"));
        QCOMPARE(stored(QStringLiteral("拒否"), 2).toInt(), 1);
        QCOMPARE(stored(QStringLiteral("数値1"), 2).toDouble(), 1.5);
        // Nothing carries over from the row before; unset fields take the table's defaults.
        QVERIFY(stored(QStringLiteral("氏名"), 3).isNull());
        QCOMPARE(stored(QStringLiteral("拒否"), 3).toInt(), 0);
        QCOMPARE(stored(QStringLiteral("数値1"), 3).toDouble(), 0.0);
    }

    void refusals_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<int>("onSet");
        QTest::addColumn<int>("onInsert");
        QTest::newRow("a field the table lacks") << "住所" << QVariant(QStringLiteral("x")) << 3265 << 0;
        QTest::newRow("a value the field cannot hold") << "数値1" << QVariant(QStringLiteral("abc")) << 3421 << 0;
        QTest::newRow("a number already there") << "会員NO" << QVariant(1) << 0 << 3022;
        QTest::newRow("a text longer than its field") << "氏名" << QVariant(QString(256, u'あ')) << 3163 << 0;
        QTest::newRow("surrogate pairs count one each") << "氏名" << QVariant(QStringLiteral("𠮷").repeated(255)) << 0 << 0;
    }
    void refusals()
    {
        QFETCH(QString, field);
        QFETCH(QVariant, value);
        QFETCH(int, onSet);
        QFETCH(int, onInsert);
        Inserter rows(book, QStringLiteral("people"));
        rows.setValue(QStringLiteral("会員NO"), 5);
        rows.setValue(QStringLiteral("氏名"), QStringLiteral("前の行"));
        QCOMPARE(errorOf([&] { rows.setValue(field, value); }), onSet);
        QCOMPARE(errorOf([&] { rows.insert(); }), onInsert);
        // The next row starts empty and goes in.
        rows.setValue(QStringLiteral("会員NO"), 6);
        QCOMPARE(errorOf([&] { rows.insert(); }), 0);
        QVERIFY(stored(QStringLiteral("氏名"), 6).isNull());
        QCOMPARE(stored(QStringLiteral("数値1"), onInsert ? 6 : 5).toDouble(), 0.0);
        QCOMPARE(stored(QStringLiteral("氏名"), 1).toString(), QStringLiteral("山田太郎"));
    }

    // Each text is encoded by itself: half a surrogate pair at the end of one stays out of the next.
    void textsStayInTheirFields()
    {
        Inserter rows(book, QStringLiteral("people"));
        rows.setValue(QStringLiteral("会員NO"), 7);
        rows.setValue(QStringLiteral("氏名"), QStringLiteral("x") + QChar(0xD800));
        rows.setValue(QStringLiteral("フリガナ"), QStringLiteral("y"));
        rows.insert();
        QCOMPARE(stored(QStringLiteral("フリガナ"), 7).toString(), QStringLiteral("y"));
        QVERIFY(stored(QStringLiteral("氏名"), 7).toString().startsWith(u'x'));
    }

    void missingTableGives3078() { QCOMPARE(errorOf([&] { Inserter(book, QStringLiteral("nobody")); }), 3078); }

    void indexesAfterALoad_data()
    {
        QTest::addColumn<bool>("inTransaction");
        QTest::addColumn<bool>("commit");
        QTest::addColumn<int>("rowsAfter");
        QTest::addColumn<bool>("unwinds");
        QTest::newRow("committed") << true << true << 3 << false;
        QTest::newRow("rolled back") << true << false << 1 << false;
        QTest::newRow("rolled back after an error") << true << false << 1 << true;
        QTest::newRow("outside a transaction") << false << true << 3 << false;
    }
    void indexesAfterALoad()
    {
        QFETCH(bool, inTransaction);
        QFETCH(bool, commit);
        QFETCH(int, rowsAfter);
        QFETCH(bool, unwinds);
        const QStringList all = indexes();
        if (inTransaction)
            book.beginTrans();
        try {
            Inserter rows(book, QStringLiteral("people"), Inserter::Indexes::RebuiltAtFinish);
            // Only the index that refuses nothing is left out while loading.
            QCOMPARE(indexes(), inTransaction ? QStringList{QStringLiteral("people_no")} : all);
            rows.setValue(QStringLiteral("会員NO"), 1);
            QCOMPARE(errorOf([&] { rows.insert(); }), 3022);
            for (int no : {2, 3}) {
                rows.setValue(QStringLiteral("会員NO"), no);
                rows.setValue(QStringLiteral("フリガナ"), QStringLiteral("ｱ%1").arg(no));
                rows.insert();
            }
            if (unwinds)
                throw Error(err::Other);
            if (commit)
                rows.finish();
        } catch (const Error&) {
            QVERIFY(unwinds);
        }
        if (inTransaction && commit)
            book.commitTrans();
        else if (inTransaction)
            book.rollback();
        QCOMPARE(indexes(), all);
        QCOMPARE(book.scalar(QStringLiteral("SELECT count(*) FROM \"people\"")).toInt(), rowsAfter);
        QCOMPARE(book.scalar(QStringLiteral("PRAGMA integrity_check")).toString(), QStringLiteral("ok"));
    }
};

QTEST_GUILESS_MAIN(TestInserter)
#include "tst_inserter.moc"
