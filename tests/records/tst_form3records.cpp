// Adding and deleting records in the record window, and opening another address book in it.

#include "RecordsFixture.h"
#include "platform/ui/ScriptedDialogs.h"
#include "records/DisplayOrder.h"
#include "records/Form3.h"

#include <QAbstractItemModel>
#include <QFile>
#include <QAbstractItemView>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>

using fixture::shown;
using ui::Answer;

namespace {

const QDate kToday(2024, 4, 1);

int lineCount(Form3* w)
{
    return w->findChild<QAbstractItemView*>(QStringLiteral("List1"))->model()->rowCount();
}

QString line(Form3* w, int i)
{
    QAbstractItemModel* m = w->findChild<QAbstractItemView*>(QStringLiteral("List1"))->model();
    return m->index(i, 0).data().toString();
}

QString number(int no)
{
    return QStringLiteral("%1").arg(no, 8, 10, QLatin1Char('0'));
}

} // namespace

class TestForm3Records : public QObject, private fixture::WindowCase {
    Q_OBJECT

    int count(const QString& path, const QString& where = QStringLiteral("1"))
    {
        return fixture::scalar(path, QStringLiteral("SELECT COUNT(*) FROM \"個人台帳\" WHERE ") + where).toInt();
    }

    QString dataFolder() const { return dir->filePath(QStringLiteral("サンプル住所録")); }

    // A second book beside the sample: its own title, captions, order and records.
    QString otherBook()
    {
        const QString other = dir->filePath(QStringLiteral("別の住所録.mdb"));
        if (!QFile::exists(other)) {
            QFile::copy(book, other);
            QDir(dir->path()).mkdir(QStringLiteral("別の住所録"));
            fixture::exec(other, QStringLiteral("UPDATE \"管理情報\" SET \"タイトル\" = '別の住所録', \"表示順番\" = '3'"));
            fixture::exec(other, QStringLiteral("UPDATE \"住所録ラベル\" SET \"氏名\" = 'お名前'"));
            fixture::exec(other, QStringLiteral("DELETE FROM \"個人台帳\" WHERE \"会員NO\" > 5"));
        }
        return other;
    }

private slots:
    void initTestCase() { startCase(kToday); }

    void cleanupTestCase() { endCase(); }

    void init() { freshFolder(); }

    void cleanup()
    {
        QCOMPARE(dialogs->pendingAnswers(), 0);
        QCOMPARE(dialogs->pendingFiles(), 0);
        dropFolder();
    }

    // ---- adding ----

    void addToAnEmptyBook()
    {
        const QString empty = dir->filePath(QStringLiteral("空.mdb"));
        QString error;
        QVERIFY2(db::schema::createAddressBook(empty, QStringLiteral("空"), &error), qPrintable(error));
        QVERIFY(QDir(dir->path()).mkdir(QStringLiteral("空")));
        auto w = load(empty);
        dialogs->queueAnswer(Answer::Yes);
        w->Command9_Click(2);

        QCOMPARE(dialogs->shown().size(), 1);
        QCOMPARE(dialogs->shown().first().text, QStringLiteral("新規顧客登録を行いますか？"));
        QCOMPARE(dialogs->shown().first().title, QStringLiteral("顧客登録"));
        QCOMPARE(dialogs->shown().first().buttons, ui::Buttons::YesNo);
        QCOMPARE(count(empty), 1);
        QCOMPARE(count(empty, QStringLiteral("\"会員NO\" = 1 AND \"会員区分\" = 1")), 1);
        QCOMPARE(shown(w.get(), QStringLiteral("Text1_0")), number(1));
        QCOMPARE(shown(w.get(), QStringLiteral("Label15")), QStringLiteral("1/1"));
        QCOMPARE(lineCount(w.get()), 1);
        QVERIFY(w->hScroll1()->isEnabled());
        QVERIFY(QFileInfo(dir->filePath(QStringLiteral("空/1/Preview"))).isDir());
        QCOMPARE(w->recordMode(), int(Form3::Browse));
    }

    void addTakesTheNextNumber_data()
    {
        QTest::addColumn<QString>("keep");  // the numbers left in the book
        QTest::addColumn<int>("expected");
        QTest::newRow("1, 2, 10") << "1, 2, 10" << 11;
        QTest::newRow("one record") << "5" << 6;
        QTest::newRow("compared as numbers, not as texts") << "3, 20, 9" << 21;
    }
    void addTakesTheNextNumber()
    {
        QFETCH(QString, keep);
        QFETCH(int, expected);
        fixture::exec(book, QStringLiteral("DELETE FROM \"個人台帳\" WHERE \"会員NO\" NOT IN (%1)").arg(keep));
        const int records = count(book);
        auto w = load(book);
        // The category comes from the record on the screen.
        w->hScroll1()->setValue(records - 1);
        const QVariant category = w->cursor().record().value(QStringLiteral("会員区分"));
        dialogs->queueAnswer(Answer::Yes);
        w->Command9_Click(2);

        db::Database d = db::Database::open(book);
        db::Recordset added = d.openRecordset(QStringLiteral("SELECT * FROM \"個人台帳\" WHERE \"会員NO\" = %1").arg(expected),
                                              db::RecordsetType::Snapshot);
        QVERIFY(!added.eof());
        QCOMPARE(added.value(QStringLiteral("登録日")).toDate(), kToday);
        QCOMPARE(added.value(QStringLiteral("性別")).toString(), QStringLiteral("1"));
        QCOMPARE(added.value(QStringLiteral("状態")).toString(), QStringLiteral("1"));
        QCOMPARE(added.value(QStringLiteral("会員区分")), category);
        QCOMPARE(added.value(QStringLiteral("フリガナ")).toString(), QStringLiteral("ｼﾝｼﾞﾝ"));
        QCOMPARE(added.value(QStringLiteral("氏名")).toString(), QStringLiteral("新規登録"));

        // Shown at the last place, where the scroll bar, the list and the label all stand.
        QCOMPARE(shown(w.get(), QStringLiteral("Text1_0")), number(expected));
        QCOMPARE(shown(w.get(), QStringLiteral("Text1_2")), QStringLiteral("新規登録"));
        QCOMPARE(shown(w.get(), QStringLiteral("Label15")), QStringLiteral("%1/%1").arg(records + 1));
        QCOMPARE(w->hScroll1()->maximum(), records);
        QCOMPARE(w->hScroll1()->value(), records);
        QCOMPARE(lineCount(w.get()), records + 1);
        QVERIFY(line(w.get(), records).startsWith(number(expected) + QStringLiteral(" 新規登録")));
        QCOMPARE(w->findChild<QAbstractItemView*>(QStringLiteral("List1"))->currentIndex().row(), records);
        QCOMPARE(w->cursor().record().value(QStringLiteral("会員NO")).toInt(), expected);
        QVERIFY(QFileInfo(dataFolder() + QStringLiteral("/%1/Preview").arg(expected)).isDir());
        // A move from there starts at the new record.
        w->hScroll1()->setValue(records - 1);
        QCOMPARE(w->cursor().position(), records - 1);
    }

    void addKeepsAFolderThatExists()
    {
        const QString folder = dataFolder() + QStringLiteral("/41");
        QVERIFY(QDir().mkpath(folder + QStringLiteral("/Preview")));
        QFile picture(folder + QStringLiteral("/old.jpg"));
        QVERIFY(picture.open(QIODevice::WriteOnly));
        picture.write("kept");
        picture.close();
        auto w = load(book);
        dialogs->queueAnswer(Answer::Yes);
        w->Command9_Click(2);
        QCOMPARE(count(book, QStringLiteral("\"会員NO\" = 41")), 1);
        QVERIFY(QFile::exists(folder + QStringLiteral("/old.jpg")));
    }

    void addRetriesANumberTakenMeanwhile()
    {
        auto w = load(book);
        // Another window adds number 41 after this window opened its records.
        fixture::exec(book, QStringLiteral("INSERT INTO \"個人台帳\" (\"会員NO\", \"氏名\") VALUES (41, '他の窓')"));
        dialogs->queueAnswer(Answer::Yes);
        w->Command9_Click(2);
        QVERIFY2(dialogs->shown().size() == 1, qPrintable(dialogs->shownTexts().join(QLatin1Char('|'))));
        QCOMPARE(count(book, QStringLiteral("\"会員NO\" = 42 AND \"氏名\" = '新規登録'")), 1);
        QCOMPARE(count(book, QStringLiteral("\"会員NO\" = 41 AND \"氏名\" = '他の窓'")), 1);
        QCOMPARE(shown(w.get(), QStringLiteral("Text1_0")), number(42));
        QCOMPARE(shown(w.get(), QStringLiteral("Label15")), QStringLiteral("42/42"));
        QCOMPARE(lineCount(w.get()), 42);
        QCOMPARE(w->recordMode(), int(Form3::Browse));
    }

    void addAnsweredNoChangesNothing()
    {
        auto w = load(book);
        w->hScroll1()->setValue(3);
        dialogs->queueAnswer(Answer::No);
        w->Command9_Click(2);
        QCOMPARE(count(book), 40);
        QCOMPARE(w->cursor().position(), 3);
        QCOMPARE(lineCount(w.get()), 40);
        QVERIFY(!QFileInfo::exists(dataFolder() + QStringLiteral("/41")));
        for (int i = 0; i <= 7; ++i)
            QVERIFY(fixture::control(w.get(), QStringLiteral("Command9_%1").arg(i))->isEnabled());
    }

    void addToAReadOnlyBookIsReported()
    {
        auto w = load(book, db::OpenMode::ReadOnly);
        w->Command9_Click(0);  // edit mode is kept through the failure
        dialogs->queueAnswer(Answer::Yes);
        w->Command9_Click(2);
        QCOMPARE(dialogs->shown().size(), 2);
        const auto& report = dialogs->shown().last();
        QVERIFY2(report.text.startsWith(QStringLiteral("3027\n")), qPrintable(report.text));
        QCOMPARE(report.icon, ui::Icon::Exclamation);
        QCOMPARE(report.title, ui::programTitle());
        QCOMPARE(w->recordMode(), int(Form3::Edit));
        QCOMPARE(count(book), 40);
        QCOMPARE(w->cursor().count(), 40);
        QCOMPARE(shown(w.get(), QStringLiteral("Label15")), QStringLiteral("1/40"));
    }

    void everyOrderOfAReadOnlyBookIsShown()
    {
        // The order's store (and the birthdays the birthday order rewrites) are refused: the
        // records of each order are shown all the same, and the refusal is told once.
        auto w = load(book, db::OpenMode::ReadOnly);
        for (int option : {2, 5, 1, 3, 4, 0, 5}) {
            w->Option2_Click(option);
            QCOMPARE(w->displayOrder(), option + 1);
            QVERIFY(fixture::checked(w.get(), QStringLiteral("Option2_%1").arg(option)));
            QCOMPARE(w->cursor().count(), 40);
            const int first = fixture::scalar(book, QStringLiteral("SELECT \"会員NO\" FROM \"%1\" LIMIT 1")
                                                        .arg(records::DisplayOrderQuery(option + 1)))
                                  .toInt();
            QCOMPARE(shown(w.get(), QStringLiteral("Text1_0")), number(first));
        }
        QCOMPARE(dialogs->shown().size(), 1);
        QVERIFY2(dialogs->shown().first().text.startsWith(QStringLiteral("3027\n")), qPrintable(dialogs->shown().first().text));
        // A new load tells it again.
        w = load(book, db::OpenMode::ReadOnly);
        w->Option2_Click(2);
        QCOMPARE(dialogs->shown().size(), 2);
        dialogs->clearRecord();
    }

    // ---- deleting ----

    void deleteShowsTheFirstRecordOfTheOrder()
    {
        auto w = load(book);
        w->hScroll1()->setValue(5);
        dialogs->queueAnswer(Answer::Yes);
        w->Command9_Click(3);
        QCOMPARE(dialogs->shown().first().text, QStringLiteral("表示されているレコードを削除しますが、よろしいですか？"));
        QCOMPARE(dialogs->shown().first().title, QStringLiteral("削除"));
        QCOMPARE(dialogs->shown().size(), 1);
        QCOMPARE(count(book), 39);
        QCOMPARE(count(book, QStringLiteral("\"会員NO\" = 6")), 0);
        QCOMPARE(shown(w.get(), QStringLiteral("Text1_0")), number(1));
        QCOMPARE(shown(w.get(), QStringLiteral("Label15")), QStringLiteral("1/39"));
        QCOMPARE(lineCount(w.get()), 39);
        QVERIFY(line(w.get(), 5).startsWith(number(7)));
        QVERIFY(w->windowTitle().startsWith(QStringLiteral("サンプル住所録          ")));
        // The folder and its pictures stay.
        QVERIFY(QFileInfo(dataFolder() + QStringLiteral("/6/Preview")).isDir());
    }

    void deleteTheOnlyRecord()
    {
        fixture::exec(book, QStringLiteral("DELETE FROM \"個人台帳\" WHERE \"会員NO\" <> 1"));
        auto w = load(book);
        w->Command9_Click(0);
        dialogs->queueAnswer(Answer::Yes);
        w->Command9_Click(3);
        QCOMPARE(count(book), 0);
        QCOMPARE(lineCount(w.get()), 0);
        QCOMPARE(shown(w.get(), QStringLiteral("Label15")), QStringLiteral("0/0"));
        for (QWidget* box : w->entryFields())
            QVERIFY2(records::BoxText(box).isEmpty(), qPrintable(box->objectName()));
        QVERIFY(w->shownPicture().isEmpty());
        // Nothing is left to edit: back in browse mode, where 編集 works again.
        QCOMPARE(w->recordMode(), int(Form3::Browse));
        QCOMPARE(shown(w.get(), QStringLiteral("Command9_0")), QStringLiteral("編集"));
        QVERIFY(QFileInfo(dataFolder() + QStringLiteral("/1/photo1.png")).exists());
    }

    void deleteAnsweredNoChangesNothing()
    {
        auto w = load(book);
        w->hScroll1()->setValue(2);
        dialogs->queueAnswer(Answer::No);
        w->Command9_Click(3);
        QCOMPARE(count(book), 40);
        QCOMPARE(w->cursor().position(), 2);
        QCOMPARE(shown(w.get(), QStringLiteral("Text1_0")), number(3));
    }

    void deleteFromAReadOnlyBookIsReported()
    {
        auto w = load(book, db::OpenMode::ReadOnly);
        w->hScroll1()->setValue(2);
        dialogs->queueAnswer(Answer::Yes);
        w->Command9_Click(3);
        QCOMPARE(dialogs->shown().size(), 2);
        QVERIFY(dialogs->shown().last().text.startsWith(QStringLiteral("3027\n")));
        QCOMPARE(count(book), 40);
        QCOMPARE(w->cursor().position(), 2);
        QCOMPARE(shown(w.get(), QStringLiteral("Text1_0")), number(3));
    }

    // ---- another book ----

    void switchToAnotherBook()
    {
        const QString other = otherBook();
        fixture::exec(book, QStringLiteral("UPDATE \"管理情報\" SET \"表示順番\" = '2'"));
        auto w = load(book);
        w->hScroll1()->setValue(7);
        dialogs->queueFile(other);
        dialogs->queueAnswer(Answer::No);  // not the start-up book
        w->Command9_Click(5);

        QCOMPARE(dialogs->fileDialogs().size(), 1);
        QCOMPARE(dialogs->fileDialogs().first().initialFile, book);
        // The other book's records, in the order its own settings store.
        QCOMPARE(w->displayOrder(), 3);
        QCOMPARE(w->cursor().count(), 5);
        QCOMPARE(lineCount(w.get()), 5);
        const int first = fixture::scalar(other, QStringLiteral("SELECT \"会員NO\" FROM \"個人台帳\" ORDER BY \"フリガナ\", "
                                                                "\"都道府県\", \"市町村\", \"番地\", \"生年月日\", \"会員NO\"")).toInt();
        QCOMPARE(shown(w.get(), QStringLiteral("Text1_0")), number(first));
        QCOMPARE(shown(w.get(), QStringLiteral("Label15")), QStringLiteral("1/5"));
        QVERIFY(fixture::checked(w.get(), QStringLiteral("Option2_2")));
        QVERIFY(w->windowTitle().startsWith(QStringLiteral("Infolta ") + other));
        // Its own captions, and the window's own record of it.
        QCOMPARE(shown(w.get(), QStringLiteral("Label6_3")), QStringLiteral("お名前"));
        QCOMPARE(w->windowDb().path(), QFileInfo(other).absoluteFilePath());
        QCOMPARE(w->windowDbFile().FullPath, other);
        QCOMPARE(w->windowDbFile().DataFolder, dir->filePath(QStringLiteral("別の住所録")));
        QCOMPARE(Module1::CurrentDb.path(), QFileInfo(other).absoluteFilePath());
        QCOMPARE(Module1::CurrentDbFileCopy.FullPath, other);

        // A new order is stored in the new book's settings, not in the book left.
        w->Option2_Click(0);
        QCOMPARE(fixture::scalar(other, QStringLiteral("SELECT \"表示順番\" FROM \"管理情報\"")).toString(), QStringLiteral("1"));
        QCOMPARE(fixture::scalar(book, QStringLiteral("SELECT \"表示順番\" FROM \"管理情報\"")).toString(), QStringLiteral("2"));
        // New records go into the new book, with their folders beside it.
        dialogs->queueAnswer(Answer::Yes);
        w->Command9_Click(2);
        QCOMPARE(count(other, QStringLiteral("\"会員NO\" = 6")), 1);
        QCOMPARE(count(book), 40);
        QVERIFY(QFileInfo(dir->filePath(QStringLiteral("別の住所録/6/Preview"))).isDir());
    }

    void editedBoxGoesIntoTheRecordOnTheScreenFirst_data()
    {
        QTest::addColumn<int>("command");
        QTest::newRow("delete") << 3;
        QTest::newRow("another book") << 5;
    }
    void editedBoxGoesIntoTheRecordOnTheScreenFirst()
    {
        QFETCH(int, command);
        const QString other = otherBook();
        auto w = load(book);
        w->show();
        w->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(w.get()));
        w->Command9_Click(0);
        w->hScroll1()->setValue(3);
        QWidget* name = fixture::control(w.get(), QStringLiteral("Text1_2"));
        name->setFocus(Qt::TabFocusReason);
        records::SetBoxText(name, QStringLiteral("編集中の名前"));
        if (command == 3) {
            dialogs->queueAnswer(Answer::Yes);
        } else {
            dialogs->queueFile(other);
            dialogs->queueAnswer(Answer::No);
        }
        w->Command9_Click(command);
        const QString edited = QStringLiteral("\"氏名\" = '編集中の名前'");
        // Into the record that was on the screen, and into no record of what opens after.
        QCOMPARE(count(book, edited + QStringLiteral(" AND \"会員NO\" = 4")), command == 3 ? 0 : 1);
        QCOMPARE(count(book, edited), command == 3 ? 0 : 1);
        QCOMPARE(count(other, edited), 0);
        QVERIFY(records::BoxText(name) != QStringLiteral("編集中の名前"));
        QCOMPARE(w->recordMode(), int(Form3::Edit));
    }

    void switchCancelledKeepsTheBook()
    {
        auto w = load(book);
        w->hScroll1()->setValue(4);
        const QString title = w->windowTitle();
        dialogs->queueFile(std::nullopt);
        w->Command9_Click(5);
        QCOMPARE(w->windowDbFile().FullPath, book);
        QCOMPARE(w->cursor().position(), 4);
        QCOMPARE(w->windowTitle(), title);
        QVERIFY(dialogs->shown().isEmpty());
    }

    void switchToSomethingElseIsReported_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("content");  // "" for the common database
        QTest::newRow("a text file through all files") << "メモ.txt" << "not a database";
        QTest::newRow("the common database") << "共通情報/共通情報.mdb" << "";
    }
    void switchToSomethingElseIsReported()
    {
        QFETCH(QString, file);
        QFETCH(QString, content);
        const QString path = dir->filePath(file);
        if (!content.isEmpty()) {
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(content.toUtf8());
        }
        auto w = load(book);
        w->hScroll1()->setValue(4);
        dialogs->queueFile(path);
        dialogs->queueAnswer(Answer::No);
        w->Command9_Click(5);
        QCOMPARE(dialogs->shown().size(), 2);
        QCOMPARE(dialogs->shown().last().icon, ui::Icon::Exclamation);
        QVERIFY(dialogs->shown().last().text.contains(QLatin1Char('\n')));
        // The window keeps its book and its place.
        QCOMPARE(w->windowDbFile().FullPath, book);
        QCOMPARE(w->windowDb().path(), QFileInfo(book).absoluteFilePath());
        QCOMPARE(Module1::CurrentDb.path(), QFileInfo(book).absoluteFilePath());
        QCOMPARE(w->cursor().position(), 4);
        QCOMPARE(shown(w.get(), QStringLiteral("Text1_0")), number(5));
        w->hScroll1()->setValue(6);
        QCOMPARE(shown(w.get(), QStringLiteral("Text1_0")), number(7));
    }
};

QTEST_MAIN(TestForm3Records)
#include "tst_form3records.moc"
