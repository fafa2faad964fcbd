// The history list's lines, the memo date and the member's history in a book.

#include "tools/CallHistory.h"

#include "platform/db/Schema.h"

#include <QTemporaryDir>
#include <QtTest>

using dialler::HistoryRow;

namespace {

QDateTime at(int d, int h, int m, int s) { return QDateTime(QDate(2024, 4, d), QTime(h, m, s)); }

} // namespace

class TestCallHistory : public QObject {
    Q_OBJECT
private slots:
    void lines_data()
    {
        QTest::addColumn<QString>("number");
        QTest::addColumn<QDateTime>("start");
        QTest::addColumn<QDateTime>("end");
        QTest::addColumn<QDateTime>("duration");
        QTest::addColumn<QString>("purpose");
        QTest::addColumn<QString>("line");
        const QDateTime none;
        const QDateTime dur = dialler::ZeroDuration().addSecs(185);
        // 2024/04/01 is a Monday.
        QTest::newRow("finished call") << "0312345678" << at(1, 10, 0, 0) << at(1, 10, 3, 5) << dur << "会費"
                                       << "0312345678         2024/04/01(月) 10:00:00 - 10:03:05  (00:03:05)  会費";
        QTest::newRow("call without purpose ends after the duration")
            << "0312345678" << at(1, 10, 0, 0) << at(1, 10, 3, 5) << dur << ""
            << "0312345678         2024/04/01(月) 10:00:00 - 10:03:05  (00:03:05)  ";
        QTest::newRow("aborted call: no duration, purpose in its column")
            << "0312345678" << at(2, 9, 5, 0) << at(2, 9, 5, 20) << none << "用"
            << "0312345678         2024/04/02(火) 09:05:00 - 09:05:20              用";
        QTest::newRow("call never ended: no end, no duration")
            << "0312345678" << at(2, 9, 5, 0) << none << none << "用"
            << QStringLiteral("0312345678         2024/04/02(火) 09:05:00 - ") + QString(10 + 12, QLatin1Char(' ')) + QStringLiteral("用");
        QTest::newRow("memo") << " " << at(3, 15, 30, 0) << at(3, 15, 30, 0) << dialler::ZeroDuration() << "メモ"
                              << "                   2024/04/03(水) 15:30:00                         メモ";
        QTest::newRow("number longer than 18 is cut")
            << "0123456789012345678901" << at(1, 10, 0, 0) << at(1, 10, 0, 1) << dialler::ZeroDuration().addSecs(1) << "x"
            << "012345678901234567 2024/04/01(月) 10:00:00 - 10:00:01  (00:00:01)  x";
        QTest::newRow("call line turned memo keeps its number")
            << "0312345678" << at(3, 15, 30, 0) << at(3, 15, 30, 0) << none << "メモ"
            << "0312345678         2024/04/03(水) 15:30:00                         メモ";
    }
    void lines()
    {
        QFETCH(QString, number);
        QFETCH(QDateTime, start);
        QFETCH(QDateTime, end);
        QFETCH(QDateTime, duration);
        QFETCH(QString, purpose);
        QFETCH(QString, line);
        HistoryRow r;
        r.number = number;
        r.start = start;
        r.end = end;
        r.duration = duration;
        r.purpose = purpose;
        const QString shown = dialler::HistoryLine(r);
        QCOMPARE(shown, line);
        // Every purpose starts in the same column.
        QCOMPARE(shown.size() - purpose.size(), 18 + 23 + 3 + 10 + 12);
    }

    void memoDates_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QDateTime>("moment");
        const QDateTime invalid;
        QTest::newRow("the window's own form") << "2024/04/01(月) 10:03:05" << at(1, 10, 3, 5);
        QTest::newRow("date and time") << "2024/04/01 10:03:05" << at(1, 10, 3, 5);
        QTest::newRow("date and time without seconds") << "2024/4/1 9:03" << at(1, 9, 3, 0);
        QTest::newRow("date only") << "2024/04/01" << at(1, 0, 0, 0);
        QTest::newRow("ISO date") << "2024-04-01 10:03:05" << at(1, 10, 3, 5);
        QTest::newRow("mixed separators") << "2024/04-01" << invalid;
        QTest::newRow("no such day") << "2024/02/30" << invalid;
        QTest::newRow("no such hour") << "2024/04/01 25:00" << invalid;
        QTest::newRow("words") << "あした" << invalid;
        QTest::newRow("empty") << "" << invalid;
    }
    void memoDates()
    {
        QFETCH(QString, text);
        QFETCH(QDateTime, moment);
        const auto parsed = dialler::ParseMemoDate(text);
        QCOMPARE(parsed.has_value(), moment.isValid());
        if (parsed)
            QCOMPARE(*parsed, moment);
    }

    void memoDateRoundTrip()
    {
        const QDateTime t = at(7, 23, 59, 58);
        QCOMPARE(dialler::FormatMemoDate(t), QStringLiteral("2024/04/07(日) 23:59:58"));
        QCOMPARE(dialler::ParseMemoDate(dialler::FormatMemoDate(t)), std::optional<QDateTime>(t));
    }

    // One member's rows in the book's order; deleting them leaves the others, in one transaction.
    void memberHistory()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("b.mdb"));
        QString error;
        QVERIFY2(db::schema::createAddressBook(path, QStringLiteral("b"), &error), qPrintable(error));
        db::Database book = db::Database::open(path);
        const QString insert = QStringLiteral("INSERT INTO \"%1\"(\"会員NO\",\"電話番号\",\"用件\") VALUES(?,?,?)").arg(db::schema::historyTableName());
        for (int i = 0; i < 30; ++i)
            book.execute(insert, {qint64(i % 3 + 1), QStringLiteral("%1").arg(i), QStringLiteral("p%1").arg(i)});
        db::Recordset rs = dialler::OpenMemberHistory(book, 2);
        QCOMPARE(rs.recordCount(), 10);
        const auto rows = dialler::ReadHistoryRows(rs);
        QCOMPARE(int(rows.size()), 10);
        for (int k = 0; k < 10; ++k)
            QCOMPARE(rows[size_t(k)].number, QString::number(k * 3 + 1));

        // Rows added through the history follow the others; moves read them live.
        rs.addNew();
        rs.setValue(dialler::history::MemberNo, qint64(2));
        rs.setValue(dialler::history::Number, QStringLiteral("added"));
        rs.update();
        QCOMPARE(rs.recordCount(), 11);
        rs.moveLast();
        QCOMPARE(rs.text(dialler::history::Number), QStringLiteral("added"));
        rs.setAbsolutePosition(3);
        QCOMPARE(rs.text(dialler::history::Number), QStringLiteral("10"));
        QCOMPARE(dialler::ReadHistoryRows(rs).back().number, QStringLiteral("added"));
        // A snapshot with the same bound value.
        db::Recordset snap = book.openRecordset(QStringLiteral("SELECT * FROM \"Q_電話履歴\" WHERE \"会員NO\" = ?"),
                                                db::RecordsetType::Snapshot, {qint64(3)});
        QCOMPARE(snap.recordCount(), 10);
        QCOMPARE(snap.text(dialler::history::Number), QStringLiteral("2"));

        dialler::DeleteMemberHistory(book, 2);
        QCOMPARE(dialler::OpenMemberHistory(book, 2).recordCount(), 0);
        QCOMPARE(dialler::OpenMemberHistory(book, 1).recordCount(), 10);
        QCOMPARE(book.transactionLevel(), 0);

        // Many rows: pages of rows and the bulk reads past their first chunk keep the bound value.
        book.beginTrans();
        for (int i = 0; i < 3000; ++i)
            book.execute(insert, {qint64(i % 2 == 0 ? 5 : 6), QString::number(i), QString()});
        book.commitTrans();
        db::Recordset many = dialler::OpenMemberHistory(book, 6);
        QCOMPARE(many.recordCount(), 1500);
        many.setAbsolutePosition(1499);
        QCOMPARE(many.text(dialler::history::Number), QStringLiteral("2999"));
        const auto manyRows = dialler::ReadHistoryRows(many);
        QCOMPARE(int(manyRows.size()), 1500);
        QCOMPARE(manyRows[700].number, QStringLiteral("1401"));
        const QList<QVariantList> part = many.readColumns({dialler::history::Number}, 600, 300);
        QCOMPARE(part.size(), 300);
        QCOMPARE(part.last().first().toString(), QStringLiteral("1799"));

        // A failure inside leaves everything: the trigger refuses the third row's deletion.
        book.execute(QStringLiteral("CREATE TRIGGER refuse BEFORE DELETE ON \"%1\" WHEN old.\"電話番号\" = '6' "
                                    "BEGIN SELECT RAISE(ABORT, 'refused'); END").arg(db::schema::historyTableName()));
        QVERIFY_THROWS_EXCEPTION(db::Error, dialler::DeleteMemberHistory(book, 1));
        QCOMPARE(dialler::OpenMemberHistory(book, 1).recordCount(), 10);
        QCOMPARE(book.transactionLevel(), 0);
    }
};

QTEST_GUILESS_MAIN(TestCallHistory)
#include "tst_callhistory.moc"
