// Initialisation of an address book from the settings window.

#include "tst_form2_fixture.h"

#include "shell/FieldCaptions.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QListWidget>

using namespace form2test;

class TestForm2Initialisation : public QObject, private form2test::Case {
    Q_OBJECT
    QString dataFolder;

    int recordCount() const { return read(book, QStringLiteral("SELECT count(*) FROM \"個人台帳\"")).toInt(); }
    QStringList names() const
    {
        const db::Database d = db::Database::open(book, db::OpenMode::ReadOnly);
        db::Recordset rs = d.openRecordset(QStringLiteral("Q_個人台帳"), db::RecordsetType::Snapshot);
        QStringList n;
        for (; !rs.eof(); rs.moveNext())
            n << rs.text(QStringLiteral("会員NO")) + QLatin1Char(':') + rs.text(QStringLiteral("氏名"));
        return n;
    }
    // Everything an initialisation may change, to compare before and after.
    QStringList bookState() const
    {
        QStringList s = names();
        s << title(book).toString() << categories(book);
        for (int i = 0; i < settings::FieldCaptionCount; ++i)
            s << caption(book, settings::fieldCaption(i).field).toString();
        return s;
    }
    QString folder(int no) const { return dataFolder + QLatin1Char('/') + QString::number(no); }

    std::unique_ptr<Form2> run(bool reset, bool replace, const QString& count, bool answerYes = true)
    {
        auto w = loadWindow();
        w->check1(0)->setChecked(reset);
        w->check1(1)->setChecked(replace);
        w->text4()->setText(count);
        dialogs->queueAnswer(answerYes ? ui::Answer::Yes : ui::Answer::No);
        QTest::mouseClick(w->command3(), Qt::LeftButton);
        return w;
    }

private slots:
    void initTestCase() { ui::setProgramTitle(QStringLiteral("TovariInfolta")); }

    void init()
    {
        startTest();
        book = makeBook(dir->filePath(QStringLiteral("名簿.mdb")), "私の名簿", {{3, "友人"}, {7, "仕事"}});
        dataFolder = dir->filePath(QStringLiteral("名簿"));
        QVERIFY(QDir().mkdir(dataFolder));
        const db::Database d = db::Database::open(book);
        for (int no : {101, 102, 205})
            d.execute(QStringLiteral("INSERT INTO \"個人台帳\" (\"会員NO\", \"氏名\", \"会員区分\") VALUES (?, ?, 3)"),
                      {no, QStringLiteral("旧%1").arg(no)});
        d.execute(QStringLiteral("UPDATE \"住所録ラベル\" SET \"郵便番号\" = '〒番号', \"状態会員\" = ''"));
        openAsMenu(book);
    }

    void cleanup()
    {
        endTest();
    }

    void countBox_data()
    {
        QTest::addColumn<QString>("count");
        QTest::addColumn<int>("records");  // -1: refused
        QTest::newRow("empty gives 20") << "" << 20;
        QTest::newRow("0 gives 1") << "0" << 1;
        QTest::newRow("the default 20") << "20" << 20;
        QTest::newRow("a fraction is rounded half to even") << "2.5" << 2;
        QTest::newRow("beyond 16 bits") << "40000" << 40000;
        QTest::newRow("negative refused") << "-3" << -1;
        QTest::newRow("letters refused") << "abc" << -1;
        QTest::newRow("spaces only refused") << " " << -1;
        QTest::newRow("more than eight digits refused") << "100000000" << -1;
    }
    void countBox()
    {
        QFETCH(QString, count);
        QFETCH(int, records);
        if (records > 1000)
            QVERIFY(QDir(dataFolder).removeRecursively());  // spares the test tens of thousands of folders
        const QStringList before = bookState();
        auto w = loadWindow();
        w->check1(0)->setChecked(true);  // refused counts leave the settings alone too
        w->text4()->setText(count);
        if (records > 0)
            dialogs->queueAnswer(ui::Answer::Yes);
        w->Command3_Click();
        if (records < 0) {
            QCOMPARE(dialogs->beeps(), 1);
            QCOMPARE(dialogs->shownTexts(), QStringList{"件数を入力してください"});
            QCOMPARE(dialogs->shown().first().title, QString("TovariInfolta"));
            QCOMPARE(bookState(), before);
            QVERIFY(!QFileInfo::exists(folder(1)));
            return;
        }
        QCOMPARE(dialogs->shownTexts(), QStringList({"初期化を行います　よろしいですか？", "初期化完了"}));
        QCOMPARE(dialogs->shown().first().title, QString("住所録初期化"));
        QCOMPARE(dialogs->shown().first().buttons, ui::Buttons::YesNo);
        QCOMPARE(dialogs->shown().last().title, QString("TovariInfolta"));
        QCOMPARE(recordCount(), records);
        QCOMPARE(read(book, QStringLiteral("SELECT max(\"会員NO\") FROM \"個人台帳\"")).toInt(), records);
        QCOMPARE(read(book, QStringLiteral("SELECT \"氏名\" FROM \"個人台帳\" WHERE \"会員NO\" = %1").arg(records)),
                 QVariant(QStringLiteral("新規登録%1").arg(records)));
        for (int no : {1, records})
            QCOMPARE(QFileInfo(folder(no) + QStringLiteral("/Preview")).isDir(), records <= 1000);
    }

    void blankRecordsAndTheirFolders()
    {
        QVERIFY(QDir().mkpath(folder(1)));
        QFile picture(folder(1) + QStringLiteral("/a.jpg"));
        QVERIFY(picture.open(QIODevice::WriteOnly));
        picture.write("jpeg");
        picture.close();
        QVERIFY(QDir().mkpath(folder(101)));

        auto w = run(false, true, QStringLiteral("20"));
        const db::Database d = db::Database::open(book, db::OpenMode::ReadOnly);
        db::Recordset rs = d.openRecordset(QStringLiteral("Q_個人台帳"), db::RecordsetType::Snapshot);
        QCOMPARE(rs.recordCount(), 20);
        for (int i = 1; i <= 20; ++i, rs.moveNext()) {
            QCOMPARE(rs.value("会員NO").toInt(), i);
            QCOMPARE(rs.value("登録日").toDate(), QDate(2024, 4, 1));
            QCOMPARE(rs.text("性別"), QString("1"));
            QCOMPARE(rs.text("状態"), QString("1"));
            QCOMPARE(rs.value("会員区分").toInt(), 1);
            QVERIFY(!rs.isNull("フリガナ"));
            QCOMPARE(rs.text("フリガナ"), QString());
            QCOMPARE(rs.text("氏名"), QStringLiteral("新規登録%1").arg(i));
            QVERIFY(rs.isNull("郵便番号"));  // the rest is left to the database's defaults
            QVERIFY(QFileInfo(folder(i) + QStringLiteral("/Preview")).isDir());
        }
        QVERIFY(QFileInfo::exists(folder(1) + QStringLiteral("/a.jpg")));  // kept: it belongs to the new record 1
        QVERIFY(QFileInfo(folder(101)).isDir());
        // The settings are untouched.
        QCOMPARE(title(book), QVariant("私の名簿"));
        QCOMPARE(categories(book), QStringList({"3:友人", "7:仕事"}));
    }

    void missingDataFolderIsNotMade()
    {
        QVERIFY(QDir(dataFolder).removeRecursively());
        run(false, true, QStringLiteral("3"));
        QCOMPARE(recordCount(), 3);
        QVERIFY(!QFileInfo::exists(dataFolder));
        QCOMPARE(dialogs->shownTexts().last(), QString("初期化完了"));
    }

    void resettingTheSettings_data()
    {
        QTest::addColumn<bool>("replace");
        QTest::newRow("settings only: no closing message") << false;
        QTest::newRow("settings and records") << true;
    }
    void resettingTheSettings()
    {
        QFETCH(bool, replace);
        auto w = run(true, replace, QStringLiteral("5"));
        QCOMPARE(dialogs->shownTexts().size(), replace ? 2 : 1);
        QCOMPARE(title(book), QVariant("住所録タイトル"));
        QStringList defaults;
        for (int i = 1; i <= 10; ++i)
            defaults << QStringLiteral("%1:分類%1").arg(i);
        QCOMPARE(categories(book), defaults);
        for (int i = 0; i < settings::FieldCaptionCount; ++i)
            QCOMPARE(caption(book, settings::fieldCaption(i).field), QVariant(settings::fieldCaption(i).reset));
        QCOMPARE(recordCount(), replace ? 5 : 3);

        // The window shows what is now stored.
        QCOMPARE(w->list1()->count(), 10);
        QCOMPARE(w->list1()->item(9)->text(), QString("分類10"));
        QCOMPARE(w->text3()->text(), QString("住所録タイトル"));
        QCOMPARE(w->text2(6)->text(), QString("郵便番号"));
        QCOMPARE(w->text2(37)->text(), QString("会員"));
        // So leaving the boxes in edit mode keeps the reset texts.
        setEditMode(*w, true);
        typeAndLeave(*w, w->text2(6), w->text2(6)->text());
        typeAndLeave(*w, w->text3(), w->text3()->text());
        QCOMPARE(caption(book, QStringLiteral("郵便番号")), QVariant("郵便番号"));
        QCOMPARE(title(book), QVariant("住所録タイトル"));
        // A category picked from the new list can be renamed.
        w->list1()->setCurrentRow(1);
        typeAndLeave(*w, w->text1(), QStringLiteral("友達"));
        QCOMPARE(categories(book)[1], QString("2:友達"));
    }

    void nothingHappens_data()
    {
        QTest::addColumn<bool>("checked");
        QTest::newRow("nothing checked: no question") << false;
        QTest::newRow("answered No") << true;
    }
    void nothingHappens()
    {
        QFETCH(bool, checked);
        const QStringList before = bookState();
        auto w = loadWindow();
        w->check1(0)->setChecked(checked);
        w->check1(1)->setChecked(checked);
        if (checked)
            dialogs->queueAnswer(ui::Answer::No);
        w->Command3_Click();
        QCOMPARE(dialogs->shownTexts(), checked ? QStringList{"初期化を行います　よろしいですか？"} : QStringList());
        QCOMPARE(bookState(), before);
        QVERIFY(!QFileInfo::exists(folder(1)));
    }

    // The database refuses one step: the book stays as it was and no success is reported.
    void failureLeavesTheBookAsItWas_data()
    {
        QTest::addColumn<QString>("trigger");
        QTest::newRow("fifth record refused")
            << "CREATE TRIGGER refuse BEFORE INSERT ON \"個人台帳\" WHEN NEW.\"会員NO\" = 5 "
               "BEGIN SELECT RAISE(ABORT, 'refused'); END";
        QTest::newRow("category refused") << "CREATE TRIGGER refuse BEFORE INSERT ON \"会員区分ｺｰﾄﾞ表\" "
                                             "WHEN NEW.\"会員区分コード\" = 4 BEGIN SELECT RAISE(ABORT, 'refused'); END";
        QTest::newRow("caption reset refused") << "CREATE TRIGGER refuse BEFORE UPDATE ON \"住所録ラベル\" "
                                                  "BEGIN SELECT RAISE(ABORT, 'refused'); END";
        QTest::newRow("deletion refused") << "CREATE TRIGGER refuse BEFORE DELETE ON \"個人台帳\" "
                                             "WHEN OLD.\"会員NO\" = 205 BEGIN SELECT RAISE(ABORT, 'refused'); END";
    }
    void failureLeavesTheBookAsItWas()
    {
        QFETCH(QString, trigger);
        db::Database::open(book).execute(trigger);
        const QStringList before = bookState();
        auto w = run(true, true, QStringLiteral("20"));
        QCOMPARE(bookState(), before);
        QCOMPARE(dialogs->shown().size(), 2);
        const auto& report = dialogs->shown().last();
        QCOMPARE(report.icon, ui::Icon::Exclamation);
        QVERIFY2(report.text.contains(QLatin1Char('\n')) && report.text.section('\n', 0, 0).toInt() > 0,
                 qPrintable(report.text));
        QVERIFY(!dialogs->shownTexts().contains(QStringLiteral("初期化完了")));
        QVERIFY(!QFileInfo::exists(folder(1)));
        // The window still shows the book as it is, and goes on working.
        QCOMPARE(w->list1()->count(), 2);
        QCOMPARE(w->text3()->text(), QString("私の名簿"));
        QCOMPARE(w->text2(6)->text(), QString("〒番号"));
        QCOMPARE(w->book().transactionLevel(), 0);
        QTest::mouseClick(w->command1(0), Qt::LeftButton);
        QCOMPARE(categories(book).last(), QString("8:新規名称"));
    }

    // A cancel while the records are written rolls the whole initialisation back (the reset
    // settings too) and makes no folder; a cancel while the folders are made keeps the records.
    void cancelledInitialisation_data()
    {
        QTest::addColumn<int>("cancelAt");        // the step at which the user cancels
        QTest::addColumn<bool>("whileFolders");   // in the second progress, that of the folders
        QTest::newRow("at the first record") << 1 << false;
        QTest::newRow("at the last record") << 50 << false;
        QTest::newRow("midway") << 25 << false;
        QTest::newRow("folders midway") << 10 << true;
    }
    void cancelledInitialisation()
    {
        QFETCH(int, cancelAt);
        QFETCH(bool, whileFolders);
        const QStringList before = bookState();
        if (whileFolders)
            dialogs->queueProgressCancel(1000);  // the records run to their end
        dialogs->queueProgressCancel(cancelAt);
        auto w = run(true, true, QStringLiteral("50"));
        const auto& progresses = dialogs->progresses();
        if (!whileFolders) {
            QCOMPARE(bookState(), before);
            QCOMPARE(progresses.size(), 1);
            QCOMPARE(progresses.first().maximum, 50);
            QVERIFY(progresses.first().cancelled);
            QCOMPARE(progresses.first().last, cancelAt);
            QVERIFY(!QFileInfo::exists(folder(1)));
            QCOMPARE(dialogs->shownTexts().last(), QString("初期化を取り消しました。住所録は変更されていません。"));
            QVERIFY(!dialogs->shownTexts().contains(QStringLiteral("初期化完了")));
            QCOMPARE(w->book().transactionLevel(), 0);
            QCOMPARE(w->text3()->text(), QString("私の名簿"));
            return;
        }
        QCOMPARE(recordCount(), 50);
        QCOMPARE(title(book), QVariant("住所録タイトル"));
        QCOMPARE(progresses.size(), 2);
        QVERIFY(!progresses[0].cancelled);
        QVERIFY(progresses[1].cancelled);
        for (int i = 1; i <= cancelAt; ++i)
            QVERIFY(QFileInfo(folder(i) + QStringLiteral("/Preview")).isDir());
        QVERIFY(!QFileInfo::exists(folder(cancelAt + 1)));
        QVERIFY(dialogs->shownTexts().last().startsWith(QStringLiteral("初期化完了\n")));
    }

    // Without a cancel the work reports its progress to its end.
    void progressRunsToItsEnd()
    {
        run(false, true, QStringLiteral("30"));
        const auto& progresses = dialogs->progresses();
        QCOMPARE(progresses.size(), 2);
        for (const auto& p : progresses) {
            QCOMPARE(p.maximum, 30);
            QCOMPARE(p.last, 30);
            QCOMPARE(p.title, QString("住所録初期化"));
        }
        QCOMPARE(dialogs->shownTexts().last(), QString("初期化完了"));
    }

    // Other windows loaded on the book hold its old rows: they find them gone, never the new
    // records in their place.
    void windowsOnTheSameBookFindTheOldRowsGone_data()
    {
        QTest::addColumn<bool>("sameConnection");
        QTest::newRow("window on the shared connection") << true;
        QTest::newRow("window on a connection of its own") << false;
    }
    void windowsOnTheSameBookFindTheOldRowsGone()
    {
        QFETCH(bool, sameConnection);
        const db::Database other = sameConnection ? Module1::CurrentDb : db::Database::open(book);
        db::Recordset records = other.openRecordset(QStringLiteral("Q_個人台帳"), db::RecordsetType::Dynaset);
        records.move(1);
        QCOMPARE(records.text("氏名"), QString("旧102"));

        auto w = run(false, true, QStringLiteral("3"));
        QCOMPARE(dialogs->shownTexts().last(), QString("初期化完了"));

        bool refused = false;
        try {
            records.edit();
            records.setValue(QStringLiteral("氏名"), QStringLiteral("上書き"));
            records.update();
        } catch (const db::Error& e) {
            refused = true;
            QCOMPARE(e.number(), db::err::RecordDeleted);
        }
        QVERIFY(refused);
        records.moveFirst();
        QVERIFY(records.eof());
        QCOMPARE(names(), QStringList({"1:新規登録1", "2:新規登録2", "3:新規登録3"}));
    }
};

QTEST_MAIN(TestForm2Initialisation)
#include "tst_form2init.moc"
