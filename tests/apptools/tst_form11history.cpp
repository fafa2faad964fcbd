// The dialler's history list, choosing a line, "更新", the memos and both deletions.

#include "DiallerFixture.h"

#include <QSignalSpy>
#include <QtTest>

using namespace dfix;
namespace history = dialler::history;

constexpr qint64 kMember = 10;
constexpr qint64 kOther = 11;

class TestForm11History : public QObject, private DiallerCase {
    Q_OBJECT

    // Rows written directly into the book: two calls and a memo of the member, one call of another.
    void seed()
    {
        const QString sql = QStringLiteral("INSERT INTO \"%1\"(\"会員NO\",\"電話番号\",\"開始時間\",\"終了時間\",\"通話時間\",\"用件\",\"通話中止\") "
                                           "VALUES(?,?,?,?,?,?,?)").arg(db::schema::historyTableName());
        fixture::exec(book, sql, {kMember, "0312345678", "2024-03-01T09:00:00", "2024-03-01T09:02:00", "1899-12-30T00:02:00", "最初", 0});
        fixture::exec(book, sql, {kOther, "0398765432", "2024-03-01T09:30:00", "2024-03-01T09:31:00", "1899-12-30T00:01:00", "他人", 0});
        fixture::exec(book, sql, {kMember, " ", "2024-03-02T14:00:00", "2024-03-02T14:00:00", "1899-12-30T00:00:00", "メモ", QVariant()});
        fixture::exec(book, sql, {kMember, "09011112222", "2024-03-03T18:00:00", "2024-03-03T18:00:30", QVariant(), QVariant(), 1});
    }

    static QLineEdit* box(Form11* w, const char* name) { return lineEdit(w, QString::fromLatin1(name)); }

private slots:
    void initTestCase() { startCase(); }
    void cleanupTestCase() { endCase(); }
    void init()
    {
        fresh();
        seed();
    }
    void cleanup() { drop(); }

    // Only the member's rows, in the book's order, each in its kind of line; none selected.
    void listAtLoad()
    {
        auto w = open(kMember);
        QCOMPARE(lines(w.get()), (QStringList{
                                     QStringLiteral("0312345678         2024/03/01(金) 09:00:00 - 09:02:00  (00:02:00)  最初"),
                                     QStringLiteral("                   2024/03/02(土) 14:00:00                         メモ"),
                                     QStringLiteral("09011112222        2024/03/03(日) 18:00:00 - 18:00:30              "),
                                 }));
        QCOMPARE(list(w.get())->selectionModel()->selectedIndexes().size(), 0);
        QVERIFY(list(w.get())->uniformItemSizes());
        QCOMPARE(list(w.get())->font().family(), QFont(QStringLiteral("ＭＳ ゴシック")).family());
        // The sample book's own history of its first member, filtered by the number at load.
        auto first = open(1);
        QCOMPARE(first->historyModel()->rowCount(), 3);
    }

    // Choosing a call line fills the purpose, a memo line the memo boxes.
    void chooseLine()
    {
        auto w = open(kMember);
        selectLine(w.get(), 0);
        QCOMPARE(box(w.get(), "Text4")->text(), QStringLiteral("最初"));
        QVERIFY(box(w.get(), "Text6_0")->text().isEmpty());
        selectLine(w.get(), 1);
        QCOMPARE(box(w.get(), "Text6_0")->text(), QStringLiteral("2024/03/02(土) 14:00:00"));
        QCOMPARE(box(w.get(), "Text6_1")->text(), QStringLiteral("メモ"));
        QCOMPARE(box(w.get(), "Text4")->text(), QStringLiteral("最初"));
        selectLine(w.get(), 2);
        QCOMPARE(box(w.get(), "Text4")->text(), QString());
    }

    // "更新": the selected row, else the last; the same text again neither writes nor refills;
    // nothing at all without a number; too long refused.
    void updatePurpose()
    {
        auto w = open(kMember);
        QSignalSpy refills(w->historyModel(), &QAbstractItemModel::modelReset);
        box(w.get(), "Text4")->setText(QStringLiteral("折り返し"));
        w->Command1_Click();
        QCOMPARE(historyValue(book, kMember, 2, history::Purpose).toString(), QStringLiteral("折り返し"));
        QCOMPARE(refills.size(), 1);
        QVERIFY(lines(w.get()).last().endsWith(QStringLiteral("折り返し")));
        w->Command1_Click();
        QCOMPARE(refills.size(), 1);

        selectLine(w.get(), 0);
        box(w.get(), "Text4")->setText(QStringLiteral("変更"));
        w->Command1_Click();
        QCOMPARE(historyValue(book, kMember, 0, history::Purpose).toString(), QStringLiteral("変更"));
        QCOMPARE(historyValue(book, kMember, 2, history::Purpose).toString(), QStringLiteral("折り返し"));

        // An empty purpose is never stored; the list is refilled all the same.
        box(w.get(), "Text4")->clear();
        w->Command1_Click();
        QCOMPARE(refills.size(), 3);
        QCOMPARE(historyValue(book, kMember, 2, history::Purpose).toString(), QStringLiteral("折り返し"));

        box(w.get(), "Text1_0")->clear();
        box(w.get(), "Text1_1")->clear();
        box(w.get(), "Text4")->setText(QStringLiteral("書かれない"));
        w->Command1_Click();
        QCOMPARE(refills.size(), 3);
        QCOMPARE(historyValue(book, kMember, 2, history::Purpose).toString(), QStringLiteral("折り返し"));

        box(w.get(), "Text1_0")->setText(QStringLiteral("03"));
        box(w.get(), "Text4")->setText(QString(128, QChar(u'あ')));
        w->Command1_Click();
        QCOMPARE(dialogs->beeps(), 1);
        QCOMPARE(dialogs->shownTexts(), QStringList{QStringLiteral("入力データが不正またはデータが長すぎます")});
        QCOMPARE(historyValue(book, kMember, 2, history::Purpose).toString(), QStringLiteral("折り返し"));
        QCOMPARE(refills.size(), 3);
    }

    // The memo date box fills itself when empty; the text it fills in is accepted.
    void memoDateFillsItself()
    {
        auto w = open(kMember);
        dialogs->setNow(QDateTime(QDate(2024, 4, 7), QTime(8, 9, 10)));
        w->Text6_GotFocus(0);
        QCOMPARE(box(w.get(), "Text6_0")->text(), QStringLiteral("2024/04/07(日) 08:09:10"));
        dialogs->setNow(QDateTime(QDate(2024, 4, 8), QTime(8, 9, 10)));
        w->Text6_GotFocus(0);
        w->Text6_GotFocus(1);
        QCOMPARE(box(w.get(), "Text6_0")->text(), QStringLiteral("2024/04/07(日) 08:09:10"));
        box(w.get(), "Text6_1")->setText(QStringLiteral("新しいメモ"));
        w->Command3_Click();
        QCOMPARE(lines(w.get()).size(), 4);
        QCOMPARE(lines(w.get()).last(), QStringLiteral("                   2024/04/07(日) 08:09:10                         新しいメモ"));
        const auto rows = historyOf(book, kMember);
        QCOMPARE(rows.back().number, QStringLiteral(" "));
        QCOMPARE(rows.back().start, rows.back().end);
        QCOMPARE(rows.back().duration, dialler::ZeroDuration());
        QCOMPARE(historyValue(book, kMember, 3, history::MemberNo).toLongLong(), kMember);
        // The memo boxes keep their text.
        QCOMPARE(box(w.get(), "Text6_1")->text(), QStringLiteral("新しいメモ"));
    }

    // A memo over a selected line changes that row, whatever its kind: a call line turns into a
    // memo line with its number in front, and choosing it afterwards fills the purpose.
    void memoOverSelectedCall()
    {
        auto w = open(kMember);
        selectLine(w.get(), 0);
        box(w.get(), "Text4")->clear();
        box(w.get(), "Text6_0")->setText(QStringLiteral("2024/03/05 10:00"));
        box(w.get(), "Text6_1")->setText(QStringLiteral("メモに変更"));
        w->Command3_Click();
        QCOMPARE(lines(w.get()).size(), 3);
        QCOMPARE(lines(w.get()).first(), QStringLiteral("0312345678         2024/03/05(火) 10:00:00                         メモに変更"));
        selectLine(w.get(), 0);
        QCOMPARE(box(w.get(), "Text4")->text(), QStringLiteral("メモに変更"));
    }

    void memoRefused_data()
    {
        QTest::addColumn<QString>("date");
        QTest::addColumn<QString>("memo");
        QTest::addColumn<QStringList>("messages");
        const QStringList none;
        QTest::newRow("empty date") << "" << "メモ" << none;
        QTest::newRow("not a date") << "来週" << "メモ" << none;
        QTest::newRow("no such day") << "2024/02/30" << "メモ" << none;
        QTest::newRow("empty memo") << "2024/04/01" << "" << none;
        QTest::newRow("memo longer than 255 bytes") << "2024/04/01" << QString(128, QChar(u'あ'))
                                                    << QStringList{QStringLiteral("入力データが不正またはデータが長すぎます")};
    }
    void memoRefused()
    {
        QFETCH(QString, date);
        QFETCH(QString, memo);
        QFETCH(QStringList, messages);
        auto w = open(kMember);
        box(w.get(), "Text6_0")->setText(date);
        box(w.get(), "Text6_1")->setText(memo);
        w->Command3_Click();
        QCOMPARE(dialogs->beeps(), 1);
        QCOMPARE(dialogs->shownTexts(), messages);
        QCOMPARE(historyOf(book, kMember).size(), size_t(3));
        QCOMPARE(box(w.get(), "Text6_0")->text(), date);
        QCOMPARE(box(w.get(), "Text6_1")->text(), memo);
    }

    // "全履歴削除": asked first; No keeps everything and the purpose; Yes deletes the member's
    // rows only, reopens and empties the purpose.
    void deleteAll()
    {
        auto w = open(kMember);
        box(w.get(), "Text4")->setText(QStringLiteral("残る"));
        dialogs->queueAnswer(ui::Answer::No);
        w->Command2_Click(0);
        QCOMPARE(dialogs->shown().size(), 1);
        QCOMPARE(dialogs->shown()[0].text, QStringLiteral("すべての通話履歴を削除しますがよろしいですか？"));
        QCOMPARE(dialogs->shown()[0].title, QStringLiteral("全履歴削除"));
        QCOMPARE(dialogs->shown()[0].buttons, ui::Buttons::YesNo);
        QCOMPARE(dialogs->shown()[0].icon, ui::Icon::None);
        QCOMPARE(historyOf(book, kMember).size(), size_t(3));
        QCOMPARE(box(w.get(), "Text4")->text(), QStringLiteral("残る"));

        dialogs->queueAnswer(ui::Answer::Yes);
        w->Command2_Click(0);
        QVERIFY(historyOf(book, kMember).empty());
        QCOMPARE(historyOf(book, kOther).size(), size_t(1));
        QVERIFY(lines(w.get()).isEmpty());
        QVERIFY(box(w.get(), "Text4")->text().isEmpty());
        // The history reopened: a memo now is the only row.
        box(w.get(), "Text6_0")->setText(QStringLiteral("2024/04/01"));
        box(w.get(), "Text6_1")->setText(QStringLiteral("後から"));
        w->Command3_Click();
        QCOMPARE(lines(w.get()).size(), 1);
        // An empty history asks nothing.
        dialogs->clearRecord();
        dialogs->queueAnswer(ui::Answer::Yes);
        w->Command2_Click(0);
        QVERIFY(lines(w.get()).isEmpty());
        w->Command2_Click(0);
        QCOMPARE(dialogs->shown().size(), 1);
    }

    // A failure deletes nothing and says so.
    void deleteAllFailure()
    {
        fixture::exec(book, QStringLiteral("CREATE TRIGGER refuse BEFORE DELETE ON \"%1\" WHEN old.\"用件\" = 'メモ' "
                                           "BEGIN SELECT RAISE(ABORT, 'refused'); END").arg(db::schema::historyTableName()));
        auto w = open(kMember);
        dialogs->queueAnswer(ui::Answer::Yes);
        w->Command2_Click(0);
        QCOMPARE(historyOf(book, kMember).size(), size_t(3));
        QCOMPARE(lines(w.get()).size(), 3);
        QCOMPARE(dialogs->shown().size(), 2);
        QCOMPARE(dialogs->shown()[1].icon, ui::Icon::Exclamation);
        QVERIFY(dialogs->shown()[1].text.contains(QLatin1Char('\n')));
    }

    void deleteSelected()
    {
        auto w = open(kMember);
        // Without a selected line nothing is asked.
        w->Command2_Click(1);
        QVERIFY(dialogs->shown().isEmpty());
        selectLine(w.get(), 1);
        dialogs->queueAnswer(ui::Answer::No);
        w->Command2_Click(1);
        QCOMPARE(historyOf(book, kMember).size(), size_t(3));
        QCOMPARE(dialogs->shown()[0].text, QStringLiteral("選択した通話履歴を削除しますがよろしいですか？"));
        QCOMPARE(dialogs->shown()[0].title, QStringLiteral("選択履歴削除"));
        selectLine(w.get(), 1);
        dialogs->queueAnswer(ui::Answer::Yes);
        w->Command2_Click(1);
        const auto rows = historyOf(book, kMember);
        QCOMPARE(rows.size(), size_t(2));
        QCOMPARE(rows[0].purpose, QStringLiteral("最初"));
        QCOMPARE(rows[1].number, QStringLiteral("09011112222"));
        QCOMPARE(lines(w.get()).size(), 2);
    }

    // During a call the history commands still work, and "通話終了" closes the call's own row;
    // deleting is refused with a beep.
    void historyDuringCall()
    {
        auto w = open(kMember);
        w->DialButton_Click();
        QCOMPARE(buttons(w.get()), Connected);
        dialogs->clearRecord();
        selectLine(w.get(), 0);
        box(w.get(), "Text4")->setText(QStringLiteral("通話中に更新"));
        w->Command1_Click();
        box(w.get(), "Text6_0")->setText(QStringLiteral("2024/04/01 10:00"));
        box(w.get(), "Text6_1")->setText(QStringLiteral("通話中のメモ"));
        w->Command3_Click();
        const int beeps = dialogs->beeps();
        w->Command2_Click(0);
        w->Command2_Click(1);
        QCOMPARE(dialogs->beeps(), beeps + 2);
        QVERIFY(dialogs->shown().isEmpty());
        dialogs->setNow(QDateTime(QDate(2024, 4, 1), QTime(10, 0, 42)));
        buttonOf(w.get(), QStringLiteral("QuitButton_0"))->click();
        const auto rows = historyOf(book, kMember);
        QCOMPARE(rows.size(), size_t(5));
        QCOMPARE(rows[3].number, QStringLiteral("0312345678"));
        QCOMPARE(rows[3].end, QDateTime(QDate(2024, 4, 1), QTime(10, 0, 42)));
        QCOMPARE(rows[3].duration, dialler::ZeroDuration().addSecs(42));
        // "更新" wrote the selected line; the list then had no selection, so the memo is new.
        QCOMPARE(rows[0].purpose, QStringLiteral("通話中に更新"));
        QCOMPARE(rows[4].number, QStringLiteral(" "));
        QCOMPARE(rows[4].purpose, QStringLiteral("通話中のメモ"));
    }

    // A member number that is no number: no history, no memos.
    void memberNotANumber()
    {
        Module1::DialMemberNo = QStringLiteral("abc");
        Form11 w;
        w.formLoad();
        QVERIFY(lines(&w).isEmpty());
        box(&w, "Text6_0")->setText(QStringLiteral("2024/04/01"));
        box(&w, "Text6_1")->setText(QStringLiteral("メモ"));
        w.Command3_Click();
        QCOMPARE(dialogs->beeps(), 1);
        QVERIFY(lines(&w).isEmpty());
        QCOMPARE(historyOf(book, kMember).size(), size_t(3));
        w.DialButton_Click();
        QCOMPARE(dialogs->beeps(), 2);
        QVERIFY(line->openedPorts.isEmpty());
    }
};

QTEST_MAIN(TestForm11History)
#include "tst_form11history.moc"
