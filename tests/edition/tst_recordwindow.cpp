// The address-book edition's record window: new records in category 1, its delete question, the
// 会員NO stored at once without a search or a folder rename, the birth date shown "e/mm/dd", and
// averages over a fixed number of fields.

#include "../records/Form3EditFixture.h"
#include "edition/Profile.h"
#include "editions/AddressBookForm3.h"

#include <QFileInfo>
#include <QLineEdit>
#include <QScrollBar>

#include "shell/Formats.h"

using fixture::shown;
using ui::Answer;

class TestRecordWindow : public QObject, editfx::Fixture {
    Q_OBJECT

    QString recordFolder(qint64 no) const { return dir->filePath(QStringLiteral("サンプル住所録/%1").arg(no)); }
    int count(const QString& where = QStringLiteral("1")) const
    {
        return fixture::scalar(book, QStringLiteral("SELECT COUNT(*) FROM \"個人台帳\" WHERE ") + where).toInt();
    }

    // The window of this edition on the book, shown and active, in edit mode unless asked not.
    std::unique_ptr<Form3> load(bool edit = true, const QString& path = {})
    {
        fixture::openCommon(dir->path());
        fixture::openBook(path.isEmpty() ? book : path);
        std::unique_ptr<Form3> w = std::make_unique<editions::AddressBookForm3>();
        w->formLoad();
        w->show();
        w->activateWindow();
        if (!QTest::qWaitForWindowActive(w.get()))
            qWarning("the record window did not become active");
        if (edit)
            w->Command9_Click(0);
        return w;
    }

    void setValueCaptions(const QList<QPair<int, QString>>& captions)
    {
        QStringList clear;
        for (int k = 1; k <= 10; ++k)
            clear << QStringLiteral("\"数値%1\" = NULL").arg(k);
        exec(QStringLiteral("UPDATE \"住所録ラベル\" SET ") + clear.join(u','));
        for (const auto& [box, caption] : captions)
            exec(QStringLiteral("UPDATE \"住所録ラベル\" SET \"数値%1\" = ?").arg(box + 1), {caption});
    }

private slots:
    void initTestCase()
    {
        edition::setProfile(edition::AddressBookProfile());
        ui::setProgramTitle(edition::profile().ProgramTitle);
        startCase();
    }
    void cleanupTestCase() { endCase(); }
    void init() { freshFolder(); }
    void cleanup()
    {
        QCOMPARE(dialogs->pendingAnswers(), 0);
        dropFolder();
    }

    // ---- adding and deleting ----

    void newRecordsTakeCategoryOne()
    {
        exec(QStringLiteral("UPDATE \"個人台帳\" SET \"会員区分\" = 5"));
        const int before = count();
        const int next = fixture::scalar(book, QStringLiteral("SELECT MAX(\"会員NO\") FROM \"個人台帳\"")).toInt() + 1;
        auto w = load(false);
        QCOMPARE(w->cursor().record().value(QStringLiteral("会員区分")).toInt(), 5);
        dialogs->queueAnswer(Answer::Yes);
        w->Command9_Click(2);
        QCOMPARE(dialogs->shownTexts(), QStringList{QStringLiteral("新規顧客登録を行いますか？")});
        QCOMPARE(count(), before + 1);
        QCOMPARE(stored(QStringLiteral("会員区分"), next).toInt(), 1);
        QCOMPARE(shown(w.get(), QStringLiteral("Text1_0")), Module1::FormatMemberNo(next));
        QVERIFY(QFileInfo(recordFolder(next) + QStringLiteral("/Preview")).isDir());
    }

    void firstRecordOfAnEmptyBook()
    {
        exec(QStringLiteral("DELETE FROM \"個人台帳\""));
        exec(QStringLiteral("DELETE FROM \"会員区分ｺｰﾄﾞ表\""));
        QDir(recordFolder(1)).removeRecursively();
        auto w = load(false);
        dialogs->queueAnswer(Answer::Yes);
        w->Command9_Click(2);
        QCOMPARE(count(), 1);
        QCOMPARE(count(QStringLiteral("\"会員NO\" = 1 AND \"会員区分\" = 1")), 1);
        QVERIFY(QFileInfo(recordFolder(1) + QStringLiteral("/Preview")).isDir());
    }

    void deleteAsksItsOwnQuestion_data()
    {
        QTest::addColumn<bool>("yes");
        QTest::newRow("yes deletes") << true;
        QTest::newRow("no keeps the record") << false;
    }
    void deleteAsksItsOwnQuestion()
    {
        QFETCH(bool, yes);
        const int before = count();
        auto w = load(false);
        const QString number = shown(w.get(), QStringLiteral("Text1_0"));
        dialogs->queueAnswer(yes ? Answer::Yes : Answer::No);
        w->Command9_Click(3);
        QCOMPARE(dialogs->shown().size(), 1);
        QCOMPARE(dialogs->shown().first().text, QStringLiteral("表示している個人情報を削除していいですか？"));
        QCOMPARE(dialogs->shown().first().title, QStringLiteral("削除"));
        QCOMPARE(dialogs->shown().first().buttons, ui::Buttons::YesNo);
        QCOMPARE(dialogs->shown().first().icon, ui::Icon::None);
        QCOMPARE(count(), yes ? before - 1 : before);
        QCOMPARE(count(QStringLiteral("\"会員NO\" = ") + QString::number(number.toInt())), yes ? 0 : 1);
    }

    // ---- the 会員NO box ----

    void memberNoStoredAtOnce_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("expected");  // the number record 5 holds afterwards
        QTest::addColumn<QString>("box");
        QTest::newRow("a free number") << "1012" << 1012 << "00001012";
        QTest::newRow("12.6 rounds to 13") << "1012.6" << 1013 << "00001013";
        QTest::newRow("half rounds away from zero") << "1012.5" << 1013 << "00001013";
        QTest::newRow("leading zeros") << "0001012" << 1012 << "00001012";
        QTest::newRow("its own number again") << "5" << 5 << "00000005";
        QTest::newRow("largest number") << "2147483647" << 2147483647 << "2147483647";
    }
    void memberNoStoredAtOnce()
    {
        QFETCH(QString, typed);
        QFETCH(int, expected);
        QFETCH(QString, box);
        auto w = load();
        w->hScroll1()->setValue(4);
        QCOMPARE(shown(w.get(), QStringLiteral("Text1_0")), QStringLiteral("00000005"));
        const QVariant name = stored(QStringLiteral("氏名"), 5);
        typeAndLeave(w.get(), QStringLiteral("Text1_0"), typed);
        QVERIFY(dialogs->shown().isEmpty());
        QCOMPARE(dialogs->beeps(), 0);
        QCOMPARE(shown(w.get(), QStringLiteral("Text1_0")), box);
        QCOMPARE(stored(QStringLiteral("氏名"), expected), name);
        // The pictures stay under the old number: no folder is made or renamed.
        QVERIFY(QDir(recordFolder(5)).exists());
        if (expected != 5)
            QVERIFY(!QFileInfo::exists(recordFolder(expected)));
        // Leaving it again unchanged keeps the number.
        typeAndLeave(w.get(), QStringLiteral("Text1_0"), shown(w.get(), QStringLiteral("Text1_0")));
        QVERIFY(dialogs->shown().isEmpty());
        QCOMPARE(stored(QStringLiteral("氏名"), expected), name);
    }

    void memberNoRefused_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("message");
        QTest::newRow("empty: only a beep") << "" << false;
        QTest::newRow("letters") << "abc" << true;
        QTest::newRow("grouped by commas") << "1,234" << true;
        QTest::newRow("zero") << "0" << true;
        QTest::newRow("rounds to zero") << "0.4" << true;
        QTest::newRow("negative") << "-5" << true;
        QTest::newRow("exponent") << "1e12" << true;
        QTest::newRow("past the largest") << "2147483648" << true;
        QTest::newRow("long row of digits") << "123456789012345678901234567890" << true;
    }
    void memberNoRefused()
    {
        QFETCH(QString, typed);
        QFETCH(bool, message);
        auto w = load();
        w->hScroll1()->setValue(4);
        const int before = count();
        typeAndLeave(w.get(), QStringLiteral("Text1_0"), typed);
        QCOMPARE(dialogs->beeps(), 1);
        if (message) {
            expectRefused(w.get(), QStringLiteral("Text1_0"), typed);
            QCOMPARE(dialogs->shown().first().title, QStringLiteral("TovariAdrolta"));
        } else {
            QVERIFY(dialogs->shown().isEmpty());
        }
        QCOMPARE(count(QStringLiteral("\"会員NO\" = 5")), 1);
        QCOMPARE(count(), before);
    }

    void memberNoHeldByAnotherRecordIsReported()
    {
        auto w = load();
        w->hScroll1()->setValue(4);
        const QVariant name5 = stored(QStringLiteral("氏名"), 5);
        const QVariant name7 = stored(QStringLiteral("氏名"), 7);
        typeAndLeave(w.get(), QStringLiteral("Text1_0"), QStringLiteral("7"));
        // The book's unique index refuses it: reported as an error, nothing changed.
        QCOMPARE(dialogs->shown().size(), 1);
        QVERIFY(dialogs->shown().first().text.startsWith(QStringLiteral("3022\n")));
        QCOMPARE(dialogs->shown().first().icon, ui::Icon::Exclamation);
        QCOMPARE(shown(w.get(), QStringLiteral("Text1_0")), QStringLiteral("00000005"));
        QCOMPARE(stored(QStringLiteral("氏名"), 5), name5);
        QCOMPARE(stored(QStringLiteral("氏名"), 7), name7);
        QCOMPARE(w->cursor().record().value(QStringLiteral("会員NO")).toInt(), 5);
        // The record can still be edited.
        typeAndLeave(w.get(), QStringLiteral("Text1_0"), QStringLiteral("1005"));
        QCOMPARE(stored(QStringLiteral("氏名"), 1005), name5);
    }

    // ---- the birth date ----

    void birthDateShownWithTheEraYear_data()
    {
        QTest::addColumn<QString>("era");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QDate>("date");
        QTest::addColumn<QString>("shownEra");
        QTest::addColumn<QString>("box");
        QTest::newRow("second year of an era") << "平成" << "2/5/1" << QDate(1990, 5, 1) << "平成" << "2/05/01";
        QTest::newRow("two-digit year") << "昭和" << "64/1/7" << QDate(1989, 1, 7) << "昭和" << "64/01/07";
        QTest::newRow("into the next era") << "昭和" << "64/1/8" << QDate(1989, 1, 8) << "平成" << "1/01/08";
        QTest::newRow("an era only the table knows") << "新元" << "2/3/3" << QDate(2031, 3, 3) << "新元" << "2/03/03";
    }
    void birthDateShownWithTheEraYear()
    {
        QFETCH(QString, era);
        QFETCH(QString, typed);
        QFETCH(QDate, date);
        QFETCH(QString, shownEra);
        QFETCH(QString, box);
        // An era that the platform's calendar does not have.
        db::Database common = db::Database::open(dir->filePath(QStringLiteral("共通情報/共通情報.mdb")));
        common.execute(QStringLiteral("INSERT INTO \"年号ｺｰﾄﾞ\" VALUES (?, ?)"), {QStringLiteral("新元"), QDate(2030, 1, 1)});
        common.close();
        auto w = load();
        records::SetBoxText(this->box(w.get(), QStringLiteral("Combo1")), era);
        typeAndLeave(w.get(), QStringLiteral("Text1_3"), typed);
        QVERIFY(dialogs->shown().isEmpty());
        QCOMPARE(stored(QStringLiteral("生年月日"), 1).toDate(), date);
        QCOMPARE(shown(w.get(), QStringLiteral("Combo1")), shownEra);
        QCOMPARE(shown(w.get(), QStringLiteral("Text1_3")), box);
        QCOMPARE(shown(w.get(), QStringLiteral("Text1_6")), QString::number(Module1::AgeInYears(date, editfx::kToday)));
        // Leaving the box again with what it shows keeps the date.
        typeAndLeave(w.get(), QStringLiteral("Text1_3"), shown(w.get(), QStringLiteral("Text1_3")));
        QCOMPARE(stored(QStringLiteral("生年月日"), 1).toDate(), date);
        QCOMPARE(shown(w.get(), QStringLiteral("Text1_3")), box);
    }

    // ---- totals and averages ----

    void averageOverFixedFields_data()
    {
        QTest::addColumn<int>("totalAt");
        QTest::addColumn<int>("averageAt");
        QTest::addColumn<QVariantList>("values");  // 数値1 to 数値5 before; Null where invalid
        QTest::addColumn<QString>("typed");        // into Text2(0)
        QTest::addColumn<QString>("totalShown");
        QTest::addColumn<QString>("averageShown");
        QTest::addColumn<double>("average");
        QTest::newRow("1,200 and 800") << 2 << 3 << QVariantList{0, 800, 0, 0, 0} << "1200" << "2,000" << "1,000.0" << 1000.0;
        QTest::newRow("300, 0, 0: zeros count")
            << 3 << 4 << QVariantList{0, 0, 0, 77, 55} << "300" << "300" << "100.0" << 100.0;
        QTest::newRow("divided field Null reads as 0")
            << 2 << 4 << QVariantList{0, 5, 0, QVariant(), 9} << "1" << "6" << "0.0" << 0.0;
    }
    void averageOverFixedFields()
    {
        QFETCH(int, totalAt);
        QFETCH(int, averageAt);
        QFETCH(QVariantList, values);
        QFETCH(QString, typed);
        QFETCH(QString, totalShown);
        QFETCH(QString, averageShown);
        QFETCH(double, average);
        setValueCaptions({{totalAt, QStringLiteral("合計")}, {averageAt, QStringLiteral("平均")}});
        for (int k = 0; k < 10; ++k)
            exec(QStringLiteral("UPDATE \"個人台帳\" SET \"数値%1\" = ? WHERE \"会員NO\" = 1").arg(k + 1),
                 {k < values.size() ? values.at(k) : QVariant()});
        auto w = load();
        typeAndLeave(w.get(), QStringLiteral("Text2_0"), typed, QStringLiteral("Text2_9"));
        QVERIFY(dialogs->shown().isEmpty());
        QCOMPARE(shown(w.get(), QStringLiteral("Text2_%1").arg(totalAt)), totalShown);
        QCOMPARE(shown(w.get(), QStringLiteral("Text2_%1").arg(averageAt)), averageShown);
        const QVariant storedAverage = stored(QStringLiteral("数値%1").arg(averageAt + 1), 1);
        QVERIFY(!storedAverage.isNull());
        QCOMPARE(storedAverage.toDouble(), average);
    }
};

QTEST_MAIN(TestRecordWindow)
#include "tst_recordwindow.moc"
