// The web-link window on a small book: its lists, opening pages, editing, adding and deleting,
// and the book it keeps when other windows change things.

#include "edition/Profile.h"
#include "platform/db/Database.h"
#include "platform/db/Schema.h"
#include "platform/shell/RecordingOpener.h"
#include "platform/ui/ScriptedDialogs.h"
#include "shell/Module1.h"
#include "tools/Form6.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

using namespace Module1;

namespace {

struct Person {
    qint64 no;
    QVariant category;
    QString name;
    QVariant web;
};

// Categories 1 "友人", 2 "空" (no records), 3 Null name, 4 "" (empty name), 5 "仕事".
const QList<Person> kPeople = {
    {1, 1, "山田", "example.org/yamada"},
    {2, 1, "佐藤", QVariant()},
    {3, 1, "鈴木", "   "},
    {4, 1, "高橋", "ftp://example.org/x"},
    {5, 3, "無名区分", "example.org/null"},
    {6, 4, "空名区分", "example.org/empty"},
    {7, 5, "仕事一", "https://example.com/1"},
    {8, 5, "仕事二", "https://example.com/2"},
};

using Categories = QList<std::pair<int, QVariant>>;

QString makeBook(const QString& folder, const QString& file, const QList<Person>& people, const QVariant& title = "住所録A",
                 const Categories& more = {})
{
    const QString path = folder + QLatin1Char('/') + file;
    QString error;
    if (!db::schema::createAddressBook(path, title.toString(), &error))
        qFatal("%s", qPrintable(error));
    db::Database d = db::Database::open(path);
    if (title.isNull())
        d.execute(QStringLiteral("UPDATE \"管理情報\" SET \"タイトル\" = NULL"));
    const Categories categories = Categories{{1, "友人"}, {2, "空"}, {3, QVariant()}, {4, QString("")}, {5, "仕事"}} + more;
    for (const auto& [code, name] : categories)
        d.execute(QStringLiteral("INSERT INTO \"会員区分ｺｰﾄﾞ表\"(\"会員区分コード\", \"会員区分名称\") VALUES(?, ?)"), {code, name});
    d.beginTrans();
    for (const Person& p : people)
        d.execute(QStringLiteral("INSERT INTO \"%1\"(\"会員NO\", \"会員区分\", \"氏名\", \"フリガナ\", \"WebHome\") VALUES(?, ?, ?, ?, ?)")
                      .arg(db::schema::personTableName()),
                  {p.no, p.category, p.name, QStringLiteral("ｱ%1").arg(p.no), p.web});
    d.commitTrans();
    return path;
}

QVariant scalar(const QString& book, const QString& sql, const QVariantList& params = {})
{
    return db::Database::open(book).scalar(sql, params);
}

QString personTable()
{
    return QLatin1Char('"') + db::schema::personTableName() + QLatin1Char('"');
}

QString personSql(const QString& what)
{
    return QStringLiteral("SELECT %1 FROM \"%2\"").arg(what, db::schema::personTableName());
}

} // namespace

class TestForm6 : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> dir;
    std::unique_ptr<ui::ScriptedDialogs> dialogs;
    std::unique_ptr<ui::ScopedDialogs> scope;
    desktop::RecordingOpener opener;
    std::unique_ptr<desktop::ScopedOpener> openerScope;
    QString book;

    std::unique_ptr<Form6> load(const QString& path)
    {
        PublishCurrentBook(path);
        auto w = std::make_unique<Form6>();
        w->formLoad();
        return w;
    }

private slots:
    void init()
    {
        dir = std::make_unique<QTemporaryDir>();
        dialogs = std::make_unique<ui::ScriptedDialogs>(QDate(2024, 4, 1));
        scope = std::make_unique<ui::ScopedDialogs>(dialogs.get());
        opener = desktop::RecordingOpener();
        openerScope = std::make_unique<desktop::ScopedOpener>(&opener);
        book = makeBook(dir->path(), QStringLiteral("a.mdb"), kPeople);
    }
    void cleanup()
    {
        QVERIFY2(!dialogs->hadUnexpected(), qPrintable(dialogs->failures().join('\n')));
        BookSettingsRs = db::Recordset();
        CurrentDb = db::Database();
        openerScope.reset();
        scope.reset();
        dialogs.reset();
        dir.reset();
    }

    void caption_data()
    {
        QTest::addColumn<QVariant>("title");
        QTest::addColumn<QString>("start");
        QTest::newRow("own title") << QVariant("住所録A") << "住所録A          ";
        QTest::newRow("Null title: the edition's name") << QVariant() << "Infolta          ";
    }
    void caption()
    {
        QFETCH(QVariant, title);
        QFETCH(QString, start);
        const QString path = makeBook(dir->path(), QStringLiteral("t.mdb"), {}, title);
        auto w = load(path);
        QVERIFY2(w->windowTitle().startsWith(start + path), qPrintable(w->windowTitle()));
        QVERIFY(w->windowTitle().endsWith(QStringLiteral("2024年04月01日(月) ")));
        // Empty caption fields show the fields' own names.
        QCOMPARE(w->label1(0)->text(), QStringLiteral("登録区分"));
        QCOMPARE(w->label1(1)->text(), QStringLiteral("氏名"));
        QCOMPARE(w->label1(5)->text(), QStringLiteral("記事"));
    }

    void siteLists_data()
    {
        QTest::addColumn<int>("category");
        QTest::addColumn<QStringList>("sites");
        QTest::newRow("first category, shown at load") << 0 << QStringList{"山田", "佐藤", "鈴木", "高橋"};
        QTest::newRow("category without records") << 1 << QStringList{};
        QTest::newRow("Null name") << 2 << QStringList{"無名区分"};
        QTest::newRow("empty name") << 3 << QStringList{"空名区分"};
        QTest::newRow("last category") << 4 << QStringList{"仕事一", "仕事二"};
    }
    void siteLists()
    {
        QFETCH(int, category);
        QFETCH(QStringList, sites);
        auto w = load(book);
        QCOMPARE(w->categoryLines(), (QStringList{"友人", "空", "", "", "仕事"}));
        w->selectCategory(category);
        QCOMPARE(w->selectedCategory(), category);
        QCOMPARE(w->siteLines(), sites);
        QCOMPARE(w->selectedSite(), sites.isEmpty() ? -1 : 0);
        QCOMPARE(w->text2(0), sites.value(0));
    }

    void detailsFollowTheSite()
    {
        auto w = load(book);
        w->selectSite(3);
        QCOMPARE(w->text2(0), QStringLiteral("高橋"));
        QCOMPARE(w->text2(1), QStringLiteral("ftp://example.org/x"));
        w->selectSite(1);
        QCOMPARE(w->text2(1), QString());  // a Null address
    }

    void openOne_data()
    {
        QTest::addColumn<int>("site");
        QTest::addColumn<QStringList>("requested");
        QTest::addColumn<int>("messages");
        QTest::newRow("scheme added") << 0 << QStringList{"example.org/yamada"} << 0;
        QTest::newRow("Null address: nothing") << 1 << QStringList{} << 0;
        QTest::newRow("blank address: nothing") << 2 << QStringList{} << 0;
        QTest::newRow("refused scheme: told") << 3 << QStringList{"ftp://example.org/x"} << 1;
    }
    void openOne()
    {
        QFETCH(int, site);
        QFETCH(QStringList, requested);
        QFETCH(int, messages);
        auto w = load(book);
        w->selectSite(site);
        w->command1(0)->click();
        QCOMPARE(opener.requestedUrls, requested);
        QCOMPARE(int(dialogs->shown().size()), messages);
        if (site == 0)
            QCOMPARE(opener.openedUrls.value(0).toString(), QStringLiteral("http://example.org/yamada"));
    }

    void openAll_data()
    {
        QTest::addColumn<int>("category");
        QTest::addColumn<QStringList>("requested");
        QTest::addColumn<int>("failed");
        QTest::newRow("blank skipped, refusal told once") << 0 << QStringList{"example.org/yamada", "ftp://example.org/x"} << 1;
        QTest::newRow("Null category name opens nothing") << 2 << QStringList{} << 0;
        QTest::newRow("empty name is a name") << 3 << QStringList{"example.org/empty"} << 0;
        QTest::newRow("stops at the end of the category") << 4 << QStringList{"https://example.com/1", "https://example.com/2"} << 0;
    }
    void openAll()
    {
        QFETCH(int, category);
        QFETCH(QStringList, requested);
        QFETCH(int, failed);
        auto w = load(book);
        w->selectCategory(category);
        w->command1(1)->click();
        QCOMPARE(opener.requestedUrls, requested);
        QCOMPARE(int(dialogs->shown().size()), failed);
        if (failed) {
            QCOMPARE(dialogs->shown().first().title, QStringLiteral("Web管理"));
            QVERIFY(dialogs->shown().first().text.contains(QStringLiteral("ftp://example.org/x")));
        }
    }

    // Categories of other codes but the same name, following one another, open as one.
    void openAllGroupsByName_data()
    {
        QTest::addColumn<QString>("fiveName");
        QTest::addColumn<QString>("sixName");
        QTest::addColumn<int>("category");
        QTest::addColumn<QStringList>("requested");
        const QStringList five{"https://example.com/1", "https://example.com/2"};
        const QStringList six{"https://example.com/6a", "https://example.com/6b"};
        QTest::newRow("two codes, one name: both, in the records' order") << "仕事" << "仕事" << 4 << five + six;
        QTest::newRow("the second code: its own pages") << "仕事" << "仕事" << 5 << six;
        QTest::newRow("another name: stops there") << "仕事" << "趣味" << 4 << five;
        QTest::newRow("the name in other letter case: stops there") << "Work" << "work" << 4 << five;
    }
    void openAllGroupsByName()
    {
        QFETCH(QString, fiveName);
        QFETCH(QString, sixName);
        QFETCH(int, category);
        QFETCH(QStringList, requested);
        QList<Person> people = kPeople;
        // Added last; the category order lists them after category 5's, by their readings.
        people << Person{9, 6, "六二", "https://example.com/6b"} << Person{10, 6, "六一", "https://example.com/6a"}
               << Person{11, 6, "六三", QVariant()};
        const QString path = makeBook(dir->path(), QStringLiteral("names.mdb"), people, "住所録A", {{6, sixName}});
        db::Database::open(path).execute(
            QStringLiteral("UPDATE \"会員区分ｺｰﾄﾞ表\" SET \"会員区分名称\" = ? WHERE \"会員区分コード\" = 5"), {fiveName});
        auto w = load(path);
        w->selectCategory(category);
        w->command1(1)->click();
        QCOMPARE(opener.requestedUrls, requested);
        QVERIFY(dialogs->shown().isEmpty());
    }

    void openAllAsksAboveTwenty_data()
    {
        QTest::addColumn<int>("pages");
        QTest::addColumn<int>("answer");
        QTest::addColumn<int>("opened");
        QTest::newRow("20 pages: no question") << 20 << -1 << 20;
        QTest::newRow("21 pages, Yes") << 21 << int(ui::Answer::Yes) << 21;
        QTest::newRow("21 pages, No: nothing") << 21 << int(ui::Answer::No) << 0;
    }
    void openAllAsksAboveTwenty()
    {
        QFETCH(int, pages);
        QFETCH(int, answer);
        QFETCH(int, opened);
        QList<Person> people;
        for (int i = 1; i <= pages; ++i)
            people << Person{i, 5, QStringLiteral("site%1").arg(i), QStringLiteral("example.org/%1").arg(i)};
        const QString path = makeBook(dir->path(), QStringLiteral("many.mdb"), people);
        auto w = load(path);
        w->selectCategory(4);
        if (answer >= 0)
            dialogs->queueAnswer(ui::Answer(answer));
        w->command1(1)->click();
        QCOMPARE(int(opener.requestedUrls.size()), opened);
        if (answer >= 0) {
            QCOMPARE(dialogs->shown().first().text, QStringLiteral("21 件のWebページを開きます　よろしいですか？"));
            QCOMPARE(dialogs->shown().first().title, QStringLiteral("Web管理"));
        }
    }

    // All the pages of a category: those refused at once and those whose program ended with a
    // failure (no browser on the desktop) are told in one box, in the list's order; none when all
    // opened.
    void openAllTellsThePagesNotOpened_data()
    {
        QTest::addColumn<bool>("ftpPage");         // the second page is refused at once
        QTest::addColumn<QString>("programEnds");  // what the desktop's program says as it ends
        QTest::addColumn<QString>("message");      // "": no box
        QTest::newRow("all opened") << false << QString() << QString();
        QTest::newRow("refused at once") << true << QString()
                                         << QStringLiteral("1 件のWebページを開けませんでした。\n"
                                                           "ftp://example.org/2（http または https のアドレスしか開けません: ftp://example.org/2）");
        QTest::newRow("no browser on the desktop")
            << true << QStringLiteral("開くプログラムが設定されていません")
            << QStringLiteral("3 件のWebページを開けませんでした。\nexample.org/1（開くプログラムが設定されていません）\n"
                              "ftp://example.org/2（http または https のアドレスしか開けません: ftp://example.org/2）\n"
                              "example.org/3（開くプログラムが設定されていません）");
    }
    void openAllTellsThePagesNotOpened()
    {
        QFETCH(bool, ftpPage);
        QFETCH(QString, programEnds);
        QFETCH(QString, message);
        QList<Person> people;
        for (int i = 1; i <= 3; ++i)
            people << Person{i, 5, QStringLiteral("site%1").arg(i),
                             (i == 2 && ftpPage ? QStringLiteral("ftp://example.org/%1") : QStringLiteral("example.org/%1")).arg(i)};
        const QString path = makeBook(dir->path(), QStringLiteral("three.mdb"), people);
        auto w = load(path);
        w->selectCategory(4);
        opener.ends = programEnds;
        w->command1(1)->click();
        QCOMPARE(int(opener.requestedUrls.size()), 3);
        if (message.isEmpty()) {
            QVERIFY(dialogs->shown().isEmpty());
            return;
        }
        QCOMPARE(dialogs->shownTexts(), QStringList{message});
        QCOMPARE(dialogs->shown().first().title, QStringLiteral("Web管理"));
        QCOMPARE(dialogs->shown().first().icon, ui::Icon::Exclamation);
    }

    void editing_data()
    {
        QTest::addColumn<int>("box");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("field");
        QTest::addColumn<QVariant>("stored");
        QTest::addColumn<bool>("refused");
        QTest::newRow("name") << 0 << "山田太郎" << "氏名" << QVariant("山田太郎") << false;
        QTest::newRow("blank address stores empty") << 1 << "   " << "WebHome" << QVariant("") << false;
        QTest::newRow("address") << 1 << "example.net" << "WebHome" << QVariant("example.net") << false;
        QTest::newRow("note") << 2 << "行1\n行2" << "記事" << QVariant("行1\n行2") << false;
        QTest::newRow("name of 256 bytes refused") << 0 << QString(128, QChar(u'あ')) + "x" << "氏名" << QVariant("山田") << true;
        QTest::newRow("address of 256 bytes refused") << 1 << QString(256, 'a') << "WebHome" << QVariant("example.org/yamada") << true;
    }
    void editing()
    {
        QFETCH(int, box);
        QFETCH(QString, typed);
        QFETCH(QString, field);
        QFETCH(QVariant, stored);
        QFETCH(bool, refused);
        auto w = load(book);
        w->setText2(box, typed);
        w->Text2_LostFocus(box);  // browse mode: nothing written
        QCOMPARE(scalar(book, personSql('"' + field + '"') + " WHERE \"会員NO\" = 1").toString(),
                 box == 0 ? QStringLiteral("山田") : box == 1 ? QStringLiteral("example.org/yamada") : QString());
        w->command1(2)->click();
        QCOMPARE(w->command1(2)->text(), QStringLiteral("編集解除"));
        w->setText2(box, typed);
        w->Text2_LostFocus(box);
        QCOMPARE(scalar(book, personSql('"' + field + '"') + " WHERE \"会員NO\" = 1"), stored);
        QCOMPARE(dialogs->beeps(), refused ? 1 : 0);
        QCOMPARE(dialogs->shownTexts(), refused ? QStringList{"入力データが不正またはデータが長すぎます"} : QStringList{});
        if (box == 0 && !refused) {
            QCOMPARE(w->siteLines().first(), typed);
            QCOMPARE(w->selectedSite(), 0);
        }
    }

    void renameKeepsTheSelectedLine()
    {
        auto w = load(book);
        w->command1(2)->click();
        w->selectSite(2);
        w->setText2(0, QStringLiteral("鈴木次郎"));
        w->Text2_LostFocus(0);
        QCOMPARE(w->siteLines(), (QStringList{"山田", "佐藤", "鈴木次郎", "高橋"}));
        QCOMPARE(w->selectedSite(), 2);
    }

    void addSite_data()
    {
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("added");
        QTest::newRow("Yes") << int(ui::Answer::Yes) << true;
        QTest::newRow("No") << int(ui::Answer::No) << false;
    }
    void addSite()
    {
        QFETCH(int, answer);
        QFETCH(bool, added);
        auto w = load(book);
        w->selectCategory(4);
        // Another window added number 120 after this one loaded.
        db::Database::open(book).execute("INSERT INTO " + personTable() + "(\"会員NO\", \"会員区分\", \"氏名\") VALUES(120, 1, 'x')");
        dialogs->queueAnswer(ui::Answer(answer));
        w->command1(3)->click();
        QCOMPARE(dialogs->shown().first().text, QStringLiteral("新規登録を行いますか？"));
        QCOMPARE(dialogs->shown().first().title, QStringLiteral("Web管理"));
        QCOMPARE(scalar(book, personSql("COUNT(*)") + " WHERE \"会員NO\" = 121").toInt(), added ? 1 : 0);
        if (!added)
            return;
        QCOMPARE(scalar(book, personSql("\"会員区分\"") + " WHERE \"会員NO\" = 121").toInt(), 5);
        QCOMPARE(scalar(book, personSql("\"氏名\"") + " WHERE \"会員NO\" = 121").toString(), QStringLiteral("新規"));
        // Its empty reading puts it first in the category's order.
        QCOMPARE(w->siteLines(), (QStringList{"新規", "仕事一", "仕事二"}));
        QCOMPARE(w->selectedSite(), 0);
        QVERIFY(!QFileInfo::exists(dir->filePath("a/121")));  // no record folder
    }

    void deleteSite_data()
    {
        QTest::addColumn<int>("answer");
        QTest::addColumn<QStringList>("left");
        QTest::newRow("Yes") << int(ui::Answer::Yes) << QStringList{"山田", "鈴木", "高橋"};
        QTest::newRow("No") << int(ui::Answer::No) << QStringList{"山田", "佐藤", "鈴木", "高橋"};
    }
    void deleteSite()
    {
        QFETCH(int, answer);
        QFETCH(QStringList, left);
        auto w = load(book);
        w->selectSite(1);
        dialogs->queueAnswer(ui::Answer(answer));
        w->command1(4)->click();
        QCOMPARE(dialogs->shown().first().text, QStringLiteral("表示されているレコードを削除しますが、よろしいですか？"));
        QCOMPARE(w->siteLines(), left);
        QCOMPARE(scalar(book, personSql("COUNT(*)")).toInt(), kPeople.size() - (left.size() == 3 ? 1 : 0));
    }

    // A line whose record another window deleted acts on nobody, never on the next person.
    void recordDeletedElsewhere_data()
    {
        QTest::addColumn<int>("command");
        QTest::newRow("delete") << 4;
        QTest::newRow("edit") << 2;
        QTest::newRow("open") << 0;
    }
    void recordDeletedElsewhere()
    {
        QFETCH(int, command);
        auto w = load(book);
        w->selectSite(1);
        db::Database::open(book).execute("DELETE FROM " + personTable() + " WHERE \"会員NO\" = 2");
        if (command == 4) {
            dialogs->queueAnswer(ui::Answer::Yes);
            w->command1(4)->click();
        } else if (command == 2) {
            w->command1(2)->click();
            w->setText2(0, QStringLiteral("別人"));
            w->Text2_LostFocus(0);
        } else {
            w->command1(0)->click();
        }
        QCOMPARE(dialogs->beeps(), 1);
        QCOMPARE(w->siteLines(), (QStringList{"山田", "鈴木", "高橋"}));
        QCOMPARE(scalar(book, personSql("COUNT(*)")).toInt(), kPeople.size() - 1);
        QCOMPARE(scalar(book, personSql("COUNT(*)") + " WHERE \"氏名\" = '別人'").toInt(), 0);
        QVERIFY(opener.requestedUrls.isEmpty());
    }

    // The lists read again, without the records being opened anew, pass over the records
    // another window deleted, wherever they stood in the category.
    void listReadAgainPassesOverDeletedRecords_data()
    {
        QTest::addColumn<qint64>("deleted");
        QTest::addColumn<QStringList>("sites");
        QTest::addColumn<QStringList>("pages");
        QTest::newRow("first") << qint64(1) << QStringList{"佐藤", "鈴木", "高橋"} << QStringList{"ftp://example.org/x"};
        QTest::newRow("middle") << qint64(2) << QStringList{"山田", "鈴木", "高橋"}
                                << QStringList{"example.org/yamada", "ftp://example.org/x"};
        QTest::newRow("last") << qint64(4) << QStringList{"山田", "佐藤", "鈴木"} << QStringList{"example.org/yamada"};
    }
    void listReadAgainPassesOverDeletedRecords()
    {
        QFETCH(qint64, deleted);
        QFETCH(QStringList, sites);
        QFETCH(QStringList, pages);
        auto w = load(book);
        db::Database::open(book).execute("DELETE FROM " + personTable() + " WHERE \"会員NO\" = ?", {deleted});
        w->selectCategory(4);
        w->selectCategory(0);
        QCOMPARE(w->siteLines(), sites);
        QCOMPARE(w->text2(0), sites.first());
        w->command1(1)->click();
        QCOMPARE(opener.requestedUrls, pages);
        QCOMPARE(dialogs->beeps(), 0);
        QCOMPARE(int(dialogs->shown().size()), pages.contains("ftp://example.org/x") ? 1 : 0);
    }

    void keepsItsBookWhenAnotherIsOpened()
    {
        auto w = load(book);
        const QString other = makeBook(dir->path(), QStringLiteral("b.mdb"), {{1, 1, "他人", QVariant()}});
        PublishCurrentBook(other);
        w->selectCategory(0);
        dialogs->queueAnswer(ui::Answer::Yes);
        w->command1(3)->click();
        QCOMPARE(scalar(book, personSql("COUNT(*)")).toInt(), kPeople.size() + 1);
        QCOMPARE(scalar(other, personSql("COUNT(*)")).toInt(), 1);
        QCOMPARE(w->siteLines(), (QStringList{"新規", "山田", "佐藤", "鈴木", "高橋"}));
        w->selectSite(1);
        dialogs->queueAnswer(ui::Answer::Yes);
        w->command1(4)->click();
        QCOMPARE(scalar(other, personSql("COUNT(*)")).toInt(), 1);
        QCOMPARE(scalar(book, personSql("COUNT(*)") + " WHERE \"会員NO\" = 1").toInt(), 0);
    }

    void emptyBook()
    {
        const QString path = makeBook(dir->path(), QStringLiteral("e.mdb"), {});
        auto w = load(path);
        QCOMPARE(w->categoryLines().size(), 5);
        QVERIFY(w->siteLines().isEmpty());
        w->command1(2)->click();
        QCOMPARE(w->editMode(), 0);  // no site line: no edit mode
        dialogs->queueAnswer(ui::Answer::Yes);
        w->command1(3)->click();
        QCOMPARE(scalar(path, personSql("\"会員NO\"")).toInt(), 1);
        QCOMPARE(w->siteLines(), QStringList{"新規"});
    }
};

QTEST_MAIN(TestForm6)
#include "tst_form6.moc"
