// The list window on books of generated records: pages of twenty, paging at both ends, the
// orders stored in the window's own book, and the focused row's record taken to the record
// window, the browser and a stand-in image viewer; the record window's hidden list command
// against the real list window; the main menu's "住所録一覧表"; both programs' top bars.

#include "DemoFolder.h"
#include "edition/Profile.h"
#include "editions/Windows.h"
#include "list/Form4.h"
#include "list/ListTopBar.h"
#include "platform/db/Database.h"
#include "platform/shell/RecordingOpener.h"
#include "platform/ui/ScriptedDialogs.h"
#include "platform/ui/Twips.h"
#include "platform/ui/WindowRegistry.h"
#include "records/DisplayOrder.h"
#include "records/Form3.h"
#include "shell/Form1.h"
#include "shell/Module1.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFocusEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QScopeGuard>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>

namespace {

// The image viewer: what its load reads of the hand-over.
struct ViewerSeen {
    int loads = 0;
    Module1::DbFile copy;
    QString title;
    int dirAttr = -1;
};
ViewerSeen viewerSeen;

class StandInViewer : public ui::Window {
public:
    void formLoad() override
    {
        ++viewerSeen.loads;
        viewerSeen.copy = Module1::CurrentDbFileCopy;
        viewerSeen.title = Module1::ViewerTitle;
        viewerSeen.dirAttr = Module1::ViewerDirAttr;
    }
};

ui::WindowRegistry& registry() { return ui::WindowRegistry::instance(); }

void exec(const QString& book, const QString& sql, const QVariantList& params = {})
{
    db::Database::open(book).execute(sql, params);
}

QVariant scalar(const QString& book, const QString& sql)
{
    return db::Database::open(book).scalar(sql);
}

QString storedOrder(const QString& book)
{
    return scalar(book, QStringLiteral("SELECT \"表示順番\" FROM \"管理情報\"")).toString();
}

// A cell gets the focus, as a click into it gives it.
void focusRow(Form4* w, int row)
{
    QFocusEvent in(QEvent::FocusIn, Qt::MouseFocusReason);
    QCoreApplication::sendEvent(w->cell(1, row), &in);
}

int filledRows(Form4* w)
{
    int n = 0;
    for (int r = 0; r < listwin::PageRows; ++r)
        if (!w->cell(1, r)->text().isEmpty())
            ++n;
    return n;
}

} // namespace

class TestForm4 : public QObject {
    Q_OBJECT

    ui::ScriptedDialogs* dialogs = nullptr;
    std::unique_ptr<ui::ScopedDialogs> scope;
    desktop::RecordingOpener* opener = nullptr;
    std::unique_ptr<desktop::ScopedOpener> openerScope;
    std::unique_ptr<QTemporaryDir> dir;
    QString book57, book15, bookEmpty;

    QString makeBook(int records, const QString& name)
    {
        QString error;
        if (!demo::makeGeneratedBook(dir->path(), records, name, &error))
            qFatal("%s", qPrintable(error));
        return dir->filePath(name + QStringLiteral(".mdb"));
    }

    // What a main-menu click does before it shows a window.
    void openBook(const QString& book) { Module1::PublishCurrentBook(book); }

    Form4* showList(const QString& book)
    {
        openBook(book);
        registry().show(QStringLiteral("Form4"));
        return dynamic_cast<Form4*>(registry().find(QStringLiteral("Form4")));
    }

    Form3* showRecords(const QString& book)
    {
        openBook(book);
        registry().show(QStringLiteral("Form3"));
        return dynamic_cast<Form3*>(registry().find(QStringLiteral("Form3")));
    }

private slots:
    void initTestCase()
    {
        editions::RegisterKartoviaWindows();
        registry().registerFactory(QStringLiteral("Form14"), [] { return new StandInViewer; });
    }

    void init()
    {
        dialogs = new ui::ScriptedDialogs(QDate(2024, 4, 1));
        scope = std::make_unique<ui::ScopedDialogs>(dialogs);
        opener = new desktop::RecordingOpener;
        openerScope = std::make_unique<desktop::ScopedOpener>(opener);
        dir = std::make_unique<QTemporaryDir>();
        book57 = makeBook(57, QStringLiteral("五十七件"));
        book15 = makeBook(15, QStringLiteral("十五件"));
        bookEmpty = makeBook(0, QStringLiteral("空"));
        Module1::OpenCommonDatabase(dir->filePath(QStringLiteral("共通情報/共通情報.mdb")));
        viewerSeen = ViewerSeen();
    }

    void cleanup()
    {
        registry().unloadAll();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        edition::setProfile(edition::InformationManagerProfile());
        QVERIFY2(!dialogs->hadUnexpected(), qPrintable(dialogs->failures().join(QLatin1Char('\n'))));
        Module1::BookSettingsRs = db::Recordset();
        Module1::CurrentDb = db::Database();
        Module1::EraRs = db::Recordset();
        Module1::CommonSettingsRs = db::Recordset();
        Module1::CommonDb = db::Database();
        openerScope.reset();
        delete opener;
        scope.reset();
        delete dialogs;
        dir.reset();
    }

    void firstPage()
    {
        Form4* w = showList(book57);
        QVERIFY(w);
        QCOMPARE(w->label4()->text(), QStringLiteral("1/57"));
        QCOMPARE(filledRows(w), 20);
        QCOMPARE(w->cell(1, 0)->text(), QStringLiteral("00000001"));
        QCOMPARE(w->cell(1, 19)->text(), QStringLiteral("00000020"));
        QCOMPARE(w->heading(8)->text(), QStringLiteral("住所"));
        QVERIFY(w->windowTitle().contains(book57));
        QCOMPARE(w->focusedRow(), 0);
        QCOMPARE(storedOrder(book57), QStringLiteral("1"));
        // Nothing typed can change what the page shows.
        QVERIFY(w->cell(6, 3)->isReadOnly());
        QTest::keyClicks(w->cell(6, 3), QStringLiteral("abc"));
        QCOMPARE(w->cell(6, 3)->text(), scalar(book57, QStringLiteral("SELECT \"氏名\" FROM \"個人台帳\" WHERE \"会員NO\" = 4")).toString());
    }

    void paging_data()
    {
        QTest::addColumn<QString>("book");  // "57" or "15"
        QTest::addColumn<int>("start");
        QTest::addColumn<int>("command");
        QTest::addColumn<int>("value");
        QTest::addColumn<QString>("indicator");
        QTest::addColumn<int>("rows");
        QTest::newRow("next from 0") << "57" << 0 << 2 << 20 << "21/57" << 20;
        QTest::newRow("next from 20") << "57" << 20 << 2 << 40 << "41/57" << 17;
        QTest::newRow("next at the last page") << "57" << 40 << 2 << 40 << "41/57" << 17;
        QTest::newRow("previous from 40") << "57" << 40 << 1 << 20 << "21/57" << 20;
        QTest::newRow("previous from 10") << "57" << 10 << 1 << 0 << "1/57" << 20;
        QTest::newRow("last") << "57" << 0 << 3 << 37 << "38/57" << 20;
        QTest::newRow("first at 0") << "57" << 0 << 0 << 0 << "1/57" << 20;
        QTest::newRow("first from 37") << "57" << 37 << 0 << 0 << "1/57" << 20;
        QTest::newRow("last with 15 records") << "15" << 0 << 3 << 0 << "1/15" << 15;
        QTest::newRow("next with 15 records") << "15" << 0 << 2 << 0 << "1/15" << 15;
    }
    void paging()
    {
        QFETCH(QString, book);
        QFETCH(int, start);
        QFETCH(int, command);
        QFETCH(int, value);
        QFETCH(QString, indicator);
        QFETCH(int, rows);
        Form4* w = showList(book == QLatin1String("57") ? book57 : book15);
        w->hScroll1()->setValue(start);
        focusRow(w, 5);
        w->Command1_Click(command);
        QCOMPARE(w->hScroll1()->value(), value);
        QCOMPARE(w->label4()->text(), indicator);
        QCOMPARE(filledRows(w), rows);
        QCOMPARE(w->cell(1, 0)->text(), QStringLiteral("%1").arg(value + 1, 8, 10, QLatin1Char('0')));
        // The records stand on row 0's record; every paging command makes row 0 the focused row.
        QCOMPARE(w->personRs().absolutePosition(), value);
        QCOMPARE(w->focusedRow(), 0);
    }

    void thumbAtTheFarRight()
    {
        Form4* w = showList(book57);
        w->hScroll1()->setValue(w->hScroll1()->maximum());
        QCOMPARE(w->label4()->text(), QStringLiteral("57/57"));
        QCOMPARE(filledRows(w), 1);
        QCOMPARE(w->cell(1, 0)->text(), QStringLiteral("00000057"));
        // And straight back to the start.
        w->hScroll1()->setValue(0);
        QCOMPARE(w->cell(1, 0)->text(), QStringLiteral("00000001"));
    }

    void emptyBook()
    {
        Form4* w = showList(bookEmpty);
        QCOMPARE(w->label4()->text(), QStringLiteral("1/0"));
        QCOMPARE(w->scrollMaximum(), qint64(-1));
        for (int k = 1; k <= listwin::CellColumns; ++k)
            for (int r = 0; r < listwin::PageRows; ++r)
                QVERIFY(w->cell(k, r)->text().isEmpty());
        QCOMPARE(w->heading(0)->text(), QStringLiteral("登録番号"));
        for (int c : {0, 1, 2, 3, 4, 5, 6, 7})
            w->Command1_Click(c);
        QCOMPARE(w->label4()->text(), QStringLiteral("1/0"));
        QCOMPARE(viewerSeen.loads, 0);
        QVERIFY(!registry().isLoaded(QStringLiteral("Form3")));
        QVERIFY(opener->requestedUrls.isEmpty());
        // Only "終了" acts: it unloads the window.
        w->Command1_Click(9);
        QVERIFY(!registry().isLoaded(QStringLiteral("Form4")));
    }

    void orderChangeStoresInTheWindowsOwnBook()
    {
        Form4* w = showList(book57);
        // The main menu opens another book; the list window keeps to its own.
        openBook(book15);
        w->option2(2)->click();
        QCOMPARE(w->displayOrder(), 3);
        QCOMPARE(storedOrder(book57), QStringLiteral("3"));
        QCOMPARE(storedOrder(book15), QStringLiteral("1"));
        QCOMPARE(w->label4()->text(), QStringLiteral("1/57"));
        const QString firstByKana = QStringLiteral("%1").arg(
            scalar(book57, QStringLiteral("SELECT \"会員NO\" FROM \"Q_個人台帳フリガナ順\" LIMIT 1")).toLongLong(), 8, 10, QLatin1Char('0'));
        QCOMPARE(w->cell(1, 0)->text(), firstByKana);
        QCOMPARE(w->hScroll1()->value(), 0);
        // The order already shown: nothing happens.
        exec(book57, QStringLiteral("UPDATE \"管理情報\" SET \"表示順番\" = '5'"));
        w->Option2_Click(2);
        QCOMPARE(storedOrder(book57), QStringLiteral("5"));
    }

    void orderStoredAtLoad_data()
    {
        QTest::addColumn<QVariant>("stored");
        QTest::addColumn<int>("option");
        QTest::newRow("order 4") << QVariant(QStringLiteral("4")) << 3;
        QTest::newRow("order 6") << QVariant(QStringLiteral("6")) << 5;
        QTest::newRow("unknown order opens order 1") << QVariant(QStringLiteral("9")) << 0;
        QTest::newRow("empty order opens order 1") << QVariant(QString()) << 0;
        QTest::newRow("null order opens order 1") << QVariant() << 0;
    }
    void orderStoredAtLoad()
    {
        QFETCH(QVariant, stored);
        QFETCH(int, option);
        exec(book57, QStringLiteral("UPDATE \"管理情報\" SET \"表示順番\" = ?"), {stored});
        Form4* w = showList(book57);
        QCOMPARE(w->displayOrder(), option + 1);
        QVERIFY(w->option2(option)->isChecked());
        QCOMPARE(storedOrder(book57), QString::number(option + 1));
        QCOMPARE(w->label4()->text(), QStringLiteral("1/57"));
    }

    void refusedStoreStillShowsEveryOrder_data()
    {
        // How a book refuses the store of "表示順番": opened read-only through the engine (as a
        // file the user may not write is), or a book whose settings row refuses every change.
        QTest::addColumn<bool>("readOnly");
        QTest::newRow("book opened read-only") << true;
        QTest::newRow("settings row refuses changes") << false;
    }
    void refusedStoreStillShowsEveryOrder()
    {
        QFETCH(bool, readOnly);
        exec(book57, QStringLiteral("UPDATE \"管理情報\" SET \"表示順番\" = '2'"));
        if (!readOnly)
            exec(book57, QStringLiteral("CREATE TRIGGER refuse BEFORE UPDATE ON \"管理情報\" BEGIN SELECT RAISE(ABORT, 'refused'); END"));
        auto load = [&] {
            openBook(book57);
            if (readOnly) {
                Module1::CurrentDb = db::Database::open(book57, db::OpenMode::ReadOnly);
                Module1::BookSettingsRs = Module1::CurrentDb.openRecordset(QStringLiteral("管理情報"), db::RecordsetType::Table);
            }
            registry().show(QStringLiteral("Form4"));
            return dynamic_cast<Form4*>(registry().find(QStringLiteral("Form4")));
        };
        Form4* w = load();
        // The order stored is shown, and the refused store of the load is told once.
        QCOMPARE(w->displayOrder(), 2);
        QCOMPARE(w->label4()->text(), QStringLiteral("1/57"));
        QCOMPARE(filledRows(w), 20);
        QCOMPARE(dialogs->shown().size(), 1);
        QCOMPARE(dialogs->shown().first().icon, ui::Icon::Exclamation);
        if (readOnly)
            QVERIFY2(dialogs->shown().first().text.startsWith(QStringLiteral("3027\n")), qPrintable(dialogs->shown().first().text));
        for (int option : {0, 2, 3, 4, 5, 1, 0}) {
            w->option2(option)->click();
            QCOMPARE(w->displayOrder(), option + 1);
            QVERIFY(w->option2(option)->isChecked());
            QCOMPARE(w->label4()->text(), QStringLiteral("1/57"));
            QCOMPARE(filledRows(w), 20);
            const QString first = QStringLiteral("%1").arg(
                scalar(book57, QStringLiteral("SELECT \"会員NO\" FROM \"%1\" LIMIT 1").arg(records::DisplayOrderQuery(option + 1)))
                    .toLongLong(),
                8, 10, QLatin1Char('0'));
            QCOMPARE(w->cell(1, 0)->text(), first);
            w->Command1_Click(2);
            QCOMPARE(w->label4()->text(), QStringLiteral("21/57"));
        }
        QCOMPARE(dialogs->shown().size(), 1);
        QCOMPARE(storedOrder(book57), QStringLiteral("2"));
        // A new load tells it once again.
        registry().unloadAll();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        w = load();
        w->option2(4)->click();
        QCOMPARE(w->displayOrder(), 5);
        QCOMPARE(dialogs->shown().size(), 2);
        dialogs->clearRecord();
    }

    // The records are those of the load or the order change, also when the copy of a large
    // book is still going on: changes made elsewhere appear at the next order change.
    void recordsChangedElsewhereWaitForTheNextOrder_data()
    {
        QTest::addColumn<bool>("copiedFirst");  // the event loop finishes the copy before the change
        QTest::newRow("changed while the copy goes on") << false;
        QTest::newRow("changed after the copy") << true;
    }
    void recordsChangedElsewhereWaitForTheNextOrder()
    {
        QFETCH(bool, copiedFirst);
        const QString book = makeBook(300, QStringLiteral("三百件"));
        const QString oldName = scalar(book, QStringLiteral("SELECT \"氏名\" FROM \"個人台帳\" WHERE \"会員NO\" = 290")).toString();
        Form4* w = showList(book);
        QCOMPARE(w->label4()->text(), QStringLiteral("1/300"));
        if (copiedFirst)
            QTRY_VERIFY(!w->copyingRecords());
        else
            QVERIFY(w->copyingRecords());
        exec(book, QStringLiteral("UPDATE \"個人台帳\" SET \"氏名\" = '変更後' WHERE \"会員NO\" = 290"));
        exec(book, QStringLiteral("DELETE FROM \"個人台帳\" WHERE \"会員NO\" > 295"));
        w->Command1_Click(3);
        QCOMPARE(w->label4()->text(), QStringLiteral("281/300"));
        QCOMPARE(w->cell(1, 19)->text(), QStringLiteral("00000300"));
        QCOMPARE(w->cell(6, 9)->text(), oldName);
        // The next order change takes them in.
        w->option2(1)->click();
        w->option2(0)->click();
        QCOMPARE(w->label4()->text(), QStringLiteral("1/295"));
        w->Command1_Click(3);
        QCOMPARE(w->cell(1, 19)->text(), QStringLiteral("00000295"));
        QCOMPARE(w->cell(6, 14)->text(), QStringLiteral("変更後"));
    }

    void missingSavedQueryIsNamed()
    {
        Form4* w = showList(book57);
        w->hScroll1()->setValue(20);
        exec(book57, QStringLiteral("DROP VIEW \"Q_個人台帳フリガナ順\""));
        w->option2(2)->click();
        QCOMPARE(dialogs->shown().size(), 1);
        QCOMPARE(dialogs->shown().first().text, QStringLiteral("3078\n入力テーブルまたはクエリが見つかりません。 (Q_個人台帳フリガナ順)"));
        // The order shown, its page and the stored order stay.
        QCOMPARE(w->displayOrder(), 1);
        QVERIFY(w->option2(0)->isChecked());
        QCOMPARE(storedOrder(book57), QStringLiteral("1"));
        QCOMPARE(w->cell(1, 0)->text(), QStringLiteral("00000021"));
        dialogs->clearRecord();
    }

    void showRecordLandsOnTheSamePerson()
    {
        Form4* w = showList(book57);
        Form3* records = showRecords(book57);
        records->Option2_Click(2);  // the record window in the kana order
        QCOMPARE(records->displayOrder(), 3);
        w->hScroll1()->setValue(40);
        focusRow(w, 7);
        QCOMPARE(w->focusedRow(), 7);
        w->Command1_Click(4);
        QCOMPARE(records->cursor().record().value(QStringLiteral("会員NO")).toLongLong(), 48);
        QCOMPARE(dialogs->beeps(), 0);
        // A row beyond the last record: nothing.
        focusRow(w, 18);
        const int before = records->cursor().position();
        w->Command1_Click(4);
        QCOMPARE(records->cursor().position(), before);
        QCOMPARE(dialogs->beeps(), 0);
    }

    void showRecordOnAnotherBookBeeps()
    {
        Form4* w = showList(book57);
        Form3* records = showRecords(book15);
        records->hScroll1()->setValue(3);
        focusRow(w, 2);
        w->Command1_Click(4);
        QCOMPARE(dialogs->beeps(), 1);
        QCOMPARE(records->cursor().position(), 3);
        QCOMPARE(records->windowDbFile().FullPath, book15);
    }

    void showRecordTheRecordWindowDoesNotHold()
    {
        Form4* w = showList(book57);
        // Gone from the book after the list took its records.
        exec(book57, QStringLiteral("DELETE FROM \"個人台帳\" WHERE \"会員NO\" = 5"));
        Form3* records = showRecords(book57);
        focusRow(w, 4);
        w->Command1_Click(4);
        QCOMPARE(dialogs->beeps(), 1);
        QCOMPARE(records->cursor().position(), 0);
        focusRow(w, 5);
        w->Command1_Click(4);
        QCOMPARE(records->cursor().record().value(QStringLiteral("会員NO")).toLongLong(), 6);
    }

    void webPage()
    {
        exec(book57, QStringLiteral("UPDATE \"個人台帳\" SET \"WebHome\" = CASE WHEN \"会員NO\" = 2 THEN 'https://example.org/two' ELSE NULL END"));
        Form4* w = showList(book57);
        focusRow(w, 1);
        w->Command1_Click(5);
        QCOMPARE(opener->requestedUrls, QStringList{QStringLiteral("https://example.org/two")});
        focusRow(w, 0);
        w->Command1_Click(5);
        QCOMPARE(opener->requestedUrls.size(), 1);
    }

    void pictures()
    {
        const QString folder = dir->filePath(QStringLiteral("五十七件/3"));
        QVERIFY(QDir().mkpath(folder + QStringLiteral("/Preview")));
        QFile f(folder + QStringLiteral("/a.jpg"));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.close();
        Form4* w = showList(book57);
        const Module1::DbFile before = Module1::CurrentDbFileCopy;
        // Row 1 (record 2) has no folder: nothing.
        focusRow(w, 1);
        w->Command1_Click(6);
        QCOMPARE(viewerSeen.loads, 0);
        focusRow(w, 2);
        w->Command1_Click(6);
        QCOMPARE(viewerSeen.loads, 1);
        const QString name = scalar(book57, QStringLiteral("SELECT \"氏名\" FROM \"個人台帳\" WHERE \"会員NO\" = 3")).toString();
        QCOMPARE(viewerSeen.title, QStringLiteral("00000003 ") + name);
        QCOMPARE(viewerSeen.copy.DataFolder, folder);
        QCOMPARE(viewerSeen.copy.PreviewFolder, folder + QStringLiteral("/Preview"));
        QCOMPARE(viewerSeen.dirAttr, 0);
        QCOMPARE(Module1::CurrentDbFileCopy, before);
        // Only digits name a record folder.
        registry().unload(QStringLiteral("Form14"));
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        w->ShowRecordImages(QStringLiteral("../五十七件/3"));
        w->ShowRecordImages(QStringLiteral("3/.."));
        QCOMPARE(viewerSeen.loads, 1);
        // A folder holding only read-only files opens the viewer too, told to list those.
        const QString readOnly = dir->filePath(QStringLiteral("五十七件/4"));
        QVERIFY(QDir().mkpath(readOnly));
        QFile r(readOnly + QStringLiteral("/b.png"));
        QVERIFY(r.open(QIODevice::WriteOnly));
        r.close();
        QVERIFY(r.setPermissions(QFileDevice::ReadOwner | QFileDevice::ReadGroup | QFileDevice::ReadOther));
        focusRow(w, 3);
        w->Command1_Click(6);
        QCOMPARE(viewerSeen.loads, 2);
        QCOMPARE(viewerSeen.dirAttr, 1);
        QCOMPARE(viewerSeen.copy.DataFolder, readOnly);
    }

    void categoryPages_data()
    {
        QTest::addColumn<int>("pages");
        QTest::addColumn<bool>("asked");
        QTest::addColumn<int>("answer");  // ui::Answer when asked
        QTest::addColumn<int>("opened");
        QTest::newRow("21 pages, No") << 21 << true << int(ui::Answer::No) << 0;
        QTest::newRow("21 pages, Yes") << 21 << true << int(ui::Answer::Yes) << 21;
        QTest::newRow("20 pages ask nothing") << 20 << false << 0 << 20;
    }
    void categoryPages()
    {
        QFETCH(int, pages);
        QFETCH(bool, asked);
        QFETCH(int, answer);
        QFETCH(int, opened);
        // Category 1 ("O'Neil会", whose apostrophe the criterion must carry): records 1 to 25,
        // `pages` of them with an address; the others in category 2 with addresses.
        exec(book57, QStringLiteral("UPDATE \"会員区分ｺｰﾄﾞ表\" SET \"会員区分名称\" = 'O''Neil会' WHERE \"会員区分コード\" = 1"));
        exec(book57, QStringLiteral("UPDATE \"個人台帳\" SET \"会員区分\" = CASE WHEN \"会員NO\" <= 25 THEN 1 ELSE 2 END, "
                                    "\"WebHome\" = CASE WHEN \"会員NO\" <= ? OR \"会員NO\" > 25 THEN 'https://example.org/' || \"会員NO\" ELSE NULL END"),
             {pages});
        exec(book57, QStringLiteral("UPDATE \"管理情報\" SET \"表示順番\" = '4'"));
        Form4* w = showList(book57);
        w->hScroll1()->setValue(10);
        focusRow(w, 3);
        if (asked)
            dialogs->queueAnswer(ui::Answer(answer));
        w->Command1_Click(7);
        QCOMPARE(opener->requestedUrls.size(), opened);
        QCOMPARE(dialogs->shown().size(), asked ? 1 : 0);
        if (asked) {
            QCOMPARE(dialogs->shown().first().text, QStringLiteral("%1 件のWebページを開きます　よろしいですか？").arg(pages));
            QCOMPARE(dialogs->shown().first().title, QStringLiteral("住所録一覧表"));
        }
        for (const QString& url : std::as_const(opener->requestedUrls))
            QVERIFY(url.section(QLatin1Char('/'), -1).toInt() <= 25);
        // The page and the position stay.
        QCOMPARE(w->hScroll1()->value(), 10);
        QCOMPARE(w->personRs().absolutePosition(), 10);
        QCOMPARE(dialogs->pendingAnswers(), 0);
    }

    // The pages refused at once and those whose program ended with a failure: one box.
    void categoryPagesRefusedTogether_data()
    {
        QTest::addColumn<QString>("programEnds");  // what the desktop's program says as it ends
        QTest::newRow("refused at once") << QString();
        QTest::newRow("and no browser for the page handed over") << QStringLiteral("開くプログラムが設定されていません");
    }
    void categoryPagesRefusedTogether()
    {
        QFETCH(QString, programEnds);
        opener->ends = programEnds;
        exec(book57, QStringLiteral("UPDATE \"個人台帳\" SET \"会員区分\" = CASE WHEN \"会員NO\" <= 5 THEN 1 ELSE 2 END, "
                                    "\"WebHome\" = CASE \"会員NO\" WHEN 1 THEN 'ftp://example.org/a' WHEN 2 THEN 'https://example.org/b' "
                                    "WHEN 3 THEN 'mailto:x@example.org' ELSE NULL END"));
        exec(book57, QStringLiteral("UPDATE \"管理情報\" SET \"表示順番\" = '4'"));
        Form4* w = showList(book57);
        focusRow(w, 0);
        w->Command1_Click(7);
        QCOMPARE(opener->requestedUrls.size(), 3);
        QCOMPARE(opener->openedUrls.size(), 1);
        QCOMPARE(dialogs->shown().size(), 1);
        const QString text = dialogs->shown().first().text;
        QVERIFY(text.contains(QStringLiteral("ftp://example.org/a")));
        QVERIFY(text.contains(QStringLiteral("mailto:x@example.org")));
        QCOMPARE(text.contains(QStringLiteral("https://example.org/b\u3000") + programEnds), !programEnds.isEmpty());
        opener->ends.clear();
        dialogs->clearRecord();
    }

    void categoryPagesOnEmptyRowOrWithoutCategory()
    {
        exec(book57, QStringLiteral("UPDATE \"個人台帳\" SET \"WebHome\" = 'https://example.org/' || \"会員NO\", "
                                    "\"会員区分\" = CASE WHEN \"会員NO\" = 41 THEN 99 ELSE 1 END"));
        Form4* w = showList(book57);
        w->Command1_Click(2);
        w->Command1_Click(2);
        focusRow(w, 18);  // below the last record
        w->Command1_Click(7);
        focusRow(w, 0);   // record 41: a category absent from the category table
        w->Command1_Click(7);
        QVERIFY(opener->requestedUrls.isEmpty());
        QCOMPARE(w->label4()->text(), QStringLiteral("41/57"));
    }

    void recordWindowsListCommand_data()
    {
        QTest::addColumn<int>("listAt");
        QTest::addColumn<int>("recordAt");
        QTest::addColumn<int>("expected");
        QTest::newRow("after the page") << 0 << 47 << 47;
        QTest::newRow("on the page") << 40 << 45 << 40;
        QTest::newRow("before the page") << 40 << 3 << 3;
    }
    void recordWindowsListCommand()
    {
        QFETCH(int, listAt);
        QFETCH(int, recordAt);
        QFETCH(int, expected);
        Form4* list = showList(book57);
        list->hScroll1()->setValue(listAt);
        focusRow(list, 9);
        Form3* records = showRecords(book57);
        records->hScroll1()->setValue(recordAt);
        records->Command3_Click();
        QCOMPARE(list->hScroll1()->value(), expected);
        QCOMPARE(list->label4()->text(), QStringLiteral("%1/57").arg(expected + 1));
        QCOMPARE(list->cell(1, 0)->text(), QStringLiteral("%1").arg(expected + 1, 8, 10, QLatin1Char('0')));
        QCOMPARE(list->personRs().absolutePosition(), expected);
        // The focus goes into the first number cell, which makes row 0 the focused row.
        QTRY_COMPARE(list->focusedRow(), 0);
    }

    void topBar_data()
    {
        QTest::addColumn<bool>("addressBook");
        QTest::addColumn<QString>("control");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<int>("left");
        QTest::addColumn<int>("width");
        QTest::newRow("kartovia first") << false << "Command1_0" << "先頭" << 0 << 735;
        QTest::newRow("kartovia last") << false << "Command1_3" << "最終" << 2160 << 735;
        QTest::newRow("kartovia scroll bar") << false << "HScroll1" << "" << 2880 << 975;
        QTest::newRow("kartovia record") << false << "Command1_4" << "明細表示" << 4080 << 975;
        QTest::newRow("kartovia order label") << false << "Label2" << "表示順番" << 5040 << 855;
        QTest::newRow("kartovia web") << false << "Command1_5" << "WEB表示" << 12480 << 975;
        QTest::newRow("kartovia category web") << false << "Command1_7" << "WEB区分" << 13440 << 855;
        QTest::newRow("kartovia pictures") << false << "Command1_6" << "写真" << 14400 << 855;
        QTest::newRow("kartovia quit") << false << "Command1_9" << "終了" << 15240 << 855;
        QTest::newRow("adrovia first") << true << "Command1_0" << "先頭画面" << 0 << 855;
        QTest::newRow("adrovia previous") << true << "Command1_1" << "前画面" << 840 << 855;
        QTest::newRow("adrovia last") << true << "Command1_3" << "最終画面" << 2520 << 855;
        QTest::newRow("adrovia scroll bar") << true << "HScroll1" << "" << 3420 << 975;
        QTest::newRow("adrovia record") << true << "Command1_4" << "明細表示" << 4440 << 975;
        QTest::newRow("adrovia order label") << true << "Label2" << "表示順番" << 5400 << 855;
        QTest::newRow("adrovia web") << true << "Command1_5" << "WEB表示" << 13440 << 855;
        QTest::newRow("adrovia pictures") << true << "Command1_6" << "写真" << 14400 << 855;
        QTest::newRow("adrovia quit") << true << "Command1_9" << "終了" << 15240 << 855;
    }
    void topBar()
    {
        QFETCH(bool, addressBook);
        QFETCH(QString, control);
        QFETCH(QString, caption);
        QFETCH(int, left);
        QFETCH(int, width);
        edition::setProfile(addressBook ? edition::AddressBookProfile() : edition::InformationManagerProfile());
        Form4 w;
        auto* c = w.findChild<QWidget*>(control);
        QVERIFY(c);
        QCOMPARE(c->geometry().left(), ui::twips(left));
        QCOMPARE(c->geometry().width(), ui::twips(width));
        if (auto* b = qobject_cast<QPushButton*>(c))
            QCOMPARE(b->text(), caption);
        if (auto* l = qobject_cast<QLabel*>(c))
            QCOMPARE(l->text(), caption);
        QCOMPARE(w.findChild<QWidget*>(QStringLiteral("Command1_7")) != nullptr, !addressBook);
        QVERIFY(!w.findChild<QWidget*>(QStringLiteral("Command1_8")));
    }

    void addressBookHasNoCategoryPages()
    {
        edition::setProfile(edition::AddressBookProfile());
        exec(book57, QStringLiteral("UPDATE \"個人台帳\" SET \"WebHome\" = 'https://example.org/' || \"会員NO\""));
        Form4* w = showList(book57);
        QVERIFY(!w->command1(7));
        QCOMPARE(w->command1(0)->text(), QStringLiteral("先頭画面"));
        exec(book57, QStringLiteral("UPDATE \"管理情報\" SET \"タイトル\" = NULL"));
        w->Command1_Click(7);
        QVERIFY(opener->requestedUrls.isEmpty());
        w->Command1_Click(3);
        QCOMPARE(w->label4()->text(), QStringLiteral("38/57"));
    }

    void addressBookRecordWindowTakesTheRecord()
    {
        edition::setProfile(edition::AddressBookProfile());
        editions::RegisterAdroviaWindows();
        const auto restore = qScopeGuard([] {
            registry().unloadAll();
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            editions::RegisterKartoviaWindows();
            registry().registerFactory(QStringLiteral("Form14"), [] { return new StandInViewer; });
        });
        Form4* w = showList(book57);
        Form3* records = showRecords(book57);
        QVERIFY(records);
        QVERIFY(QByteArray(records->metaObject()->className()) != QByteArray("Form3"));
        records->Option2_Click(2);
        w->Command1_Click(2);
        focusRow(w, 4);
        w->Command1_Click(4);
        QCOMPARE(records->cursor().record().value(QStringLiteral("会員NO")).toLongLong(), 25);
    }

    void captionOfANullTitle_data()
    {
        QTest::addColumn<bool>("addressBook");
        QTest::addColumn<QString>("name");
        QTest::newRow("kartovia") << false << "Infolta";
        QTest::newRow("adrovia") << true << "Adrolta";
    }
    void captionOfANullTitle()
    {
        QFETCH(bool, addressBook);
        QFETCH(QString, name);
        edition::setProfile(addressBook ? edition::AddressBookProfile() : edition::InformationManagerProfile());
        exec(book57, QStringLiteral("UPDATE \"管理情報\" SET \"タイトル\" = NULL"));
        Form4* w = showList(book57);
        QVERIFY(w->windowTitle().startsWith(name + QString(10, QLatin1Char(' ')) + book57));
        QVERIFY(w->windowTitle().endsWith(QStringLiteral("2024年04月01日(月) ")));
    }

    void captionsFromTheBook()
    {
        exec(book57, QStringLiteral("UPDATE \"住所録ラベル\" SET \"生年月日\" = '設立日', \"状態会員\" = '正会員', \"登録区分\" = NULL, "
                                    "\"数値1\" = '会費', \"数値4\" = NULL, \"数値5\" = ''"));
        exec(book57, QStringLiteral("UPDATE \"個人台帳\" SET \"状態\" = '1' WHERE \"会員NO\" = 1"));
        Form4* w = showList(book57);
        QCOMPARE(w->heading(6)->text(), QStringLiteral("設立日"));
        QCOMPARE(w->heading(7)->text(), QStringLiteral("年"));
        QCOMPARE(w->option2(4)->text(), QStringLiteral("設立日"));
        QCOMPARE(w->option2(3)->text(), QStringLiteral("登録区分"));
        QCOMPARE(w->cell(23, 0)->text(), QStringLiteral("正会員"));
        QCOMPARE(w->cell(1, 0)->accessibleName(), QStringLiteral("登録番号"));
        // Value cells are read by their caption; under an empty heading by their field's name.
        QCOMPARE(w->cell(16, 0)->accessibleName(), QStringLiteral("会費"));
        QCOMPARE(w->heading(18)->text(), QString());
        QCOMPARE(w->cell(19, 4)->accessibleName(), QStringLiteral("数値4"));
        QCOMPARE(w->cell(20, 19)->accessibleName(), QStringLiteral("数値5"));
    }

    void mainMenuShowsTheList()
    {
        const QString saved = QDir::currentPath();
        QDir::setCurrent(dir->path());
        auto* menu = dynamic_cast<Form1*>(registry().reach(QStringLiteral("Form1")));
        QVERIFY(menu);
        const int row = int(menu->dbFileNames().indexOf(QStringLiteral("五十七件.mdb")));
        QVERIFY(row >= 0);
        menu->list1()->setCurrentRow(row);
        menu->Command1_Click(2);
        QDir::setCurrent(saved);
        auto* w = dynamic_cast<Form4*>(registry().find(QStringLiteral("Form4")));
        QVERIFY(w);
        QVERIFY(w->isVisible());
        QCOMPARE(w->windowDbFile().FullPath, book57);
        QCOMPARE(w->label4()->text(), QStringLiteral("1/57"));
    }
};

QTEST_MAIN(TestForm4)
#include "tst_form4.moc"
